#pragma once
// Binds the main window's frame " Frequency " and the menu "Frequency" to the
// receiver controller: the "track" box, the offset slider, the step and reset
// buttons, the centre-frequency display, the tuned frequency, the offset and
// the note of the frequency row.
namespace aostrack {

class FrequencyWindow;
class ReceiverController;
struct MainWindowControls;

// Shows the controller's present state at once and follows it from then on.
// "Frequency" reloads the rows of the chosen satellite and shows the
// frequency window (when given). All objects must outlive the connections.
void BindReceiverControls(ReceiverController& receiver, const MainWindowControls& controls,
    FrequencyWindow* frequencyWindow);

} // namespace aostrack
