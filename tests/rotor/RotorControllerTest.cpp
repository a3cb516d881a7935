// The rotor link over a recorded line: menu item, ticks, park, failures, log.
#include "RotorLinkFixture.h"

#include <cmath>

using namespace aostrack;
using namespace std::chrono;

TEST_F(RotorLinkTest, configurationNormal)
{
    m_rotor->ApplyConfiguration(StationRotor());
    EXPECT_TRUE(m_rotor->Configured());
    EXPECT_EQ(m_rotor->PortName(), "COM3");
    EXPECT_EQ(m_rotor->DevicePath(), "/dev/ttyS2");
    EXPECT_EQ(m_rotor->SettingsText(), "9600,n,8,1");
    EXPECT_EQ(m_rotor->ParkModeText(), "AUTO");
    EXPECT_EQ(m_rotor->StatusText(), "Rotor Control");
    EXPECT_FALSE(m_rotor->LinkChecked());
    EXPECT_FALSE(m_rotor->PortOpen());
    EXPECT_TRUE(m_log.Lines().isEmpty());
}

TEST_F(RotorLinkTest, configurationDevice)
{
    Configuration c = StationRotor();
    c.RotorDevice = QStringLiteral("/dev/ttyUSB0");
    m_rotor->ApplyConfiguration(c);
    EXPECT_EQ(m_rotor->PortName(), "/dev/ttyUSB0");
    EXPECT_EQ(m_rotor->DevicePath(), "/dev/ttyUSB0");
    EXPECT_EQ(RotorPortName(c), "/dev/ttyUSB0");

    Configuration first;
    EXPECT_EQ(RotorPortName(first), "COM1");
    EXPECT_EQ(RotorDevicePath(first), "/dev/ttyS0");
}

TEST_F(RotorLinkTest, configurationParkMode)
{
    Configuration c = StationRotor();
    c.AutoPark = false;
    m_rotor->ApplyConfiguration(c);
    EXPECT_EQ(m_rotor->ParkModeText(), "MAN");
    c.AutoPark.reset();
    m_rotor->ApplyConfiguration(c);
    EXPECT_EQ(m_rotor->ParkModeText(), "");
}

TEST_F(RotorLinkTest, configurationMalformed)
{
    Configuration c = StationRotor();
    c.RotorPortSettings = QStringLiteral("9600,x,8,1");
    try {
        m_rotor->ApplyConfiguration(c);
        FAIL() << "accepted a bad parity";
    } catch (const StartupError& e) {
        EXPECT_STREQ(e.what(),
            "Rotor port settings \"9600,x,8,1\": parity \"x\" must be n, e, o, "
            "m or s");
    }
    c = StationRotor();
    c.RotorPort = 0;
    try {
        m_rotor->ApplyConfiguration(c);
        FAIL() << "accepted port 0";
    } catch (const StartupError& e) {
        EXPECT_STREQ(e.what(), "Rotor port number 0 must lie between 1 and 255");
    }
    // A named device makes the number irrelevant.
    c.RotorDevice = QStringLiteral("/dev/ttyUSB0");
    EXPECT_NO_THROW(m_rotor->ApplyConfiguration(c));
}

TEST_F(RotorLinkTest, notConfigured)
{
    Configuration c = StationRotor();
    c.RotorPortSettings.reset();
    m_rotor->ApplyConfiguration(c);
    EXPECT_FALSE(m_rotor->Configured());
    m_rotor->ToggleRotorLink();
    EXPECT_FALSE(m_rotor->LinkChecked());
    EXPECT_EQ(m_port->opens, 0);
    EXPECT_TRUE(m_log.Lines().isEmpty());
}

