#include "ui/StationDialog.h"

#include "orbit/Maidenhead.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

namespace aostrack {

namespace {

QLineEdit* Field(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

// sat.ini writes a full stop; the operator may type the regional comma.
std::optional<double> ReadNumber(const QString& text)
{
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        value = QLocale().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

StationDialog::StationDialog(QString iniPath, QString exampleFile, QWidget* parent)
    : QDialog(parent)
    , m_iniPath(std::move(iniPath))
    , m_exampleFile(std::move(exampleFile))
    , m_name(Field(kName, this))
    , m_locator(Field(kLocator, this))
    , m_lat(Field(kLat, this))
    , m_lon(Field(kLon, this))
    , m_height(Field(kHeight, this))
    , m_problem(new QLabel(this))
{
    setObjectName(QStringLiteral("StationDialog"));
    setWindowTitle(QStringLiteral("aostrack: your station"));
    m_problem->setObjectName(QLatin1String(kProblem));
    m_problem->setWordWrap(true);
    m_locator->setPlaceholderText(QStringLiteral("JN58sd"));
    m_height->setText(QStringLiteral("0"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Station name"), m_name);
    form->addRow(QStringLiteral("Maidenhead locator"), m_locator);
    form->addRow(QStringLiteral("Latitude (degrees, north +)"), m_lat);
    form->addRow(QStringLiteral("Longitude (degrees, east +)"), m_lon);
    form->addRow(QStringLiteral("Height (km above sea level)"), m_height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Where is your station? Give a locator, or latitude and longitude.\n"
                       "It is saved in %1.")
            .arg(m_iniPath),
        this));
    layout->addLayout(form);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &StationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &StationDialog::reject);
    connect(m_locator, &QLineEdit::textEdited, this, &StationDialog::LocatorEdited);
}

void StationDialog::SetEntry(const StationEntry& entry)
{
    m_name->setText(entry.Name);
    m_lat->setText(QString::number(entry.Lat, 'f', 6));
    m_lon->setText(QString::number(entry.Lon, 'f', 6));
    m_height->setText(QString::number(entry.HeightKm, 'f', 3));
    m_locator->setText(QString::fromStdString(PositionLocator(entry.Lat, entry.Lon)));
}

void StationDialog::LocatorEdited(const QString& text)
{
    // The square's centre fills latitude and longitude as soon as it is whole.
    if (const std::optional<LocatorPoint> centre = LocatorCentre(text.trimmed().toStdString())) {
        m_lat->setText(QString::number(centre->Lat, 'f', 6));
        m_lon->setText(QString::number(centre->Lon, 'f', 6));
    }
}

Result<StationEntry> StationDialog::ReadFields() const
{
    const std::string locator = m_locator->text().trimmed().toStdString();
    StationEntry entry;
    entry.Name = m_name->text().trimmed();
    if (entry.Name.isEmpty())
        entry.Name = QString::fromStdString(locator).toUpper();
    const std::optional<double> lat = ReadNumber(m_lat->text());
    const std::optional<double> lon = ReadNumber(m_lon->text());
    // A locator that is not one is refused, not quietly passed over.
    if (const std::string problem = locator.empty() ? std::string() : LocatorProblem(locator);
        !problem.empty())
        return Failure { QString::fromStdString(problem) };
    if (!lat || !lon)
        return Failure { QStringLiteral("give a locator, or latitude and longitude in degrees") };
    const std::optional<double> height = ReadNumber(m_height->text());
    if (!height)
        return Failure { QStringLiteral("give the height in kilometres (519 m is 0.519)") };
    entry.Lat = *lat;
    entry.Lon = *lon;
    entry.HeightKm = *height;
    return entry;
}

void StationDialog::accept()
{
    const Result<StationEntry> entry = ReadFields();
    const Result<void> written = entry ? WriteStation(m_iniPath, *entry, m_exampleFile)
                                       : Result<void>(Failure { entry.Error() });
    if (!written) {
        m_problem->setText(written.Error());
        return;
    }
    QDialog::accept();
}

} // namespace aostrack
