// aostrack-cli update: the element update of the "TLE Update" window without
// a window, for cron. The TLE file of sat.ini is replaced only when every
// page loaded and the text holds element sets; the old file becomes the
// backup (name + "_old"). Within two hours of the last fetch the server is
// not asked unless --force.
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "core/SettingsLocation.h"
#include "update/ElementUpdate.h"
#include "update/TransmitterUpdate.h"

#include <QEventLoop>
#include <chrono>
#include <optional>

namespace aostrack {

namespace {

QString UpdateHelp()
{
    return QStringLiteral(
        "Usage: aostrack-cli update [--config FILE] [--server] [--archive] [--force]\n"
        "                           [--timeout SECONDS]\n"
        "       aostrack-cli update [--config FILE] --transmitters [--timeout SECONDS]\n"
        "\n"
        "Downloads fresh element sets and replaces the TLE file named by TLEFILE in\n"
        "sat.ini, keeping the previous file as <TLEFILE>_old. Prints one progress line\n"
        "per step, as the TLE Update window shows them; why it failed also on stderr.\n"
        "The server publishes new sets every 2 hours: within 2 hours of the last\n"
        "update it is not asked again, and it is asked only for sets newer than the\n"
        "file (If-Modified-Since).\n"
        "\n"
        "  --config FILE      sat.ini to read (default: sat.ini beside aostrack-cli)\n"
        "  --server           the three groups of TLE_SERVER (amateur, cubesat,\n"
        "                     last-30-days; the old static files with TLE_PATHS=LEGACY)\n"
        "  --archive          the combined file of TLE_ARCHIVE\n"
        "                     (neither flag: --server)\n"
        "  --transmitters     the transmitter list instead: TRANSMITTER_SERVER +\n"
        "                     /api/transmitters/?format=json replaces TRANSMITTERS (the\n"
        "                     previous file kept as <TRANSMITTERS>_old; the page must be\n"
        "                     a JSON array of transmitters that each have a uuid);\n"
        "                     TRANSMITTERS_LOCAL is never touched\n"
        "  --force            ask the server even within 2 hours of the last update\n"
        "  --timeout SECONDS  give up on a page after this long (default 30)\n"
        "\n"
        "Exit codes: 0 the TLE file was replaced or holds the newest sets already\n"
        "(unchanged at the server, or fetched under 2 hours ago), 1 it was left as it\n"
        "was after a failure (a page failed or held no element set), 2 bad arguments\n"
        "or an unreadable sat.ini. The same for --transmitters and its file.\n");
}

// Waits in a local loop (no window here) until the update says finished.
template <typename Update, typename Begin> bool RunToEnd(Update& update, Begin begin)
{
    QObject::connect(
        &update, &Update::progressLine, [](const QString& line) { WriteOut(line + u'\n'); });
    QEventLoop loop;
    bool succeeded = false;
    bool done = false;
    QObject::connect(&update, &Update::finished, &loop, [&](bool ok) {
        // cron mails stderr: the reason stands there even when stdout goes to a log.
        if (!ok)
            WriteErr(QStringLiteral("aostrack-cli: ") + update.Verdict() + u'\n');
        succeeded = ok;
        done = true;
        loop.quit();
    });
    begin();
    if (!done)
        loop.exec();
    return succeeded;
}

int UpdateTransmitters(
    const Configuration& config, const QString& configArg, std::chrono::milliseconds timeout)
{
    if (config.TransmitterFilePath.trimmed().isEmpty())
        throw UsageError(QStringLiteral("%1 names no transmitter file (TRANSMITTERS)")
                             .arg(CliConfigPath(configArg)));
    const QString path = WritableDataPath(config.TransmitterFilePath);
    if (path != config.TransmitterFilePath)
        WriteOut(QStringLiteral("%1 cannot be replaced here: writing %2\n")
                     .arg(config.TransmitterFilePath, path));
    TransmitterUpdate update(std::make_unique<HttpPageFetcher>(timeout));
    return RunToEnd(update, [&] { update.Start(path, config.TransmitterServer); }) ? ExitOk
                                                                                   : ExitFailed;
}

} // namespace

int RunUpdateCommand(const QStringList& args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        WriteOut(UpdateHelp());
        return ExitOk;
    }
    const ParsedArgs parsed
        = ParseOptions(args, { QStringLiteral("--config"), QStringLiteral("--timeout") },
            { QStringLiteral("--server"), QStringLiteral("--archive"), QStringLiteral("--force"),
                QStringLiteral("--transmitters") });
    std::chrono::milliseconds timeout = HttpPageFetcher::DefaultTimeout;
    if (parsed.Has(QStringLiteral("--timeout"))) {
        const double seconds = ParseNumberInRange(
            parsed.Value(QStringLiteral("--timeout")), QStringLiteral("--timeout"), 0.1, 3600);
        timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    }

    const Configuration config = LoadCliConfiguration(parsed.Value(QStringLiteral("--config")));
    if (parsed.Has(QStringLiteral("--transmitters"))) {
        if (parsed.Has(QStringLiteral("--server")) || parsed.Has(QStringLiteral("--archive"))
            || parsed.Has(QStringLiteral("--force")))
            throw UsageError(
                QStringLiteral("--transmitters goes alone, without --server, --archive, --force"));
        return UpdateTransmitters(config, parsed.Value(QStringLiteral("--config")), timeout);
    }
    if (config.TleFilePath.trimmed().isEmpty())
        throw UsageError(QStringLiteral("%1 names no TLE file (TLEFILE)")
                             .arg(CliConfigPath(parsed.Value(QStringLiteral("--config")))));

    UpdateRequest request;
    // An element file the operator cannot replace (the package's example) is
    // downloaded into the user's data folder instead.
    request.TleFilePath = WritableDataPath(config.TleFilePath);
    if (request.TleFilePath != config.TleFilePath)
        WriteOut(QStringLiteral("%1 cannot be replaced here: writing %2\n")
                     .arg(config.TleFilePath, request.TleFilePath));
    request.ServerBase = config.TleServer;
    request.ArchiveBase = config.TleArchive;
    request.UseArchive = parsed.Has(QStringLiteral("--archive"));
    request.UseServer = parsed.Has(QStringLiteral("--server")) || !request.UseArchive;
    request.LegacyPaths = config.TleLegacyPaths;
    request.Force = parsed.Has(QStringLiteral("--force"));

    ElementUpdate update(std::make_unique<HttpPageFetcher>(timeout));
    return RunToEnd(update, [&] { update.Start(request); }) ? ExitOk : ExitFailed;
}

} // namespace aostrack
