#pragma once
// The dockable table "Upcoming passes" ("UpcomingPasses"): every satellite's
// passes of the next 24 hours from the overview, sortable by any column,
// filtered by name, passes in progress highlighted with the time to their
// LOS, the others with the time to their AOS. Double-clicking a row asks for
// that satellite (satelliteChosen); the binding hands it on the way a choice
// in Combo1 goes. The tick box "AOS alarm" ("AlarmAos") and the minutes
// before AOS ("AlarmMinutes") sit above the table.
#include "core/PassOverview.h"

#include <QAbstractTableModel>
#include <QDockWidget>
#include <QSortFilterProxyModel>
#include <chrono>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;

namespace aostrack {

// The rows as a table; times UTC.
class UpcomingPassesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Satellite,
        Aos,
        Los,
        MaxElevation,
        AosAzimuth,
        LosAzimuth,
        Countdown,
        ColumnCount
    };
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int InProgressRole = Qt::UserRole + 1;
    static constexpr int IndexRole = Qt::UserRole + 2; // the satellite's list position
    static constexpr int EndedRole = Qt::UserRole + 3;

    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(std::vector<OverviewRow> rows);
    // The clock's second: countdowns and highlights follow it.
    void SetNow(std::chrono::sys_seconds now);
    // The second without telling any view (nobody looks); Refresh tells
    // them once that every cell may have changed.
    void SetNowQuietly(std::chrono::sys_seconds now) { m_now = now; }
    void Refresh();
    // Passes whose LOS has come by now.
    int EndedCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<OverviewRow> m_rows;
    std::chrono::sys_seconds m_now {};
};

// Hides passes that have ended and rows whose name lacks the filter text.
class UpcomingPassesFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetNameFilter(const QString& text);
    void Refilter() { invalidateFilter(); }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_name;
};

class UpcomingPassesDock : public QDockWidget {
    Q_OBJECT
public:
    explicit UpcomingPassesDock(QWidget* parent = nullptr);

    void ShowRows(const std::vector<OverviewRow>& rows, const QStringList& alwaysInView,
        const QStringList& neverInView, bool computing);
    void ShowComputing(bool computing);
    // The clock's second; kept without work while the dock is hidden.
    void SetNow(std::chrono::sys_seconds now);

    QTableView* Table() const { return m_table; }
    QCheckBox* AlarmBox() const { return m_alarm; }
    QSpinBox* AlarmMinutes() const { return m_minutes; }
    UpcomingPassesModel& Model() { return m_model; }
    UpcomingPassesFilter& Filter() { return m_filter; }

signals:
    void satelliteChosen(int index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Every column as wide as its longest text, once; the table asks for
    // their sum, so that no column is cut wherever the dock stands.
    void SizeColumns();

    UpcomingPassesModel m_model;
    UpcomingPassesFilter m_filter;
    QTableView* m_table = nullptr;
    QLineEdit* m_filterBox = nullptr;
    QCheckBox* m_alarm = nullptr;
    QSpinBox* m_minutes = nullptr;
    QLabel* m_status = nullptr;
    int m_ended = -1;
    bool m_sorted = false; // the rows shown have been sorted
    std::chrono::sys_seconds m_now {};
};

} // namespace aostrack
