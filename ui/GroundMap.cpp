#include "ui/GroundMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace aostrack {

namespace {
// Pixels from a dot within which a click chooses it.
constexpr double DotPickRadius = 6.0;
constexpr double DotRadius = 2.5;

QPainterPath PathOf(
    const std::vector<std::vector<GeoPoint>>& pieces, const GroundMap& map, bool closed)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const auto& piece : pieces) {
        if (piece.empty())
            continue;
        path.moveTo(map.Project(piece.front()));
        for (size_t i = 1; i < piece.size(); ++i)
            path.lineTo(map.Project(piece[i]));
        if (closed)
            path.closeSubpath();
    }
    return path;
}
} // namespace

GroundMap::GroundMap(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("GroundMap"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip(tr("World map: footprint and ground track of the satellite, night side shaded"));
}

void GroundMap::SetLand(LandData land)
{
    m_land = std::move(land);
    m_base = {};
    update();
}

void GroundMap::SetScene(GroundMapScene scene)
{
    const bool newSun = scene.Subsolar != m_scene.Subsolar;
    m_scene = std::move(scene);
    if (newSun)
        m_night = {};
    update();
}

QRectF GroundMap::MapRect() const
{
    const double w = std::min<double>(width(), 2.0 * height());
    return { (width() - w) / 2.0, (height() - w / 2.0) / 2.0, w, w / 2.0 };
}

QPointF GroundMap::Project(GeoPoint place) const
{
    const QRectF r = MapRect();
    return { r.left() + (place.Longitude + 180.0) / 360.0 * r.width(),
        r.top() + (90.0 - place.Latitude) / 180.0 * r.height() };
}

std::optional<int> GroundMap::SatelliteAt(QPointF point) const
{
    std::optional<int> found;
    double best = DotPickRadius * DotPickRadius;
    for (const MapSatellite& other : m_scene.Others) {
        const QPointF d = Project(other.Where) - point;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= best) {
            best = distance;
            found = other.Index;
        }
    }
    return found;
}

void GroundMap::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<int> index = SatelliteAt(event->position())) {
            emit satelliteChosen(*index);
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void GroundMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_base.size() != size() * devicePixelRatioF()) {
        m_base = QPixmap(size() * devicePixelRatioF());
        m_base.setDevicePixelRatio(devicePixelRatioF());
        m_base.fill(palette().color(QPalette::Window));
        QPainter base(&m_base);
        DrawBase(base);
    }
    painter.drawPixmap(0, 0, m_base);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(MapRect());
    DrawNight(painter);
    DrawSatellite(painter);
    DrawOthers(painter);
}

void GroundMap::DrawBase(QPainter& painter)
{
    const QRectF r = MapRect();
    painter.fillRect(r, SeaColour);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(r);
    painter.setPen(Qt::NoPen);
    painter.setBrush(LandColour);
    painter.drawPath(PathOf(m_land.Rings, *this, true));
    painter.setPen(QPen(QColor(255, 255, 255, 60), 0));
    for (int lon = -150; lon <= 150; lon += 30)
        painter.drawLine(Project({ double(lon), 90 }), Project({ double(lon), -90 }));
    for (int lat = -60; lat <= 60; lat += 30)
        painter.drawLine(Project({ -180, double(lat) }), Project({ 180, double(lat) }));
}

void GroundMap::DrawNight(QPainter& painter)
{
    if (!m_scene.Subsolar)
        return;
    if (m_night.isNull()) {
        m_night = QImage(ShadeColumns, ShadeRows, QImage::Format_ARGB32_Premultiplied);
        const std::vector<Daylight> grid = DaylightGrid(*m_scene.Subsolar, ShadeColumns, ShadeRows);
        for (int row = 0; row < ShadeRows; ++row) {
            auto* line = reinterpret_cast<QRgb*>(m_night.scanLine(row));
            for (int c = 0; c < ShadeColumns; ++c) {
                const Daylight light = grid[static_cast<size_t>(row * ShadeColumns + c)];
                const int alpha
                    = light == Daylight::Night ? 140 : (light == Daylight::Twilight ? 70 : 0);
                line[c] = qRgba(0, 0, 0, alpha);
            }
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(MapRect(), m_night);
    painter.restore();
}

void GroundMap::DrawSatellite(QPainter& painter)
{
    const GroundMapScene& s = m_scene;
    if (!s.Footprint.empty()) {
        painter.setPen(QPen(SatelliteColour, 1.5));
        QColor fill = SatelliteColour;
        fill.setAlpha(40);
        painter.setBrush(fill);
        painter.drawPath(PathOf(s.Footprint, *this, true));
    }
    painter.setBrush(Qt::NoBrush);
    QColor past = SatelliteColour;
    past.setAlpha(90);
    painter.setPen(QPen(past, 1.2, Qt::DashLine));
    painter.drawPath(PathOf(s.PastTrack, *this, false));
    painter.setPen(QPen(SatelliteColour, 1.5));
    painter.drawPath(PathOf(s.FutureTrack, *this, false));

    if (s.Station) {
        const QPointF p = Project(*s.Station);
        painter.setPen(QPen(StationColour, 2));
        painter.drawLine(p - QPointF(5, 0), p + QPointF(5, 0));
        painter.drawLine(p - QPointF(0, 5), p + QPointF(0, 5));
    }
    if (s.Satellite) {
        const QPointF p = Project({ s.Satellite->Longitude, s.Satellite->Latitude });
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(SatelliteColour);
        painter.drawEllipse(p, 4.5, 4.5);
        painter.setPen(SatelliteColour);
        const bool left = p.x() > MapRect().right() - 80;
        const QRectF box(left ? p.x() - 206 : p.x() + 6, p.y() - 20, 200, 16);
        painter.drawText(
            box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, s.SatelliteName);
    }
}

void GroundMap::DrawOthers(QPainter& painter)
{
    if (m_scene.Others.empty())
        return;
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    painter.setFont(small);
    painter.setBrush(OtherColour);
    for (const MapSatellite& other : m_scene.Others) {
        const QPointF p = Project(other.Where);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(p, DotRadius, DotRadius);
        painter.setPen(OtherColour);
        painter.drawText(p + QPointF(4, -3), other.Name);
    }
}

} // namespace aostrack
