// The terminal screen of 'aostrack-cli track' at the sizes operators use:
// what must stay in view on an 80 x 24 SSH session, what fills a larger one.
#include "app/cli/TrackScreen.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

const sys_seconds kAos
    = sys_days { year { 2024 } / February / 12 } + hours { 13 } + minutes { 18 } + seconds { 22 };

TrackScreenInput Sample()
{
    TrackScreenInput in;
    in.satName = QStringLiteral("SAUDISAT 1C (SO-50)");
    in.qth = QStringLiteral("48.14/11.58");
    in.line1
        = QStringLiteral("1 27607U 02058C   24042.88396408  .00001516  00000+0  24072-3 0  9992");
    in.line2
        = QStringLiteral("2 27607  64.5530 275.8745 0048470  54.7919 305.7694 14.77031034141868");
    DataPanelTexts& p = in.panel;
    p.Time = QStringLiteral("13:24:00 UTC");
    p.Date = QStringLiteral("Monday, 2024 February 12");
    p.AboveHorizon = true;
    p.Azimuth = QStringLiteral("123.45°");
    p.Elevation = QStringLiteral("37.81°");
    p.SatLong = QStringLiteral("2.50°W  (-02°29' 59\")");
    p.SatLat = QStringLiteral("51.12°N  (51°07' 12\")");
    p.Distance = QStringLiteral("1012.345 km");
    p.Height = QStringLiteral("684.012 km");
    p.OrbitNumber = QStringLiteral("114187");
    p.MaValue = QStringLiteral("4  (6.25°)");
    p.SunAngle = QStringLiteral("81.20°");
    p.Illumination = QStringLiteral("100.0 %");
    p.Loss = QStringLiteral("136.02 dB");
    p.DopplerShift = QStringLiteral("-2431.68 Hz");
    p.Info = QStringLiteral("satellite in sunlight");
    p.Epoch = QStringLiteral("043.55833333");
    p.TleAge = QStringLiteral("TLE's are 0.7 days old");
    in.countdown = QStringLiteral("Time to LOS: 00:05:34");
    in.frequency = QStringLiteral("436797.569 kHz FM voice");
    in.plot.AosTime = kAos;
    in.plot.LosTime = kAos + seconds { 672 };
    for (int s = 0; s <= 672; ++s)
        in.plot.Elevations.push_back(40 * std::sin(M_PI * s / 672.0));
    in.plot.DurationText = QStringLiteral("11.2 min");
    in.now = kAos + seconds { 338 };
    for (int i = 0; i < 12; ++i)
        in.passes << QStringLiteral("12.02.2024 %1:18 (Az 203°) -> %1:29 (Az 063°) maxEl: 40°)")
                         .arg(13 + i, 2, 10, QLatin1Char('0'));
    in.showLog = true;
    for (int i = 0; i < 6; ++i)
        in.log << QStringLiteral("12.02.24 13:2%1:00: log line %1").arg(i);
    return in;
}

bool Shows(const QStringList& rows, const QString& text)
{
    for (const QString& row : rows)
        if (row.contains(text))
            return true;
    return false;
}

} // namespace

TEST(TrackScreen, EssentialsAlwaysInViewAndNothingWiderOrTallerThanTheTerminal)
{
    const struct {
        int columns;
        int rows;
    } sizes[] = { { 80, 24 }, { 80, 16 }, { 60, 20 }, { 100, 50 }, { 200, 60 }, { 40, 10 } };
    const TrackScreenInput in = Sample();
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.columns << " x " << size.rows);
        const QStringList rows = TrackScreenRows(in, size.columns, size.rows);
        // One row short of the height: the line feed after the last row must
        // not scroll the countdown off the top.
        EXPECT_LE(rows.size(), size.rows - 1);
        for (const QString& row : rows)
            EXPECT_LE(VisibleLength(row), size.columns) << row.toStdString();
        for (const QString& essential : { in.countdown, in.panel.Azimuth, in.panel.Elevation,
                 in.panel.Distance, in.panel.DopplerShift, QStringLiteral("13:18:22Z -> "),
                 QStringLiteral("13:29:34Z  11.2 min") })
            EXPECT_TRUE(Shows(rows, essential)) << essential.toStdString();
        if (size.columns >= 60) {
            EXPECT_TRUE(Shows(rows, QStringLiteral("436797.569 kHz FM voice")));
        }
    }
}

