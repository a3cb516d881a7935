#pragma once
// The EasyComm rotor link: the "EasyComm" menu item opens and closes the
// port, every tick steps the rotor after the satellite, the "park" button and
// the automatic park after a pass send the park text. No widgets: the main
// window and the terminal view follow its signals.
#include "core/StationLinks.h"
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

    // Takes ROTOR_PORT, ROTOR_DEVICE, ROTOR_PORT_SETTINGS, ROTOR_DEG, ROTOR_PARK
    // and AUTO_PARK. Throws StartupError when the settings text cannot be read
    // or, with the rotor configured, the port number is out of 1..255.
    void ApplyConfiguration(const Configuration& config) override;

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

    // ROTOR_PORT_SETTINGS was given: the menu "Rotor" and "park" are enabled.
    bool Configured() const { return m_configured; }
    bool LinkChecked() const { return m_linkChecked; }
    bool PortOpen() const { return m_port->IsOpen(); }
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

signals:
    void controlsEnabledChanged(bool enabled); // menu "Rotor", button "park"
    void linkCheckedChanged(bool checked); // check mark of "EasyComm"
    void lampChanged(bool portOpen); // Shape1 green / grey
    void statusTextChanged(const QString& text); // Label7
    void parkModeTextChanged(const QString& text); // Label9
    void commandSent(const QByteArray& bytes); // every line written, CR included

private:
    bool Send(const QString& command);
    void PortLost(const QString& reason);
    void SetStatusText(const QString& text);
    void SetLinkChecked(bool checked);
    void RefreshLamp();
    QString StatusLine() const;

    EventLog& m_log;
    std::unique_ptr<SerialPort> m_port;

    bool m_configured = false;
    QString m_portName = QStringLiteral("COM1");
    QString m_devicePath;
    QString m_settingsText = kDefaultSerialSettingsText;
    SerialSettings m_settings;
    int m_stepDeg = 0;
    QString m_parkCommand;
    bool m_autoPark = false;

    bool m_linkChecked = false;
    bool m_lampOn = false;
    bool m_portWasOpen = false; // we opened it and have not yet seen it close
    QString m_statusText = QStringLiteral("Rotor Control");
    QString m_parkModeText;

    double m_lastRotorAz = 0;
    double m_lastRotorEl = 0;
    bool m_rotorParked = false;
};

} // namespace aostrack
