#include "core/Configuration.h"

#include "core/EventLog.h"
#include "core/NumberText.h"
#include "core/SettingsLocation.h"

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

// A bare name is looked up beside sat.ini, then among the downloads and the
// installed example station (see SettingsLocation.h).
QString ResolvePath(const QString& path, const QString& iniDir)
{
    return LookUpDataFile(path, iniDir);
}

// A failure names the file as the operator knows it ("sat.ini line 4: ...").
struct LineFailure {
    QString fileName;
    int lineNumber = 0;

    [[noreturn]] void Fail(const QString& why) const
    {
        throw StartupError(QStringLiteral("%1 line %2: %3").arg(fileName).arg(lineNumber).arg(why));
    }
    int Int16OrFail(double rounded, const QString& key, const QString& value) const
    {
        if (!(rounded >= -32768 && rounded <= 32767))
            Fail(QStringLiteral("%1 value \"%2\" is out of range").arg(key, value));
        return static_cast<int>(rounded);
    }
    // A lenient number; what follows it is ignored, as station files always
    // had it, but the operator hears of it once.
    double Lenient(const QString& value, const QString& key, QStringList& warnings) const
    {
        const LenientReading reading = ReadLenientWithRest(value);
        if (!reading.rest.isEmpty()) {
            QString warning
                = QStringLiteral("%1 line %2: %3 value \"%4\" read as %5, \"%6\" ignored")
                      .arg(fileName)
                      .arg(lineNumber)
                      .arg(key, value, QString::number(reading.value), reading.rest);
            // "48,14": a decimal comma, which this file does not know.
            if (reading.rest.startsWith(QLatin1Char(',')))
                warning += QStringLiteral(": write decimals with a full stop");
            warnings << warning;
        }
        return reading.value;
    }
    double DegreesOrFail(
        const QString& value, const QString& key, double limit, QStringList& warnings) const
    {
        const double degrees = Lenient(value, key, warnings);
        if (!(degrees >= -limit && degrees <= limit))
            Fail(QStringLiteral("%1 value \"%2\" is outside -%3 to %3 degrees")
                     .arg(key, value)
                     .arg(limit));
        return degrees;
    }
    double StrictOrFail(const QString& value, const QString& key, const QLocale& locale) const
    {
        const std::optional<double> number = ReadStrict(value, locale);
        if (!number)
            Fail(QStringLiteral("%1 value \"%2\" is not a number").arg(key, value));
        return *number;
    }
};

// "host:port", "[v6]:port", "[v6]", "host" (port 4533), or a bare IPv6
// address without brackets (several colons: no port in it). The port must be
// a whole number 1..65535; false otherwise.
bool SplitHostPort(const QString& value, QString* host, int* port)
{
    QString portText;
    if (value.startsWith(QLatin1Char('['))) {
        const qsizetype close = value.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        *host = value.mid(1, close - 1);
        const QString rest = value.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return false;
            portText = rest.mid(1);
            if (portText.isEmpty())
                return false;
        }
    } else if (value.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = value.indexOf(QLatin1Char(':'));
        *host = value.left(colon);
        portText = value.mid(colon + 1);
        if (portText.isEmpty())
            return false;
    } else {
        *host = value;
    }
    if (host->isEmpty() || host->contains(QLatin1Char(' ')))
        return false;
    if (portText.isEmpty()) {
        *port = kRotctldDefaultPort;
        return true;
    }
    bool ok = false;
    const int number = portText.toInt(&ok);
    // toInt takes a sign; a port is digits only.
    if (!ok || !portText.front().isDigit() || number < 1 || number > 65535)
        return false;
    *port = number;
    return true;
}

} // namespace

