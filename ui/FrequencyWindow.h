#pragma once
// The satellite frequency window ("Form6", "Satellite Frequency"): the
// frequency rows of the selected satellite ("List1", fixed-pitch), a typed
// downlink ("Text1", kHz), a typed uplink ("Text2", kHz: the uplink of the
// transceiver's single-frequency row, when a transceiver is bound) and
// "OK" ("Command1"). Not modal: the tracker keeps ticking while it is open.
// A frequency that is not a number is named in "LabelMessage" and the window
// stays open with nothing changed.
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace aostrack {

class ReceiverController;

class FrequencyWindow : public QWidget {
    Q_OBJECT
public:
    // The list follows the controller's rows from now on; the window is
    // created hidden. With a parent it is still a window of its own.
    explicit FrequencyWindow(ReceiverController& receiver, QWidget* parent = nullptr);

    // Shows the window without blocking, or brings it forward.
    void ShowWindow();
    // "OK": applies the chosen row and the typed frequency, then closes.
    void Command1_Click();
    // Where "manual Uplink QRG" goes (Hz at the satellite; nullopt when the
    // box is left empty). Without it the box is the operator's note.
    void SetManualUplink(std::function<void(std::optional<double>)> apply)
    {
        m_applyUplink = std::move(apply);
    }

protected:
    // A closed window opens again with empty entry boxes.
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowRows();

    ReceiverController& m_receiver;
    QListWidget* m_rows;
    QLineEdit* m_typedDownlink;
    QLineEdit* m_typedUplink;
    std::function<void(std::optional<double>)> m_applyUplink;
    QLabel* m_message;
    QPushButton* m_okButton;
};

} // namespace aostrack
