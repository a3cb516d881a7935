#pragma once
// Puts the world map into the main window: the dock "World map" (opened from
// the menu "View", placed as "Upcoming passes" is, so that the window still
// fits its screen, and tabbed with it where both are docks; remembered from
// one run to the next), fed
// once a second from the tracker: the selected satellite's sub-satellite
// point, footprint and ground track from one orbit back to two ahead, the
// station and the sun; with "all satellites" ticked, every satellite of the
// upcoming-passes list as a dot, a click on which chooses it as Combo1 does.
#include "passes/MapGeometry.h"

#include <QObject>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDockWidget;

namespace aostrack {

class GroundMap;
class MainWindow;
class OrbitModel;
class PassOverview;
class TrackingSession;
struct GroundMapScene;

class GroundMapBinding : public QObject {
    Q_OBJECT
public:
    // tabWith: the dock the map shares its place with, the upcoming passes
    // whose listed satellites the dots show (may be null: then every row of
    // the overview). All must outlive the binding.
    GroundMapBinding(TrackingSession& tracker, MainWindow& window, PassOverview& overview,
        QDockWidget* tabWith = nullptr);
    ~GroundMapBinding() override;

    void SetLand(LandData land);
    // Redraws for now (the tracker's ticks call it; once a second at most).
    void Show(std::chrono::sys_seconds now);

    QDockWidget* Dock() const { return m_dock; }
    GroundMap* Map() const { return m_map; }
    QCheckBox* AllSatellitesBox() const { return m_all; }

private:
    const OrbitModel* SelectedModel();
    void AddSelected(GroundMapScene& scene, std::chrono::sys_seconds now);
    void AddOthers(GroundMapScene& scene, std::chrono::sys_seconds now);

    TrackingSession& m_tracker;
    PassOverview& m_overview;
    QComboBox* m_satellites = nullptr;
    QDockWidget* m_passes = nullptr;
    QDockWidget* m_dock = nullptr;
    GroundMap* m_map = nullptr;
    QCheckBox* m_all = nullptr;
    std::optional<std::chrono::sys_seconds> m_shown;
    // The selected satellite's model and the track worked out with it.
    std::unique_ptr<OrbitModel> m_model;
    std::vector<GroundPoint> m_track;
    std::optional<std::chrono::sys_seconds> m_trackStart;
    std::map<int, std::unique_ptr<OrbitModel>> m_others; // by list position
};

} // namespace aostrack