TEST(TrackScreen, ShortTerminalDropsTheLogAndShortensThePassListFirst)
{
    const TrackScreenInput in = Sample();
    const QStringList small = TrackScreenRows(in, 80, 24);
    EXPECT_EQ(small.size(), 23);
    EXPECT_FALSE(Shows(small, QStringLiteral("log line")));
    EXPECT_FALSE(Shows(small, in.line1));
    EXPECT_TRUE(Shows(small, QStringLiteral("next 24 hours")));
    EXPECT_TRUE(Shows(small, in.passes.first()));
    EXPECT_FALSE(Shows(small, in.passes.last()));
    EXPECT_TRUE(Shows(small, in.panel.Info));

    // Room for everything: every pass, the element lines and the log.
    const QStringList large = TrackScreenRows(in, 100, 50);
    for (const QString& line : in.passes + in.log + QStringList { in.line1, in.line2 })
        EXPECT_TRUE(Shows(large, line)) << line.toStdString();
    EXPECT_TRUE(Shows(large, QStringLiteral("Ctrl-C ends")));

    // Room for part of the log: its newest lines.
    const QStringList medium = TrackScreenRows(in, 100, 34);
    EXPECT_TRUE(Shows(medium, in.log.last()));
    EXPECT_FALSE(Shows(medium, in.log.first()));
}

TEST(TrackScreen, TooOldElementSetInRedWithTheUpdateCommand)
{
    TrackScreenInput in = Sample();
    in.panel.TleAge = QStringLiteral("TLE's are too old");
    in.panel.TleTooOld = true;
    const QStringList rows = TrackScreenRows(in, 80, 24);
    EXPECT_TRUE(Shows(
        rows, QStringLiteral("\x1b[1;31mTLE's are too old: run 'aostrack-cli update'\x1b[0m")));
    // A fresh set: plain text, no colour.
    const QStringList fresh = TrackScreenRows(Sample(), 80, 40);
    EXPECT_TRUE(Shows(fresh, QStringLiteral("043.55833333        TLE's are 0.7 days old")));
    EXPECT_FALSE(Shows(fresh, QStringLiteral("\x1b[1;31m")));
}

TEST(TrackScreen, ColourCodesTakeNoRoomAndACutRowResetsTheColour)
{
    EXPECT_EQ(VisibleLength(QStringLiteral("\x1b[30;42m123.45°\x1b[0m")), 7);
    TrackScreenInput in = Sample();
    in.countdown = QString(120, QLatin1Char('x'));
    const QStringList rows = TrackScreenRows(in, 80, 24);
    for (const QString& row : rows) {
        if (row.contains(QStringLiteral("xxxx"))) {
            EXPECT_EQ(VisibleLength(row), 80);
            EXPECT_TRUE(row.endsWith(QStringLiteral("\x1b[0m")));
        }
    }
}

// Each field keeps a gap before the next however long its value, and a wide
// terminal takes more fields and two passes a row, so the same height shows more.
TEST(TrackScreen, FieldsLaidOutByTheTerminalsWidth)
{
    TrackScreenInput in = Sample();
    in.model = QStringLiteral("SGP4");
    const struct {
        int columns;
        int panelRows; // rows from Azimut to Orbit model
        int passesShown; // on 24 rows
    } sizes[] = { { 80, 7, 7 }, { 120, 5, 12 }, { 200, 4, 12 } }; // of 12
    for (const QString& info :
        { in.panel.Info, QStringLiteral("satellite in eclipse, set refused by SGP4") }) {
        in.panel.Info = info;
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message() << size.columns << " " << info.toStdString());
            const QStringList rows = TrackScreenRows(in, size.columns, 24);
            const auto row = [&rows](const QString& text) {
                for (qsizetype i = 0; i < rows.size(); ++i)
                    if (rows[i].contains(text))
                        return i;
                return qsizetype(-1);
            };
            const QString infoRow = rows[row(QStringLiteral("Info"))];
            EXPECT_FALSE(infoRow.contains(QRegularExpression(QStringLiteral("\\S ?Orbit model"))))
                << infoRow.toStdString();
            EXPECT_EQ(row(QStringLiteral("Orbit model")) - row(QStringLiteral("Azimut")) + 1,
                size.panelRows);
            int passes = 0;
            for (const QString& r : rows)
                passes += static_cast<int>(r.count(QStringLiteral("maxEl")));
            EXPECT_EQ(passes, size.passesShown);
            for (const QString& r : rows)
                EXPECT_LE(VisibleLength(r), size.columns) << r.toStdString();
        }
    }
}
