#include "app/cli/CliConfig.h"

#include "app/cli/CliArgs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

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
    const QByteArray bytes = file.readAll();

    // UTF-8 when it decodes cleanly, else the Windows code page the older
    // station files come in (Latin-1 reads its letters alike).
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    try {
        Configuration config = ParseConfiguration(text, QFileInfo(path).absolutePath());
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

} // namespace aostrack
