// aostrack-cli update: the element update of the "TLE Update" window without
// a window, for cron. The TLE file of sat.ini is replaced only when every
// page loaded and the text holds element sets; the old file becomes the
// backup (name + "_old").
#include "app/cli/CliArgs.h"
#include "app/cli/CliConfig.h"
#include "app/cli/Commands.h"
#include "core/SettingsLocation.h"
#include "update/ElementUpdate.h"

#include <QEventLoop>
#include <chrono>
#include <optional>

namespace aostrack {

namespace {

QString UpdateHelp()
{
    return QStringLiteral(
        "Usage: aostrack-cli update [--config FILE] [--server] [--archive] [--timeout SECONDS]\n"
        "\n"
        "Downloads fresh element sets and replaces the TLE file named by TLEFILE in\n"
        "sat.ini, keeping the previous file as <TLEFILE>_old. Prints one progress line\n"
        "per step, as the TLE Update window shows them.\n"
        "\n"
        "  --config FILE      sat.ini to read (default: sat.ini beside aostrack-cli)\n"
        "  --server           the three files of TLE_SERVER (amateur, cubesat, new)\n"
        "  --archive          the combined file of TLE_ARCHIVE\n"
        "                     (neither flag: --server)\n"
        "  --timeout SECONDS  give up on a page after this long (default 30)\n"
        "\n"
        "Exit codes: 0 the TLE file was replaced, 1 it was left as it was (a page\n"
        "failed or held no element set), 2 bad arguments or an unreadable sat.ini.\n");
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
            { QStringLiteral("--server"), QStringLiteral("--archive") });
    std::chrono::milliseconds timeout = HttpPageFetcher::DefaultTimeout;
    if (parsed.Has(QStringLiteral("--timeout"))) {
        const double seconds = ParseNumberInRange(
            parsed.Value(QStringLiteral("--timeout")), QStringLiteral("--timeout"), 0.1, 3600);
        timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    }

    const Configuration config = LoadCliConfiguration(parsed.Value(QStringLiteral("--config")));
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

    ElementUpdate update(std::make_unique<HttpPageFetcher>(timeout));
    QObject::connect(
        &update, &ElementUpdate::progressLine, [](const QString& line) { WriteOut(line + u'\n'); });
    // No window here: waiting in a local loop is what the tool is for.
    QEventLoop loop;
    bool replaced = false;
    bool done = false;
    QObject::connect(&update, &ElementUpdate::finished, &loop, [&](bool ok) {
        replaced = ok;
        done = true;
        loop.quit();
    });
    update.Start(request);
    if (!done)
        loop.exec();
    return replaced ? ExitOk : ExitFailed;
}

} // namespace aostrack
