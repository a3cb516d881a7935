// The "Rotor Control" frame and the "Rotor" menu, found by name and driven
// through the link, headless.
#include "ui/RotorBinding.h"
#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "QtPrinters.h"
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/RotorController.h"

#include <QAction>
#include <QColor>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

// The controls of the main window that the rotor link shows itself in,
// named as the window names them.
struct RotorWindow {
    RotorWindow()
    {
        auto* central = new QWidget(&window);
        window.setCentralWidget(central);
        park = new QPushButton(QStringLiteral("park"), central);
        park->setObjectName(QStringLiteral("Command2"));
        park->setEnabled(false);
        status = new QLabel(QStringLiteral("Rotor Control"), central);
        status->setObjectName(QStringLiteral("Label7"));
        mode = new QLabel(central);
        mode->setObjectName(QStringLiteral("Label9"));
        lamp = new QWidget(central);
        lamp->setObjectName(QStringLiteral("Shape1"));
        menu = window.menuBar()->addMenu(QStringLiteral("Rotor"));
        menu->setObjectName(QStringLiteral("MnuRotor"));
        menu->setEnabled(false);
        easyComm = menu->addAction(QStringLiteral("EasyComm"));
        easyComm->setObjectName(QStringLiteral("Mnu_FD_ST1"));
        easyComm->setCheckable(true);
    }
    QColor Lamp() const { return lamp->property("fillColor").value<QColor>(); }

    QMainWindow window;
    QPushButton* park;
    QLabel* status;
    QLabel* mode;
    QWidget* lamp;
    QMenu* menu;
    QAction* easyComm;
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
        BindRotorControls(*m_rotor, m_ui.window);
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
    m_rotor->UpdateRotor(33.6, 12.5);
    EXPECT_EQ(m_ui.status->text(), "AZ034.0 EL012.0");

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
    ASSERT_EQ(m_log.Lines().size(), 1);
    EXPECT_TRUE(
        m_log.Lines()[0].endsWith(": COM2 9600,n,8,1 could not be opened (COM2, /dev/ttyS1: "
                                  "Permission denied)"));
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
