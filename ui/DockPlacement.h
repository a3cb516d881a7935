#pragma once
// Where the "Upcoming passes" dock stands: beside the tracking view when the
// screen is wide enough for both, under it when it is tall enough, else as a
// second tab of the tracking view (a 1024 x 600 netbook).
#include <QSize>

class QDockWidget;

namespace aostrack {

class MainWindow;

enum class DockPlace { Beside, Below, Tab };

// room: the free area of the screen less the window's frame; window: the
// window's smallest size without the dock; dock: the dock's smallest size.
DockPlace ChooseDockPlace(QSize room, QSize window, QSize dock);

// Puts dock into window where ChooseDockPlace says for the window's screen.
DockPlace PlaceDock(MainWindow& window, QDockWidget& dock);

} // namespace aostrack
