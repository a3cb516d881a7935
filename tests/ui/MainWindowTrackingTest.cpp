// A whole start-up of the window against a station folder of the test's own
// (the example station's element file, a sat.ini written here) on a fake
// clock, then ticks through a real pass of OSCAR 7 over Munich.
#include "FakeClock.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "core/EventLog.h"
#include "station/StationSession.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/EventLogView.h"
#include "ui/MainWindow.h"
#include "ui/PassPlot.h"
#include "ui/StationView.h"
#include "ui/TrackerView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Noon = sys_days(year(2024) / February / 12) + hours(12);

const char* const SatIni = "# test station\r\n"
                           "QTH=Test\r\n"
                           "TLEFILE=amateur.txt\r\n"
                           "DOPPLERFILE=doppler.sql\r\n"
                           "QTH_LAT=48.1371\r\n"
                           "QTH_LONG=11.5754\r\n"
                           "QTH_HEIGHT=0.519\r\n"
                           "ROTOR_PORT=3\r\n"
                           "ROTOR_PORT_SETTINGS=9600,n,8,1\r\n"
                           "ROTOR_DEG=5\r\n"
                           "AUTO_PARK=1\r\n";

// The countdown as an operator reads it: time of day of the count.
QString Hms(long long seconds)
{
    const long long s = ((seconds % 86400) + 86400) % 86400;
    return QString::asprintf("%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
}

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Names of the element sets of a three-line file, in file order.
QStringList NamesOf(const QStringList& lines)
{
    QStringList names;
    for (qsizetype i = 0; i + 2 < lines.size(); i += 3)
        names << lines[i].trimmed();
    return names;
}

class ScriptedChooser : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString& caption, const QString& filter) override
    {
        captions << caption;
        filters << filter;
        return answer;
    }
    QString answer;
    QStringList captions;
    QStringList filters;
};

class RecordingSink : public MessageSink {
public:
    void Warn(const QString& boxCaption, const QString& text) override
    {
        caption = boxCaption;
        texts << text;
    }
    QString caption;
    QStringList texts;
};

class MainWindowTracking : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(m_dir.isValid());
        Write("sat.ini", SatIni);
        ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/amateur.txt"),
            m_dir.filePath("amateur.txt")));
        Write("doppler.sql", ";key,down,up,mode,tone,remark\r\nISS,145800,145200,FM voice,0,x\r\n");
        BindStation(m_station, m_window, nullptr);
    }
    void TearDown() override { QLocale::setDefault(m_savedLocale); }

    void Write(const QString& name, const QByteArray& bytes)
    {
        WriteTestFile(m_dir.filePath(name), bytes);
    }
    void Start()
    {
        ASSERT_EQ(StartStation(m_station, m_window, m_dir.path(), m_sink), 0)
            << m_sink.texts.join("; ").toStdString();
        // The test drives the ticks itself.
        m_tracker.TickTimer().stop();
    }
    template <typename T> T* Find(const char* name)
    {
        T* widget = m_window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QListWidget* List(const char* name) { return Find<QListWidget>(name); }
    QString Label(const char* name) { return Find<QLabel>(name)->text(); }
    QString Box(const char* name) { return Find<QLineEdit>(name)->text(); }
    QStringList Items(const char* name)
    {
        QStringList items;
        QListWidget* list = List(name);
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    QStringList ComboItems()
    {
        QStringList items;
        auto* combo = Find<QComboBox>("Combo1");
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i).trimmed();
        return items;
    }
    long long SecondsTo(sys_seconds t) const { return (t - m_clock.UtcNow()).count(); }

    QLocale m_savedLocale;
    QTemporaryDir m_dir;
    FakeClock m_clock { Noon };
    StationSession m_station { m_clock, { .RotorLink = true, .ClockSync = false } };
    EventLog& m_log = m_station.Log();
    TrackingSession& m_tracker = m_station.Tracking();
    ScriptedChooser m_chooser;
    RecordingSink m_sink;
    MainWindow m_window { m_chooser };
};

