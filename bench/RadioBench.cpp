// Receiver layer: reading the frequency database (done at every satellite
// choice) and one SetHWLO of our library while rigctld is away (done at every
// tick; it must return at once).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

#include "radio/FrequencyDatabase.h"
#include "radio/ReceiverLibrary.h"

namespace {

using namespace aostrack;

void BM_ReadFrequencyRows_Example(benchmark::State& state)
{
    const QString path = QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/doppler.sql");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ReadFrequencyRows(path, QStringLiteral("ISS (ZARYA)"), QLocale::c()));
}
BENCHMARK(BM_ReadFrequencyRows_Example);

void BM_ReadFrequencyRows_10000(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doppler.sql"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < 10000; ++i)
        file.write(QStringLiteral("SAT-%1,%2,145850,FM,0,row %1\r\n")
                       .arg(i)
                       .arg(435000 + i % 1000)
                       .toLatin1());
    file.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFrequencyRows(path, QStringLiteral("SAT-9999"), QLocale::c()));
}
BENCHMARK(BM_ReadFrequencyRows_10000)->Unit(benchmark::kMillisecond);

void BM_SetHwlo_DaemonAway(benchmark::State& state)
{
    // A copy of the library aimed at a loopback port nobody listens on.
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(AOSTRACK_PLUGIN_FILE),
        dir.filePath(QStringLiteral("libExtIO_FCD_Quillon.so")));
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QFile ini(dir.filePath(QStringLiteral("receiver.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("HOST=127.0.0.1\nPORT=%1\n").arg(port).toLatin1());
    ini.close();
    SharedReceiverLibrary library(QStringLiteral("ExtIO_FCD_Quillon"), { dir.path() });
    if (const Result<void> loaded = library.Load(); !loaded) {
        state.SkipWithError(loaded.Error().toStdString().c_str());
        return;
    }
    library.OpenForm(-1);
    int32_t freqHz = 145800000;
    for (auto _ : state)
        library.SetHWLO(freqHz++);
    library.HideGUI();
}
BENCHMARK(BM_SetHwlo_DaemonAway);

} // namespace

BENCHMARK_MAIN();
