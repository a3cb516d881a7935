#pragma once
// The station's place, asked for on the first run (no sat.ini anywhere) and
// in the settings: a name, a Maidenhead locator or latitude and longitude,
// and the height. OK writes the settings file; a refused entry keeps the
// dialog open with the reason under the fields, and nothing is written.
#include "core/StationSetup.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace aostrack {

class StationDialog : public QDialog {
    Q_OBJECT
public:
    // OK writes the station into iniPath; a new file starts from exampleFile.
    StationDialog(QString iniPath, QString exampleFile, QWidget* parent = nullptr);

    void SetEntry(const StationEntry& entry);
    void accept() override;

    // Child object names, for tests and scripts.
    static constexpr const char* kName = "StationName";
    static constexpr const char* kLocator = "StationLocator";
    static constexpr const char* kLat = "StationLat";
    static constexpr const char* kLon = "StationLon";
    static constexpr const char* kHeight = "StationHeight";
    static constexpr const char* kProblem = "StationProblem";

private:
    void LocatorEdited(const QString& text);
    // The entry the fields hold, or the reason they do not make one.
    Result<StationEntry> ReadFields() const;

    QString m_iniPath;
    QString m_exampleFile;
    QLineEdit* m_name;
    QLineEdit* m_locator;
    QLineEdit* m_lat;
    QLineEdit* m_lon;
    QLineEdit* m_height;
    QLabel* m_problem;
};

} // namespace aostrack
