// The "Rotor Control" frame and the "Rotor" menu of the real main window,
// found by name and driven through the link, headless.
#include "ui/RotorBinding.h"
#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "QtPrinters.h"
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/RotorController.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QColor>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

class NoFile : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};

// The controls of the main window that the rotor link shows itself in.
struct RotorWindow {
    template <typename T> T* Find(const char* name)
    {
        T* child = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QColor Lamp() const { return lamp->property("fillColor").value<QColor>(); }

    NoFile noFile;
    MainWindow window { noFile };
    QPushButton* park = Find<QPushButton>("Command2");
    QLabel* status = Find<QLabel>("Label7");
    QLabel* mode = Find<QLabel>("Label9");
    QLabel* position = Find<QLabel>("RotorPosition");
    QWidget* lamp = Find<QWidget>("Shape1");
    QMenu* menu = Find<QMenu>("MnuRotor");
    QAction* easyComm = Find<QAction>("Mnu_FD_ST1");
};

Configuration StationRotor()
{
    Configuration c;
    c.RotorPort = 2;
    c.RotorPortSettings = QStringLiteral("9600,n,8,1");
    c.RotorStepDeg = 5;
    c.RotorParkCommand = QStringLiteral("AZ180.0 EL000.0");
    c.AutoPark = false;
    return c;
}

class RotorBindingTest : public ::testing::Test {
protected:
    RotorBindingTest()
    {
        auto port = std::make_unique<FakeSerialPort>();
        m_port = port.get();
        m_rotor = std::make_unique<RotorController>(m_log, std::move(port));
        BindRotorControls(*m_rotor, m_ui.window.Controls().Rotor, m_ui.window);
    }

    FakeClock m_clock { sys_days { 2024y / March / 1 } + 6h };
    EventLog m_log { m_clock };
    FakeSerialPort* m_port = nullptr;
    std::unique_ptr<RotorController> m_rotor;
    RotorWindow m_ui;
};

} // namespace

TEST_F(RotorBindingTest, beforeStartup)
{
    EXPECT_FALSE(m_ui.park->isEnabled());
    EXPECT_FALSE(m_ui.menu->isEnabled());
    EXPECT_EQ(m_ui.status->text(), "Rotor Control");
    EXPECT_EQ(m_ui.mode->text(), "");
    EXPECT_EQ(m_ui.Lamp(), QColor(128, 128, 128));
    EXPECT_FALSE(m_ui.easyComm->isChecked());
}

TEST_F(RotorBindingTest, configured)
{
    m_rotor->ApplyConfiguration(StationRotor());
    EXPECT_TRUE(m_ui.park->isEnabled());
    EXPECT_TRUE(m_ui.menu->isEnabled());
    EXPECT_TRUE(m_ui.menu->menuAction()->isEnabled());
    EXPECT_EQ(m_ui.mode->text(), "MAN");
}

TEST_F(RotorBindingTest, menuOpensPortAndTickShowsIt)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_ui.easyComm->trigger();
    EXPECT_TRUE(m_ui.easyComm->isChecked());
    EXPECT_TRUE(m_port->IsOpen());
    EXPECT_EQ(m_ui.Lamp(), QColor(0, 255, 0));

    m_rotor->UpdateRotor(30, -10);
    EXPECT_EQ(m_ui.status->text(), QStringLiteral("COM2, 9600,n,8,1  (5\u00b0)"));
    EXPECT_EQ(m_ui.position->text(), ""); // nothing sent yet
    m_rotor->UpdateRotor(33.6, 12.5);
    EXPECT_EQ(m_ui.status->text(), "AZ034.0 EL012.0");
    // Where the rotor was sent, as sent: whole degrees (12.5 halves to 12).
    EXPECT_EQ(m_ui.position->text(), QStringLiteral("cmd 34\u00b0/12\u00b0"));

    m_ui.easyComm->trigger();
    EXPECT_FALSE(m_ui.easyComm->isChecked());
    m_rotor->UpdateRotor(33.6, 12.5);
    EXPECT_EQ(m_ui.Lamp(), QColor(128, 128, 128));
    EXPECT_EQ(m_ui.status->text(), "");
}

TEST_F(RotorBindingTest, menuUnopenablePortStaysUnmarked)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_port->openFailure = QStringLiteral("Permission denied");
    m_ui.easyComm->trigger();
    EXPECT_FALSE(m_ui.easyComm->isChecked());
    EXPECT_EQ(m_ui.Lamp(), QColor(128, 128, 128));
    EXPECT_EQ(m_log.Lines().size(), 1);
}

TEST_F(RotorBindingTest, parkButton)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_ui.park->click(); // port closed: nothing
    EXPECT_EQ(m_ui.status->text(), "Rotor Control");
    m_ui.easyComm->trigger();
    m_ui.park->click();
    EXPECT_EQ(m_port->written, QByteArray("AZ180.0 EL000.0\r"));
    EXPECT_EQ(m_ui.status->text(), "parking position at AZ180.0 EL000.0");
}

TEST_F(RotorBindingTest, deviceLostUnmarksMenu)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_ui.easyComm->trigger();
    m_port->Unplug(QStringLiteral("Input/output error"));
    EXPECT_FALSE(m_ui.easyComm->isChecked());
    EXPECT_EQ(m_ui.Lamp(), QColor(128, 128, 128));
}

TEST_F(RotorBindingTest, closingWindowClosesPortSilently)
{
    m_rotor->ApplyConfiguration(StationRotor());
    m_ui.window.show();
    m_ui.easyComm->trigger();
    m_rotor->UpdateRotor(100, 20);
    m_port->written.clear();
    EXPECT_TRUE(m_ui.window.close());
    EXPECT_FALSE(m_port->IsOpen());
    EXPECT_TRUE(m_port->written.isEmpty());
    EXPECT_EQ(m_log.Lines().size(), 1); // the "opened" line only
}
