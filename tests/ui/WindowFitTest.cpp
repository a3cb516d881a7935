// The main window on the screens operators have: a 1024 x 600 netbook shows
// every field whole (no text cut, no horizontal scroll bar in the pass list),
// a 1920 x 1080 screen gives the fields and lists more room, and the event log
// can be made taller. Also the kept satellite after the element update.
#include "FakeClock.h"
#include "QtPrinters.h"
#include "TestFiles.h"

#include "station/StationSession.h"
#include "station/StationTransceiver.h"
#include "ui/Dialogs.h"
#include "ui/FrequencyWindow.h"
#include "ui/MainWindow.h"
#include "ui/StationView.h"
#include "ui/TransceiverFrame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Noon = sys_days(year(2024) / February / 12) + hours(12);

template <typename Predicate> bool WaitUntil(Predicate done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        QTest::qWait(10);
    return done();
}

class NoFile : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};

class NoBoxes : public MessageSink {
public:
    void Warn(const QString&, const QString& text) override { texts << text; }
    QStringList texts;
};

// The longest texts each field shows in real use, written over the tick's own.
const struct {
    const char* name;
    const char* text;
} kLongestTexts[] = {
    { "Text1_0", "23:59:59 UTC" },
    { "Text1_1", "255  (359.99\u00B0)" },
    { "Text1_2", "359.99\u00B0" },
    { "Text1_3", "-89.99\u00B0" },
    { "Text1_4", "179.99\u00B0W  (-179\u00B059' 24\")" },
    { "Text1_5", "89.99\u00B0S  (-89\u00B059' 24\")" },
    { "Text1_6", "40123.456 km" },
    { "Text1_7", "35786.123 km" },
    { "Text1_8", "123456" },
    { "Text1_9", "179.99\u00B0" },
    { "Text1_10", "100.0 %" },
    { "Text1_21", "213.45 dB" },
    { "Text1_22", "-10123.45 Hz" },
    { "Text1_25", "satellite may visible" },
    { "Text1_28", "Wednesday, 2024 September 30" },
    { "Text1_29", "366.99999999" },
    { "Text2", "10489750.000" },
    { "Text3", "10489750.000" },
    { "Text4", "-10.00" },
};

class WindowFit : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(CopyTwoLineExampleStation(m_dir.path()));
        BindStation(m_station, m_window, nullptr);
        ASSERT_EQ(StartStation(m_station, m_window, m_dir.path(), m_boxes), 0)
            << m_boxes.texts.join("; ").toStdString();
        m_station.Tracking().TickTimer().stop();
    }
    void TearDown() override { QLocale::setDefault(m_savedLocale); }

    void ShowAt(int width, int height)
    {
        m_window.resize(width, height);
        m_window.show();
        QApplication::processEvents();
    }
    template <typename T> T* Find(const QString& name)
    {
        T* widget = m_window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void Choose(const QString& name)
    {
        auto* combo = Find<QComboBox>(QStringLiteral("Combo1"));
        const int index = combo->findText(name, Qt::MatchStartsWith);
        ASSERT_GE(index, 0) << name.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        m_station.Tracking().TrackingTick();
    }
    // Every line edit, label and button in view shows its whole text.
    void ExpectNothingClipped()
    {
        for (const auto& field : kLongestTexts) {
            auto* box = Find<QLineEdit>(QString::fromLatin1(field.name));
            if (!box)
                continue;
            box->setText(QString::fromUtf8(field.text));
        }
        QApplication::processEvents();
        for (QLineEdit* box : m_window.findChildren<QLineEdit*>()) {
            if (!box->isVisible() || box->objectName() == QLatin1String("Text5"))
                continue;
            const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
            // QLineEdit keeps 2 pixels each side inside its frame.
            const int room = box->width() - 2 * frame - 4;
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->text()), room)
                << box->objectName().toStdString() << " \"" << box->text().toStdString() << "\" in "
                << box->width();
        }
        for (QLabel* label : m_window.findChildren<QLabel*>()) {
            if (!label->isVisible() || label->text().isEmpty() || label->wordWrap())
                continue;
            EXPECT_LE(label->sizeHint().width(), label->width())
                << label->objectName().toStdString() << " \"" << label->text().toStdString()
                << "\"";
            EXPECT_LE(label->minimumSizeHint().height(), label->height())
                << label->objectName().toStdString();
        }
        for (QAbstractButton* button : m_window.findChildren<QAbstractButton*>()) {
            if (!button->isVisible() || button->objectName().isEmpty())
                continue;
            EXPECT_LE(button->sizeHint().width(), button->width())
                << button->objectName().toStdString() << " \"" << button->text().toStdString()
                << "\"";
        }
    }

    QLocale m_savedLocale;
    QTemporaryDir m_dir;
    FakeClock m_clock { Noon };
    StationSession m_station { m_clock, { .RotorLink = false, .ClockSync = false } };
    NoFile m_chooser;
    NoBoxes m_boxes;
    MainWindow m_window { m_chooser };
};

} // namespace

