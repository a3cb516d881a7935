#include "ui/ReceiverBinding.h"

#include "radio/ReceiverController.h"
#include "ui/FrequencyWindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWidget>

namespace aostrack {

namespace {

constexpr int kStepButtons = 6; // Command1 0..5; 6 is "reset"
constexpr int kAllButtons = 7;

struct FrequencyControls {
    QAbstractButton* Check2 = nullptr;
    QAbstractSlider* HScroll1 = nullptr;
    QAbstractButton* Command1[kAllButtons] = {};
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLabel* Label16 = nullptr;
};

// Puts the controller's frame on the widgets. Signals of the check box and
// the slider are held back: the controller already knows these values.
void ShowFrame(const FrequencyControls& c, const FrequencyFrame& frame)
{
    if (c.Check2 && c.Check2->isChecked() != frame.Tracking) {
        const QSignalBlocker quiet(c.Check2);
        c.Check2->setChecked(frame.Tracking);
    }
    if (c.HScroll1 && c.HScroll1->value() != frame.SliderValue) {
        const QSignalBlocker quiet(c.HScroll1);
        c.HScroll1->setValue(frame.SliderValue);
    }
    for (int i = 0; i < kStepButtons; ++i) {
        if (c.Command1[i])
            c.Command1[i]->setEnabled(frame.StepButtonsEnabled);
    }
    if (c.Text3)
        c.Text3->setText(frame.Text3);
    if (c.Text4)
        c.Text4->setText(frame.Text4);
    if (c.Label16)
        c.Label16->setText(frame.Label16);
}

} // namespace

void BindReceiverControls(ReceiverController& receiver, QWidget& window, FrequencyWindow* form6)
{
    FrequencyControls c;
    c.Check2 = window.findChild<QAbstractButton*>(QStringLiteral("Check2"));
    c.HScroll1 = window.findChild<QAbstractSlider*>(QStringLiteral("HScroll1"));
    for (int i = 0; i < kAllButtons; ++i)
        c.Command1[i] = window.findChild<QAbstractButton*>(QStringLiteral("Command1_%1").arg(i));
    c.Text2 = window.findChild<QLineEdit*>(QStringLiteral("Text2"));
    c.Text3 = window.findChild<QLineEdit*>(QStringLiteral("Text3"));
    c.Text4 = window.findChild<QLineEdit*>(QStringLiteral("Text4"));
    c.Label16 = window.findChild<QLabel*>(QStringLiteral("Label16"));
    auto* label4 = window.findChild<QLabel*>(QStringLiteral("Label4"));
    auto* combo1 = window.findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto* mnuCat = window.findChild<QAction*>(QStringLiteral("MnuCAT"));

    if (label4)
        label4->setText(QStringLiteral("connect FCDpro"));
    if (c.Check2) {
        c.Check2->setToolTip(QStringLiteral("track"));
        QObject::connect(
            c.Check2, &QAbstractButton::toggled, &receiver, &ReceiverController::SetTracking);
    }
    if (c.HScroll1) {
        c.HScroll1->setRange(ReceiverController::kSliderMin, ReceiverController::kSliderMax);
        // A drag and a click on the arrows both retune at once.
        QObject::connect(c.HScroll1, &QAbstractSlider::valueChanged, &receiver,
            &ReceiverController::SliderChanged);
    }
    for (int i = 0; i < kAllButtons; ++i) {
        if (c.Command1[i])
            QObject::connect(c.Command1[i], &QAbstractButton::clicked, &receiver,
                [&receiver, i] { receiver.StepClicked(i); });
    }
    if (c.Text2)
        QObject::connect(
            &receiver, &ReceiverController::centreTextRewritten, c.Text2, &QLineEdit::setText);
    if (mnuCat) {
        QObject::connect(mnuCat, &QAction::triggered, &receiver, [&receiver, combo1, form6] {
            receiver.LoadFrequencyList(combo1 ? combo1->currentText() : QString());
            if (form6)
                form6->ShowWindow();
        });
    }

    ShowFrame(c, receiver.Frame());
    QObject::connect(&receiver, &ReceiverController::frameChanged, &window,
        [c, &receiver] { ShowFrame(c, receiver.Frame()); });
}

} // namespace aostrack
