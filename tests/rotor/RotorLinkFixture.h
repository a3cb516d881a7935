#pragma once
// A rotor link on a recorded line, with its own event log on a fake clock,
// configured as the example station's rotor.
#include "FakeClock.h"
#include "FakeSerialPort.h"
#include "QtPrinters.h"
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/RotorController.h"

#include <gtest/gtest.h>
#include <memory>

namespace aostrack {

// COM3 at 9600,n,8,1, a step of 5 degrees, parking at AZ000.0 EL000.0 by itself.
inline Configuration StationRotor()
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

    FakeClock m_clock { std::chrono::sys_days { std::chrono::year { 2024 } / 3 / 1 }
        + std::chrono::hours { 12 } + std::chrono::minutes { 30 } };
    EventLog m_log { m_clock };
    FakeSerialPort* m_port = nullptr;
    std::unique_ptr<RotorController> m_rotor;
};

} // namespace aostrack
