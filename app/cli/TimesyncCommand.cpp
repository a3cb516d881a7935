// aostrack-cli timesync: the start-up clock synchronisation without a window.
// Like rdate -p it only reads and compares the time unless --set is given,
// so it is safe to run against a new server before trusting it.
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "clock/SystemClockSetter.h"
#include "clock/TimeProtocol.h"
#include "clock/TimeSyncClient.h"
#include "core/EventLog.h"
#include "core/SystemClock.h"

#include <QEventLoop>
#include <QFileInfo>
#include <memory>
#include <optional>

namespace aostrack {

namespace {

QString TimesyncHelp()
{
    return QStringLiteral(
        "Usage: aostrack-cli timesync [HOST[:PORT]] [--config FILE] [--set]\n"
        "\n"
        "Asks an RFC 868 time server (TCP port 37 unless PORT is given; write an\n"
        "IPv6 address as [ADDRESS]:PORT) for the time and prints the event-log\n"
        "lines of the exchange, including how far this machine's clock is off.\n"
        "\n"
        "Without HOST the TIMESERVER of sat.ini is asked.\n"
        "\n"
        "  --config FILE  the sat.ini whose TIMESERVER is asked (default: sat.ini\n"
        "                 beside aostrack-cli)\n"
        "  --set          also set the system clock (needs CAP_SYS_TIME or root)\n"
        "\n"
        "Exit codes: 0 a valid time was received (and, with --set, the clock was\n"
        "set), 1 no valid time or the clock could not be set, 2 bad arguments.\n");
}

// TIMESERVER of the station's sat.ini, for a timesync without a host.
QString ConfiguredTimeServer(const QString& configFile)
{
    const QString path = CliConfigPath(configFile);
    if (!QFileInfo::exists(path))
        throw UsageError(
            QStringLiteral("timesync needs a time server: give HOST[:PORT], or --config FILE "
                           "with TIMESERVER (%1 not found)")
                .arg(path));
    const Configuration config = LoadCliConfiguration(configFile);
    for (const QString& warning : config.Warnings)
        WriteErr(QStringLiteral("aostrack-cli: warning: %1\n").arg(warning));
    if (config.TimeServerHost.trimmed().isEmpty())
        throw UsageError(
            QStringLiteral("timesync needs a time server: give HOST[:PORT] or TIMESERVER in %1")
                .arg(path));
    return config.TimeServerHost;
}

} // namespace

int RunTimesyncCommand(const QStringList& args)
{
    QStringList options;
    QString server;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            WriteOut(TimesyncHelp());
            return ExitOk;
        }
        if (arg.startsWith(QLatin1String("--"))) {
            options << arg;
            // The file after --config is its value, not the host.
            if (arg == QLatin1String("--config") && i + 1 < args.size())
                options << args[++i];
        } else if (server.isEmpty()) {
            server = arg;
        } else {
            throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        }
    }
    const ParsedArgs parsed
        = ParseOptions(options, { QStringLiteral("--config") }, { QStringLiteral("--set") });
    if (server.trimmed().isEmpty())
        server = ConfiguredTimeServer(parsed.Value(QStringLiteral("--config")));
    if (!ParseTimeServer(server))
        throw UsageError(QStringLiteral(
            "\"%1\" is not a time server of the form HOST, HOST:PORT or [ADDRESS]:PORT")
                             .arg(server));

    SystemClock clock;
    EventLog log(clock);
    QObject::connect(
        &log, &EventLog::lineAdded, [](const QString& line) { WriteOut(line + u'\n'); });

    // Only an explicit --set ever reaches the machine's clock.
    std::unique_ptr<SystemClockSetter> setter;
    if (parsed.Has(QStringLiteral("--set")))
        setter = std::make_unique<RealSystemClockSetter>();

    TimeSyncClient client(log, clock, setter.get());
    std::optional<TimeSyncClient::Outcome> outcome;
    QEventLoop loop;
    QObject::connect(&client, &TimeSyncClient::finished, &loop, [&](TimeSyncClient::Outcome o) {
        outcome = o;
        loop.quit();
    });
    client.StartTimeSync(server);
    if (!outcome)
        loop.exec();

    const bool ok = outcome == TimeSyncClient::Outcome::ClockSet
        || outcome == TimeSyncClient::Outcome::TimeRead;
    return ok ? ExitOk : ExitFailed;
}

} // namespace aostrack