TEST_F(RotorLinkTest, toggleOpensAndCloses)
{
    Configuration c = StationRotor();
    c.RotorPortSettings = QStringLiteral("4800,e,7,2");
    m_rotor->ApplyConfiguration(c);
    m_rotor->ToggleRotorLink();
    EXPECT_TRUE(m_rotor->LinkChecked());
    EXPECT_TRUE(m_rotor->PortOpen());
    EXPECT_EQ(m_port->openedDevice, "/dev/ttyS2");
    EXPECT_EQ(m_port->openedSettings,
        (SerialSettings { 4800, SerialParity::Even, 7, SerialStopBits::Two }));
    ASSERT_EQ(m_log.Lines().size(), 1);
    EXPECT_EQ(m_log.Lines()[0], Timed(": COM3 4800,e,7,2 opened "));

    m_clock.Advance(90s);
    m_rotor->ToggleRotorLink();
    EXPECT_FALSE(m_rotor->LinkChecked());
    EXPECT_FALSE(m_rotor->PortOpen());
    ASSERT_EQ(m_log.Lines().size(), 2);
    EXPECT_EQ(m_log.Lines()[1], Timed(": COM3 closed "));
    // Opening and closing sends nothing to the rotor.
    EXPECT_TRUE(m_port->written.isEmpty());
}

TEST_F(RotorLinkTest, toggleUnopenable)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_port->openFailure = QStringLiteral("No such file or directory");
    m_rotor->ToggleRotorLink();
    EXPECT_FALSE(m_rotor->LinkChecked());
    EXPECT_FALSE(m_rotor->PortOpen());
    ASSERT_EQ(m_log.Lines().size(), 1);
    EXPECT_EQ(m_log.Lines()[0],
        Timed(": COM3 9600,n,8,1 could not be opened (COM3, /dev/ttyS2: "
              "No such file or directory)"));
    m_rotor->UpdateRotor(120, 30);
    EXPECT_TRUE(m_port->written.isEmpty());

    // The device is back: the next click opens it.
    m_port->openFailure.clear();
    m_rotor->ToggleRotorLink();
    EXPECT_TRUE(m_rotor->LinkChecked());
    EXPECT_EQ(m_port->opens, 2);
    EXPECT_EQ(m_log.Lines().last(), Timed(": COM3 9600,n,8,1 opened "));
}

TEST_F(RotorLinkTest, statusLampAndText)
{
    Configuration c = StationRotor();
    c.AutoPark = false;
    m_rotor->ApplyConfiguration(c);
    std::vector<bool> lamp;
    QObject::connect(
        m_rotor.get(), &RotorController::lampChanged, [&lamp](bool on) { lamp.push_back(on); });

    m_rotor->UpdateRotor(10, -20); // port closed: grey, status emptied
    EXPECT_EQ(m_rotor->StatusText(), "");
    EXPECT_TRUE(lamp.empty()); // was grey already

    m_rotor->ToggleRotorLink();
    m_rotor->UpdateRotor(10, -20); // open, satellite far below: port summary
    EXPECT_EQ(m_rotor->StatusText(), QStringLiteral("COM3, 9600,n,8,1  (5\u00b0)"));
    EXPECT_EQ(lamp, std::vector<bool> { true });

    m_rotor->UpdateRotor(10, -3); // at -3 the text stays
    EXPECT_EQ(m_rotor->StatusText(), QStringLiteral("COM3, 9600,n,8,1  (5\u00b0)"));

    m_rotor->ToggleRotorLink();
    m_rotor->UpdateRotor(10, -20);
    EXPECT_EQ(m_rotor->StatusText(), "");
    EXPECT_EQ(lamp, (std::vector<bool> { true, false }));
}

TEST_F(RotorLinkTest, azimuthStep)
{
    OpenLink();
    m_rotor->UpdateRotor(100, 10); // first: azimuth and elevation both moved
    EXPECT_EQ(m_port->written, QByteArray("AZ100.0 EL010.0\rAZ100.0 EL010.0\r"));
    m_port->written.clear();
    m_rotor->UpdateRotor(104.9, 10);
    EXPECT_TRUE(m_port->written.isEmpty());
    m_rotor->UpdateRotor(105, 10);
    EXPECT_EQ(m_port->written, QByteArray("AZ105.0 EL010.0\r"));
    EXPECT_EQ(m_rotor->StatusText(), "AZ105.0 EL010.0");
    EXPECT_EQ(m_rotor->LastRotorAz(), 105);
    EXPECT_EQ(m_rotor->LastRotorEl(), 10);
    // Back the other way counts the same.
    m_port->written.clear();
    m_rotor->UpdateRotor(100, 10);
    EXPECT_EQ(m_port->written, QByteArray("AZ100.0 EL010.0\r"));
}

