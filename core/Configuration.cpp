#include "core/Configuration.h"

#include "core/EventLog.h"
#include "core/NearestName.h"
#include "core/NumberText.h"
#include "core/SettingsLocation.h"
#include "core/TextExcerpt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

// The value of "74.0W" or "33.9 S": a number without a sign followed by one
// of the two letters of hemispheres (the negative one second); nullopt for
// anything else, which is read as before.
std::optional<double> WithHemisphere(const QString& value, const QString& hemispheres)
{
    const LenientReading reading = ReadLenientWithRest(value);
    const QString first = value.trimmed().left(1);
    if (reading.rest.size() != 1 || first.isEmpty() || !(first[0].isDigit() || first[0] == u'.'))
        return std::nullopt;
    const qsizetype letter = hemispheres.indexOf(reading.rest[0].toUpper());
    if (letter < 0)
        return std::nullopt;
    return letter == 0 ? reading.value : -reading.value;
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
    // "74.0W" is 74 degrees west: a trailing hemisphere letter after an
    // unsigned number sets the sign, as charts and GPS receivers write it.
    double DegreesOrFail(const QString& value, const QString& key, double limit,
        const QString& hemispheres, QStringList& warnings) const
    {
        const std::optional<double> signedByLetter = WithHemisphere(value, hemispheres);
        const double degrees = signedByLetter ? *signedByLetter : Lenient(value, key, warnings);
        if (!(degrees >= -limit && degrees <= limit))
            Fail(QStringLiteral("%1 value \"%2\" is outside -%3 to %3 degrees")
                     .arg(key, value)
                     .arg(limit));
        return degrees;
    }
    // Kilometres, from the Dead Sea shore to above the highest station; 519
    // (metres written where kilometres belong) would put the station in orbit.
    double HeightOrFail(const QString& value, const QString& key, QStringList& warnings) const
    {
        const double km = Lenient(value, key, warnings);
        if (!(km >= MinStationHeightKm && km <= MaxStationHeightKm)) {
            QString why = QStringLiteral("%1 value \"%2\" is outside %3 to %4 km: the height is "
                                         "in kilometres")
                              .arg(key, value)
                              .arg(MinStationHeightKm)
                              .arg(MaxStationHeightKm);
            if (km > MaxStationHeightKm && km <= MaxStationHeightKm * 1000)
                why += QStringLiteral(" (%1 m is %2)").arg(km).arg(km / 1000);
            Fail(why);
        }
        return km;
    }
    double StrictOrFail(const QString& value, const QString& key, const QLocale& locale) const
    {
        const std::optional<double> number = ReadStrict(value, locale);
        if (!number)
            Fail(QStringLiteral("%1 value \"%2\" is not a number").arg(key, value));
        return *number;
    }
};

// The keys this program reads, for the hint on a mistyped one.
const QStringList& KnownKeys()
{
    static const QStringList keys = { QStringLiteral("QTH"), QStringLiteral("TLEFILE"),
        QStringLiteral("DOPPLERFILE"), QStringLiteral("TIMESERVER"), QStringLiteral("QTH_LAT"),
        QStringLiteral("QTH_LONG"), QStringLiteral("QTH_HEIGHT"), QStringLiteral("ROTOR_PORT"),
        QStringLiteral("ROTOR_PORT_SETTINGS"), QStringLiteral("ROTOR_DEG"),
        QStringLiteral("ROTOR_PARK"), QStringLiteral("AUTO_PARK"), QStringLiteral("ROTOR_DEVICE"),
        QStringLiteral("ROTOR_HOST"), QStringLiteral("ROTOR_AZ_MAX"),
        QStringLiteral("ROTOR_EL_MAX"), QStringLiteral("TLE_SERVER"), QStringLiteral("TLE_ARCHIVE"),
        QStringLiteral("ORBIT_MODEL"), QStringLiteral("HTTP_LISTEN"), QStringLiteral("HTTP_TOKEN"),
        QStringLiteral("TLE_PATHS"), QStringLiteral("TRANSMITTERS"),
        QStringLiteral("TRANSMITTERS_LOCAL"), QStringLiteral("RIG_HOST"),
        QStringLiteral("RIG_TX_VFO"), QStringLiteral("RIG_STEP_HZ"), QStringLiteral("RIG_RX_LO_HZ"),
        QStringLiteral("RIG_TX_LO_HZ"), QStringLiteral("TRANSMITTER_SERVER"),
        QStringLiteral("RIG_UPLINK_HOST") };
    return keys;
}

