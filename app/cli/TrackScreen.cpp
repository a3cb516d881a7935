#include "app/cli/TrackScreen.h"

#include "app/cli/CliArgs.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace aostrack {
namespace {

using std::chrono::sys_seconds;

const QString kBold = QStringLiteral("\x1b[1m");
const QString kRed = QStringLiteral("\x1b[1;31m");
const QString kGreen = QStringLiteral("\x1b[30;42m");
const QString kReset = QStringLiteral("\x1b[0m");

constexpr int kCaptionWidth = 13;
// Room for the widest value of the panel, a sub-satellite longitude with
// three-digit degrees: "112.50°W  (-112°29' 59")".
constexpr int kValueWidth = 24;
constexpr int kFieldWidth = kCaptionWidth + 1 + kValueWidth;
constexpr int kFieldGap = 2;
constexpr int kEpochWidth = 34;
constexpr int kMaxFieldColumns = 4;
constexpr int kProfileMaxWidth = 120;

// What goes first when the terminal is short: 1 is always shown.
enum Priority {
    Essential = 1,
    Detail = 2,
    Profile = 3,
    PassList = 4,
    ElementLines = 5,
    Log = 6,
    Spacing = 7,
};

struct Row {
    QString text;
    int priority;
    bool header = false; // shown only together with the row after it
};

// One field of the panel: its caption, value and the colour around the value.
struct Field {
    QString caption;
    QString value;
    int priority;
    QString prefix = {};
    QString suffix = {};
};

QString Cell(const Field& field)
{
    return QStringLiteral("%1 ").arg(field.caption, -kCaptionWidth) + field.prefix + field.value
        + field.suffix;
}

// As many columns of fields as the terminal holds, at least one.
int FieldColumns(int columns)
{
    return std::clamp((columns - 2 + kFieldGap) / (kFieldWidth + kFieldGap), 1, kMaxFieldColumns);
}

// The fields in fieldColumns columns, read down each column (two columns
// pair azimuth with sub-satellite longitude, as the window does); a row is
// as important as its most important field. A value wider than its column
// still keeps a gap before the next one.
void AddFieldRows(std::vector<Row>& out, const std::vector<Field>& fields, int fieldColumns)
{
    const auto count = static_cast<int>(fields.size());
    const int rowCount = (count + fieldColumns - 1) / fieldColumns;
    for (int r = 0; r < rowCount; ++r) {
        QString text = QStringLiteral("  ");
        int priority = Spacing;
        for (int i = r; i < count; i += rowCount) {
            const Field& field = fields[static_cast<size_t>(i)];
            if (i != r) {
                const int used = VisibleLength(text) - 2;
                const int cells = (i / rowCount) * (kFieldWidth + kFieldGap);
                text += QString(std::max(kFieldGap, cells - used), QLatin1Char(' '));
            }
            text += Cell(field);
            priority = std::min(priority, field.priority);
        }
        out.push_back({ text, priority });
    }
}

// The pass profile as one row of block characters and the satellite's place
// below it.
QStringList ProfileRows(const PassPlotData& plot, sys_seconds now, int width)
{
    if (plot.Elevations.empty() || !plot.AosTime || width < 8)
        return {};
    static const QString blocks = QStringLiteral(" ▁▂▃▄▅▆▇█");
    const double maxEl = *std::max_element(plot.Elevations.begin(), plot.Elevations.end());
    const size_t n = plot.Elevations.size();
    const auto w = static_cast<size_t>(width);
    QString profile;
    for (size_t c = 0; c < w; ++c) {
        const size_t from = n * c / w;
        const size_t to = std::max(from + 1, n * (c + 1) / w);
        double el = 0;
        for (size_t i = from; i < to && i < n; ++i)
            el = std::max(el, plot.Elevations[i]);
        const int level
            = maxEl > 0 ? static_cast<int>(std::lround(std::max(0.0, el) / maxEl * 8)) : 0;
        profile += blocks[std::clamp(level, 0, 8)];
    }
    QString marker(width, QLatin1Char(' '));
    const double along = static_cast<double>((now - *plot.AosTime).count())
        / std::max<double>(1, static_cast<double>(n - 1));
    if (along >= 0 && along <= 1)
        marker[std::min(width - 1, static_cast<int>(along * width))] = QLatin1Char('^');
    return { QStringLiteral("  |") + profile + QStringLiteral("|  max %1°").arg(maxEl, 0, 'f', 1),
        QStringLiteral("   ") + marker };
}

// Cuts text to `columns` visible characters; colour codes are kept and a cut
// row ends with a reset so that no colour runs on.
QString Truncate(const QString& text, int columns)
{
    QString out;
    int visible = 0;
    bool cut = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar(0x1b)) {
            const qsizetype end = text.indexOf(QLatin1Char('m'), i);
            if (end < 0)
                break;
            out += text.mid(i, end - i + 1);
            i = end;
            continue;
        }
        if (visible == columns) {
            cut = true;
            continue;
        }
        out += text[i];
        ++visible;
    }
    if (cut && out.contains(QChar(0x1b)))
        out += kReset;
    return out;
}

