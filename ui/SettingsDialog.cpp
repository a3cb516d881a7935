#include "ui/SettingsDialog.h"

#include "core/Configuration.h"
#include "core/SettingsText.h"
#include "orbit/Maidenhead.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace aostrack {

namespace {

struct FieldRow {
    const char* group;
    const char* key;
    const char* caption;
};

// One line per key; an empty field removes the key (its default applies).
constexpr FieldRow kRows[] = {
    { "Station", "QTH", "Name" },
    { "Station", "QTH_LAT", "Latitude (degrees, north +)" },
    { "Station", "QTH_LONG", "Longitude (degrees, east +)" },
    { "Station", "QTH_HEIGHT", "Height (km)" },
    { "Orbit and data", "ORBIT_MODEL", "Orbit model (PLAN13 or SGP4)" },
    { "Orbit and data", "TLEFILE", "Element file" },
    { "Orbit and data", "DOPPLERFILE", "Frequency list" },
    { "Orbit and data", "TLE_SERVER", "Element server" },
    { "Orbit and data", "TLE_ARCHIVE", "Element archive" },
    { "Rotor", "ROTOR_PORT_SETTINGS", "Serial settings (9600,n,8,1)" },
    { "Rotor", "ROTOR_PORT", "Serial port number" },
    { "Rotor", "ROTOR_DEVICE", "Serial device" },
    { "Rotor", "ROTOR_HOST", "rotctld host:port" },
    { "Rotor", "ROTOR_DEG", "Step (degrees)" },
    { "Rotor", "ROTOR_PARK", "Park command" },
    { "Rotor", "AUTO_PARK", "Park after each pass (1 or 0)" },
    { "Rotor", "ROTOR_AZ_MAX", "Azimuth reach (360 to 540)" },
    { "Rotor", "ROTOR_EL_MAX", "Elevation reach (90 or 180)" },
    { "Time", "TIMESERVER", "Time server (RFC 868)" },
};

} // namespace

SettingsDialog::SettingsDialog(QString iniPath, QWidget* parent)
    : QDialog(parent)
    , m_iniPath(std::move(iniPath))
    , m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("SettingsDialog"));
    setWindowTitle(QStringLiteral("Settings"));
    QFile file(m_iniPath);
    if (file.open(QIODevice::ReadOnly))
        m_text = DecodeSettingsText(file.readAll());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(m_iniPath, this));
    QHash<QString, QFormLayout*> forms;
    for (const FieldRow& row : kRows) {
        const QString group = QLatin1String(row.group);
        if (!forms.contains(group)) {
            auto* box = new QGroupBox(group, this);
            forms.insert(group, new QFormLayout(box));
            layout->addWidget(box);
        }
        const QString key = QLatin1String(row.key);
        auto* field = new QLineEdit(SettingValue(m_text, key), this);
        field->setObjectName(key);
        m_fields.insert(key, field);
        forms[group]->addRow(QLatin1String(row.caption), field);
    }
    // A locator fills latitude and longitude with its square's centre.
    auto* locator = new QLineEdit(this);
    locator->setObjectName(QStringLiteral("StationLocator"));
    locator->setPlaceholderText(QStringLiteral("JN58sd"));
    forms[QStringLiteral("Station")]->insertRow(1, QStringLiteral("Maidenhead locator"), locator);
    connect(locator, &QLineEdit::textEdited, this, &SettingsDialog::LocatorEdited);

    m_problem->setObjectName(QStringLiteral("SettingsProblem"));
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
}

void SettingsDialog::LocatorEdited(const QString& text)
{
    if (const std::optional<LocatorPoint> centre = LocatorCentre(text.trimmed().toStdString())) {
        m_fields.value(QStringLiteral("QTH_LAT"))->setText(QString::number(centre->Lat, 'f', 6));
        m_fields.value(QStringLiteral("QTH_LONG"))->setText(QString::number(centre->Lon, 'f', 6));
    }
}

void SettingsDialog::accept()
{
    QList<SettingChange> changes;
    QStringList changed;
    for (const FieldRow& row : kRows) {
        const QString key = QLatin1String(row.key);
        const QString value = m_fields.value(key)->text().trimmed();
        if (value == SettingValue(m_text, key))
            continue;
        changes.append({ key, value.isEmpty() ? std::nullopt : std::optional<QString>(value) });
        changed << key;
    }
    if (changes.isEmpty()) {
        QDialog::accept();
        return;
    }
    const Result<QString> edited = EditSettingsText(m_text, changes, m_iniPath);
    const Result<void> written
        = edited ? WriteSettingsFile(m_iniPath, *edited) : Result<void>(Failure { edited.Error() });
    if (!written) {
        m_problem->setText(written.Error());
        return;
    }
    m_text = *edited;
    m_changed = changed;
    QDialog::accept();
}

} // namespace aostrack
