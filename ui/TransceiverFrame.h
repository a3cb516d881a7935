#pragma once
// The transceiver's part of the frame " Frequency ": a lamp for each rig
// link, the transmitters of the satellite (transponders first), the receive
// and transmit dials, the passband point with its fine knob (mouse wheel and
// buttons, 10 Hz and 1 kHz) and the calibration offsets. Hidden until bound:
// a station without RIG_HOST shows the receiver alone.
#include <QWidget>

class QComboBox;
class QLabel;
class QSpinBox;

namespace aostrack {

class FrequencyWindow;
class MainWindow;
class StationTransceiver;

inline constexpr double kKnobFineHz = 10;
inline constexpr double kKnobCoarseHz = 1000;

class TransceiverFrame : public QWidget {
    Q_OBJECT
public:
    explicit TransceiverFrame(QWidget* parent = nullptr);

    // Shows the frame and follows the transceiver from now on.
    void Bind(StationTransceiver& transceiver);
    // Moves the passband point (the knob's steps and the wheel).
    void Turn(double deltaHz);

protected:
    // A wheel notch is 10 Hz, with Ctrl 1 kHz.
    void wheelEvent(QWheelEvent* event) override;

private:
    void ShowTransmitters();
    void ShowDials();
    void ShowOffsets();
    void ShowLinks();

    StationTransceiver* m_transceiver = nullptr;
    QLabel* m_rxLamp;
    QLabel* m_txLamp;
    QComboBox* m_transmitters;
    QLabel* m_point;
    QSpinBox* m_rxOffset;
    QSpinBox* m_txOffset;
};

// The frame of mainWindow follows transceiver (the window refitted to the
// screen around it), and the frequency window's "manual Uplink QRG" sets the
// uplink of a single-frequency row.
void BindTransceiver(
    StationTransceiver& transceiver, MainWindow& mainWindow, FrequencyWindow& frequencyWindow);

} // namespace aostrack
