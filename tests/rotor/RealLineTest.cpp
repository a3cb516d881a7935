// The real serial line: a pseudo-terminal pair stands in for the cable. The
// link opens the slave side through QSerialPort; the test reads the master
// side, which receives exactly what a rotor on the cable would.
#include "FakeClock.h"
#include "QtPrinters.h"
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/RotorController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

// The rotor's end of the cable.
class PtyRotor {
public:
    PtyRotor()
    {
        int slave = -1;
        char name[256] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
            return;
        // The link opens the slave by name; our own descriptor is not needed.
        ::close(slave);
        m_slaveName = QString::fromLocal8Bit(name);
        termios t {};
        tcgetattr(m_master, &t);
        cfmakeraw(&t);
        tcsetattr(m_master, TCSANOW, &t);
    }
    ~PtyRotor() { Unplug(); }

    bool Ok() const { return m_master >= 0 && !m_slaveName.isEmpty(); }
    QString SlaveName() const { return m_slaveName; }

    // Everything the rotor has received once count bytes are there (or the
    // generous limit has passed); events keep running meanwhile.
    QByteArray Receive(qsizetype count, int limitMs = 5000)
    {
        QByteArray got;
        QDeadlineTimer deadline(limitMs);
        while (got.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            pollfd p { m_master, POLLIN, 0 };
            if (poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n > 0)
                    got.append(buf, n);
            }
        }
        return got;
    }

    // Whatever else arrives within a short while: for "nothing was sent".
    QByteArray Drain(int waitMs = 300) { return Receive(1 << 20, waitMs); }

    // The far end goes away, as when a USB adapter is pulled.
    void Unplug()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slaveName;
};

Configuration PtyStation(const QString& device)
{
    Configuration c;
    c.RotorPort = 1;
    c.RotorDevice = device;
    c.RotorPortSettings = QStringLiteral("9600,n,8,1");
    c.RotorStepDeg = 5;
    c.RotorParkCommand = QStringLiteral("AZ000.0 EL000.0");
    c.AutoPark = true;
    return c;
}

class RealLineTest : public ::testing::Test {
protected:
    FakeClock m_clock { sys_days { 2024y / March / 1 } + 18h };
    EventLog m_log { m_clock };
    QString Timed(const QString& text) const
    {
        return GeneralDateTimeText(m_clock.UtcNow()) + text;
    }
};

} // namespace

TEST_F(RealLineTest, normal)
{
    PtyRotor rotorEnd;
    ASSERT_TRUE(rotorEnd.Ok());
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(PtyStation(rotorEnd.SlaveName()));
    rotor.ToggleRotorLink();
    ASSERT_TRUE(rotor.PortOpen()) << m_log.Lines().join('\n').toStdString();
    EXPECT_EQ(m_log.Lines().last(), Timed(": " + rotorEnd.SlaveName() + " 9600,n,8,1 opened "));

    // Rising in the south-west, one second apart, four ticks a second; 5° rotor step.
    const double track[][2] = { { 210.2, -2.0 }, { 213.9, 4.2 }, { 215.4, 8.1 }, { 219.6, 9.9 } };
    for (const auto& look : track)
        for (int tick = 0; tick < 4; ++tick)
            rotor.UpdateRotor(look[0], look[1]);
    // 210.2 is 210.2 from the start value 0, below the horizon: EL000.0.
    // 213.9/4.2 moved 3.7 and 4.2: nothing. 215.4/8.1 moved 5.2 in azimuth and
    // 8.1 in elevation: two commands. 219.6/9.9 moved 4.2 and 1.8: nothing.
    EXPECT_EQ(rotorEnd.Receive(3 * 16),
        QByteArray("AZ210.0 EL000.0\r"
                   "AZ215.0 EL008.0\r"
                   "AZ215.0 EL008.0\r"));
    EXPECT_EQ(rotorEnd.Drain(), QByteArray());

    // Set: parked once.
    rotor.UpdateRotor(250.0, -3.5);
    rotor.UpdateRotor(250.0, -3.5);
    EXPECT_EQ(rotorEnd.Receive(16), QByteArray("AZ000.0 EL000.0\r"));
    EXPECT_EQ(rotorEnd.Drain(), QByteArray());

    // The park button sends again whenever it is pressed.
    rotor.ParkRotor();
    EXPECT_EQ(rotorEnd.Receive(16), QByteArray("AZ000.0 EL000.0\r"));

    // Exit: the port closes and the rotor hears nothing more.
    rotor.ClosePort();
    EXPECT_FALSE(rotor.PortOpen());
    EXPECT_EQ(rotorEnd.Drain(), QByteArray());
}

