#include "ui/GroundMapBinding.h"

#include "core/PassOverview.h"
#include "core/TrackingSession.h"
#include "ui/DockPlacement.h"
#include "ui/GroundMap.h"
#include "ui/MainWindow.h"
#include "ui/UpcomingPassesDock.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

namespace aostrack {

using namespace std::chrono;

namespace {
const QString ShownKey = QStringLiteral("WorldMap/shown");
const QString AllKey = QStringLiteral("WorldMap/all");
// Points of the track over its three orbits: smooth at any map size, cheap
// once a second.
constexpr int TrackSteps = 540;

// The menu "View", made by the upcoming-passes binding when it is there.
QMenu* ViewMenu(MainWindow& window)
{
    if (auto* view = window.findChild<QMenu*>(QStringLiteral("MnuView")))
        return view;
    auto* view = new QMenu(QStringLiteral("View"), &window);
    view->setObjectName(QStringLiteral("MnuView"));
    window.menuBar()->insertMenu(window.Controls().Menus.Info, view);
    return view;
}
} // namespace

GroundMapBinding::GroundMapBinding(
    TrackingSession& tracker, MainWindow& window, PassOverview& overview, QDockWidget* tabWith)
    : QObject(&window)
    , m_tracker(tracker)
    , m_overview(overview)
    , m_satellites(window.Controls().Satellites)
    , m_passes(tabWith)
{
    m_dock = new QDockWidget(QStringLiteral("World map"), &window);
    m_dock->setObjectName(QStringLiteral("WorldMapDock"));
    auto* body = new QWidget(m_dock);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    m_all = new QCheckBox(QStringLiteral("all satellites"), body);
    m_all->setObjectName(QStringLiteral("MapAllSatellites"));
    m_all->setToolTip(QStringLiteral("Every satellite of the upcoming-passes list as a dot; "
                                     "click a dot to choose it"));
    m_all->setChecked(QSettings().value(AllKey, false).toBool());
    m_map = new GroundMap(body);
    layout->addWidget(m_all);
    layout->addWidget(m_map, 1);
    m_dock->setWidget(body);
    // Where the upcoming passes go (beside, below, or a tab of the tracking
    // view on a small screen), and in one tab group with them when both are docks.
    const DockPlace place = PlaceDock(window, *m_dock);
    if (tabWith && place != DockPlace::Tab
        && window.dockWidgetArea(tabWith) == window.dockWidgetArea(m_dock))
        window.tabifyDockWidget(tabWith, m_dock);
    QAction* toggle = m_dock->toggleViewAction();
    toggle->setObjectName(QStringLiteral("MnuWorldMap"));
    ViewMenu(window)->addAction(toggle);
    m_dock->setVisible(QSettings().value(ShownKey, false).toBool());
    connect(
        toggle, &QAction::toggled, this, [](bool shown) { QSettings().setValue(ShownKey, shown); });

    auto redraw = [this] {
        if (const std::optional<sys_seconds> last = m_shown) {
            m_shown.reset();
            Show(*last);
        }
    };
    connect(m_all, &QCheckBox::toggled, this, [redraw](bool on) {
        QSettings().setValue(AllKey, on);
        redraw();
    });
    connect(m_dock, &QDockWidget::visibilityChanged, this, redraw);
    connect(&tracker, &TrackingSession::passChanged, this, redraw);
    connect(&tracker, &TrackingSession::satelliteListChanged, this, [this] { m_others.clear(); });
    connect(&overview, &PassOverview::rowsChanged, this, [this] { m_others.clear(); });
    connect(&tracker, &TrackingSession::orbitModelChanged, this, [this] { m_others.clear(); });
    connect(&tracker, &TrackingSession::satelliteComputed, this, &GroundMapBinding::Show);
    // A click on a dot chooses the satellite exactly as a choice in Combo1.
    connect(m_map, &GroundMap::satelliteChosen, this, [this](int index) {
        if (!m_satellites || index < 0 || index >= m_satellites->count())
            return;
        m_satellites->setCurrentIndex(index);
        emit m_satellites->activated(index);
    });
}

GroundMapBinding::~GroundMapBinding() = default;

void GroundMapBinding::SetLand(LandData land)
{
    m_map->SetLand(std::move(land));
}

void GroundMapBinding::Show(sys_seconds now)
{
    if (m_shown == now)
        return;
    m_shown = now;
    if (!m_dock->isVisible())
        return;
    GroundMapScene scene;
    const Station& station = m_tracker.StationPosition();
    scene.Station
        = GeoPoint { station.StationLon > 180 ? station.StationLon - 360 : station.StationLon,
              station.StationLat };
    scene.Subsolar = SubsolarPoint(now);
    AddSelected(scene, now);
    if (m_all->isChecked())
        AddOthers(scene, now);
    m_map->SetScene(std::move(scene));
}

const OrbitModel* GroundMapBinding::SelectedModel()
{
    const ElementSet& elements = m_tracker.CurrentElements();
    if (m_model && m_model->Elements() == elements
        && m_model->StationPosition() == m_tracker.StationPosition()
        && m_model->Kind() == m_tracker.ModelKind())
        return m_model.get();
    m_model.reset();
    m_track.clear();
    m_trackStart.reset();
    if (m_tracker.SelectedIndex() < 0)
        return nullptr;
    try {
        m_model = std::make_unique<OrbitModel>(
            elements, m_tracker.StationPosition(), m_tracker.ModelKind());
    } catch (const OrbitError&) {
        // The tracker reports a set its model refuses; the map shows no satellite.
    }
    return m_model.get();
}

void GroundMapBinding::AddSelected(GroundMapScene& scene, sys_seconds now)
{
    const OrbitModel* model = SelectedModel();
    if (!model)
        return;
    const seconds period = std::min(OrbitalPeriod(model->Elements()), seconds { 2 * 86400 });
    const seconds step = std::max(seconds { 1 }, 3 * period / TrackSteps);
    try {
        const GroundPoint here = GroundPointAt(*model, now);
        // Worked out again once the start of the track lags a step behind
        // one orbit back (or the clock went back).
        if (!m_trackStart || now < *m_trackStart + period || now - period - *m_trackStart >= step) {
            m_trackStart = now - period;
            m_track = GroundTrackOf(*model, now - period, now + 2 * period, step);
        }
        std::vector<GeoPoint> past, future;
        for (const GroundPoint& g : m_track)
            (g.Time < now ? past : future).push_back({ g.Longitude, g.Latitude });
        past.push_back({ here.Longitude, here.Latitude });
        future.insert(future.begin(), { here.Longitude, here.Latitude });
        scene.PastTrack = SplitAtAntimeridian(past);
        scene.FutureTrack = SplitAtAntimeridian(future);
        scene.Footprint
            = MapPolygons(FootprintRing({ here.Longitude, here.Latitude }, here.HeightKm));
        scene.Satellite = here;
        scene.SatelliteName = m_tracker.SelectedName();
    } catch (const OrbitError&) {
        m_track.clear();
        m_trackStart.reset();
    }
}

void GroundMapBinding::AddOthers(GroundMapScene& scene, sys_seconds now)
{
    // The satellites the list shows (its name filter applied, ended passes
    // gone), each once; without the dock, every row of the overview.
    std::vector<std::pair<int, QString>> listed;
    if (auto* dock = qobject_cast<UpcomingPassesDock*>(m_passes)) {
        const QAbstractItemModel& rows = dock->Filter();
        for (int r = 0; r < rows.rowCount(); ++r) {
            const QModelIndex cell = rows.index(r, UpcomingPassesModel::Satellite);
            listed.emplace_back(
                cell.data(UpcomingPassesModel::IndexRole).toInt(), cell.data().toString());
        }
    } else {
        for (const OverviewRow& row : m_overview.Rows())
            listed.emplace_back(row.Index, row.Name);
    }
    const SatTable& table = m_tracker.Table();
    std::set<int> seen { m_tracker.SelectedIndex() };
    for (const auto& [index, name] : listed) {
        if (!seen.insert(index).second)
            continue;
        std::unique_ptr<OrbitModel>& model = m_others[index];
        try {
            if (!model)
                model = std::make_unique<OrbitModel>(table.Record(index + 1).Elements,
                    m_tracker.StationPosition(), m_tracker.ModelKind());
            const GroundPoint g = GroundPointAt(*model, now);
            scene.Others.push_back({ index, name, { g.Longitude, g.Latitude } });
        } catch (const std::exception&) {
            // A set this model refuses (or a record gone with a new
            // catalogue) is left off the map.
        }
    }
}

} // namespace aostrack
