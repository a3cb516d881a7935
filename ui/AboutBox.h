#pragma once
// The about box ("Form2", caption "Info"): a drawn satellite, the program's
// name, the version line and a credit. It has no button; the window's own
// close box closes it.
#include <QWidget>

namespace aostrack {

class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    // "Version 1.1.1 BETA    (March 03, 2013)", put together as the box loads.
    static QString VersionLine();
};

// The satellite picture of the about box and of the window icon.
QPixmap SatellitePicture(int size);

} // namespace aostrack
