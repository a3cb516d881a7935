#pragma once
// The polar view of the current or next pass ("SkyPlot"): the sky seen from
// the station, north up and east to the right as on a map held overhead,
// the horizon as the outer ring and rings at 30 and 60 degrees of elevation.
// It shows the track of the pass with AOS and LOS marked, the satellite's
// place at the last tick and, while the rotor link is on, where the rotor was
// last sent and (with rotctld) where it reports itself. It only draws what it
// is given.
#include "core/PassOverview.h"

#include <QColor>
#include <QPointF>
#include <QWidget>
#include <optional>

class QPainter;

namespace aostrack {

class SkyPlot : public QWidget {
    Q_OBJECT
public:
    static constexpr QColor BackgroundColour { 64, 64, 64 };
    static constexpr QColor GridColour { 128, 128, 128 };
    static constexpr QColor TrackColour { 255, 255, 255 };
    static constexpr QColor AosColour { 0, 220, 0 };
    static constexpr QColor LosColour { 255, 80, 80 };
    static constexpr QColor SatelliteColour { 51, 153, 255 };
    static constexpr QColor RotorColour { 255, 200, 0 };

    explicit SkyPlot(QWidget* parent = nullptr);

    // A new pass (empty: none known); the satellite's mark is dropped.
    void SetPass(const SkyPass& pass);
    // The satellite at this tick, degrees; shown while above the horizon.
    void SetSatellite(double azimuthDeg, double elevationDeg);
    // Where the rotor was last sent, degrees in the rotor's own terms (an
    // overlap azimuth past 360, a flipped elevation past 90); nullopt hides
    // the mark.
    void SetRotor(std::optional<QPointF> azimuthElevationDeg);
    // Where the rotor reports itself, in the same terms; nullopt hides it.
    void SetReportedRotor(std::optional<QPointF> azimuthElevationDeg);

    const SkyPass& Pass() const { return m_pass; }
    std::optional<QPointF> Satellite() const { return m_satellite; }
    // The marks as directions in the sky: azimuth 0 to 360, elevation to 90.
    std::optional<QPointF> Rotor() const { return m_rotor; }
    std::optional<QPointF> ReportedRotor() const { return m_reportedRotor; }
    // Widget coordinates of a direction: azimuth clockwise from north,
    // elevation 90 at the centre, 0 on the outer ring (below: outside it).
    QPointF Project(double azimuthDeg, double elevationDeg) const;

    QSize sizeHint() const override { return { 220, 220 }; }
    QSize minimumSizeHint() const override { return { 40, 40 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double Radius() const;
    void DrawGrid(QPainter& p) const;
    void DrawTrack(QPainter& p) const;
    void DrawPassMark(QPainter& p, const std::optional<SkyPoint>& s, const QColor& colour,
        const QString& label) const;
    void DrawMarks(QPainter& p) const;

    SkyPass m_pass;
    std::optional<QPointF> m_satellite; // (azimuth, elevation)
    std::optional<QPointF> m_rotor;
    std::optional<QPointF> m_reportedRotor;
};

} // namespace aostrack
