#pragma once
// Helpers of the receiver tests: an in-process receiver library that records
// the calls, a frequency file written on the fly and a station around the
// controller.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "FakeClock.h"
#include "core/EventLog.h"
#include "core/FrequencyState.h"
#include "radio/ReceiverController.h"
#include "radio/ReceiverLibrary.h"

namespace aostrack::test {

class RecordingLibrary : public ReceiverLibrary {
public:
    Result<void> Load() override
    {
        ++Loads;
        if (!Loadable)
            return Failure { QStringLiteral("ExtIO_FCD_Quillon in /nowhere") };
        m_loaded = true;
        return {};
    }
    bool IsLoaded() const override { return m_loaded; }
    QString Location() const override { return QStringLiteral("/test/libExtIO_FCD_Quillon.so"); }
    void OpenForm(int mode) override { Calls << QStringLiteral("OpenForm(%1)").arg(mode); }
    void HideGUI() override { Calls << QStringLiteral("HideGUI()"); }
    void SetHWLO(int32_t freqHz) override { Calls << QStringLiteral("SetHWLO(%1)").arg(freqHz); }

    bool Loadable = true;
    int Loads = 0;
    QStringList Calls;

private:
    bool m_loaded = false;
};

// Writes `bytes` to name inside dir and returns the path.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(bytes);
    return path;
}

// The example rows of these tests: two AO-7 rows, AO-73, a blank-keyed row,
// and comments.
inline const QByteArray kDopplerRows = "; satellite frequency database\r\n"
                                       "AO-7,145975,432125,USB,LSB,REV,0,0\r\n"
                                       "AO-73,145950,435140,  BPSK  ,LSB,REV,0,0\r\n"
                                       "ao-7,29502,432125,CW,LSB,REV,0,0\r\n"
                                       "AO-7,29500,145850,  CW ,USB,NOR,0,0\r\n"
                                       "SO-50,436795,145850,FM,FM,NOR,0,0\r\n";

// A controller on a recording library, a fake clock and its own log.
struct Station {
    FakeClock Clock { std::chrono::sys_days { std::chrono::year { 2024 } / 2 / 10 }
        + std::chrono::hours { 12 } };
    EventLog Log { Clock };
    FrequencyState State;
    RecordingLibrary Library;
    ReceiverController Controller { State, Log, Library };

    // Log lines without their time text.
    QStringList LogTexts() const
    {
        QStringList texts;
        for (const QString& line : Log.Lines()) {
            const qsizetype at = line.indexOf(QStringLiteral(": "));
            texts << (at < 0 ? line : line.mid(at));
        }
        return texts;
    }
};

} // namespace aostrack::test