TEST_F(MainWindowTracking, StartupFillsTheWindow)
{
    Start();
    const QStringList file = FileLines(m_dir.filePath("amateur.txt"));
    ASSERT_EQ(file.size(), 303);
    EXPECT_EQ(ComboItems(), NamesOf(file));
    EXPECT_EQ(ComboItems().first(), "OSCAR 7 (AO-7)");
    EXPECT_EQ(Find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_EQ(Label("Label1_0").trimmed(), file[1].trimmed());
    EXPECT_EQ(Label("Label1_1").trimmed(), file[2].trimmed());
    EXPECT_EQ(Label("Label5"), "48.14/11.58");
    EXPECT_TRUE(Items("List2").contains(QStringLiteral("Rotor at COM3, 9600,n,8,1  (5°)")));
    // Start-up enables the rotor controls named in sat.ini.
    EXPECT_TRUE(Find<QMenu>("MnuRotor")->menuAction()->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("Command2")->isEnabled());
    EXPECT_EQ(Label("Label9"), "AUTO");
    EXPECT_TRUE(m_sink.texts.isEmpty());

    // Passes of the next 24 hours, one line each, in time order.
    const QStringList passes = Items("List1");
    ASSERT_FALSE(passes.isEmpty());
    EXPECT_EQ(passes, m_station.Texts().PassListLines());
    const QRegularExpression line(QStringLiteral(
        R"(^1[23]\.02\.2024 \d\d:\d\d \(Az \d{3}°\) -> \d\d:\d\d \(Az \d{3}°\) maxEl: \d\d°\)$)"));
    for (const QString& pass : passes)
        EXPECT_TRUE(line.match(pass).hasMatch()) << pass.toStdString();

    // The plot shows the next pass before the first tick.
    ASSERT_TRUE(m_tracker.AosTime() && m_tracker.LosTime());
    const long long duration = (*m_tracker.LosTime() - *m_tracker.AosTime()).count();
    EXPECT_EQ(m_window.Controls().Plot->DurationSeconds(), duration);
    EXPECT_EQ(Label("Label19"), QString::number(duration / 60.0, 'f', 1) + " min");
}

TEST_F(MainWindowTracking, TicksThroughAPass)
{
    Start();
    m_tracker.TrackingTick();
    EXPECT_EQ(Box("Text1_0"), "12:00:00 UTC");
    EXPECT_EQ(Box("Text1_28"), "Monday, 2024 February 12");
    // Day 43 of 2024 at noon.
    EXPECT_EQ(Box("Text1_29"), "043.50000000");
    EXPECT_TRUE(Box("Text1_2").endsWith("°"));
    EXPECT_TRUE(Box("Text1_6").endsWith(" km"));
    // A squeezed box shows the start of its value.
    EXPECT_EQ(Find<QLineEdit>("Text1_4")->cursorPosition(), 0);
    EXPECT_TRUE(Box("Text1_21").endsWith(" dB"));
    EXPECT_EQ(Box("Text1_22"), "0.00 Hz");
    EXPECT_TRUE(
        QStringList({ "satellite in sunlight", "satellite may visible", "satellite in eclipse" })
            .contains(Box("Text1_25")));
    EXPECT_EQ(Box("Text2"), "");
    EXPECT_FALSE(Label("Label15").isEmpty());

    const sys_seconds aos = *m_tracker.AosTime();
    const sys_seconds los = *m_tracker.LosTime();
    ASSERT_GT(aos, Noon);
    EXPECT_EQ(Label("Label8"), "Time to AOS: " + Hms(SecondsTo(aos)));
    EXPECT_EQ(Find<QLineEdit>("Text1_3")->palette().color(QPalette::Base), QColor(224, 224, 224));
    EXPECT_EQ(m_window.Controls().Plot->MarkCount(), 0);

    // A minute into the pass: the countdown runs to LOS, the elevation boxes
    // turn green and every tick leaves a mark.
    m_clock.Set(aos + 60s);
    m_tracker.TrackingTick();
    EXPECT_EQ(Label("Label8"), "Time to LOS: " + Hms(SecondsTo(los)));
    EXPECT_EQ(Find<QLabel>("Label8")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(Find<QLineEdit>("Text1_2")->palette().color(QPalette::Base), QColor(0, 255, 0));
    EXPECT_EQ(Find<QLineEdit>("Text1_3")->palette().color(QPalette::Base), QColor(0, 255, 0));
    m_tracker.TrackingTick();
    m_clock.Advance(30s);
    m_tracker.TrackingTick();
    EXPECT_EQ(m_window.Controls().Plot->MarkCount(), 3);

    // One second after LOS the next pass is searched and drawn afresh.
    m_clock.Set(los + 1s);
    m_tracker.TrackingTick();
    m_tracker.TrackingTick();
    ASSERT_TRUE(m_tracker.AosTime());
    EXPECT_GT(*m_tracker.AosTime(), los);
    EXPECT_EQ(m_window.Controls().Plot->MarkCount(), 0);
    EXPECT_EQ(Label("Label8"), "Time to AOS: " + Hms(SecondsTo(*m_tracker.AosTime())));
    EXPECT_EQ(Find<QLineEdit>("Text1_3")->palette().color(QPalette::Base), QColor(224, 224, 224));
}

TEST_F(MainWindowTracking, ChoosingASatelliteShowsItsElementsWithTheHourglass)
{
    Start();
    QList<bool> cursorWhileBusy;
    QObject::connect(&m_tracker, &TrackingSession::busyChanged, &m_window, [&](bool busy) {
        if (busy)
            cursorWhileBusy << (QApplication::overrideCursor()
                && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
    });
    auto* combo = Find<QComboBox>("Combo1");
    combo->setCurrentIndex(2);
    emit combo->activated(2);
    EXPECT_EQ(m_tracker.SelectedIndex(), 2);
    const QStringList file = FileLines(m_dir.filePath("amateur.txt"));
    EXPECT_EQ(Label("Label1_0").trimmed(), file[7].trimmed());
    ASSERT_FALSE(cursorWhileBusy.isEmpty());
    EXPECT_TRUE(cursorWhileBusy.first());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowTracking, OrbitModelMenuSwitchesWhileTracking)
{
    Start();
    m_tracker.TrackingTick();
    auto* plan13 = Find<QAction>("MnuOrbitModelPlan13");
    auto* sgp4 = Find<QAction>("MnuOrbitModelSgp4");
    EXPECT_TRUE(plan13->isChecked());
    EXPECT_EQ(Label("LabelOrbitModel"), "Orbit model: Plan13");
    const QString plan13Azimuth = Box("Text1_2");
    const QStringList plan13Passes = Items("List1");

    sgp4->trigger();
    EXPECT_EQ(m_tracker.ModelKind(), OrbitModelKind::Sgp4);
    EXPECT_TRUE(sgp4->isChecked());
    EXPECT_FALSE(plan13->isChecked());
    EXPECT_EQ(Label("LabelOrbitModel"), "Orbit model: SGP4");
    m_clock.Advance(1s);
    m_tracker.TrackingTick();
    // The panel now shows the SGP4 figures of the same satellite and instant.
    const SatelliteState sgp4State
        = OrbitModel(m_tracker.CurrentElements(), m_tracker.StationPosition(), OrbitModelKind::Sgp4)
              .Compute(Noon + 1s, m_tracker.Frequency().TunedFreq);
    EXPECT_EQ(m_tracker.State(), sgp4State);
    EXPECT_FALSE(Box("Text1_2").contains(QLatin1String("nan"), Qt::CaseInsensitive));
    EXPECT_EQ(Items("List1").size(), plan13Passes.size());
    EXPECT_EQ(Label("Label8"), "Time to AOS: " + Hms(SecondsTo(*m_tracker.AosTime())));

    plan13->trigger();
    EXPECT_EQ(Label("LabelOrbitModel"), "Orbit model: Plan13");
    m_clock.Set(Noon);
    m_tracker.TrackingTick();
    EXPECT_EQ(Box("Text1_2"), plan13Azimuth);
    // Built afresh one second later than the first list: the same passes.
    EXPECT_EQ(Items("List1").size(), plan13Passes.size());
    EXPECT_EQ(Items("List1").first(), plan13Passes.first());
}

TEST_F(MainWindowTracking, OrbitModelFromSatIniShowsInMenuAndPanel)
{
    Write("sat.ini", QByteArray(SatIni) + "ORBIT_MODEL=SGP4\r\n");
    Start();
    EXPECT_TRUE(Find<QAction>("MnuOrbitModelSgp4")->isChecked());
    EXPECT_EQ(Label("LabelOrbitModel"), "Orbit model: SGP4");
}

TEST_F(MainWindowTracking, OpenElementFileCancelledChangesNothing)
{
    Start();
    const QStringList before = ComboItems();
    const QString path = m_tracker.Config().TleFilePath;
    m_chooser.answer.clear();
    Find<QAction>("MenuFileOpen")->trigger();
    EXPECT_EQ(m_chooser.filters, QStringList { "TLE Files (*.txt);;All Files (*.*)" });
    EXPECT_EQ(ComboItems(), before);
    EXPECT_EQ(Find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_EQ(m_tracker.Config().TleFilePath, path);
}

TEST_F(MainWindowTracking, OpenElementFileMalformedKeepsTheList)
{
    Start();
    const QStringList before = ComboItems();
    const int logLines = List("List2")->count();
    m_chooser.answer = m_dir.filePath("no-such-file.txt");
    Find<QAction>("MenuFileOpen")->trigger();
    EXPECT_EQ(ComboItems(), before);
    ASSERT_GT(List("List2")->count(), logLines);
    EXPECT_TRUE(Items("List2").last().contains("no-such-file.txt"))
        << Items("List2").last().toStdString();
}

TEST_F(MainWindowTracking, OpenElementFileNormalReplacesTheList)
{
    Start();
    // ISS and SWISSCUBE from the example file, with Windows line ends.
    const QStringList example = FileLines(m_dir.filePath("amateur.txt"));
    const QStringList file = example.mid(27, 3) + example.mid(60, 3);
    Write("two.txt", file.join("\r\n").toLatin1());
    m_chooser.answer = m_dir.filePath("two.txt");
    Find<QAction>("MenuFileOpen")->trigger();
    EXPECT_EQ(ComboItems(), (QStringList { "ISS (ZARYA)", "SWISSCUBE" }));
    // The ISS's next pass over Munich from noon, as the pass list samples it
    // (the same line aostrack-cli passes prints for these elements).
    ASSERT_FALSE(Items("List1").isEmpty());
    EXPECT_EQ(Items("List1").first(), "12.02.2024 12:19 (Az 292°) -> 12:30 (Az 118°) maxEl: 65°)");
    ASSERT_TRUE(m_tracker.AosTime() && m_tracker.LosTime());
    EXPECT_GT(*m_tracker.AosTime(), Noon + 18min);
    EXPECT_LT(*m_tracker.AosTime(), Noon + 19min);
    EXPECT_EQ(m_window.Controls().Plot->DurationSeconds(),
        (*m_tracker.LosTime() - *m_tracker.AosTime()).count());
    EXPECT_EQ(Find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_EQ(Label("Label1_0").trimmed(), file[1].trimmed());
}

TEST_F(MainWindowTracking, InfoTwiceShowsOneAboutBox)
{
    Find<QAction>("MnuInfo")->trigger();
    Find<QAction>("MnuInfo")->trigger();
    const auto boxes = m_window.findChildren<AboutBox*>();
    ASSERT_EQ(boxes.size(), 1);
    AboutBox* box = boxes.first();
    EXPECT_EQ(box->objectName(), "Form2");
    EXPECT_EQ(box->windowTitle(), "Info");
    EXPECT_TRUE(box->isVisible());
    auto* version = box->findChild<QLabel*>("Label2");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Version 1.1.1 BETA    (March 03, 2013)");
}

TEST_F(MainWindowTracking, ExitClosesTheCompanionWindowsAndStopsTracking)
{
    Start();
    m_tracker.TickTimer().start();
    m_window.show();
    QWidget frequencyWindow;
    frequencyWindow.setObjectName("Form6");
    frequencyWindow.show();
    Find<QAction>("MnuInfo")->trigger();
    QPointer<AboutBox> about = m_window.About();
    ASSERT_TRUE(about && about->isVisible());
    QSignalSpy closing(&m_window, &MainWindow::mainWindowClosing);

    Find<QAction>("MenuFileExit")->trigger();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(m_window.isVisible());
    EXPECT_FALSE(frequencyWindow.isVisible());
    EXPECT_FALSE(about && about->isVisible());
    EXPECT_FALSE(m_tracker.TickTimer().isActive());
}

TEST_F(MainWindowTracking, StartupFailuresShowTheirBoxesAndEndWithCode1)
{
    const struct {
        QByteArray ini; // empty: no sat.ini
        QStringList boxes;
    } cases[] = {
        { "", { "File sat.ini not found: looked for sat.ini in " + m_dir.path() } },
        { "QTH_LAT=48.1\r\n",
            { "No TLE file found: add a line TLEFILE=amateur.txt (your element file) to "
                    + m_dir.filePath("sat.ini"),
                "No doppler.sql file found: add a line DOPPLERFILE=doppler.sql to "
                    + m_dir.filePath("sat.ini") } },
        { "QTH=Test\r\nROTOR_DEG=five\r\n",
            { m_dir.filePath("sat.ini") + " line 2: ROTOR_DEG value \"five\" is not a number" } },
        { "QTH_LAT=200\r\n",
            { m_dir.filePath("sat.ini")
                + " line 1: QTH_LAT value \"200\" is outside -90 to 90 degrees" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.boxes.first().toStdString());
        QFile::remove(m_dir.filePath("sat.ini"));
        if (!c.ini.isEmpty())
            Write("sat.ini", c.ini);
        m_sink.texts.clear();
        EXPECT_EQ(StartStation(m_station, m_window, m_dir.path(), m_sink), 1);
        EXPECT_EQ(m_sink.texts, c.boxes);
        EXPECT_EQ(m_sink.caption, "aostrack");
        EXPECT_FALSE(m_window.isVisible());
        EXPECT_FALSE(m_tracker.TickTimer().isActive());
    }
}

} // namespace
} // namespace aostrack
