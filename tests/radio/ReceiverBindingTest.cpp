// The frame " Frequency " of the real main window and the frequency window,
// driven through their controls as the operator would.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include "RadioTestSupport.h"
#include "ui/Dialogs.h"
#include "ui/FrequencyWindow.h"
#include "ui/MainWindow.h"
#include "ui/ReceiverBinding.h"

namespace aostrack {
namespace {

using test::kDopplerRows;
using test::Station;
using test::WriteFile;

class NoFile : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};

class ReceiverBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.Controller.SetDopplerFile(WriteFile(m_dir, QStringLiteral("doppler.sql"), kDopplerRows));
        s.Controller.SetLocale(QLocale::c());
        BindReceiverControls(s.Controller, m_window.Controls(), &m_form6);
        Find<QComboBox>("Combo1")->addItems({ QStringLiteral("AO-73"), QStringLiteral("FO-29") });
    }
    template <typename T> T* Find(const char* name)
    {
        T* widget = m_window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    template <typename T> T* InForm6(const char* name)
    {
        T* widget = m_form6.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString Text(const char* name) { return Find<QLineEdit>(name)->text(); }
    void Click(const char* name, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            Find<QPushButton>(name)->click();
    }

    QTemporaryDir m_dir;
    Station s;
    NoFile m_noFile;
    MainWindow m_window { m_noFile };
    FrequencyWindow m_form6 { s.Controller, &m_window };
};

TEST_F(ReceiverBindingTest, SatelliteChoiceFillsTheFrame)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-73"));
    EXPECT_EQ(Text("Text3"), QStringLiteral(" 145975 kHz"));
    EXPECT_EQ(Text("Text4"), QStringLiteral(" 0"));
    EXPECT_EQ(Find<QLabel>("Label16")->text(), QStringLiteral("USB"));
    for (const char* name : { "Command1_0", "Command1_1", "Command1_2", "Command1_3", "Command1_4",
             "Command1_5", "Command1_6" })
        EXPECT_TRUE(Find<QPushButton>(name)->isEnabled()) << name;
    EXPECT_EQ(Find<QLabel>("Label4")->text(), QStringLiteral("connect FCDpro"));
    EXPECT_EQ(Find<QCheckBox>("Check2")->toolTip(), QStringLiteral("track"));

    s.Controller.LoadFrequencyList(QStringLiteral("FO-29"));
    EXPECT_FALSE(Find<QPushButton>("Command1_0")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>("Command1_5")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("Command1_6")->isEnabled());
    EXPECT_EQ(Text("Text3"), QString());
    EXPECT_EQ(Find<QLabel>("Label16")->text(), QString());
}

TEST_F(ReceiverBindingTest, ButtonsMoveTheSliderAndTheSliderRetunes)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-73"));
    Click("Command1_1", 5);
    auto* slider = Find<QScrollBar>("HScroll1");
    EXPECT_EQ(slider->value(), 50);
    EXPECT_EQ(Text("Text3"), QStringLiteral("145975.500"));
    EXPECT_EQ(Text("Text4"), QStringLiteral("0.50"));

    slider->setValue(-1000);
    EXPECT_FLOAT_EQ(s.State.FreqOffset, -10.0f);
    EXPECT_EQ(Text("Text3"), QStringLiteral("145965.000"));
    EXPECT_EQ(Text("Text4"), QStringLiteral("-10.00"));
    EXPECT_EQ(slider->minimum(), -1000);
    EXPECT_EQ(slider->maximum(), 1000);

    Click("Command1_6");
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(Text("Text3"), QStringLiteral("145975.000"));
}

TEST_F(ReceiverBindingTest, TrackWithMissingLibraryUnticksItself)
{
    s.Library.Loadable = false;
    auto* track = Find<QCheckBox>("Check2");
    track->click();
    EXPECT_FALSE(track->isChecked());
    EXPECT_EQ(s.Library.Loads, 1);
    EXPECT_TRUE(s.LogTexts().last().startsWith(QStringLiteral(": receiver library not found: ")));

    s.Library.Loadable = true;
    track->click();
    EXPECT_TRUE(track->isChecked());
    EXPECT_EQ(s.Library.Calls, QStringList { QStringLiteral("OpenForm(-1)") });
    track->click();
    EXPECT_EQ(s.Library.Calls.last(), QStringLiteral("HideGUI()"));
}

