#pragma once
// Binds the main window's frame " Frequency " and the menu "Frequency" to
// the receiver controller, finding the controls by name: "Check2" (track),
// "Label4", "HScroll1" (offset slider), "Command1_0".."Command1_6" (steps and
// reset), "Text2" (centre frequency), "Text3", "Text4", "Label16", "Combo1"
// (satellite list) and "MnuCAT". Controls the window lacks are skipped.
class QWidget;

namespace aostrack {

class FrequencyWindow;
class ReceiverController;

// Shows the controller's present state at once and follows it from then on.
// "Frequency" reloads the rows of the satellite in "Combo1" and shows form6
// (when given). All objects must outlive the connections.
void BindReceiverControls(ReceiverController& receiver, QWidget& window, FrequencyWindow* form6);

} // namespace aostrack
