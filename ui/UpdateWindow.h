#pragma once
// "TLE Update" (Form4): downloads fresh element sets into the TLE file while
// the main window keeps tracking. Controls: "Check1"/"Check2" (the two
// sources, captioned with their base addresses), "Check3" ("fetch anyway",
// within two hours of the last update), "Command1" ("Update"), "Text1" (the
// collected element text), "Text2" (progress lines), "Check4" (the
// transmitter list of the SatNOGS DB, fetched after the element sets).
#include "update/ElementUpdate.h"
#include "update/TransmitterUpdate.h"

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace aostrack {

class EventLog;
class MainWindow;

class UpdateWindow : public QWidget {
    Q_OBJECT
public:
    // tleFilePath is asked at each click, so a file opened meanwhile with
    // "Open Kep File" is the one updated. fetcher: null for the real HTTP one.
    UpdateWindow(const QString& serverBase, const QString& archiveBase,
        std::function<QString()> tleFilePath, std::unique_ptr<PageFetcher> fetcher = nullptr,
        QWidget* parent = nullptr);

    // Renames a file; false on any failure, without a message.
    static bool FileRename(const QString& originalName, const QString& newName, bool overWrite);

    // TLE_PATHS=LEGACY: the server's static files instead of its GP queries.
    void SetLegacyPaths(bool legacy) { m_legacyPaths = legacy; }
    // Where "Transmitters (SatNOGS DB)" fetches from and writes to; without a
    // file (no TRANSMITTERS) the source cannot be ticked.
    void SetTransmitterSource(const QString& serverBase, const QString& filePath,
        std::unique_ptr<PageFetcher> fetcher = nullptr);

    // Click of "Update": starts an update of the ticked sources.
    void Command1_Click();
    bool IsUpdating() const
    {
        return m_update.IsRunning() || (m_transmitters && m_transmitters->IsRunning());
    }

signals:
    // The window closes: the catalogue is to be read again from the TLE file,
    // whether or not anything was downloaded.
    void catalogueReloadRequested();
    // An update ended; ok: the file holds the newest sets (replaced or
    // already current); verdict: the line that says how it ended.
    void updateFinished(bool ok, const QString& verdict);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void NameWidgets();
    void LayOut();
    void ConnectUpdate();
    void StartTransmitters();

    std::function<QString()> m_tleFilePath;
    QString m_serverBase;
    QString m_archiveBase;
    bool m_legacyPaths = false;
    ElementUpdate m_update;
    QCheckBox* m_useServer;
    QCheckBox* m_useArchive;
    QCheckBox* m_force;
    QCheckBox* m_useTransmitters;
    std::unique_ptr<TransmitterUpdate> m_transmitters;
    QString m_transmitterServer;
    QString m_transmitterFile;
    bool m_transmittersNext = false; // fetch the transmitter list once the elements are in
    QPushButton* m_updateButton;
    QPlainTextEdit* m_collectedText;
    QPlainTextEdit* m_progress;
};

// Connects the main window's menu item "MnuInternetUpdate" to a modeless
// "TLE Update" window (one at a time, made anew after it was closed); its
// closing calls reloadCatalogue. The end of each update goes to log as a
// timed line when a log is given. mainWindow (and log) must outlive the connection.
// transmitters: TRANSMITTER_SERVER and the TRANSMITTERS file (empty: none).
struct TransmitterSource {
    QString ServerBase;
    QString FilePath;
};
void BindElementUpdate(MainWindow& mainWindow, const QString& serverBase,
    const QString& archiveBase, std::function<QString()> tleFilePath,
    std::function<void()> reloadCatalogue, EventLog* log = nullptr, bool legacyPaths = false,
    const TransmitterSource& transmitters = {});

} // namespace aostrack
