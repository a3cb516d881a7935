#pragma once
// Binds the main window's "Rotor Control" frame and the "Rotor" menu to the
// rotor link, finding the controls by name: "Command2" (park), "Label7"
// (status), "Label9" (park mode), "Shape1" (lamp, property "fillColor"),
// "MnuRotor" (menu) and "Mnu_FD_ST1" ("EasyComm"). Closing the window closes
// an open rotor port without sending anything.
class QWidget;

namespace aostrack {

class RotorController;

// Shows the controller's present state at once and follows it from then on.
// Controls that the window lacks are skipped. Both objects must outlive the
// connections (the binding's helper is a child of window).
void BindRotorControls(RotorController& rotor, QWidget& window);

} // namespace aostrack
