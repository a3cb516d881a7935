// The main window as it stands before start-up: every control by its design
// name, with its caption, font and enabled state.
#include "QtPrinters.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/PassPlot.h"
#include "ui/StatusLamp.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

class NoFile : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};

class MainWindowLayout : public ::testing::Test {
protected:
    template <typename T> T* Find(const QString& name)
    {
        T* widget = window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString LabelText(const QString& name)
    {
        auto* label = Find<QLabel>(name);
        return label ? label->text() : QStringLiteral("<missing>");
    }
    QString FrameTitle(const QString& name)
    {
        auto* frame = Find<QGroupBox>(name);
        return frame ? frame->title() : QStringLiteral("<missing>");
    }
    NoFile chooser;
    MainWindow window { chooser };
};

TEST_F(MainWindowLayout, CaptionsOfTheFramesAndLabels)
{
    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), "aostrack");
    EXPECT_EQ(FrameTitle("Frame1"), "Satellite");
    EXPECT_EQ(FrameTitle("Frame2"), "Elevation");
    EXPECT_EQ(FrameTitle("Frame3"), "next 24 hours");
    EXPECT_EQ(FrameTitle("Frame4"), "Rotor Control");
    EXPECT_EQ(FrameTitle("Frame6"), " Frequency ");
    EXPECT_EQ(LabelText("Label1_0"), "Line1");
    EXPECT_EQ(LabelText("Label1_1"), "Line2");
    EXPECT_EQ(LabelText("Label5"), "QTH");
    EXPECT_EQ(LabelText("Label8"), "");
    EXPECT_EQ(LabelText("Label19"), "");
    EXPECT_EQ(LabelText("Label15"), "");
    EXPECT_EQ(LabelText("Label9"), "");
    EXPECT_EQ(LabelText("Label7"), "Rotor Control");
    EXPECT_EQ(LabelText("Label4"), "connect FCDpro");
    EXPECT_EQ(LabelText("Label3"), "corrected center freq:");
    EXPECT_EQ(LabelText("Label6"), "offset (KHz):");
    EXPECT_EQ(LabelText("Label16"), "");
}

TEST_F(MainWindowLayout, DataPanelCaptionsStandBesideTheirFields)
{
    const std::pair<int, const char*> fields[] = { { 1, "MA-Value" }, { 2, "Azimut" },
        { 3, "Elevation" }, { 4, "Sat Long" }, { 5, "Sat Lat" }, { 6, "Distance" }, { 7, "Height" },
        { 8, "Orbit #" }, { 9, "Sun Angle" }, { 10, "Illumination" }, { 21, "Loss" },
        { 22, "Doppler shift" }, { 25, "Info" }, { 29, "Epoche" } };
    auto* frame = Find<QGroupBox>("Frame1");
    ASSERT_NE(frame, nullptr);
    for (const auto& [index, caption] : fields) {
        const QString number = QString::number(index);
        EXPECT_EQ(LabelText("Label2_" + number), caption);
        auto* box = Find<QLineEdit>("Text1_" + number);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(frame->isAncestorOf(box)) << index;
        EXPECT_TRUE(box->isReadOnly());
        EXPECT_EQ(box->text(), "");
        EXPECT_EQ(box->palette().color(QPalette::Base), QColor(224, 224, 224)) << index;
    }
    // Time and date stand at the top, outside the frame.
    for (const char* name : { "Text1_0", "Text1_28" }) {
        auto* box = Find<QLineEdit>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(frame->isAncestorOf(box)) << name;
    }
}

TEST_F(MainWindowLayout, FrequencyFrameControls)
{
    auto* frame = Find<QGroupBox>("Frame6");
    ASSERT_NE(frame, nullptr);
    auto* track = Find<QCheckBox>("Check2");
    ASSERT_NE(track, nullptr);
    EXPECT_FALSE(track->isChecked());
    EXPECT_EQ(track->toolTip(), "track");
    // The offset steps with their units (Hz steps, beside fields in kHz).
    const char* captions[]
        = { "+1 kHz", "+100 Hz", "+10 Hz", "-1 kHz", "-100 Hz", "-10 Hz", "reset" };
    for (int i = 0; i < 7; ++i) {
        auto* button = Find<QPushButton>(QStringLiteral("Command1_%1").arg(i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), captions[i]);
        EXPECT_TRUE(frame->isAncestorOf(button));
        EXPECT_EQ(button->isEnabled(), i == 6) << i;
    }
    // The large display says that it carries the Doppler correction.
    auto* centreCaption = Find<QLabel>("Text2Caption");
    ASSERT_NE(centreCaption, nullptr);
    EXPECT_EQ(centreCaption->text(), "Doppler-corrected downlink (kHz):");
    EXPECT_TRUE(frame->isAncestorOf(centreCaption));
    auto* offset = Find<QScrollBar>("HScroll1");
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->minimum(), -1000);
    EXPECT_EQ(offset->maximum(), 1000);
    EXPECT_EQ(offset->value(), 0);
    EXPECT_EQ(offset->orientation(), Qt::Horizontal);

    auto* display = Find<QLineEdit>("Text2");
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->text(), "");
    EXPECT_TRUE(display->font().bold());
    EXPECT_EQ(display->font().pointSize(), 36);
    EXPECT_EQ(display->palette().color(QPalette::Text), QColor(192, 255, 255));
    EXPECT_EQ(display->palette().color(QPalette::Base), QColor(64, 64, 64));
    for (const char* name : { "Text3", "Text4" }) {
        auto* box = Find<QLineEdit>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(frame->isAncestorOf(box));
    }
}