TEST_F(RealLineTest, lineSettingsApplied)
{
    PtyRotor rotorEnd;
    ASSERT_TRUE(rotorEnd.Ok());
    Configuration c = PtyStation(rotorEnd.SlaveName());
    c.RotorPortSettings = QStringLiteral("4800,e,7,2");
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(c);
    rotor.ToggleRotorLink();
    ASSERT_TRUE(rotor.PortOpen()) << m_log.Lines().join('\n').toStdString();

    // Look at the slave's line discipline from a second descriptor.
    const int fd = ::open(rotorEnd.SlaveName().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY);
    if (fd < 0)
        GTEST_SKIP() << "slave is held exclusively; settings not observable";
    termios t {};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    ::close(fd);
    // The Linux pty driver forces 8 data bits without parity on every
    // change, so only the rate and the stop bits are visible here.
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B4800));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
}

TEST_F(RealLineTest, unopenableDevice)
{
    QTemporaryDir dir;
    const QString missing = dir.path() + "/ttyUSB7";
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(PtyStation(missing));
    rotor.ToggleRotorLink();
    EXPECT_FALSE(rotor.LinkChecked());
    EXPECT_FALSE(rotor.PortOpen());
    ASSERT_EQ(m_log.Lines().size(), 1);
    EXPECT_EQ(m_log.Lines()[0],
        Timed(": " + missing + " 9600,n,8,1 could not be opened (" + missing
            + ": No such file or directory)"));
}

TEST_F(RealLineTest, busyDevice)
{
    PtyRotor rotorEnd;
    ASSERT_TRUE(rotorEnd.Ok());
    // Another program (a second tracker, a terminal) holds the rotor's port.
    QSerialPort other(rotorEnd.SlaveName());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));

    RotorController rotor(m_log);
    rotor.ApplyConfiguration(PtyStation(rotorEnd.SlaveName()));
    rotor.ToggleRotorLink();
    EXPECT_FALSE(rotor.LinkChecked());
    ASSERT_EQ(m_log.Lines().size(), 1);
    const QString prefix = Timed(": " + rotorEnd.SlaveName() + " 9600,n,8,1 could not be opened ("
        + rotorEnd.SlaveName() + ": ");
    EXPECT_TRUE(m_log.Lines()[0].startsWith(prefix)) << m_log.Lines()[0].toStdString();
    EXPECT_GT(m_log.Lines()[0].size(), prefix.size() + 2); // carries the system's reason

    other.close();
    rotor.ToggleRotorLink();
    EXPECT_TRUE(rotor.LinkChecked());
}

TEST_F(RealLineTest, deviceUnplugged)
{
    auto rotorEnd = std::make_unique<PtyRotor>();
    ASSERT_TRUE(rotorEnd->Ok());
    const QString device = rotorEnd->SlaveName();
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(PtyStation(device));
    rotor.ToggleRotorLink();
    ASSERT_TRUE(rotor.PortOpen());
    rotor.UpdateRotor(100, 20);
    EXPECT_EQ(rotorEnd->Receive(32), QByteArray("AZ100.0 EL020.0\rAZ100.0 EL020.0\r"));

    rotorEnd->Unplug();
    // The loss shows up either as an error event of the open port or at the
    // next write; keep ticking as the tracker would, with moving angles.
    QDeadlineTimer deadline(5000);
    double az = 100;
    while (rotor.LinkChecked() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        az += 6;
        rotor.UpdateRotor(az, 20 + az / 100);
    }
    EXPECT_FALSE(rotor.LinkChecked());
    EXPECT_FALSE(rotor.PortOpen());
    rotor.UpdateRotor(az + 10, 30);
    rotor.UpdateRotor(az + 20, 40);
    ASSERT_EQ(m_log.Lines().size(), 2) << m_log.Lines().join('\n').toStdString();
    EXPECT_TRUE(m_log.Lines()[1].startsWith(Timed(": " + device + " lost (")))
        << m_log.Lines()[1].toStdString();
    EXPECT_TRUE(m_log.Lines()[1].endsWith("), closed "));
    EXPECT_EQ(rotor.StatusText(), "");
}