void Add(std::vector<Row>& all, const QString& text, int priority, bool header = false)
{
    all.push_back({ text, priority, header });
}

void AddTitleRows(std::vector<Row>& all, const TrackScreenInput& in)
{
    const DataPanelTexts& p = in.panel;
    QString title = kBold + QStringLiteral("aostrack  ") + in.satName + kReset
        + QStringLiteral("   ") + p.Time;
    if (!in.clockNote.isEmpty())
        title += QStringLiteral("   ") + in.clockNote;
    Add(all, title, Essential);
    Add(all, QStringLiteral("%1   QTH %2").arg(p.Date, in.qth), Detail);
    Add(all, in.line1, ElementLines);
    Add(all, in.line2, ElementLines);
    Add(all, QString(), Spacing);
    Add(all, kBold + QStringLiteral("  ") + in.countdown + kReset, Essential);
}

void AddPanelRows(std::vector<Row>& all, const TrackScreenInput& in, int columns)
{
    const DataPanelTexts& p = in.panel;
    // Green while the satellite is above the horizon, as in the window.
    const QString upOn = p.AboveHorizon ? kGreen : QString();
    const QString upOff = p.AboveHorizon ? kReset : QString();
    // Pointing the antenna needs the look angles; the sub-satellite point and
    // the rest may give way on a narrow terminal.
    const int fieldColumns = FieldColumns(columns);
    AddFieldRows(all,
        { { QStringLiteral("Azimut"), p.Azimuth, Essential, upOn, upOff },
            { QStringLiteral("Elevation"), p.Elevation, Essential, upOn, upOff },
            { QStringLiteral("Distance"), p.Distance, Essential },
            { QStringLiteral("Doppler shift"), p.DopplerShift, Essential },
            { QStringLiteral("Sat Long"), p.SatLong, Detail },
            { QStringLiteral("Sat Lat"), p.SatLat, Detail },
            { QStringLiteral("Height"), p.Height, Detail },
            { QStringLiteral("Loss"), p.Loss, Detail } },
        fieldColumns);
    std::vector<Field> details = { { QStringLiteral("Orbit #"), p.OrbitNumber, Detail },
        { QStringLiteral("Sun Angle"), p.SunAngle, Detail },
        { QStringLiteral("Info"), p.Info, Detail },
        { QStringLiteral("MA-Value"), p.MaValue, Detail },
        { QStringLiteral("Illumination"), p.Illumination, Detail } };
    if (!in.model.isEmpty())
        details.push_back({ QStringLiteral("Orbit model"), in.model, Detail });
    AddFieldRows(all, details, fieldColumns);
}

void AddEpochRow(std::vector<Row>& all, const DataPanelTexts& p)
{
    // An element set too old to trust is said in red, with the way out.
    const QString age = p.TleTooOld
        ? kRed + p.TleAge + QStringLiteral(": run 'aostrack-cli update'") + kReset
        : p.TleAge;
    // The age beside the epoch, with room for its remedy on 80 columns.
    const QString epoch = Cell({ QStringLiteral("Epoche"), p.Epoch, Detail });
    Add(all,
        QStringLiteral("  ") + epoch
            + QString(std::max<qsizetype>(kFieldGap, kEpochWidth - epoch.size()), QLatin1Char(' '))
            + age,
        p.TleTooOld ? Essential : Detail);
}

void AddDeviceRows(std::vector<Row>& all, const TrackScreenInput& in)
{
    QString freq
        = in.frequency.isEmpty() ? QStringLiteral("no frequency for this satellite") : in.frequency;
    if (in.receiverTracking)
        freq += QStringLiteral("   [receiver tracking]");
    Add(all, QStringLiteral("  ") + Cell({ QStringLiteral("Frequency"), freq, Essential }),
        Essential);
    if (!in.rotor.isEmpty())
        Add(all, QStringLiteral("  ") + Cell({ QStringLiteral("Rotor"), in.rotor, Essential }),
            Essential);
}