TEST_F(MainWindowLayout, RotorFrameBeforeStartup)
{
    auto* park = Find<QPushButton>("Command2");
    ASSERT_NE(park, nullptr);
    EXPECT_EQ(park->text(), "park");
    EXPECT_FALSE(park->isEnabled());
    auto* lamp = Find<StatusLamp>("Shape1");
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->FillColor(), QColor(128, 128, 128));
    // Other layers set the lamp without knowing its class.
    lamp->setProperty("fillColor", QColor(0, 255, 0));
    EXPECT_EQ(lamp->FillColor(), QColor(0, 255, 0));
}

TEST_F(MainWindowLayout, ListsSelectorAndFixedPitchFonts)
{
    auto* satellites = Find<QComboBox>("Combo1");
    ASSERT_NE(satellites, nullptr);
    EXPECT_EQ(satellites->count(), 0);
    auto* passes = Find<QListWidget>("List1");
    auto* log = Find<QListWidget>("List2");
    ASSERT_NE(passes, nullptr);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(passes->count(), 0);
    EXPECT_EQ(log->count(), 0);
    EXPECT_FALSE(passes->isSortingEnabled());
    EXPECT_DOUBLE_EQ(passes->font().pointSizeF(), 8.25);
    EXPECT_TRUE(QFontInfo(passes->font()).fixedPitch());
    auto* line = Find<QLabel>("Label1_0");
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(QFontInfo(line->font()).fixedPitch());
    auto* credit = Find<QLineEdit>("Text5");
    ASSERT_NE(credit, nullptr);
    EXPECT_FALSE(credit->hasFrame());
    EXPECT_FALSE(credit->text().isEmpty());
    auto* plot = Find<PassPlot>("Picture1");
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->font().family(), "Arial");
    EXPECT_TRUE(Find<QGroupBox>("Frame2")->isAncestorOf(plot));
}

TEST_F(MainWindowLayout, MenusInMenuBarOrder)
{
    QStringList bar;
    for (QAction* action : window.menuBar()->actions())
        bar << action->text();
    EXPECT_EQ(
        bar, QStringList({ "File", "TLE", "Rotor", "Orbit model", "Frequency", "Scan", "Info" }));

    auto action = [&](const char* name) { return Find<QAction>(name); };
    EXPECT_EQ(Find<QMenu>("MenuFile")->title(), "File");
    EXPECT_EQ(action("MenuFileOpen")->text(), "Open Kep File");
    EXPECT_EQ(action("MenuFileExit")->text(), "Exit");
    EXPECT_EQ(Find<QMenu>("MnuTle")->title(), "TLE");
    EXPECT_EQ(action("MnuInternetUpdate")->text(), "Internet Update ");
    auto* rotor = Find<QMenu>("MnuRotor");
    EXPECT_EQ(rotor->title(), "Rotor");
    EXPECT_FALSE(rotor->menuAction()->isEnabled());
    auto* easyComm = action("Mnu_FD_ST1");
    EXPECT_EQ(easyComm->text(), "EasyComm");
    EXPECT_TRUE(easyComm->isCheckable());
    EXPECT_FALSE(easyComm->isChecked());
    EXPECT_EQ(action("MnuCAT")->text(), "Frequency");
    EXPECT_EQ(action("MnuScan")->text(), "Scan");
    EXPECT_FALSE(action("MnuScan")->isEnabled());
    EXPECT_EQ(action("MnuInfo")->text(), "Info");
}

TEST_F(MainWindowLayout, FitsSmallScreens)
{
    // A netbook at the shack: the whole window must fit 1024 x 600.
    const QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
    EXPECT_LE(minimum.width(), 1024);
    EXPECT_LE(minimum.height(), 600);
    window.resize(1024, 600);
    window.show();
    EXPECT_LE(window.width(), 1024);
    EXPECT_LE(window.height(), 600);
    window.resize(1280, 800);
    EXPECT_EQ(window.size(), QSize(1280, 800));
}

} // namespace
} // namespace aostrack

namespace aostrack {
namespace {

// A desktop whose aliases lead "Courier New" to a proportional face: the
// columns of text still get a fixed-pitch one.
TEST(FixedPitchFonts, StayFixedWhenCourierNewIsAliasedToAProportionalFace)
{
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans"));
    QFont aliased(QStringLiteral("Courier New"));
    aliased.setStyleHint(QFont::TypeWriter);
    ASSERT_FALSE(QFontInfo(aliased).fixedPitch()) << QFontInfo(aliased).family().toStdString();
    NoFile chooser;
    MainWindow window { chooser };
    QFont::removeSubstitutions(QStringLiteral("Courier New"));
    for (const char* name : { "List1", "Label1_0", "Label1_1", "Label7", "RotorPosition" }) {
        auto* widget = window.findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_TRUE(QFontInfo(widget->font()).fixedPitch())
            << name << ": " << QFontInfo(widget->font()).family().toStdString();
    }
}

TEST_F(MainWindowLayout, HourglassNestedCallsAreCounted)
{
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    window.SetBusy(true);
    window.SetBusy(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    window.SetBusy(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    window.SetBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // An unmatched "not busy" changes nothing.
    window.SetBusy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowLayout, AboutBoxPicture)
{
    window.ShowAboutBox();
    ASSERT_NE(window.About(), nullptr);
    auto* picture = window.About()->findChild<QLabel*>("Image1");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
}

} // namespace
} // namespace aostrack