TEST_F(RealLineTest, symlinkedDevice)
{
    // socat's "link=" and udev's /dev/serial/by-id names are symbolic links.
    PtyRotor rotorEnd;
    ASSERT_TRUE(rotorEnd.Ok());
    QTemporaryDir dir;
    const QString link = dir.path() + "/rotor";
    ASSERT_TRUE(QFile::link(rotorEnd.SlaveName(), link));
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(PtyStation(link));
    rotor.ToggleRotorLink();
    ASSERT_TRUE(rotor.PortOpen()) << m_log.Lines().join('\n').toStdString();
    EXPECT_EQ(m_log.Lines().last(), Timed(": " + link + " 9600,n,8,1 opened "));
    rotor.UpdateRotor(5.0, -1.0);
    EXPECT_EQ(rotorEnd.Receive(16), QByteArray("AZ005.0 EL000.0\r"));
}

TEST_F(RealLineTest, oneAndAHalfStopBits)
{
    PtyRotor rotorEnd;
    ASSERT_TRUE(rotorEnd.Ok());
    Configuration c = PtyStation(rotorEnd.SlaveName());
    c.RotorPortSettings = QStringLiteral("1200,n,5,1.5");
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(c); // a valid text: start-up goes on
    rotor.ToggleRotorLink();
    EXPECT_FALSE(rotor.LinkChecked());
    ASSERT_EQ(m_log.Lines().size(), 1);
    EXPECT_EQ(m_log.Lines()[0],
        Timed(": " + rotorEnd.SlaveName() + " 1200,n,5,1.5 could not be opened ("
            + rotorEnd.SlaveName() + ": 1.5 stop bits are not available on this system)"));
}

// A rotor that flips over the zenith (ROTOR_EL_MAX=180) and a pass through
// north: the whole pass is flown from behind, azimuth + 180 and 180 -
// elevation, in EasyComm's normal form (EL137.0), then parked as configured.
TEST_F(RealLineTest, flipPlanThroughNorth)
{
    PtyRotor rotorEnd;
    ASSERT_TRUE(rotorEnd.Ok());
    Configuration c = PtyStation(rotorEnd.SlaveName());
    c.RotorElMaxDeg = 180;
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(c);
    // The pass as the tracker's search hands it over: 280 -> north -> 82.
    rotor.PassAhead({ { 280, 0 }, { 311, 31 }, { 355, 43 }, { 41.6, 35 }, { 82, 0 } });
    rotor.ToggleRotorLink();
    ASSERT_TRUE(rotor.PortOpen()) << m_log.Lines().join('\n').toStdString();

    const double track[][2] = { { 278.0, -2.0 }, { 285.0, 5.0 }, { 311.3, 31.0 }, { 355.0, 43.0 },
        { 41.6, 35.0 }, { 82.5, -3.5 } };
    for (const auto& look : track)
        for (int tick = 0; tick < 4; ++tick)
            rotor.UpdateRotor(look[0], look[1]);
    // 278 + 180 = 458 is 98 seen from behind; below the horizon the
    // elevation is 180. From then on both axes move by more than the step
    // every second, so each second sends two commands.
    const QByteArray expected = "AZ098.0 EL180.0\r"
                                "AZ105.0 EL175.0\rAZ105.0 EL175.0\r"
                                "AZ131.0 EL149.0\rAZ131.0 EL149.0\r"
                                "AZ175.0 EL137.0\rAZ175.0 EL137.0\r"
                                "AZ222.0 EL145.0\rAZ222.0 EL145.0\r"
                                "AZ000.0 EL000.0\r";
    EXPECT_EQ(rotorEnd.Receive(expected.size()), expected);
    EXPECT_EQ(rotorEnd.Drain(), QByteArray());
    EXPECT_EQ(
        m_log.Lines().last(), Timed(": pass crosses north: flip plan, 100\u00B0 \u2192 262\u00B0"));
    EXPECT_EQ(rotor.ActivePlan().Kind, RotorPlanKind::Normal); // the pass is over
    rotor.ClosePort();
}
