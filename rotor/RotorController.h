#pragma once
// The rotor link: the "EasyComm" menu item opens and closes the line to the
// rotor, every tick steps the rotor after the satellite, the "park" button and
// the automatic park after a pass send the park command. Two ways to the
// rotor, each a driver (RotorDriver.h): EasyComm over a serial port
// (ROTOR_PORT_SETTINGS) or hamlib's rotctld over TCP (ROTOR_HOST, which then
// replaces the serial port). At the
// start of each pass the link picks the plan that takes the rotor through
// the pass without a turn at north (RotorPlan.h) and holds it until the pass
// is over. No widgets: the main window and the terminal view follow its
// signals.
#include "core/StationLinks.h"
#include "rotor/EasyCommDriver.h"
#include "rotor/Rotctld.h"
#include "rotor/RotctldDriver.h"
#include "rotor/RotorPlan.h"
#include "rotor/SerialPort.h"
#include "rotor/SerialSettings.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace aostrack {

class EventLog;

// Lamp colours of Shape1 (RGB): port open, port closed.
inline constexpr unsigned kRotorLampOpenRgb = 0x00FF00;
inline constexpr unsigned kRotorLampClosedRgb = 0x808080;

// The name the operator knows the port by: ROTOR_DEVICE when given, else
// "COM<n>" for ROTOR_PORT n (1 when absent). Used in log and status texts.
// The device actually opened is core's RotorDevicePath (/dev/ttyS<n-1>).
QString RotorPortName(const Configuration& config);

class RotorController : public QObject, public RotorLink {
    Q_OBJECT
public:
    // log takes the timed port lines; port is the line to the rotor (the
    // system's serial port unless a test hands in another).
    explicit RotorController(EventLog& log,
        std::unique_ptr<SerialPort> port = MakeSystemSerialPort(), QObject* parent = nullptr);
    // Closes an open port; sends nothing.
    ~RotorController() override;

    // Takes ROTOR_PORT, ROTOR_DEVICE, ROTOR_PORT_SETTINGS, ROTOR_HOST,
    // ROTOR_DEG, ROTOR_PARK, AUTO_PARK, ROTOR_AZ_MAX and ROTOR_EL_MAX. Throws
    // StartupError when the settings text cannot be read, with the serial
    // rotor configured the port number is out of 1..255, or with rotctld a
    // ROTOR_PARK is not "az el".
    void ApplyConfiguration(const Configuration& config) override;
    // The pass ahead, from the tracker's search: its plan is taken when the
    // rotor first moves for it.
    void PassAhead(const std::vector<PassLook>& track) override;

    // One tick with the tick's look angles in degrees: lamp and status text,
    // automatic park below -3 degrees, azimuth- and elevation-driven commands.
    // Non-finite angles (a decayed element set) send nothing.
    void UpdateRotor(double satAzimuth, double satElevation) override;

    // The menu item "EasyComm": marks it and opens the port, or unmarks it and
    // closes the port. A port that cannot be opened is logged with the
    // system's reason and leaves the item unmarked. Ignored when the rotor is
    // not configured (the menu is disabled then).
    void ToggleRotorLink();
    // The "park" button (and the automatic park): sends ROTOR_PARK and CR when
    // the port is open, else does nothing.
    void ParkRotor();
    // Closing the main window: closes an open port without a line to the
    // rotor and without a log line.
    void ClosePort();
    // Setting up a station: sends the rotor to azimuth/elevation (degrees,
    // rotor frame) as it stands, when the link is open.
    void PointRotor(double azimuth, double elevation);
    // Where the rotor reads its position back (rotctld): reads it now
    // (positionReported).
    void RequestPosition();

    // ROTOR_PORT_SETTINGS or ROTOR_HOST was given: the menu "Rotor" and
    // "park" are enabled.
    bool Configured() const { return m_configured; }
    // The rotor's position is read back (rotctld).
    bool ReadsPosition() const { return m_driver->ReadsPosition(); }
    // A command is on its way or waiting to go (rotctld queues them).
    bool CommandPending() const { return !m_driver->Idle(); }
    bool LinkChecked() const { return m_linkChecked; }
    // The serial port is open, or rotctld is connected.
    bool PortOpen() const;
    QString StatusText() const { return m_statusText; } // Label7
    QString ParkModeText() const { return m_parkModeText; } // Label9: "AUTO", "MAN" or empty
    QString PortName() const { return m_portName; }
    QString DevicePath() const { return m_devicePath; }
    QString SettingsText() const { return m_settingsText; }
    int RotorStepDeg() const { return m_stepDeg; }

