#pragma once
// The main window ("Form1"): satellite selector, element lines, data panel,
// countdown, pass plot, pass list, event log, the frames " Frequency " and
// "Rotor Control", and the menus. Controls() hands typed handles to the
// bindings of the tracking core, the receiver and the rotor; every control
// also carries its design name as objectName ("Combo1", "Text1_6",
// "Command1_3", "MnuRotor", ...). The window itself computes nothing.
#include "ui/MainWindowControls.h"

#include <QMainWindow>
#include <QPointer>

class QGroupBox;
class QSplitter;

namespace aostrack {

class AboutBox;
class FileChooser;
class PassPlot;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(FileChooser& fileChooser, QWidget* parent = nullptr);
    ~MainWindow() override;

    // "Open Kep File": asks for a file ("TLE Files (*.txt)" first, then
    // "All Files (*.*)"); a chosen name is handed on through elementFileChosen,
    // a cancelled dialog changes nothing.
    void OpenElementFile();
    // "Exit" and the close box: see closeEvent.
    void CloseMainWindow();
    // "Info": shows the one about box without blocking; a second call brings
    // the same box forward.
    void ShowAboutBox();
    // The hourglass while a long computation runs. Nested calls are counted.
    void SetBusy(bool busy);
    // The free area of the window's screen less the window manager's frame.
    QSize RoomOnScreen() const;
    // The design's 1280 x 800, or less on a smaller screen: the window and
    // its title bar stay within the screen's free area. Again after controls
    // were added to the built window (the transceiver's).
    void FitToScreen();

    const MainWindowControls& Controls() const { return m_controls; }
    // The about box while it is open, else null.
    AboutBox* About() const;

signals:
    void elementFileChosen(const QString& path);
    // Emitted once as the window closes, after the secondary windows went:
    // the rotor layer closes its port here (nothing is sent to the rotor) and
    // the tracker stops.
    void mainWindowClosing();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Grown by its controls after the window manager placed it: see
    // KeepFrameOnScreen.
    void resizeEvent(QResizeEvent* event) override;

private:
    // Moves the window, and shrinks it as far as its minimum allows, so that
    // its frame and title bar lie within the screen's free area.
    void KeepFrameOnScreen();
    void BuildMenus();
    QWidget* BuildHeader();
    QWidget* BuildElementLines();
    QGroupBox* BuildSatelliteFrame();
    QGroupBox* BuildElevationFrame();
    QGroupBox* BuildPassListFrame();
    QGroupBox* BuildRotorFrame();
    QGroupBox* BuildFrequencyFrame();
    QWidget* BuildEventLog();
    QWidget* BuildTrackingPage(QWidget* parent);
    QSplitter* BuildPagesAndLog(QWidget* parent);
    void BuildCentralWidget();

    FileChooser& m_fileChooser;
    MainWindowControls m_controls;
    QPointer<AboutBox> m_about;
    bool m_closing = false;
    int m_busyDepth = 0;
};

} // namespace aostrack
