#pragma once
// "Station" > "Settings...": the keys of sat.ini in a form. OK writes only
// the keys whose field changed, keeping the file's comments, order and the
// keys this form does not show; a text start-up would refuse keeps the
// dialog open with the reason, and the file stays as it was. Cancel writes
// nothing.
#include <QDialog>
#include <QHash>
#include <QStringList>

class QLabel;
class QLineEdit;

namespace aostrack {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the settings of iniPath (missing or unreadable: empty fields).
    explicit SettingsDialog(QString iniPath, QWidget* parent = nullptr);

    // The field of a key (its objectName is the key), for tests.
    QLineEdit* FieldOf(const QString& key) const { return m_fields.value(key); }
    // The keys OK wrote, in the form's order.
    QStringList ChangedKeys() const { return m_changed; }
    void accept() override;

private:
    void LocatorEdited(const QString& text);

    QString m_iniPath;
    QString m_text;
    QHash<QString, QLineEdit*> m_fields;
    QStringList m_changed;
    QLabel* m_problem;
};

} // namespace aostrack
