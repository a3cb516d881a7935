#include "ui/ReceiverBinding.h"

#include "radio/ReceiverController.h"
#include "ui/FrequencyWindow.h"
#include "ui/MainWindowControls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace aostrack {

namespace {

constexpr int kStepButtons = 6; // the six offset steps; the seventh is "reset"

// Puts the controller's frame on the widgets. Signals of the check box and
// the slider are held back: the controller already knows these values.
void ShowFrame(const FrequencyControls& c, const FrequencyFrame& frame)
{
    if (c.Track->isChecked() != frame.Tracking) {
        const QSignalBlocker quiet(c.Track);
        c.Track->setChecked(frame.Tracking);
    }
    if (c.OffsetSlider->value() != frame.SliderValue) {
        const QSignalBlocker quiet(c.OffsetSlider);
        c.OffsetSlider->setValue(frame.SliderValue);
    }
    for (int i = 0; i < kStepButtons; ++i)
        c.StepButtons[static_cast<std::size_t>(i)]->setEnabled(frame.StepButtonsEnabled);
    c.TunedFrequency->setText(frame.TunedFreqText);
    c.Offset->setText(frame.OffsetText);
    c.RowNote->setText(frame.RowNote);
}

} // namespace

void BindReceiverControls(ReceiverController& receiver, const MainWindowControls& controls,
    FrequencyWindow* frequencyWindow)
{
    const FrequencyControls& c = controls.Frequency;
    QObject::connect(
        c.Track, &QAbstractButton::toggled, &receiver, &ReceiverController::SetTracking);
    c.OffsetSlider->setRange(ReceiverController::kSliderMin, ReceiverController::kSliderMax);
    // A drag and a click on the arrows both retune at once.
    QObject::connect(c.OffsetSlider, &QAbstractSlider::valueChanged, &receiver,
        &ReceiverController::SliderChanged);
    for (std::size_t i = 0; i < c.StepButtons.size(); ++i) {
        QObject::connect(c.StepButtons[i], &QAbstractButton::clicked, &receiver,
            [&receiver, i] { receiver.StepClicked(static_cast<int>(i)); });
    }
    QObject::connect(&receiver, &ReceiverController::centreTextRewritten, c.CentreFrequency,
        &QLineEdit::setText);
    QComboBox* satellites = controls.Satellites;
    QObject::connect(controls.Menus.Frequency, &QAction::triggered, &receiver,
        [&receiver, satellites, frequencyWindow] {
            receiver.LoadFrequencyList(satellites->currentText());
            if (frequencyWindow)
                frequencyWindow->ShowWindow();
        });

    ShowFrame(c, receiver.Frame());
    QObject::connect(&receiver, &ReceiverController::frameChanged, c.Frame,
        [c, &receiver] { ShowFrame(c, receiver.Frame()); });
}

} // namespace aostrack
