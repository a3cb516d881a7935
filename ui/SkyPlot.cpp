#include "ui/SkyPlot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace aostrack {

SkyPlot::SkyPlot(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SkyPlot"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setToolTip(tr("Sky view of the pass: north up, rings at 0, 30 and 60 degrees"));
}

void SkyPlot::SetPass(const SkyPass& pass)
{
    m_pass = pass;
    m_satellite.reset();
    update();
}

void SkyPlot::SetSatellite(double azimuthDeg, double elevationDeg)
{
    const std::optional<QPointF> now = std::isfinite(azimuthDeg) && elevationDeg > 0
        ? std::optional<QPointF>(QPointF(azimuthDeg, elevationDeg))
        : std::nullopt;
    if (now == m_satellite)
        return;
    m_satellite = now;
    update();
}

namespace {

// A rotor's angles as the direction it points to: past 90 degrees of
// elevation a flip-capable rotor looks over the top, to the other side
// (az + 180, 180 - el); an overlap azimuth past 360 is the same bearing.
std::optional<QPointF> SkyDirection(std::optional<QPointF> rotorDeg)
{
    if (!rotorDeg)
        return std::nullopt;
    double az = rotorDeg->x();
    double el = rotorDeg->y();
    if (el > 90.0) {
        az += 180.0;
        el = 180.0 - el;
    }
    az = std::fmod(az, 360.0);
    if (az < 0)
        az += 360.0;
    return QPointF(az, std::clamp(el, 0.0, 90.0));
}

} // namespace

void SkyPlot::SetRotor(std::optional<QPointF> azimuthElevationDeg)
{
    const std::optional<QPointF> direction = SkyDirection(azimuthElevationDeg);
    if (direction == m_rotor)
        return;
    m_rotor = direction;
    update();
}

void SkyPlot::SetReportedRotor(std::optional<QPointF> azimuthElevationDeg)
{
    const std::optional<QPointF> direction = SkyDirection(azimuthElevationDeg);
    if (direction == m_reportedRotor)
        return;
    m_reportedRotor = direction;
    update();
}

double SkyPlot::Radius() const
{
    // Room for the compass letters outside the horizon ring.
    const double margin = fontMetrics().height() + 2;
    return std::max(10.0, std::min(width(), height()) / 2.0 - margin);
}

QPointF SkyPlot::Project(double azimuthDeg, double elevationDeg) const
{
    const double r = Radius() * (90.0 - elevationDeg) / 90.0;
    const double a = azimuthDeg * std::numbers::pi / 180.0;
    return { width() / 2.0 + r * std::sin(a), height() / 2.0 - r * std::cos(a) };
}

void SkyPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), BackgroundColour);
    DrawGrid(p);
    DrawTrack(p);
    DrawMarks(p);
}

void SkyPlot::DrawGrid(QPainter& p) const
{
    // Rings at 0, 30 and 60 degrees, the cross of the four quarters.
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double radius = Radius();
    p.setPen(QPen(GridColour, 1));
    p.setBrush(Qt::NoBrush);
    for (int el : { 0, 30, 60 }) {
        const double r = radius * (90 - el) / 90.0;
        p.drawEllipse(centre, r, r);
    }
    p.drawLine(Project(0, 0), Project(180, 0));
    p.drawLine(Project(90, 0), Project(270, 0));
    const QFontMetricsF fm(font());
    for (const auto& [az, letter] :
        { std::pair { 0, "N" }, { 90, "E" }, { 180, "S" }, { 270, "W" } }) {
        const QPointF at = Project(az, -fm.height() * 0.55 * 90.0 / radius);
        const QString text = QString::fromLatin1(letter);
        p.drawText(
            QRectF(at.x() - fm.height(), at.y() - fm.height() / 2, 2 * fm.height(), fm.height()),
            Qt::AlignCenter, text);
    }
    for (int el : { 30, 60 }) {
        const QPointF at = Project(45, el);
        p.drawText(at + QPointF(2, -2), QStringLiteral("%1\u00B0").arg(el));
    }
}

void SkyPlot::DrawTrack(QPainter& p) const
{
    // The track, above the horizon only.
    QPainterPath path;
    bool drawing = false;
    for (const SkyPoint& s : m_pass.Track) {
        const double el = std::max(s.Elevation, 0.0);
        const QPointF at = Project(s.Azimuth, el);
        if (!drawing)
            path.moveTo(at);
        else
            path.lineTo(at);
        drawing = true;
    }
    p.setPen(QPen(TrackColour, 1.5));
    p.drawPath(path);
    DrawPassMark(p, m_pass.Aos, AosColour, QStringLiteral("AOS"));
    DrawPassMark(p, m_pass.Los, LosColour, QStringLiteral("LOS"));
}

void SkyPlot::DrawPassMark(
    QPainter& p, const std::optional<SkyPoint>& s, const QColor& colour, const QString& label) const
{
    if (!s)
        return;
    const QFontMetricsF fm(font());
    const QPointF centre(width() / 2.0, height() / 2.0);
    const QPointF at = Project(s->Azimuth, std::max(s->Elevation, 0.0));
    p.setPen(QPen(colour, 1.5));
    p.setBrush(colour);
    p.drawEllipse(at, 3.5, 3.5);
    // The label on the inner side, away from the ring.
    const QPointF inward = centre - at;
    const double len = std::hypot(inward.x(), inward.y());
    const QPointF offset = len > 1 ? inward / len * (fm.height() * 0.9) : QPointF(0, 0);
    const QRectF box(at + offset - QPointF(fm.horizontalAdvance(label) / 2, fm.height() / 2),
        QSizeF(fm.horizontalAdvance(label), fm.height()));
    p.drawText(box, Qt::AlignCenter, label);
}

void SkyPlot::DrawMarks(QPainter& p) const
{
    if (m_reportedRotor) {
        // Where the rotor says it is: a square, so that it stands apart from
        // the commanded cross while the rotor catches up.
        const QPointF at = Project(m_reportedRotor->x(), m_reportedRotor->y());
        p.setPen(QPen(RotorColour, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(at - QPointF(5, 5), QSizeF(10, 10)));
    }
    if (m_rotor) {
        const QPointF at = Project(m_rotor->x(), m_rotor->y());
        p.setPen(QPen(RotorColour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawLine(at - QPointF(6, 0), at + QPointF(6, 0));
        p.drawLine(at - QPointF(0, 6), at + QPointF(0, 6));
        p.drawEllipse(at, 6, 6);
    }
    if (m_satellite) {
        const QPointF at = Project(m_satellite->x(), m_satellite->y());
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(SatelliteColour);
        p.drawEllipse(at, 4.5, 4.5);
    }
}

} // namespace aostrack