TEST_F(WindowFit, At1024x600NoFieldIsCut)
{
    ShowAt(1024, 600);
    // The window takes the netbook's size, not more.
    EXPECT_LE(m_window.minimumSizeHint().width(), 1024);
    EXPECT_LE(m_window.minimumSizeHint().height(), 600);
    EXPECT_EQ(m_window.size(), QSize(1024, 600));
    Choose(QStringLiteral("ISS (ZARYA)"));
    ExpectNothingClipped();

    // The whole pass line, maxEl included, without a horizontal scroll bar.
    auto* passes = Find<QListWidget>(QStringLiteral("List1"));
    ASSERT_GT(passes->count(), 0);
    QApplication::processEvents();
    EXPECT_FALSE(passes->horizontalScrollBar()->isVisible());
    for (int i = 0; i < passes->count(); ++i)
        EXPECT_LE(passes->fontMetrics().horizontalAdvance(passes->item(i)->text()),
            passes->viewport()->width())
            << passes->item(i)->text().toStdString();
}

TEST_F(WindowFit, LargerScreensGiveTheFieldsAndListsMoreRoom)
{
    ShowAt(1024, 600);
    Choose(QStringLiteral("ISS (ZARYA)"));
    const int passListWidth = Find<QListWidget>(QStringLiteral("List1"))->width();
    const int fieldWidth = Find<QLineEdit>(QStringLiteral("Text1_4"))->width();
    const int logHeight = Find<QListWidget>(QStringLiteral("List2"))->height();
    ShowAt(1920, 1080);
    ExpectNothingClipped();
    EXPECT_GT(Find<QListWidget>(QStringLiteral("List1"))->width(), passListWidth);
    EXPECT_GT(Find<QLineEdit>(QStringLiteral("Text1_4"))->width(), fieldWidth);
    EXPECT_GT(Find<QListWidget>(QStringLiteral("List2"))->height(), logHeight);
}

TEST_F(WindowFit, EventLogCanBeMadeTallerWithTheSplitter)
{
    const struct {
        QSize window;
        int atLeastPx; // how much taller the log can be dragged
    } cases[] = {
        { { 1024, 600 }, 0 }, // filled in below: one line (the panels need the rest)
        { { 1280, 800 }, 150 },
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.window.height());
        ShowAt(c.window.width(), c.window.height());
        auto* log = Find<QListWidget>(QStringLiteral("List2"));
        auto* split = qobject_cast<QSplitter*>(log->parentWidget());
        ASSERT_NE(split, nullptr);
        if (c.atLeastPx == 0)
            c.atLeastPx = log->fontMetrics().height();
        const int before = log->height();
        // At rest it shows three whole lines at least.
        EXPECT_GE(before, 3 * log->fontMetrics().height());
        QList<int> sizes = split->sizes();
        ASSERT_EQ(sizes.size(), 2);
        sizes[0] -= 300;
        sizes[1] += 300;
        split->setSizes(sizes);
        QApplication::processEvents();
        EXPECT_GE(log->height(), before + c.atLeastPx);
        split->setSizes({ 600, 80 });
    }
}

