// The rotor link over a recorded line: menu item, ticks, park, failures, log.
#include "rotor/RotorController.h"
#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "QtPrinters.h"
#include "core/Configuration.h"
#include "core/EventLog.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

Configuration StationRotor()
{
    Configuration c;
    c.RotorPort = 3;
    c.RotorPortSettings = QStringLiteral("9600,n,8,1");
    c.RotorStepDeg = 5;
    c.RotorParkCommand = QStringLiteral("AZ000.0 EL000.0");
    c.AutoPark = true;
    return c;
}

class RotorLinkTest : public ::testing::Test {
protected:
    RotorLinkTest()
    {
        auto port = std::make_unique<FakeSerialPort>();
        m_port = port.get();
        m_rotor = std::make_unique<RotorController>(m_log, std::move(port));
    }

    // The timed line as the event log writes it at the fake clock's time.
    QString Timed(const QString& text) const
    {
        return GeneralDateTimeText(m_clock.UtcNow()) + text;
    }

    void OpenLink(const Configuration& c = StationRotor())
    {
        m_rotor->ApplyConfiguration(c);
        m_rotor->ToggleRotorLink();
        ASSERT_TRUE(m_rotor->LinkChecked());
        m_port->written.clear();
    }

    FakeClock m_clock { sys_days { 2024y / March / 1 } + 12h + 30min };
    EventLog m_log { m_clock };
    FakeSerialPort* m_port = nullptr;
    std::unique_ptr<RotorController> m_rotor;
};

} // namespace

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

TEST_F(RotorLinkTest, toggleNamedDevice)
{
    Configuration c = StationRotor();
    c.RotorDevice = QStringLiteral("/dev/ttyUSB0");
    m_rotor->ApplyConfiguration(c);
    m_rotor->ToggleRotorLink();
    EXPECT_EQ(m_port->openedDevice, "/dev/ttyUSB0");
    ASSERT_EQ(m_log.Lines().size(), 1);
    EXPECT_EQ(m_log.Lines()[0], Timed(": /dev/ttyUSB0 9600,n,8,1 opened "));
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

TEST_F(RotorLinkTest, horizonEdges)
{
    OpenLink();
    m_rotor->UpdateRotor(200, -3); // neither above nor below -3
    EXPECT_TRUE(m_port->written.isEmpty());
    EXPECT_FALSE(m_rotor->RotorParked());
    m_rotor->UpdateRotor(200, -2.9);
    EXPECT_EQ(m_port->written, QByteArray("AZ200.0 EL000.0\r"));
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

TEST_F(RotorLinkTest, twoCommandsInOneTick)
{
    OpenLink();
    m_rotor->UpdateRotor(50, 10);
    m_port->written.clear();
    m_rotor->UpdateRotor(57.2, 16.6);
    EXPECT_EQ(m_port->written, QByteArray("AZ057.0 EL017.0\rAZ057.0 EL017.0\r"));
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

TEST_F(RotorLinkTest, automaticPark)
{
    OpenLink();
    m_rotor->UpdateRotor(250, 2); // end of a pass
    m_port->written.clear();
    m_rotor->UpdateRotor(252, -3.1);
    EXPECT_EQ(m_port->written, QByteArray("AZ000.0 EL000.0\r"));
    EXPECT_EQ(m_rotor->StatusText(), "parking position at AZ000.0 EL000.0");
    EXPECT_TRUE(m_rotor->RotorParked());
    m_port->written.clear();
    m_rotor->UpdateRotor(260, -10); // parked once only
    EXPECT_TRUE(m_port->written.isEmpty());
    EXPECT_EQ(m_rotor->StatusText(), QStringLiteral("COM3, 9600,n,8,1  (5\u00b0)"));

    // Next pass: the first azimuth-driven command re-arms the park.
    m_rotor->UpdateRotor(30, -2);
    EXPECT_EQ(m_port->written, QByteArray("AZ030.0 EL000.0\r"));
    EXPECT_FALSE(m_rotor->RotorParked());
    m_port->written.clear();
    m_rotor->UpdateRotor(30, -4);
    EXPECT_EQ(m_port->written, QByteArray("AZ000.0 EL000.0\r"));
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

TEST_F(RotorLinkTest, germanLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    OpenLink();
    m_rotor->UpdateRotor(123.4, 45.2);
    EXPECT_EQ(m_rotor->StatusText(), "AZ123.0 EL045.0");
    EXPECT_EQ(m_port->written, QByteArray("AZ123.0 EL045.0\rAZ123.0 EL045.0\r"));
    QLocale::setDefault(saved);
}
