#include "ui/UpcomingPassesDock.h"

#include "core/UtcText.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace aostrack {

using namespace std::chrono;

namespace {

const QColor InProgressBackground(200, 255, 200);

// The time alone for a pass of today (UTC), with the date for tomorrow's.
QString Utc(sys_seconds t, sys_seconds now)
{
    const sys_days day = floor<days>(t);
    const QString time = UtcTimeOfDayText(t);
    if (day == floor<days>(now))
        return time;
    const year_month_day date { day };
    return QString::asprintf("%02u.%02u. ", static_cast<unsigned>(date.day()),
               static_cast<unsigned>(date.month()))
        + time;
}

// The longest text of each column, to size it once: a column never cuts
// its times and angles, whatever the rows.
constexpr const char* WidestTexts[] = { "SAUDISAT 1C (SO-5", "00.00. 00:00:00", "00.00. 00:00:00",
    "00.0\u00B0", "000.0\u00B0", "000.0\u00B0", "LOS in 00:00:00" };

QString Degrees(double v)
{
    return QLocale().toString(v, 'f', 1) + QStringLiteral("\u00B0");
}

} // namespace

void UpcomingPassesModel::SetRows(std::vector<OverviewRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

namespace {
// Before its AOS, up, or past its LOS: what colours a row and hides it.
int StageAt(const UpcomingPass& p, sys_seconds now)
{
    return now < p.AosTime ? 0 : !p.LosTime || now < *p.LosTime ? 1 : 2;
}
} // namespace

void UpcomingPassesModel::SetNow(sys_seconds now)
{
    if (now == m_now)
        return;
    const sys_seconds before = m_now;
    m_now = now;
    if (m_rows.empty())
        return;
    // Each second only the countdowns change; a whole row only when its AOS
    // or LOS came between the two seconds (telling the view that everything
    // changed makes it measure every cell again).
    emit dataChanged(index(0, Countdown), index(rowCount() - 1, Countdown), { Qt::DisplayRole });
    for (int r = 0; r < rowCount(); ++r) {
        const UpcomingPass& p = m_rows[static_cast<std::size_t>(r)].Pass;
        if (StageAt(p, before) != StageAt(p, now))
            emit dataChanged(index(r, 0), index(r, ColumnCount - 1),
                { Qt::DisplayRole, Qt::BackgroundRole, InProgressRole, EndedRole });
    }
}

void UpcomingPassesModel::Refresh()
{
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int UpcomingPassesModel::EndedCount() const
{
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(),
        [this](const OverviewRow& r) { return r.Pass.LosTime && m_now >= *r.Pass.LosTime; }));
}

int UpcomingPassesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int UpcomingPassesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

using Model = UpcomingPassesModel;

// What the columns sort by: names, instants, degrees.
QVariant SortValue(const OverviewRow& row, int column)
{
    const UpcomingPass& p = row.Pass;
    switch (column) {
    case Model::Satellite:
        return row.Name;
    case Model::Aos:
    case Model::Countdown:
        return static_cast<qlonglong>(p.AosTime.time_since_epoch().count());
    case Model::Los:
        return p.LosTime ? static_cast<qlonglong>(p.LosTime->time_since_epoch().count())
                         : std::numeric_limits<qlonglong>::max();
    case Model::MaxElevation:
        return p.MaxElevation;
    case Model::AosAzimuth:
        return p.AosAzimuth;
    case Model::LosAzimuth:
        return p.LosAzimuth;
    }
    return {};
}

QVariant CountdownValue(const UpcomingPass& p, sys_seconds now)
{
    if (p.LosTime && now >= *p.LosTime)
        return QString();
    if (now >= p.AosTime)
        return p.LosTime ? QStringLiteral("LOS in ") + SpanText(*p.LosTime - now)
                         : QStringLiteral("up");
    return QStringLiteral("AOS in ") + SpanText(p.AosTime - now);
}

QVariant DisplayValue(const OverviewRow& row, int column, sys_seconds now)
{
    const UpcomingPass& p = row.Pass;
    switch (column) {
    case Model::Satellite:
        return row.Name;
    case Model::Aos:
        return Utc(p.AosTime, now);
    case Model::Los:
        return p.LosTime ? Utc(*p.LosTime, now) : QStringLiteral("-");
    case Model::MaxElevation:
        return Degrees(p.MaxElevation);
    case Model::AosAzimuth:
        return Degrees(p.AosAzimuth);
    case Model::LosAzimuth:
        return p.LosTime ? Degrees(p.LosAzimuth) : QStringLiteral("-");
    case Model::Countdown:
        return CountdownValue(p, now);
    }
    return {};
}

} // namespace

QVariant UpcomingPassesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const OverviewRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const UpcomingPass& p = row.Pass;
    const bool started = m_now >= p.AosTime;
    const bool ended = p.LosTime && m_now >= *p.LosTime;
    const bool inProgress = started && !ended;
    switch (role) {
    case IndexRole:
        return row.Index;
    case InProgressRole:
        return inProgress;
    case EndedRole:
        return ended;
    case Qt::ToolTipRole:
        return index.column() == Satellite ? QVariant(row.Name) : QVariant();
    case Qt::BackgroundRole:
        return inProgress ? QVariant(InProgressBackground) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == Satellite ? QVariant()
                                           : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case SortRole:
        return SortValue(row, index.column());
    case Qt::DisplayRole:
        return DisplayValue(row, index.column(), m_now);
    default:
        return {};
    }
}

QVariant UpcomingPassesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const titles[]
        = { "Satellite", "AOS (UTC)", "LOS (UTC)", "max El", "AOS Az", "LOS Az", "countdown" };
    return section >= 0 && section < ColumnCount ? tr(titles[section]) : QVariant();
}