// "sat.ini line 3: unknown key "QTH_LON" ignored; did you mean QTH_LONG?"
QString UnknownKeyWarning(const LineFailure& at, const QString& key)
{
    QString warning = QStringLiteral("%1 line %2: unknown key \"%3\" ignored")
                          .arg(at.fileName)
                          .arg(at.lineNumber)
                          .arg(key);
    QString bare = key;
    if (bare.startsWith(QLatin1Char('#')))
        bare.remove(0, 1);
    const QStringList nearest = NearestNames(bare, KnownKeys(), 1);
    warning += DidYouMean(nearest);
    if (key.startsWith(QLatin1Char('#')))
        warning += QStringLiteral(" (a comment's # must stand in the first column)");
    else if (!nearest.isEmpty() && nearest.front().compare(key, Qt::CaseInsensitive) == 0)
        warning += QStringLiteral(" (keys are upper case)");
    return warning;
}

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

// RIG_HOST and RIG_UPLINK_HOST: as SplitHostPort, with rigctld's port when
// none is written.
void RigHostOrFail(
    const LineFailure& at, const QString& key, const QString& value, QString* host, int* port)
{
    if (!SplitHostPort(value, host, port))
        at.Fail(QStringLiteral("%1 value \"%2\" is not host:port with a port of 1..65535")
                    .arg(key, value));
    const bool portGiven = value.startsWith(QLatin1Char('[')) ? value.contains(QLatin1String("]:"))
                                                              : value.count(QLatin1Char(':')) == 1;
    if (!portGiven)
        *port = kRigctldDefaultPort;
}

} // namespace

std::optional<HttpListen> ParseHttpListen(const QString& text)
{
    HttpListen listen;
    QString portText = text.trimmed();
    const qsizetype colon = portText.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        QString address = portText.left(colon);
        portText = portText.mid(colon + 1);
        if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
            address = address.mid(1, address.size() - 2);
        if (address.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            address = QStringLiteral("127.0.0.1");
        // A literal IPv4 or IPv6 address; the web layer reads it fully.
        static const QRegularExpression literal(QStringLiteral("^[0-9A-Fa-f.:]+$"));
        if (!literal.match(address).hasMatch())
            return std::nullopt;
        listen.Address = address;
    }
    bool ok = false;
    const int port = portText.toInt(&ok);
    if (!ok || portText.isEmpty() || !portText.front().isDigit() || port > 65535)
        return std::nullopt;
    listen.Port = port;
    return listen;
}

namespace {

// One KEY=value line of the settings file.
struct SettingLine {
    QString key;
    QString value;
};

SettingLine SplitSettingLine(const QString& line, const LineFailure& at)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0) {
        at.Fail(QStringLiteral("no \"=\" in \"%1\": %2")
                    .arg(InputExcerpt(line),
                        line.trimmed().isEmpty()
                            ? QStringLiteral("delete the empty line or begin it with #")
                            : QStringLiteral("write KEY=value, or begin the line with # to "
                                             "make it a comment")));
    }
    return { TrimBlanks(line.left(equals)), TrimBlanks(line.mid(equals + 1)) };
}

// The station's name, place and files; false when the key is not one of them.
bool ApplyStationKey(
    Configuration& config, const SettingLine& s, const LineFailure& at, const QString& baseDir)
{
    const QString& key = s.key;
    if (key == QLatin1String("QTH"))
        config.StationName = s.value;
    else if (key == QLatin1String("TLEFILE"))
        config.TleFilePath = ResolvePath(s.value, baseDir);
    else if (key == QLatin1String("DOPPLERFILE"))
        config.DopplerFileName = ResolvePath(s.value, baseDir);
    else if (key == QLatin1String("TRANSMITTERS"))
        config.TransmitterFilePath = ResolvePath(s.value, baseDir);
    else if (key == QLatin1String("TRANSMITTERS_LOCAL"))
        config.TransmitterLocalPath = ResolvePath(s.value, baseDir);
    else if (key == QLatin1String("TIMESERVER"))
        config.TimeServerHost = s.value;
    else if (key == QLatin1String("QTH_LAT"))
        config.StationLat = at.DegreesOrFail(
            s.value, key, MaxStationLatDeg, QStringLiteral("NS"), config.Warnings);
    else if (key == QLatin1String("QTH_LONG"))
        config.StationLon = at.DegreesOrFail(
            s.value, key, MaxStationLonDeg, QStringLiteral("EW"), config.Warnings);
    else if (key == QLatin1String("QTH_HEIGHT"))
        config.StationHeight = at.HeightOrFail(s.value, key, config.Warnings);
    else
        return false;
    return true;
}

