#pragma once
// Typed handles to the main window's controls, filled once by the layout code
// and handed to the bindings, so that a binding cannot miss a control. Each
// control also carries its design name as objectName ("Combo1", "Text1_6",
// "Command1_3", ...), set in one table (NameControls), by which tests and
// scripts find it; the C++ names here say what the control is.
#include <array>

class QAbstractButton;
class QAbstractSlider;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QTabWidget;
class QWidget;

namespace aostrack {

class PassPlot;
class SkyPlot;
class TransceiverFrame;

// A value of the data panel (an element of the Text1 array) and its caption
// (Label2 of the same index; none for the time and date in the header).
struct PanelField {
    QLineEdit* Value = nullptr;
    QLabel* Caption = nullptr;
};

// The data panel, field by field as DataPanelTexts names them.
struct DataPanelFields {
    PanelField Time; // Text1_0
    PanelField MaValue; // Text1_1
    PanelField Azimuth; // Text1_2
    PanelField Elevation; // Text1_3
    PanelField SatLong; // Text1_4
    PanelField SatLat; // Text1_5
    PanelField Distance; // Text1_6
    PanelField Height; // Text1_7
    PanelField OrbitNumber; // Text1_8
    PanelField SunAngle; // Text1_9
    PanelField Illumination; // Text1_10
    PanelField Loss; // Text1_21
    PanelField DopplerShift; // Text1_22
    PanelField Info; // Text1_25
    PanelField Date; // Text1_28
    PanelField Epoch; // Text1_29
    QLabel* TleAge = nullptr; // Label15
    QLabel* TleUpdateHint = nullptr; // TleUpdateHint: shown while the sets are too old
    QLabel* OrbitModel = nullptr; // LabelOrbitModel: "Orbit model: SGP4"
};

// The frame " Frequency ".
struct FrequencyControls {
    QGroupBox* Frame = nullptr; // Frame6
    QAbstractButton* Track = nullptr; // Check2: "track"
    QLabel* ReceiverName = nullptr; // Label4: "connect FCDpro"
    QLabel* CentreCaption = nullptr; // Text2Caption: says Text2 is Doppler-corrected
    QLineEdit* CentreFrequency = nullptr; // Text2: the large display
    QAbstractSlider* OffsetSlider = nullptr; // HScroll1
    // Command1_0..5: "+1 kHz", "+100 Hz", "+10 Hz", "-1 kHz", "-100 Hz", "-10 Hz"
    // (steps of the offset); 6: "reset".
    std::array<QAbstractButton*, 7> StepButtons {};
    QLabel* TunedCaption = nullptr; // Label3
    QLineEdit* TunedFrequency = nullptr; // Text3
    QLabel* OffsetCaption = nullptr; // Label6
    QLineEdit* Offset = nullptr; // Text4
    QLabel* RowNote = nullptr; // Label16: the mode of the frequency row
    TransceiverFrame* Transceiver = nullptr; // shown when RIG_HOST is set
};

// The frame "Rotor Control" and the menu "Rotor".
struct RotorControls {
    QGroupBox* Frame = nullptr; // Frame4
    QAbstractButton* Park = nullptr; // Command2
    QLabel* Status = nullptr; // Label7
    QLabel* ParkMode = nullptr; // Label9: "AUTO" / "MAN"
    // RotorPosition: where the rotor was sent, and with rotctld where it
    // reports itself ("cmd 372°/45°  rotor 371.8°/44.9°").
    QLabel* Position = nullptr;
    QWidget* Lamp = nullptr; // Shape1, property "fillColor"
    QMenu* Menu = nullptr; // MnuRotor
    QAction* EasyComm = nullptr; // Mnu_FD_ST1, checkable
};

struct MenuControls {
    QMenu* File = nullptr; // MenuFile
    QAction* OpenElementFile = nullptr; // MenuFileOpen: "Open Kep File"
    QAction* Exit = nullptr; // MenuFileExit
    QMenu* Tle = nullptr; // MnuTle
    QAction* InternetUpdate = nullptr; // MnuInternetUpdate
    QAction* Frequency = nullptr; // MnuCAT
    QAction* Scan = nullptr; // MnuScan
    QAction* Info = nullptr; // MnuInfo
    QMenu* OrbitModel = nullptr; // MnuOrbitModel
    QAction* Plan13 = nullptr; // MnuOrbitModelPlan13, checkable, one of the two
    QAction* Sgp4 = nullptr; // MnuOrbitModelSgp4
};

struct MainWindowControls {
    QComboBox* Satellites = nullptr; // Combo1
    QLabel* QthCaption = nullptr;
    QLabel* Qth = nullptr; // Label5
    std::array<QLabel*, 2> ElementLines {}; // Label1_0, Label1_1
    QGroupBox* SatelliteFrame = nullptr; // Frame1
    DataPanelFields Panel;
    QLabel* Countdown = nullptr; // Label8
    QGroupBox* ElevationFrame = nullptr; // Frame2
    PassPlot* Plot = nullptr; // Picture1
    SkyPlot* Sky = nullptr; // SkyPlot: the polar view beside the pass plot
    QLabel* PassDuration = nullptr; // Label19
    QGroupBox* PassListFrame = nullptr; // Frame3
    QListWidget* PassList = nullptr; // List1
    FrequencyControls Frequency;
    RotorControls Rotor;
    // The tracking view's page; on a small screen the upcoming passes join
    // it as a second tab.
    QTabWidget* Pages = nullptr;
    QListWidget* EventLog = nullptr; // List2
    QLineEdit* Credit = nullptr; // Text5
    MenuControls Menus;
};

// Gives every control its design name as objectName.
void NameControls(const MainWindowControls& controls);

} // namespace aostrack
