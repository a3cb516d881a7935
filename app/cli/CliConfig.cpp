#include "app/cli/CliConfig.h"

#include "app/cli/CliArgs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace aostrack {

QString CliConfigPath(const QString& configFile)
{
    if (!configFile.isEmpty())
        return configFile;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("sat.ini"));
}

Configuration LoadCliConfiguration(const QString& configFile)
{
    const QString path = CliConfigPath(configFile);
    QFile file(path);
    if (!file.exists())
        throw UsageError(
            QStringLiteral("%1 not found (give --config FILE, or --tle, --lat, --lon and --height)")
                .arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw UsageError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QString text = DecodeSettingsText(file.readAll());

    try {
        const QFileInfo info(path);
        Configuration config
            = ParseConfiguration(text, info.absolutePath(), QLocale(), info.fileName());
        config.IniPath = path;
        return config;
    } catch (const StartupError& error) {
        QString message = QString::fromStdString(error.what());
        message.replace(QLatin1Char('\n'), QLatin1String("; "));
        if (!message.contains(QFileInfo(path).fileName()))
            message = QStringLiteral("%1: %2").arg(path, message);
        throw UsageError(message);
    }
}

OrbitModelKind ModelOption(const ParsedArgs& args, const Configuration* config)
{
    if (args.Has(QStringLiteral("--model"))) {
        const QString text = args.Value(QStringLiteral("--model"));
        const std::optional<OrbitModelKind> kind = ParseOrbitModel(text.toStdString());
        if (!kind)
            throw UsageError(
                QStringLiteral("--model: \"%1\" is neither plan13 nor sgp4").arg(text));
        return *kind;
    }
    if (config)
        return config->OrbitModelChoice;
    try {
        return LoadCliConfiguration(args.Value(QStringLiteral("--config"))).OrbitModelChoice;
    } catch (const UsageError&) {
        return OrbitModelKind::Plan13; // no station file: the default theory
    }
}

} // namespace aostrack
