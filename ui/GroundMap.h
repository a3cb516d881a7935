#pragma once
// The world map ("GroundMap"): equirectangular, filling its space at an
// aspect of 2:1; sea, land and a 30-degree graticule, the night side shaded
// (twilight lighter), the station, the selected satellite's sub-satellite
// point with its name, footprint and ground track (the past dimmer), and
// optionally other satellites as dots with their names. A click on a dot
// asks for that satellite (satelliteChosen). It only draws what it is given.
#include "passes/MapGeometry.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

namespace aostrack {

// Another satellite shown as a dot; Index is its list position (Combo1's).
struct MapSatellite {
    int Index = 0;
    QString Name;
    GeoPoint Where;
};

// Everything on the map but the land.
struct GroundMapScene {
    std::optional<GeoPoint> Station;
    QString SatelliteName;
    std::optional<GroundPoint> Satellite;
    std::vector<std::vector<GeoPoint>> PastTrack; // pieces, cut at the antimeridian
    std::vector<std::vector<GeoPoint>> FutureTrack;
    std::vector<std::vector<GeoPoint>> Footprint; // closed rings within the map
    std::optional<GeoPoint> Subsolar;
    std::vector<MapSatellite> Others;
};

class GroundMap : public QWidget {
    Q_OBJECT
public:
    static constexpr QColor SeaColour { 24, 48, 84 };
    static constexpr QColor LandColour { 70, 110, 60 };
    static constexpr QColor SatelliteColour { 255, 220, 0 };
    static constexpr QColor StationColour { 255, 80, 80 };
    static constexpr QColor OtherColour { 200, 200, 255 };
    // Cells of the night shading over the whole map: half a degree, fine
    // enough that a terminator running nearly east-west shows no steps.
    static constexpr int ShadeColumns = 720;
    static constexpr int ShadeRows = 360;

    explicit GroundMap(QWidget* parent = nullptr);

    void SetLand(LandData land);
    void SetScene(GroundMapScene scene);
    const GroundMapScene& Scene() const { return m_scene; }

    // The map's rectangle in the widget: as large as fits at 2:1, centred.
    QRectF MapRect() const;
    QPointF Project(GeoPoint place) const;
    // The other satellite whose dot lies within a few pixels of point (the
    // nearest), by list position.
    std::optional<int> SatelliteAt(QPointF point) const;

    QSize sizeHint() const override { return { 480, 260 }; }
    QSize minimumSizeHint() const override { return { 120, 60 }; }

signals:
    void satelliteChosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void DrawBase(QPainter& painter);
    void DrawNight(QPainter& painter);
    void DrawSatellite(QPainter& painter);
    void DrawOthers(QPainter& painter);

    LandData m_land;
    GroundMapScene m_scene;
    QPixmap m_base; // sea, land and graticule at the current size
    QImage m_night; // the shading of the current sun, ShadeColumns x ShadeRows
};

} // namespace aostrack