Configuration ParseConfiguration(
    const QString& iniText, const QString& baseDir, const QLocale& locale, const QString& fileName)
{
    const QStringList lines = SplitLines(iniText);
    if (lines.isEmpty())
        throw StartupError(
            QStringLiteral("%1: the file is empty: write the station's settings in it as "
                           "KEY=value lines, as in examples/sat.ini")
                .arg(fileName));

    Configuration config;
    LineFailure at { fileName };
    for (const QString& line : lines) {
        ++at.lineNumber;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            at.Fail(QStringLiteral("no \"=\" in \"%1\": %2")
                        .arg(line,
                            line.trimmed().isEmpty()
                                ? QStringLiteral("delete the empty line or begin it with #")
                                : QStringLiteral("write KEY=value, or begin the line with # to "
                                                 "make it a comment")));
        }
        const QString key = TrimBlanks(line.left(equals));
        const QString value = TrimBlanks(line.mid(equals + 1));

        if (key == QLatin1String("QTH")) {
            config.StationName = value;
        } else if (key == QLatin1String("TLEFILE")) {
            config.TleFilePath = ResolvePath(value, baseDir);
        } else if (key == QLatin1String("DOPPLERFILE")) {
            config.DopplerFileName = ResolvePath(value, baseDir);
        } else if (key == QLatin1String("TIMESERVER")) {
            config.TimeServerHost = value;
        } else if (key == QLatin1String("QTH_LAT")) {
            config.StationLat = at.DegreesOrFail(value, key, MaxStationLatDeg, config.Warnings);
        } else if (key == QLatin1String("QTH_LONG")) {
            config.StationLon = at.DegreesOrFail(value, key, MaxStationLonDeg, config.Warnings);
        } else if (key == QLatin1String("QTH_HEIGHT")) {
            config.StationHeight = at.Lenient(value, key, config.Warnings);
        } else if (key == QLatin1String("ROTOR_PORT")) {
            config.RotorPort = at.Int16OrFail(
                RoundHalfEven(at.Lenient(value, key, config.Warnings)), key, value);
        } else if (key == QLatin1String("ROTOR_PORT_SETTINGS")) {
            config.RotorPortSettings = value;
        } else if (key == QLatin1String("ROTOR_DEG")) {
            config.RotorStepDeg
                = at.Int16OrFail(RoundHalfEven(at.StrictOrFail(value, key, locale)), key, value);
        } else if (key == QLatin1String("ROTOR_PARK")) {
            config.RotorParkCommand = value;
        } else if (key == QLatin1String("AUTO_PARK")) {
            config.AutoPark = at.StrictOrFail(value, key, locale) == 1;
        } else if (key == QLatin1String("ROTOR_DEVICE")) {
            config.RotorDevice = value;
        } else if (key == QLatin1String("ROTOR_HOST")) {
            if (!SplitHostPort(value, &config.RotorHost, &config.RotorHostPort))
                at.Fail(QStringLiteral("ROTOR_HOST value \"%1\" is not host:port with a port "
                                       "of 1..65535")
                            .arg(value));
        } else if (key == QLatin1String("ROTOR_AZ_MAX")) {
            const double deg = at.StrictOrFail(value, key, locale);
            if (!(deg >= 360 && deg <= 540))
                at.Fail(QStringLiteral("ROTOR_AZ_MAX value \"%1\" must lie between 360 and 540")
                            .arg(value));
            config.RotorAzMaxDeg = static_cast<int>(RoundHalfEven(deg));
        } else if (key == QLatin1String("ROTOR_EL_MAX")) {
            const double deg = at.StrictOrFail(value, key, locale);
            if (deg != 90 && deg != 180)
                at.Fail(QStringLiteral("ROTOR_EL_MAX value \"%1\" must be 90 or 180").arg(value));
            config.RotorElMaxDeg = static_cast<int>(deg);
        } else if (key == QLatin1String("TLE_SERVER")) {
            config.TleServer = value;
        } else if (key == QLatin1String("TLE_ARCHIVE")) {
            config.TleArchive = value;
        } else if (key == QLatin1String("ORBIT_MODEL")) {
            const std::optional<OrbitModelKind> kind = ParseOrbitModel(value.toStdString());
            if (!kind)
                at.Fail(QStringLiteral("ORBIT_MODEL value \"%1\" is neither PLAN13 nor SGP4")
                            .arg(value));
            config.OrbitModelChoice = *kind;
        }
    }
    return config;
}

QString DecodeSettingsText(const QByteArray& bytes)
{
    // Files written on Linux are UTF-8; older ones come in the Windows code
    // page, whose degree sign and accents Latin-1 reads alike.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

Configuration ReadConfigurationFile(const QString& appDir, EventLog& log, const QLocale& locale)
{
    // The program's own folder, never the working directory.
    return ReadConfigurationAt(QDir(appDir).filePath(QStringLiteral("sat.ini")), log, locale);
}

Configuration ReadConfigurationAt(const QString& iniPath, EventLog& log, const QLocale& locale)
{
    const QFileInfo info(iniPath);
    const QString fileName = info.fileName();
    QFile file(iniPath);
    if (!file.exists()) {
        log.LogEvent(QStringLiteral("*** ERROR *** no %1 found !53").arg(fileName), false);
        throw StartupError(QStringLiteral("File %1 not found: looked for %1 in %2")
                               .arg(fileName, QDir::toNativeSeparators(info.absolutePath())));
    }
    if (!file.open(QIODevice::ReadOnly))
        throw StartupError(
            QStringLiteral("%1: cannot read %2: %3").arg(fileName, iniPath, file.errorString()));
    const QByteArray bytes = file.readAll();
    file.close();

    // Messages name the file by its whole path: the operator may have several.
    Configuration config = ParseConfiguration(DecodeSettingsText(bytes), info.absolutePath(),
        locale, QDir::toNativeSeparators(info.absoluteFilePath()));
    config.IniPath = iniPath;
    for (const QString& warning : config.Warnings)
        log.LogEvent(QStringLiteral("*** WARNING *** ") + warning, false);
    return config;
}

bool RotorConfigured(const Configuration& config)
{
    return config.RotorPortSettings.has_value() || !config.RotorHost.isEmpty();
}

QString RotctldName(const Configuration& config)
{
    if (config.RotorHost.isEmpty())
        return QString();
    const QString host = config.RotorHost.contains(QLatin1Char(':'))
        ? QLatin1Char('[') + config.RotorHost + QLatin1Char(']')
        : config.RotorHost;
    return QStringLiteral("rotctld at %1:%2").arg(host).arg(config.RotorHostPort);
}

QString ParkModeText(const Configuration& config)
{
    if (!config.AutoPark)
        return QString();
    return *config.AutoPark ? QStringLiteral("AUTO") : QStringLiteral("MAN");
}

QString RotorLogLine(const Configuration& config)
{
    if (!config.RotorHost.isEmpty())
        return QStringLiteral("Rotor at %1  (%2\u00B0)")
            .arg(RotctldName(config))
            .arg(config.RotorStepDeg);
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
