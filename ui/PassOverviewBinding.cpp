#include "ui/PassOverviewBinding.h"

#include "core/EventLog.h"
#include "core/PassOverview.h"
#include "core/TrackingSession.h"
#include "orbit/Clock.h"
#include "rotor/RotorController.h"
#include "ui/AboutBox.h"
#include "ui/DockPlacement.h"
#include "ui/MainWindow.h"
#include "ui/SkyPlot.h"
#include "ui/UpcomingPassesDock.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSoundEffect>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <algorithm>

namespace aostrack {

using namespace std::chrono;

namespace {
const QString DockShownKey = QStringLiteral("UpcomingPasses/shown");
} // namespace

PassOverviewBinding::PassOverviewBinding(TrackingSession& tracker, MainWindow& window,
    PassOverview& overview, const Clock& clock, EventLog& log, RotorController* rotor)
    : QObject(&window)
    , m_tracker(tracker)
    , m_overview(overview)
    , m_clock(clock)
    , m_log(log)
    , m_sky(window.Controls().Sky)
    , m_rotor(rotor)
{
    m_satellites = window.Controls().Satellites;
    m_dock = new UpcomingPassesDock(&window);
    PlaceDock(window, *m_dock);
    AddViewMenu(window);
    BindOverview();
    BindSky();
    BindAlarm();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(QIcon(SatellitePicture(64)), this);
        m_tray->setToolTip(QStringLiteral("aostrack"));
        m_tray->show();
    }
}

void PassOverviewBinding::AddViewMenu(MainWindow& window)
{
    // Opened from the menu "View" and remembered from one run to the next.
    auto* view = new QMenu(QStringLiteral("View"), &window);
    view->setObjectName(QStringLiteral("MnuView"));
    view->menuAction()->setObjectName(QStringLiteral("MnuView"));
    QAction* toggle = m_dock->toggleViewAction();
    toggle->setObjectName(QStringLiteral("MnuUpcomingPasses"));
    view->addAction(toggle);
    window.menuBar()->insertMenu(window.Controls().Menus.Info, view);
    m_dock->setVisible(QSettings().value(DockShownKey, false).toBool());
    connect(toggle, &QAction::toggled, this,
        [](bool shown) { QSettings().setValue(DockShownKey, shown); });
}

void PassOverviewBinding::BindOverview()
{
    // The overview follows the catalogue; the station and the hour are
    // checked at every tick.
    connect(&m_tracker, &TrackingSession::satelliteListChanged, this, [this] {
        m_overview.SetCatalogue(m_tracker.Table());
        m_overview.Check(m_tracker.StationPosition(), m_tracker.ModelKind());
        m_dock->ShowComputing(m_overview.Computing());
    });
    connect(&m_overview, &PassOverview::rowsChanged, this, [this] {
        m_dock->SetNow(m_clock.UtcNow());
        m_dock->ShowRows(m_overview.Rows(), m_overview.AlwaysInView(), m_overview.NeverInView(),
            m_overview.Computing());
    });
    // A double click chooses the satellite exactly as a choice in Combo1 does.
    connect(m_dock, &UpcomingPassesDock::satelliteChosen, this, [this](int index) {
        if (!m_satellites || index < 0 || index >= m_satellites->count())
            return;
        m_satellites->setCurrentIndex(index);
        emit m_satellites->activated(index);
    });
}

void PassOverviewBinding::BindSky()
{
    if (!m_sky)
        return;
    connect(&m_tracker, &TrackingSession::passChanged, m_sky, [this] {
        m_sky->SetPass(SkyPassOf(m_tracker.CurrentElements(), m_tracker.StationPosition(),
            m_tracker.AosTime(), m_tracker.LosTime(), m_tracker.ModelKind()));
    });
    if (!m_rotor)
        return;
    auto showRotor = [this] {
        m_sky->SetRotor(m_rotor->PortOpen()
                ? std::optional<QPointF>(QPointF(m_rotor->LastRotorAz(), m_rotor->LastRotorEl()))
                : std::nullopt);
    };
    connect(m_rotor, &RotorController::commandSent, this, showRotor);
    connect(m_rotor, &RotorController::lampChanged, this, showRotor);
    connect(m_rotor, &RotorController::positionReported, this,
        [this](double azimuth, double elevation) {
            m_sky->SetReportedRotor(QPointF(azimuth, elevation));
        });
    connect(m_rotor, &RotorController::lampChanged, this, [this] {
        if (!m_rotor->PortOpen())
            m_sky->SetReportedRotor(std::nullopt);
    });
}

void PassOverviewBinding::BindAlarm()
{
    m_alarm.SetLead(minutes { m_dock->AlarmMinutes()->value() });
    connect(m_dock->AlarmMinutes(), &QSpinBox::valueChanged, this,
        [this](int value) { m_alarm.SetLead(minutes { value }); });
    connect(m_dock->AlarmBox(), &QCheckBox::toggled, this, [this](bool on) {
        // Switched on: what is already past (an AOS of a pass in progress) is
        // not announced again; from now on every event is.
        if (on)
            m_alarm.Step(m_clock.UtcNow(), m_tracker.AosTime(), m_tracker.LosTime());
    });
    connect(&m_tracker, &TrackingSession::countdownChanged, this, &PassOverviewBinding::Tick);
}

PassOverviewBinding::~PassOverviewBinding() = default;

void PassOverviewBinding::Tick()
{
    const sys_seconds now = m_clock.UtcNow();
    m_overview.Check(m_tracker.StationPosition(), m_tracker.ModelKind());
    m_dock->SetNow(now);
    if (m_sky) {
        const SatelliteState& s = m_tracker.State();
        m_sky->SetSatellite(s.SatAzimuth, s.SatElevation);
    }
    if (!m_dock->AlarmBox()->isChecked())
        return;
    for (const PassEvent& event : m_alarm.Step(now, m_tracker.AosTime(), m_tracker.LosTime()))
        RaiseAlarm(event);
}

void PassOverviewBinding::RaiseAlarm(const PassEvent& event)
{
    const QString name = m_tracker.SelectedName();
    switch (event.Kind) {
    case PassEventKind::Warning:
        m_lastAlarm
            = QStringLiteral("AOS in %1 min: %2").arg(m_alarm.Lead().count() / 60).arg(name);
        break;
    case PassEventKind::Aos:
        m_lastAlarm = QStringLiteral("AOS: %1").arg(name);
        break;
    case PassEventKind::Los:
        m_lastAlarm = QStringLiteral("LOS: %1").arg(name);
        break;
    }
    if (m_tray && m_tray->isVisible() && QSystemTrayIcon::supportsMessages())
        m_tray->showMessage(
            QStringLiteral("aostrack"), m_lastAlarm, QSystemTrayIcon::Information, 10000);
    m_log.LogEvent(QStringLiteral(": alarm: ") + m_lastAlarm, true);
    if (!m_sound) {
        m_sound = new QSoundEffect(this);
        m_sound->setSource(QUrl(QStringLiteral("qrc:/sounds/alarm.wav")));
        m_sound->setVolume(0.8f);
    }
    m_sound->play();
}

} // namespace aostrack
