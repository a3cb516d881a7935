// The transceiver's knob in the frequency frame: each step of the buttons and
// the mouse wheel moves RS-44's passband point, and with it both dials by
// the Hz the Doppler legs give (inverting: the uplink the other way).
#include "ui/TransceiverFrame.h"
#include "radio/DopplerLegs.h"
#include "station/StationTransceiver.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

void Wheel(QWidget& widget, int notches, Qt::KeyboardModifiers modifiers)
{
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120 * notches),
        Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&widget, &event);
}

TEST(TransceiverFrame, KnobMovesBothDials)
{
    QTemporaryDir station;
    Configuration config;
    config.IniPath = station.filePath("sat.ini");
    config.TransmitterFilePath = AOSTRACK_SOURCE_DIR "/examples/transmitters.json";
    StationTransceiver transceiver(config);
    transceiver.LoadSatellite(44909, "RS-44");
    TransceiverFrame frame;
    frame.Bind(transceiver);
    const double rr = -6.5;
    transceiver.Control().Tick(rr);
    EXPECT_EQ(std::llround(*transceiver.Control().Dials().ReceiveDialHz), 435649445);
    EXPECT_EQ(std::llround(*transceiver.Control().Dials().TransmitDialHz), 145961835);

    struct Step {
        const char* what;
        std::function<void()> act;
        double pointHz; // afterwards
    };
    const Step steps[] = {
        { "+10 button", [&] { frame.findChild<QToolButton*>("Knob2")->click(); }, 435640010 },
        { "+1k button", [&] { frame.findChild<QToolButton*>("Knob3")->click(); }, 435641010 },
        { "wheel 3 down", [&] { Wheel(frame, -3, Qt::NoModifier); }, 435640980 },
        { "Ctrl+wheel 2 up", [&] { Wheel(frame, 2, Qt::ControlModifier); }, 435642980 },
        { "-1k button", [&] { frame.findChild<QToolButton*>("Knob0")->click(); }, 435641980 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const DialFrequencies& dials = transceiver.Control().Dials();
        const double moved = step.pointHz - 435640000;
        EXPECT_NEAR(*dials.ReceiveDialHz, ReceiveDopplerHz(435640000 + moved, rr), 1e-6);
        EXPECT_NEAR(*dials.TransmitDialHz, TransmitDopplerHz(145965000 - moved, rr), 1e-6);
    }
}

} // namespace
} // namespace aostrack