TEST_F(RotorLinkTest, firstCommandAfterStart)
{
    OpenLink();
    m_rotor->UpdateRotor(4.9, -1); // last azimuth starts at 0
    EXPECT_TRUE(m_port->written.isEmpty());
    m_rotor->UpdateRotor(5, -1); // below 0: the rotor waits at the horizon
    EXPECT_EQ(m_port->written, QByteArray("AZ005.0 EL000.0\r"));
    EXPECT_EQ(m_rotor->LastRotorEl(), 0); // no elevation-driven command below 0
}

TEST_F(RotorLinkTest, elevationStep)
{
    OpenLink();
    m_rotor->UpdateRotor(50, 10);
    m_port->written.clear();
    m_rotor->UpdateRotor(50, 14.9);
    EXPECT_TRUE(m_port->written.isEmpty());
    m_rotor->UpdateRotor(50, 15);
    EXPECT_EQ(m_port->written, QByteArray("AZ050.0 EL015.0\r"));
    // Sinking: 0.4 degrees is 14.6 below the last, and rounds to EL000.0.
    m_port->written.clear();
    m_rotor->UpdateRotor(50, 0.4);
    EXPECT_EQ(m_port->written, QByteArray("AZ050.0 EL000.0\r"));
    EXPECT_EQ(m_rotor->LastRotorEl(), 0.4);
}

TEST_F(RotorLinkTest, noWrapAtNorth)
{
    OpenLink();
    m_rotor->UpdateRotor(358, -1);
    m_port->written.clear();
    m_rotor->UpdateRotor(2, -1); // 4 degrees round north, 356 as the rotor turns
    EXPECT_EQ(m_port->written, QByteArray("AZ002.0 EL000.0\r"));
    m_port->written.clear();
    m_rotor->UpdateRotor(359.6, -1);
    EXPECT_EQ(m_port->written, QByteArray("AZ360.0 EL000.0\r"));
}

TEST_F(RotorLinkTest, stepZeroSendsEveryTick)
{
    Configuration c = StationRotor();
    c.RotorStepDeg = 0;
    OpenLink(c);
    for (int tick = 0; tick < 4; ++tick) // one second, unchanged angles
        m_rotor->UpdateRotor(120, 30);
    EXPECT_EQ(m_port->written, QByteArray("AZ120.0 EL030.0\r").repeated(8));
    m_port->written.clear();
    m_rotor->UpdateRotor(120, -1);
    EXPECT_EQ(m_port->written, QByteArray("AZ120.0 EL000.0\r"));
}

TEST_F(RotorLinkTest, manualParkMode)
{
    Configuration c = StationRotor();
    c.AutoPark = false;
    OpenLink(c);
    m_rotor->UpdateRotor(250, 2);
    m_port->written.clear();
    m_rotor->UpdateRotor(252, -10);
    EXPECT_TRUE(m_port->written.isEmpty());
    EXPECT_FALSE(m_rotor->RotorParked());
}

TEST_F(RotorLinkTest, parkButton)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_rotor->ParkRotor(); // port closed: nothing
    EXPECT_EQ(m_port->opens, 0);
    EXPECT_EQ(m_rotor->StatusText(), "Rotor Control");
    EXPECT_FALSE(m_rotor->RotorParked());

    m_rotor->ToggleRotorLink();
    m_rotor->ParkRotor();
    EXPECT_EQ(m_port->written, QByteArray("AZ000.0 EL000.0\r"));
    EXPECT_EQ(m_rotor->StatusText(), "parking position at AZ000.0 EL000.0");
    EXPECT_TRUE(m_rotor->RotorParked());
}

