#include "ui/RotorBinding.h"

#include "rotor/RotorController.h"

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

void BindRotorControls(RotorController& rotor, QWidget& window)
{
    auto* park = window.findChild<QAbstractButton*>(QStringLiteral("Command2"));
    auto* status = window.findChild<QLabel*>(QStringLiteral("Label7"));
    auto* mode = window.findChild<QLabel*>(QStringLiteral("Label9"));
    auto* lamp = window.findChild<QWidget*>(QStringLiteral("Shape1"));
    auto* menu = window.findChild<QMenu*>(QStringLiteral("MnuRotor"));
    auto* easyComm = window.findChild<QAction*>(QStringLiteral("Mnu_FD_ST1"));

    auto enable = [park, menu](bool on) {
        if (park)
            park->setEnabled(on);
        if (menu) {
            menu->setEnabled(on);
            menu->menuAction()->setEnabled(on);
        }
    };
    enable(rotor.Configured());
    QObject::connect(&rotor, &RotorController::controlsEnabledChanged, &window, enable);

    if (park)
        QObject::connect(park, &QAbstractButton::clicked, &rotor, &RotorController::ParkRotor);

    if (status) {
        status->setText(rotor.StatusText());
        QObject::connect(&rotor, &RotorController::statusTextChanged, status, &QLabel::setText);
    }
    if (mode) {
        mode->setText(rotor.ParkModeText());
        QObject::connect(&rotor, &RotorController::parkModeTextChanged, mode, &QLabel::setText);
    }
    if (lamp) {
        lamp->setProperty("fillColor", LampColour(rotor.PortOpen()));
        QObject::connect(&rotor, &RotorController::lampChanged, lamp,
            [lamp](bool open) { lamp->setProperty("fillColor", LampColour(open)); });
    }
    if (easyComm) {
        easyComm->setCheckable(true);
        easyComm->setChecked(rotor.LinkChecked());
        // A checkable action flips its own mark on a click; the link decides
        // (an unopenable port leaves it unmarked), so the mark is set back.
        QObject::connect(easyComm, &QAction::triggered, &rotor, [&rotor, easyComm] {
            rotor.ToggleRotorLink();
            easyComm->setChecked(rotor.LinkChecked());
        });
        QObject::connect(
            &rotor, &RotorController::linkCheckedChanged, easyComm, &QAction::setChecked);
    }

    new CloseWatcher(rotor, window);
}

} // namespace aostrack