void UpcomingPassesFilter::SetNameFilter(const QString& text)
{
    m_name = text.trimmed();
    invalidateFilter();
}

bool UpcomingPassesFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex name
        = sourceModel()->index(sourceRow, UpcomingPassesModel::Satellite, sourceParent);
    if (name.data(UpcomingPassesModel::EndedRole).toBool())
        return false;
    return m_name.isEmpty() || name.data().toString().contains(m_name, Qt::CaseInsensitive);
}

UpcomingPassesDock::UpcomingPassesDock(QWidget* parent)
    : QDockWidget(tr("Upcoming passes"), parent)
{
    setObjectName(QStringLiteral("UpcomingPasses"));
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(4, 4, 4, 4);

    auto* bar = new QHBoxLayout;
    m_filterBox = new QLineEdit(body);
    m_filterBox->setObjectName(QStringLiteral("UpcomingFilter"));
    m_filterBox->setPlaceholderText(tr("filter by name"));
    m_filterBox->setClearButtonEnabled(true);
    m_alarm = new QCheckBox(QStringLiteral("AOS alarm"), body);
    m_alarm->setObjectName(QStringLiteral("AlarmAos"));
    m_alarm->setToolTip(
        tr("Sound and notification before AOS, at AOS and at LOS of the tracked satellite"));
    m_minutes = new QSpinBox(body);
    m_minutes->setObjectName(QStringLiteral("AlarmMinutes"));
    m_minutes->setRange(0, 120);
    m_minutes->setValue(5);
    m_minutes->setSuffix(tr(" min before"));
    bar->addWidget(m_filterBox, 1);
    bar->addWidget(m_alarm);
    bar->addWidget(m_minutes);
    column->addLayout(bar);

    m_filter.setSourceModel(&m_model);
    m_filter.setSortRole(UpcomingPassesModel::SortRole);
    m_filter.setDynamicSortFilter(false);
    m_table = new QTableView(body);
    m_table->setObjectName(QStringLiteral("UpcomingTable"));
    m_table->setModel(&m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(UpcomingPassesModel::Aos, Qt::AscendingOrder);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    SizeColumns();
    column->addWidget(m_table, 1);
    m_status = new QLabel(body);
    m_status->setObjectName(QStringLiteral("UpcomingStatus"));
    m_status->setWordWrap(true);
    column->addWidget(m_status);
    setWidget(body);

    connect(m_filterBox, &QLineEdit::textChanged, &m_filter, &UpcomingPassesFilter::SetNameFilter);
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        emit satelliteChosen(index.data(UpcomingPassesModel::IndexRole).toInt());
    });
}

void UpcomingPassesDock::ShowRows(const std::vector<OverviewRow>& rows,
    const QStringList& alwaysInView, const QStringList& neverInView, bool computing)
{
    m_model.SetRows(rows);
    m_ended = -1;
    m_sorted = false;
    SetNow(m_now);
    QString status = tr("%n passes in 24 hours", nullptr, static_cast<int>(rows.size()));
    if (!alwaysInView.isEmpty())
        status += tr("; always in view: ") + alwaysInView.join(QStringLiteral(", "));
    if (!neverInView.isEmpty())
        status += tr("; never in view: %1").arg(neverInView.size());
    m_status->setProperty("passes", status);
    ShowComputing(computing);
}

void UpcomingPassesDock::ShowComputing(bool computing)
{
    const QString passes = m_status->property("passes").toString();
    m_status->setText(computing ? tr("working out the passes...")
                + (passes.isEmpty() ? QString()
                                    : QStringLiteral(" (") + passes + QStringLiteral(")"))
                                : passes);
}

void UpcomingPassesDock::SetNow(sys_seconds now)
{
    m_now = now;
    // Hidden, the table waits: the model keeps the second without a word to
    // the view, which is told once and sorted when the dock is shown again.
    if (!isVisible()) {
        m_model.SetNowQuietly(now);
        return;
    }
    if (!m_sorted) {
        m_sorted = true;
        m_filter.sort(m_table->horizontalHeader()->sortIndicatorSection(),
            m_table->horizontalHeader()->sortIndicatorOrder());
    }
    m_model.SetNow(now);
    // Refilter only when a pass has ended since the last time.
    const int ended = m_model.EndedCount();
    if (ended != m_ended) {
        m_ended = ended;
        m_filter.Refilter();
    }
}

void UpcomingPassesDock::SizeColumns()
{
    QHeaderView* header = m_table->horizontalHeader();
    const QFontMetrics cells(m_table->font());
    const QFontMetrics titles(header->font());
    // Cell padding, and room for the sort arrow beside a title.
    const int padding = 2 * m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    const int arrow = header->style()->pixelMetric(QStyle::PM_HeaderMarkSize) + 8;
    int total = 0;
    for (int c = 0; c < UpcomingPassesModel::ColumnCount; ++c) {
        const int width = std::max(cells.horizontalAdvance(QString::fromUtf8(WidestTexts[c])),
                              titles.horizontalAdvance(
                                  m_model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString())
                                  + arrow)
            + padding;
        header->resizeSection(c, width);
        total += width;
    }
    // The names take what is left; a longer one is elided, whole in its tooltip.
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(UpcomingPassesModel::Satellite, QHeaderView::Stretch);
    header->setStretchLastSection(false);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * m_table->frameWidth();
    const int scrollBar = m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    m_table->setMinimumWidth(total + frame + scrollBar);
}

void UpcomingPassesDock::showEvent(QShowEvent* event)
{
    QDockWidget::showEvent(event);
    m_model.Refresh();
    SetNow(m_now);
}

} // namespace aostrack