TEST_F(RotorLinkTest, parkEmptyCommand)
{
    Configuration c = StationRotor();
    c.RotorParkCommand.clear();
    OpenLink(c);
    m_rotor->ParkRotor();
    EXPECT_EQ(m_port->written, QByteArray("\r"));
    EXPECT_EQ(m_rotor->StatusText(), "parking position at ");
}

TEST_F(RotorLinkTest, lastPositionKeptAcrossClose)
{
    OpenLink();
    m_rotor->UpdateRotor(100, -1);
    m_rotor->ToggleRotorLink();
    m_rotor->UpdateRotor(140, -1); // link off: nothing, nothing remembered
    EXPECT_EQ(m_rotor->LastRotorAz(), 100);
    m_rotor->ToggleRotorLink();
    m_port->written.clear();
    m_rotor->UpdateRotor(103, -1);
    EXPECT_TRUE(m_port->written.isEmpty());
    m_rotor->UpdateRotor(105, -1);
    EXPECT_EQ(m_port->written, QByteArray("AZ105.0 EL000.0\r"));
}

TEST_F(RotorLinkTest, deviceLost)
{
    OpenLink();
    m_rotor->UpdateRotor(100, 20);
    m_clock.Advance(5min);
    m_port->Unplug(QStringLiteral("Input/output error"));
    EXPECT_FALSE(m_rotor->LinkChecked());
    EXPECT_FALSE(m_rotor->PortOpen());
    EXPECT_EQ(m_rotor->StatusText(), "");
    ASSERT_EQ(m_log.Lines().size(), 2);
    EXPECT_EQ(m_log.Lines()[1], Timed(": COM3 lost (Input/output error), closed "));

    m_port->written.clear();
    m_port->Unplug(QStringLiteral("Input/output error")); // a second error signal
    m_rotor->UpdateRotor(120, 30);
    EXPECT_TRUE(m_port->written.isEmpty());
    EXPECT_EQ(m_log.Lines().size(), 2);

    // Plugged in again: the menu item opens it as before.
    m_rotor->ToggleRotorLink();
    EXPECT_TRUE(m_rotor->LinkChecked());
    m_rotor->UpdateRotor(120, 30);
    EXPECT_EQ(m_port->written, QByteArray("AZ120.0 EL030.0\rAZ120.0 EL030.0\r"));
}

TEST_F(RotorLinkTest, writeFailureReportedOnce)
{
    OpenLink();
    m_port->writeFailure = QStringLiteral("Input/output error");
    m_rotor->UpdateRotor(100, 20); // both commands due, the first fails
    EXPECT_FALSE(m_rotor->LinkChecked());
    ASSERT_EQ(m_log.Lines().size(), 2);
    EXPECT_EQ(m_log.Lines()[1], Timed(": COM3 lost (Input/output error), closed "));
    EXPECT_EQ(m_rotor->LastRotorAz(), 0); // never reached the rotor
}

TEST_F(RotorLinkTest, exitClosesSilently)
{
    OpenLink();
    m_rotor->UpdateRotor(100, 20);
    m_port->written.clear();
    m_rotor->ClosePort();
    EXPECT_FALSE(m_rotor->PortOpen());
    EXPECT_EQ(m_port->closes, 1);
    EXPECT_TRUE(m_port->written.isEmpty()); // no park on exit
    EXPECT_EQ(m_log.Lines().size(), 1); // only the "opened" line

    // Unmarking the item with the port already closed writes nothing.
    m_rotor->ToggleRotorLink();
    EXPECT_FALSE(m_rotor->LinkChecked());
    EXPECT_EQ(m_log.Lines().size(), 1);
}

TEST_F(RotorLinkTest, nonFiniteAngles)
{
    OpenLink();
    m_rotor->UpdateRotor(std::nan(""), 20);
    m_rotor->UpdateRotor(100, std::nan(""));
    EXPECT_TRUE(m_port->written.isEmpty());
}