void AddPassRows(std::vector<Row>& all, const TrackScreenInput& in, int columns)
{
    Add(all, QString(), Spacing);
    if (!in.plot.AosTime || !in.plot.LosTime) {
        Add(all, QStringLiteral("  no pass within 14 hours"), Essential);
        return;
    }
    // A narrow terminal gets the times of day alone (UTC, as the Z says).
    const auto when = [columns](sys_seconds t) {
        const QString text = FormatUtcInstant(t);
        return columns >= 64 ? text : text.mid(11);
    };
    Add(all,
        QStringLiteral("  pass %1 -> %2  %3")
            .arg(when(*in.plot.AosTime), when(*in.plot.LosTime), in.plot.DurationText),
        Essential);
    const int profileWidth = std::min(kProfileMaxWidth, columns - 16);
    for (const QString& row : ProfileRows(in.plot, in.now, profileWidth))
        Add(all, row, Profile);
}

void AddPassListRows(std::vector<Row>& all, const QStringList& passes, int columns)
{
    Add(all, QString(), Spacing);
    Add(all, QStringLiteral("  next 24 hours"), PassList, true);
    // A wide terminal takes two passes a row, read across, so that a short
    // one still shows the next day's passes; the last ones give way first.
    int passWidth = 0;
    for (const QString& line : passes)
        passWidth = std::max(passWidth, VisibleLength(line));
    const int perRow = 2 + 2 * passWidth + 3 <= columns ? 2 : 1;
    for (qsizetype k = 0; k < passes.size(); k += perRow) {
        QString row = QStringLiteral("  ") + passes[k];
        if (perRow == 2 && k + 1 < passes.size())
            row += QString(passWidth + 3 - VisibleLength(passes[k]), QLatin1Char(' '))
                + passes[k + 1];
        Add(all, row, PassList);
    }
    if (passes.isEmpty())
        Add(all, QStringLiteral("  (no pass)"), PassList);
}

void AddLogRows(std::vector<Row>& all, const TrackScreenInput& in)
{
    if (in.showLog) {
        Add(all, QString(), Spacing);
        Add(all, QStringLiteral("  event log"), Log, true);
        // Newest first in the choice, shown in time order.
        for (const QString& line : in.log)
            Add(all, QStringLiteral("  ") + line, Log);
    }
    Add(all, QStringLiteral("  Ctrl-C ends"), Spacing);
}

// The most important rows that fit in `budget`. Within the log the newest
// lines win; a heading goes before the lines under it, and goes with them.
std::vector<bool> RowsThatFit(const std::vector<Row>& all, size_t budget)
{
    const auto rank = [&all](size_t i) {
        const Row& row = all[i];
        const long long index = static_cast<long long>(i);
        const long long within = row.header ? -1'000'000 : (row.priority == Log ? -index : index);
        return std::pair<int, long long>(row.priority, within);
    };
    std::vector<size_t> order(all.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(
        order.begin(), order.end(), [&rank](size_t a, size_t b) { return rank(a) < rank(b); });
    std::vector<bool> keep(all.size(), false);
    for (size_t i = 0; i < order.size() && i < budget; ++i)
        keep[order[i]] = true;
    // A heading without any of its lines says nothing.
    for (size_t i = 0; i < all.size(); ++i) {
        if (!all[i].header || !keep[i])
            continue;
        bool anyLine = false;
        for (size_t j = i + 1; j < all.size() && all[j].priority == all[i].priority; ++j)
            anyLine = anyLine || keep[j];
        keep[i] = anyLine;
    }
    return keep;
}

} // namespace

int VisibleLength(const QString& text)
{
    int visible = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar(0x1b)) {
            const qsizetype end = text.indexOf(QLatin1Char('m'), i);
            i = end < 0 ? text.size() : end;
            continue;
        }
        ++visible;
    }
    return visible;
}

QStringList TrackScreenRows(const TrackScreenInput& in, int columns, int rows)
{
    columns = std::max(columns, MinTrackColumns);
    rows = std::max(rows, MinTrackRows);
    std::vector<Row> all;
    AddTitleRows(all, in);
    AddPanelRows(all, in, columns);
    AddEpochRow(all, in.panel);
    AddDeviceRows(all, in);
    AddPassRows(all, in, columns);
    AddPassListRows(all, in.passes, columns);
    AddLogRows(all, in);

    const std::vector<bool> keep = RowsThatFit(all, static_cast<size_t>(rows - 1));
    // No two blank rows in a row, none at the top.
    QStringList out;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!keep[i])
            continue;
        if (all[i].text.isEmpty() && (out.isEmpty() || out.last().isEmpty()))
            continue;
        out << Truncate(all[i].text, columns);
    }
    return out;
}

QString TrackScreenText(const QStringList& rows)
{
    QString screen = QStringLiteral("\x1b[H");
    for (const QString& row : rows)
        screen += row + QStringLiteral("\x1b[K\n");
    screen += QStringLiteral("\x1b[J");
    return screen;
}

} // namespace aostrack
