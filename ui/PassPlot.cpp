#include "ui/PassPlot.h"

#include "core/NumberText.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <cmath>

namespace aostrack {

namespace {
constexpr int MaxElevationDeg = 90;
// Minute lines only help on passes shorter than an hour; longer passes would
// turn the grid into a grey wash.
constexpr long long MaxMinuteLines = 60;

// Grid lines one pixel wide sit on pixel centres so that they stay crisp
// under antialiasing.
double PixelCentre(double coordinate, double extent)
{
    return std::clamp(std::floor(coordinate) + 0.5, 0.5, extent - 0.5);
}
} // namespace

PassPlot::PassPlot(QLabel* durationLabel, QWidget* parent)
    : QWidget(parent)
    , m_durationLabel(durationLabel)
{
    setObjectName(QStringLiteral("Picture1"));
    setFont(LabelFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ClearPass();
}

QFont PassPlot::LabelFont() const
{
    // A 6-point label is unreadable a metre from the screen: the labels take
    // the size of the window's own text.
    const QFont normal = QApplication::font();
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setStyleHint(QFont::SansSerif);
    if (normal.pointSizeF() > 0)
        labelFont.setPointSizeF(normal.pointSizeF());
    else
        labelFont.setPixelSize(normal.pixelSize());
    return labelFont;
}

QSize PassPlot::sizeHint() const
{
    return { 480, 220 };
}
QSize PassPlot::minimumSizeHint() const
{
    return { 200, 90 };
}

void PassPlot::ClearPass()
{
    DrawPassPlot(0, {});
}

void PassPlot::DrawPassPlot(long long durationSeconds, std::vector<double> elevationsDeg)
{
    m_duration = durationSeconds > 0 ? durationSeconds : 0;
    m_elevations = m_duration > 0 ? std::move(elevationsDeg) : std::vector<double> {};
    m_marks.clear();
    if (m_durationLabel) {
        m_durationLabel->setText(m_duration > 0
                ? FormatPattern(static_cast<double>(m_duration) / 60.0, QStringLiteral("0.0"))
                    + QStringLiteral(" min")
                : QString());
    }
    Redraw();
}

void PassPlot::AddMark(long long secondsToLos, double elevationDeg)
{
    if (m_duration <= 0 || !(elevationDeg > 0))
        return;
    m_marks.push_back({ secondsToLos, elevationDeg });
    if (m_pixmap.isNull()) {
        Redraw();
        return;
    }
    QPainter painter(&m_pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawMark(painter, m_marks.back(), width(), height());
    painter.end();
    update();
}

void PassPlot::UpdateScales()
{
    m_plotXScale = m_duration > 0 ? width() / static_cast<double>(m_duration) : 0.0;
    m_plotYScale = static_cast<float>(height()) / static_cast<float>(MaxElevationDeg);
}

void PassPlot::Redraw()
{
    UpdateScales();
    if (width() <= 0 || height() <= 0) {
        m_pixmap = QPixmap();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    m_pixmap = QPixmap(QSize(width(), height()) * ratio);
    m_pixmap.setDevicePixelRatio(ratio);
    m_pixmap.fill(BackgroundColour);

    QPainter painter(&m_pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    DrawGrid(painter, width(), height());
    DrawTrack(painter, width(), height());
    for (const Mark& mark : m_marks)
        DrawMark(painter, mark, width(), height());
    painter.end();
    update();
}

void PassPlot::DrawGrid(QPainter& painter, double w, double h)
{
    m_labels.clear();
    painter.setPen(QPen(GridColour, 1));
    if (m_duration > 0) {
        const auto minutes
            = static_cast<long long>(RoundHalfEven(static_cast<double>(m_duration) / 60.0));
        if (minutes < MaxMinuteLines) {
            for (long long i = 0; i <= minutes; ++i) {
                const double x = PixelCentre(60.0 * static_cast<double>(i) * m_plotXScale, w);
                painter.drawLine(QPointF(x, h), QPointF(x, 0));
            }
        }
    }
    for (int e = 0; e <= MaxElevationDeg; e += 10) {
        const double lineY = PixelCentre(e * static_cast<double>(m_plotYScale), h);
        painter.drawLine(QPointF(w, lineY), QPointF(0, lineY));
    }

    // Each label stands centred on its line on a patch of background, the
    // 90° label just below the top edge and the 0° label just above the
    // bottom one. A low plot labels every third line only (90°, 60°, 30°,
    // 0°) so that no two labels touch.
    const QFontMetricsF metrics(painter.font());
    const double textHeight = metrics.height();
    const double spacing = 10 * static_cast<double>(m_plotYScale);
    int labelStep = 10;
    for (const int step : { 10, 30, 90 }) {
        labelStep = step;
        if (step / 10 * spacing >= 1.5 * textHeight + 2)
            break;
    }
    double labelColumnRight = 0;
    for (int e = 0; e <= MaxElevationDeg; e += labelStep) {
        const QString text = QString::number(MaxElevationDeg - e) + QChar(0x00B0);
        const double y = e * static_cast<double>(m_plotYScale);
        const double textTop
            = std::clamp(y - textHeight / 2, 1.0, std::max(1.0, h - textHeight - 1));
        const QRectF rect(2, textTop, metrics.horizontalAdvance(text), textHeight);
        painter.fillRect(rect.adjusted(-1, 0, 1, 0), BackgroundColour);
        painter.setPen(LabelColour);
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
        m_labels.push_back({ text, rect });
        labelColumnRight = std::max(labelColumnRight, rect.right());
    }
    DrawTimeAxis(painter, w, labelColumnRight);
}

void PassPlot::DrawTimeAxis(QPainter& painter, double w, double labelColumnRight)
{
    // Minutes from AOS along the top edge, where a pass seldom climbs: the
    // operator reads when the pass peaks and how long is left. Labels stand
    // right of their minute line, at a round step that leaves room for them.
    if (m_duration <= 0)
        return;
    const QFontMetricsF metrics(painter.font());
    const double minuteWidth = 60.0 * m_plotXScale;
    // Room for the widest label of the pass, and a gap.
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("+%1 min").arg(
                                  std::max<long long>(10, m_duration / 60)))
        + 8;
    long long step = 0;
    for (const long long candidate : { 1, 2, 5, 10, 15, 30, 60, 120, 240, 480, 1440 }) {
        if (static_cast<double>(candidate) * minuteWidth >= labelWidth) {
            step = candidate;
            break;
        }
    }
    if (step == 0)
        return;
    // Below the 90° line, clear of the 90° label by the check below.
    const double top = 1;
    for (long long minute = step; 60 * minute < m_duration; minute += step) {
        const QString text = QStringLiteral("+%1 min").arg(minute);
        const double x = static_cast<double>(minute) * minuteWidth + 3;
        const QRectF rect(x, top, metrics.horizontalAdvance(text), metrics.height());
        if (rect.left() <= labelColumnRight + 4 || rect.right() > w - 1)
            continue;
        painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
        m_labels.push_back({ text, rect });
    }
}

void PassPlot::DrawTrack(QPainter& painter, double, double h) const
{
    if (m_duration <= 0 || m_elevations.empty())
        return;
    QPainterPath path;
    const std::size_t count
        = std::min<std::size_t>(m_elevations.size(), static_cast<std::size_t>(m_duration) + 1);
    for (std::size_t s = 0; s < count; ++s) {
        const QPointF point(static_cast<double>(s) * m_plotXScale,
            h - m_elevations[s] * static_cast<double>(m_plotYScale));
        if (s == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    painter.save();
    painter.setPen(QPen(TrackColour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

void PassPlot::DrawMark(QPainter& painter, const Mark& mark, double w, double h) const
{
    const QPointF centre(w - m_plotXScale * static_cast<double>(mark.secondsToLos),
        h - static_cast<double>(m_plotYScale) * mark.elevationDeg);
    painter.setPen(QPen(MarkColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, MarkRadius, MarkRadius);
}

void PassPlot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Redraw();
}

void PassPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_pixmap.isNull())
        painter.fillRect(rect(), BackgroundColour);
    else
        painter.drawPixmap(0, 0, m_pixmap);
}

} // namespace aostrack