TEST_F(ReceiverBindingTest, TuningRewritesDecimalCommaInText2)
{
    Find<QCheckBox>("Check2")->click();
    Find<QLineEdit>("Text2")->setText(QStringLiteral("145975,123"));
    s.Controller.SetLocale(QLocale(QLocale::German, QLocale::Germany));
    s.State.NominalFreq = 145975;
    s.Controller.TuneReceiver(145975.123);
    EXPECT_EQ(Text("Text2"), QStringLiteral("145975.123"));
    EXPECT_EQ(s.Library.Calls.last(), QStringLiteral("SetHWLO(145975123)"));
}

TEST_F(ReceiverBindingTest, FrequencyMenuReloadsAndShowsForm6)
{
    s.Controller.LoadFrequencyList(QStringLiteral("AO-73"));
    s.Controller.SliderChanged(300);
    Find<QAction>("MnuCAT")->trigger();
    EXPECT_TRUE(m_form6.isVisible());
    EXPECT_FALSE(m_form6.isModal());
    EXPECT_EQ(m_form6.windowTitle(), QStringLiteral("Satellite Frequency"));
    auto* list = InForm6<QListWidget>("List1");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("AO-73,145950,435140,  BPSK  ,LSB,REV,0,0"));
    EXPECT_TRUE(QFontInfo(list->font()).fixedPitch());
    // The reload set the offset back to 0; the slider stays.
    EXPECT_EQ(Text("Text4"), QStringLiteral(" 0"));
    EXPECT_EQ(Find<QScrollBar>("HScroll1")->value(), 300);
}

TEST_F(ReceiverBindingTest, OkTakesTheSecondRow)
{
    Find<QAction>("MnuCAT")->trigger();
    InForm6<QListWidget>("List1")->setCurrentRow(1);
    InForm6<QPushButton>("Command1")->click();
    EXPECT_FALSE(m_form6.isVisible());
    EXPECT_EQ(s.State, (FrequencyState { 145950, 0, 145950, QStringLiteral("BPSK") }));
    EXPECT_EQ(Text("Text3"), QStringLiteral(" 145950 kHz"));
    EXPECT_EQ(Find<QLabel>("Label16")->text(), QStringLiteral("BPSK"));
}

TEST_F(ReceiverBindingTest, OkWithTypedFrequencyAndMalformedText)
{
    Find<QComboBox>("Combo1")->setCurrentIndex(1); // FO-29: no rows
    Find<QAction>("MnuCAT")->trigger();
    auto* typed = InForm6<QLineEdit>("Text1");
    typed->setText(QStringLiteral("435.85 MHz"));
    InForm6<QPushButton>("Command1")->click();
    // Nothing changed, the window says why and stays open.
    EXPECT_TRUE(m_form6.isVisible());
    EXPECT_EQ(InForm6<QLabel>("LabelMessage")->text(),
        QStringLiteral("\"435.85 MHz\" is not a frequency in kHz."));
    EXPECT_EQ(s.State.NominalFreq, 0);

    typed->setText(QStringLiteral("435850"));
    InForm6<QPushButton>("Command1")->click();
    EXPECT_FALSE(m_form6.isVisible());
    EXPECT_EQ(s.State.NominalFreq, 435850);
    EXPECT_EQ(Text("Text3"), QStringLiteral(" 435850 kHz"));
    EXPECT_FALSE(Find<QPushButton>("Command1_0")->isEnabled());

    // Opened again, the entry boxes are empty.
    Find<QAction>("MnuCAT")->trigger();
    EXPECT_EQ(typed->text(), QString());
    EXPECT_TRUE(InForm6<QLabel>("LabelMessage")->text().isEmpty());
}

TEST_F(ReceiverBindingTest, ClosingTheMainWindowClosesForm6)
{
    Find<QAction>("MnuCAT")->trigger();
    ASSERT_TRUE(m_form6.isVisible());
    m_window.close();
    EXPECT_FALSE(m_form6.isVisible());
}

} // namespace
} // namespace aostrack
