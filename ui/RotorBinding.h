#pragma once
// Binds the main window's "Rotor Control" frame and the "Rotor" menu to the
// rotor link: the park button, the status and park-mode texts, the rotor's
// position (where it was sent, with rotctld also where it says it is), the lamp
// (property "fillColor") and the check mark of "EasyComm". Closing the window
// closes an open rotor port without sending anything.
class QWidget;

namespace aostrack {

class RotorController;
struct RotorControls;

// Shows the controller's present state at once and follows it from then on.
// The controller and window must outlive the connections (the binding's
// helper is a child of window).
void BindRotorControls(RotorController& rotor, const RotorControls& controls, QWidget& window);

// The menu "Rotor" and the button "park": usable only with a rotor configured.
void SetRotorControlsEnabled(const RotorControls& controls, bool enabled);

} // namespace aostrack
