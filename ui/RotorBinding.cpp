#include "ui/RotorBinding.h"

#include "rotor/RotorController.h"
#include "ui/MainWindowControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QColor>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace aostrack {

namespace {

// Closes the rotor port when the main window closes; the park command is
// deliberately not sent, the antenna stays where the last pass left it.
class CloseWatcher : public QObject {
public:
    CloseWatcher(RotorController& rotor, QWidget& window)
        : QObject(&window)
        , m_rotor(&rotor)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && m_rotor)
            m_rotor->ClosePort();
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<RotorController> m_rotor;
};

QColor LampColour(bool portOpen)
{
    return QColor::fromRgb(portOpen ? kRotorLampOpenRgb : kRotorLampClosedRgb);
}

} // namespace

void SetRotorControlsEnabled(const RotorControls& controls, bool enabled)
{
    controls.Park->setEnabled(enabled);
    controls.Menu->setEnabled(enabled);
    controls.Menu->menuAction()->setEnabled(enabled);
}

void BindRotorControls(RotorController& rotor, const RotorControls& controls, QWidget& window)
{
    SetRotorControlsEnabled(controls, rotor.Configured());
    QObject::connect(&rotor, &RotorController::controlsEnabledChanged, &window,
        [controls](bool enabled) { SetRotorControlsEnabled(controls, enabled); });
    QObject::connect(controls.Park, &QAbstractButton::clicked, &rotor, &RotorController::ParkRotor);

    controls.Status->setText(rotor.StatusText());
    QObject::connect(
        &rotor, &RotorController::statusTextChanged, controls.Status, &QLabel::setText);
    controls.Position->setText(rotor.PositionText());
    QObject::connect(
        &rotor, &RotorController::positionTextChanged, controls.Position, &QLabel::setText);
    controls.ParkMode->setText(rotor.ParkModeText());
    QObject::connect(
        &rotor, &RotorController::parkModeTextChanged, controls.ParkMode, &QLabel::setText);
    QWidget* lamp = controls.Lamp;
    lamp->setProperty("fillColor", LampColour(rotor.PortOpen()));
    QObject::connect(&rotor, &RotorController::lampChanged, lamp,
        [lamp](bool open) { lamp->setProperty("fillColor", LampColour(open)); });

    QAction* easyComm = controls.EasyComm;
    easyComm->setChecked(rotor.LinkChecked());
    // A checkable action flips its own mark on a click; the link decides
    // (an unopenable port leaves it unmarked), so the mark is set back.
    QObject::connect(easyComm, &QAction::triggered, &rotor, [&rotor, easyComm] {
        rotor.ToggleRotorLink();
        easyComm->setChecked(rotor.LinkChecked());
    });
    QObject::connect(&rotor, &RotorController::linkCheckedChanged, easyComm, &QAction::setChecked);

    new CloseWatcher(rotor, window);
}

} // namespace aostrack
