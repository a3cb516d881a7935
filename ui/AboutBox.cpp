#include "ui/AboutBox.h"

#include "core/Version.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace aostrack {

QString AboutBox::VersionLine()
{
    return QStringLiteral("Version ") + QLatin1String(kProgramVersion)
        + QStringLiteral(" BETA    (March 03, 2013)");
}

QPixmap SatellitePicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0);

    // Night sky disc with the earth's limb below.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(28, 38, 64));
    p.drawEllipse(QRectF(2, 2, 96, 96));
    QPainterPath disc;
    disc.addEllipse(QRectF(2, 2, 96, 96));
    p.setClipPath(disc);
    p.setBrush(QColor(40, 110, 190));
    p.drawEllipse(QRectF(-40, 70, 180, 120));
    p.setClipping(false);

    // Orbit arc.
    p.setPen(QPen(QColor(51, 153, 255), 1.5, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 20, 84, 84), 30 * 16, 120 * 16);

    // The satellite: body, two solar panels and a downlink antenna.
    p.translate(50, 40);
    p.rotate(-20);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(-7, -7, 14, 14));
    p.setBrush(QColor(60, 90, 160));
    for (int side : { -1, 1 }) {
        const double x0 = side < 0 ? -33 : 9;
        p.drawRect(QRectF(x0, -5, 24, 10));
        p.drawLine(QPointF(x0 + 8, -5), QPointF(x0 + 8, 5));
        p.drawLine(QPointF(x0 + 16, -5), QPointF(x0 + 16, 5));
    }
    p.setPen(QPen(QColor(230, 230, 230), 1.5));
    p.drawLine(QPointF(0, 7), QPointF(0, 17));
    p.drawLine(QPointF(-4, 17), QPointF(4, 17));
    return picture;
}

AboutBox::AboutBox(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Info"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(SatellitePicture(96));
    picture->setAlignment(Qt::AlignCenter);

    auto* title = new QLabel(QStringLiteral("aostrack satellite tracker"), this);
    title->setWordWrap(true);
    title->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(VersionLine(), this);
    version->setObjectName(QStringLiteral("Label2"));
    version->setAlignment(Qt::AlignCenter);

    auto* credit
        = new QLabel(QStringLiteral("Real-time tracking, Doppler tuning and rotor control for "
                                    "amateur-radio ground stations. Orbits by the Plan13 method. "
                                    "73 and good passes."),
            this);
    credit->setObjectName(QStringLiteral("Label3"));
    credit->setWordWrap(true);
    credit->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);
    layout->addWidget(picture);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(credit);
    setFixedWidth(420);
}

} // namespace aostrack