int RotorLimitOrFail(const SettingLine& s, const LineFailure& at, const QLocale& locale)
{
    const double deg = at.StrictOrFail(s.value, s.key, locale);
    if (s.key == QLatin1String("ROTOR_AZ_MAX")) {
        if (!(deg >= 360 && deg <= 540))
            at.Fail(QStringLiteral("ROTOR_AZ_MAX value \"%1\" must lie between 360 and 540")
                        .arg(s.value));
        return static_cast<int>(RoundHalfEven(deg));
    }
    if (deg != 90 && deg != 180)
        at.Fail(QStringLiteral("ROTOR_EL_MAX value \"%1\" must be 90 or 180").arg(s.value));
    return static_cast<int>(deg);
}

// ROTOR_* and AUTO_PARK; false when the key is not one of them.
bool ApplyRotorKey(
    Configuration& config, const SettingLine& s, const LineFailure& at, const QLocale& locale)
{
    const QString& key = s.key;
    const QString& value = s.value;
    if (key == QLatin1String("ROTOR_PORT")) {
        config.RotorPort
            = at.Int16OrFail(RoundHalfEven(at.Lenient(value, key, config.Warnings)), key, value);
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
        config.RotorAzMaxDeg = RotorLimitOrFail(s, at, locale);
    } else if (key == QLatin1String("ROTOR_EL_MAX")) {
        config.RotorElMaxDeg = RotorLimitOrFail(s, at, locale);
    } else {
        return false;
    }
    return true;
}

// RIG_*; false when the key is not one of them.
bool ApplyRigKey(
    Configuration& config, const SettingLine& s, const LineFailure& at, const QLocale& locale)
{
    const QString& key = s.key;
    const QString& value = s.value;
    if (key == QLatin1String("RIG_HOST")) {
        RigHostOrFail(at, key, value, &config.RigHost, &config.RigHostPort);
    } else if (key == QLatin1String("RIG_UPLINK_HOST")) {
        RigHostOrFail(at, key, value, &config.RigUplinkHost, &config.RigUplinkHostPort);
    } else if (key == QLatin1String("RIG_TX_VFO")) {
        config.RigTxVfo = value;
    } else if (key == QLatin1String("RIG_STEP_HZ")) {
        config.RigStepHz = at.StrictOrFail(value, key, locale);
    } else if (key == QLatin1String("RIG_RX_LO_HZ")) {
        config.RigRxLoHz = at.StrictOrFail(value, key, locale);
    } else if (key == QLatin1String("RIG_TX_LO_HZ")) {
        config.RigTxLoHz = at.StrictOrFail(value, key, locale);
    } else {
        return false;
    }
    return true;
}

// Element sources, web page and orbit theory; false when the key is not one of them.
bool ApplyServiceKey(Configuration& config, const SettingLine& s, const LineFailure& at)
{
    const QString& key = s.key;
    const QString& value = s.value;
    if (key == QLatin1String("TLE_SERVER")) {
        config.TleServer = value;
    } else if (key == QLatin1String("TRANSMITTER_SERVER")) {
        config.TransmitterServer = value;
    } else if (key == QLatin1String("TLE_ARCHIVE")) {
        config.TleArchive = value;
    } else if (key == QLatin1String("HTTP_LISTEN")) {
        config.HttpListenAt = ParseHttpListen(value);
        if (!config.HttpListenAt)
            at.Fail(QStringLiteral("HTTP_LISTEN value \"%1\" is not [ADDRESS:]PORT with an IP "
                                   "address and a port of 0..65535")
                        .arg(value));
    } else if (key == QLatin1String("HTTP_TOKEN")) {
        config.HttpToken = value;
    } else if (key == QLatin1String("TLE_PATHS")) {
        const QString paths = value.trimmed().toUpper();
        if (paths != QLatin1String("GP") && paths != QLatin1String("LEGACY"))
            at.Fail(QStringLiteral("TLE_PATHS value \"%1\" is neither GP nor LEGACY").arg(value));
        config.TleLegacyPaths = paths == QLatin1String("LEGACY");
    } else if (key == QLatin1String("ORBIT_MODEL")) {
        const std::optional<OrbitModelKind> kind = ParseOrbitModel(value.toStdString());
        if (!kind)
            at.Fail(
                QStringLiteral("ORBIT_MODEL value \"%1\" is neither PLAN13 nor SGP4").arg(value));
        config.OrbitModelChoice = *kind;
    } else {
        return false;
    }
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
    QStringList unknownKeys; // each is said once, at its first line
    for (const QString& line : lines) {
        ++at.lineNumber;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const SettingLine s = SplitSettingLine(line, at);
        if (ApplyStationKey(config, s, at, baseDir) || ApplyRotorKey(config, s, at, locale)
            || ApplyRigKey(config, s, at, locale) || ApplyServiceKey(config, s, at))
            continue;
        if (!unknownKeys.contains(s.key)) {
            // Ignored as always, but a typo must not leave the station at 0°.
            unknownKeys << s.key;
            config.Warnings << UnknownKeyWarning(at, s.key);
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