// Element sets of February 2024: fresh at noon that day, plain black; in
// December 2026 the age line turns red and the update menu is named beside it.
TEST_F(WindowFit, OldElementSetsInRedWithTheMenuHint)
{
    ShowAt(1024, 600);
    Choose(QStringLiteral("ISS (ZARYA)"));
    auto* age = Find<QLabel>(QStringLiteral("Label15"));
    auto* hint = Find<QLabel>(QStringLiteral("TleUpdateHint"));
    EXPECT_EQ(age->text(), QStringLiteral("TLE's are 0.5 days old"));
    EXPECT_NE(age->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_FALSE(hint->isVisible());

    m_clock.Set(sys_days(year(2026) / December / 7) + hours(12));
    m_station.Tracking().TrackingTick();
    QApplication::processEvents();
    EXPECT_EQ(age->text(), QStringLiteral("TLE's are too old"));
    EXPECT_EQ(age->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("TLE > Internet Update")));
    ExpectNothingClipped();
}

// Closing the TLE Update window reloads the file; the chosen satellite stays
// chosen, also in the list, also when the update changed nothing.
TEST_F(WindowFit, ReloadKeepsTheChosenSatelliteInTheList)
{
    ShowAt(1024, 600);
    Choose(QStringLiteral("SAUDISAT 1C (SO-50)"));
    auto* combo = Find<QComboBox>(QStringLiteral("Combo1"));
    const QString chosen = combo->currentText();
    const QString line1 = Find<QLabel>(QStringLiteral("Label1_0"))->text();
    ASSERT_TRUE(m_station.Tracking().ReloadElementFile());
    EXPECT_EQ(combo->currentText(), chosen);
    EXPECT_EQ(Find<QLabel>(QStringLiteral("Label1_0"))->text(), line1);
    EXPECT_EQ(m_station.Tracking().SelectedName(), QStringLiteral("SAUDISAT 1C (SO-50)"));

    // A failed reload (the file gone) keeps list and choice too.
    QFile::remove(m_dir.filePath(QStringLiteral("amateur.txt")));
    EXPECT_FALSE(m_station.Tracking().ReloadElementFile());
    EXPECT_EQ(combo->currentText(), chosen);
}

// Rows that join the window after it was placed (the transceiver's with
// RIG_HOST, a taller event log): placed against the bottom of the screen, as
// a window manager may, it still ends with its frame on the screen.
TEST_F(WindowFit, GrowingWindowKeepsItsFrameOnScreen)
{
    Configuration config;
    config.IniPath = m_dir.filePath(QStringLiteral("sat.ini"));
    config.TransmitterFilePath = AOSTRACK_SOURCE_DIR "/examples/transmitters.json";
    StationTransceiver transceiver(config);
    FrequencyWindow frequencies(m_station.Receiver(), &m_window);
    auto* log = Find<QListWidget>(QStringLiteral("List2"));
    const std::function<void()> growths[] = {
        [&] { BindTransceiver(transceiver, m_window, frequencies); },
        [&] { log->setMinimumHeight(log->minimumHeight() + log->fontMetrics().height()); },
    };
    const QRect area = m_window.screen()->availableGeometry();
    m_window.show();
    for (const auto& grow : growths) {
        m_window.resize(m_window.minimumSize());
        m_window.move(area.left(), area.bottom() + 1 - m_window.frameGeometry().height());
        const int before = m_window.height();
        grow();
        ASSERT_TRUE(WaitUntil([&] { return m_window.height() > before; }));
        EXPECT_TRUE(WaitUntil([&] { return m_window.frameGeometry().bottom() <= area.bottom(); }));
        EXPECT_GE(m_window.frameGeometry().top(), area.top());
    }
}

} // namespace aostrack
