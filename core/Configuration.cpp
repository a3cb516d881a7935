#include "core/Configuration.h"

#include "core/EventLog.h"
#include "core/NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>

namespace aostrack {

StartupError::StartupError(const QString& message)
    : StartupError(QStringList { message })
{
}

StartupError::StartupError(const QStringList& messages)
    : std::runtime_error(messages.join(QLatin1Char('\n')).toStdString())
    , m_messages(messages)
{
}

QStringList StartupError::Messages() const
{
    if (!m_messages.isEmpty())
        return m_messages;
    return { QString::fromUtf8(what()) };
}

namespace {

// Blanks only: a tab belongs to the value, as the station's old files expect.
QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

// Lines end at CR LF, CR or LF; a last line without an end counts.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(current);
            current.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else {
            current += c;
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

QString ResolvePath(const QString& path, const QString& appDir)
{
    if (path.isEmpty() || QFileInfo(path).isAbsolute())
        return path;
    return QDir(appDir).filePath(path);
}

[[noreturn]] void FailAt(int lineNumber, const QString& why)
{
    throw StartupError(QStringLiteral("sat.ini line %1: %2").arg(lineNumber).arg(why));
}

int Int16OrFail(double rounded, int lineNumber, const QString& key, const QString& value)
{
    if (!(rounded >= -32768 && rounded <= 32767))
        FailAt(lineNumber, QStringLiteral("%1 value \"%2\" is out of range").arg(key, value));
    return static_cast<int>(rounded);
}

double StrictOrFail(const QString& value, int lineNumber, const QString& key, const QLocale& locale)
{
    const std::optional<double> number = ReadStrict(value, locale);
    if (!number)
        FailAt(lineNumber, QStringLiteral("%1 value \"%2\" is not a number").arg(key, value));
    return *number;
}

} // namespace

Configuration ParseConfiguration(
    const QString& iniText, const QString& appDir, const QLocale& locale)
{
    const QStringList lines = SplitLines(iniText);
    if (lines.isEmpty())
        throw StartupError(QStringLiteral("sat.ini: the file is empty"));

    Configuration config;
    int lineNumber = 0;
    for (const QString& line : lines) {
        ++lineNumber;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            FailAt(lineNumber, QStringLiteral("no \"=\" in \"%1\"").arg(line));
        const QString key = TrimBlanks(line.left(equals));
        const QString value = TrimBlanks(line.mid(equals + 1));

        if (key == QLatin1String("QTH")) {
            config.StationName = value;
        } else if (key == QLatin1String("TLEFILE")) {
            config.TleFilePath = ResolvePath(value, appDir);
        } else if (key == QLatin1String("DOPPLERFILE")) {
            config.DopplerFileName = ResolvePath(value, appDir);
        } else if (key == QLatin1String("TIMESERVER")) {
            config.TimeServerHost = value;
        } else if (key == QLatin1String("QTH_LAT")) {
            config.StationLat = ReadLenient(value);
        } else if (key == QLatin1String("QTH_LONG")) {
            config.StationLon = ReadLenient(value);
        } else if (key == QLatin1String("QTH_HEIGHT")) {
            config.StationHeight = ReadLenient(value);
        } else if (key == QLatin1String("ROTOR_PORT")) {
            config.RotorPort
                = Int16OrFail(RoundHalfEven(ReadLenient(value)), lineNumber, key, value);
        } else if (key == QLatin1String("ROTOR_PORT_SETTINGS")) {
            config.RotorPortSettings = value;
        } else if (key == QLatin1String("ROTOR_DEG")) {
            config.RotorStepDeg
                = Int16OrFail(RoundHalfEven(StrictOrFail(value, lineNumber, key, locale)),
                    lineNumber, key, value);
        } else if (key == QLatin1String("ROTOR_PARK")) {
            config.RotorParkCommand = value;
        } else if (key == QLatin1String("AUTO_PARK")) {
            config.AutoPark = StrictOrFail(value, lineNumber, key, locale) == 1;
        } else if (key == QLatin1String("ROTOR_DEVICE")) {
            config.RotorDevice = value;
        } else if (key == QLatin1String("TLE_SERVER")) {
            config.TleServer = value;
        } else if (key == QLatin1String("TLE_ARCHIVE")) {
            config.TleArchive = value;
        }
    }
    return config;
}

Configuration ReadConfigurationFile(const QString& appDir, EventLog& log, const QLocale& locale)
{
    // The program's own folder, never the working directory.
    const QString iniPath = QDir(appDir).filePath(QStringLiteral("sat.ini"));
    QFile file(iniPath);
    if (!file.exists()) {
        log.LogEvent(QStringLiteral("*** ERROR *** no sat.ini found !53"), false);
        throw StartupError(QStringLiteral("File sat.ini not found"));
    }
    if (!file.open(QIODevice::ReadOnly))
        throw StartupError(
            QStringLiteral("sat.ini: cannot read %1: %2").arg(iniPath, file.errorString()));
    const QByteArray bytes = file.readAll();
    file.close();

    // Files written on Linux are UTF-8; older ones come in the Windows code
    // page, whose degree sign and accents Latin-1 reads alike.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    Configuration config = ParseConfiguration(text, appDir, locale);
    config.IniPath = iniPath;
    return config;
}

Configuration LoadConfiguration(const QString& appDir, EventLog& log, const QLocale& locale)
{
    Configuration config = ReadConfigurationFile(appDir, log, locale);
    if (config.RotorPortSettings)
        log.LogEvent(RotorLogLine(config), false);
    return config;
}

QString ParkModeText(const Configuration& config)
{
    if (!config.AutoPark)
        return QString();
    return *config.AutoPark ? QStringLiteral("AUTO") : QStringLiteral("MAN");
}

QString RotorLogLine(const Configuration& config)
{
    const QString port = config.RotorDevice.isEmpty()
        ? QStringLiteral("COM%1").arg(config.RotorPort.value_or(1))
        : config.RotorDevice;
    return QStringLiteral("Rotor at %1, %2  (%3\u00B0)")
        .arg(port, config.RotorPortSettings.value_or(QStringLiteral("9600,n,8,1")))
        .arg(config.RotorStepDeg);
}

QString RotorDevicePath(const Configuration& config)
{
    if (!config.RotorDevice.isEmpty())
        return config.RotorDevice;
    return QStringLiteral("/dev/ttyS%1").arg(config.RotorPort.value_or(1) - 1);
}

QString QthText(const Configuration& config, const QLocale& locale)
{
    return FormatPattern(config.StationLat, QStringLiteral("#.00"), locale) + QLatin1Char('/')
        + FormatPattern(config.StationLon, QStringLiteral("#.00"), locale);
}

} // namespace aostrack