    // Where the rotor was last sent (unrounded degrees), kept for the whole
    // run: across closing the port and across a change of satellite.
    double LastRotorAz() const { return m_lastRotorAz; }
    double LastRotorEl() const { return m_lastRotorEl; }
    bool RotorParked() const { return m_rotorParked; }

    // The plan of the pass under way (normal between passes).
    const RotorPlan& ActivePlan() const { return m_plan; }
    // Where the rotor was last sent (rotor frame, degrees) and, with rotctld,
    // where it reports itself; unset before the first command / reading.
    std::optional<RotorAim> CommandedPosition() const { return m_commanded; }
    std::optional<RotorAim> ReportedPosition() const { return m_reported; }
    // The frame's position line: "cmd 372°/45°", with rotctld
    // "cmd 372°/45°  rotor 371.8°/44.9°"; empty before any command.
    QString PositionText() const;

signals:
    void controlsEnabledChanged(bool enabled); // menu "Rotor", button "park"
    void linkCheckedChanged(bool checked); // check mark of "EasyComm"
    void lampChanged(bool portOpen); // Shape1 green / grey
    void statusTextChanged(const QString& text); // Label7
    void parkModeTextChanged(const QString& text); // Label9
    // Every line written, CR (LF) included: with rotctld when it goes onto
    // the wire, not for a point replaced or dropped with the link before that.
    void commandSent(const QByteArray& bytes);
    void positionTextChanged(const QString& text); // the frame's position line
    // With rotctld, once a second: the rotor's own position (degrees).
    void positionReported(double azimuth, double elevation);
    // With rotctld: the daemon refused a command (its code as written).
    void commandRefused(const QString& command, const QString& code);

private:
    void ConfigureEasyComm(const Configuration& config);
    void ConfigureRotctld(const Configuration& config);
    void ConnectDriver(RotorDriver& driver);
    void CloseLink();
    void OpenLink();
    bool SendAim(const RotorAim& aim);
    void PortLost(const QString& reason);
    void StartPass();
    void EndPass();
    void LinkConnected();
    void LinkConnectFailed(const QString& reason);
    void LinkDropped(const QString& reason, bool newOutage);
    void DriverRefused(const QString& command, const QString& code);
    void PositionRead(double azimuth, double elevation);
    void RefreshPositionText();
    void SetStatusText(const QString& text);
    void SetLinkChecked(bool checked);
    void RefreshLamp();
    QString StatusLine() const;

    EventLog& m_log;
    // The serial driver always exists (it holds the port a test hands in);
    // the rotctld one is made when ROTOR_HOST first names a daemon.
    std::unique_ptr<EasyCommDriver> m_easyComm;
    std::unique_ptr<RotctldDriver> m_rotctld;
    RotorDriver* m_driver = nullptr; // the one ApplyConfiguration chose

    bool m_configured = false;
    QString m_portName = QStringLiteral("COM1");
    QString m_devicePath;
    QString m_settingsText = kDefaultSerialSettingsText;
    QString m_linkLabel; // "COM3 9600,n,8,1" or the daemon, in log lines
    QString m_statusWhere; // "COM3, 9600,n,8,1" or the daemon, in Label7
    SerialSettings m_settings;
    int m_stepDeg = 0;
    bool m_autoPark = false;

    bool m_linkChecked = false;
    bool m_lampOn = false;
    bool m_portWasOpen = false; // we opened it and have not yet seen it close
    QString m_statusText = QStringLiteral("Rotor Control");
    QString m_parkModeText;

    double m_lastRotorAz = 0;
    double m_lastRotorEl = 0;
    bool m_rotorParked = false;

    // Links that open in the background and read the rotor back (rotctld).
    bool m_connectFailureLogged = false;
    bool m_refusalLogged = false;
    bool m_resendAfterConnect = false; // a new daemon does not know our last aim
    bool m_unreachableLogged = false; // a position out of reach was reported
    bool m_openLogged = false;

    // Passes across north.
    RotorLimits m_limits;
    RotorPlan m_nextPlan; // of the pass the tracker found last
    RotorPlan m_plan; // of the pass under way
    bool m_inPass = false;
    bool m_planLogged = false;

    std::optional<RotorAim> m_commanded;
    std::optional<RotorAim> m_reported;
    QString m_positionText;
};

} // namespace aostrack
