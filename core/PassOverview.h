#pragma once
// The "Upcoming passes" overview: every satellite of the catalogue over the
// station for the next 24 hours, worked out on other threads so that the
// tick never waits, and worked out again when the catalogue, the station or
// the hour changes. Also the sky track of the tracked pass for the polar
// plot. The window shows what these carry; nothing here draws.
#include "orbit/ElementSet.h"
#include "orbit/Station.h"
#include "passes/UpcomingPasses.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <chrono>
#include <optional>
#include <vector>

namespace aostrack {

class Clock;

// One row of the overview.
struct OverviewRow {
    int Index = 0; // list position of the satellite (Combo1's index, record - 1)
    QString Name;
    UpcomingPass Pass;
    bool operator==(const OverviewRow&) const = default;
};

class PassOverview : public QObject {
    Q_OBJECT
public:
    explicit PassOverview(const Clock& clock, QObject* parent = nullptr);
    ~PassOverview() override;

    // A new catalogue (or the same one loaded again): always worked out anew.
    void SetCatalogue(const SatTable& table);
    // Called every tick: starts a new computation when the station or the
    // orbit theory differs from the last one's or the UTC hour has changed
    // since it started.
    void Check(const Station& station, OrbitModelKind kind = OrbitModelKind::Plan13);

    // Rows of the last finished computation, sorted by AOS.
    const std::vector<OverviewRow>& Rows() const { return m_rows; }
    // Satellites in view for the whole window and never in view.
    const QStringList& AlwaysInView() const { return m_always; }
    const QStringList& NeverInView() const { return m_never; }
    bool Computing() const { return m_watcher.isRunning(); }
    // Start of the window of the rows shown.
    std::optional<std::chrono::sys_seconds> WindowStart() const { return m_shownStart; }

    // Blocks until the running computation (and one queued after it) has
    // been shown; for tests and for closing.
    void WaitForIdle();

signals:
    void rowsChanged();

private:
    struct Job {
        std::vector<ElementSet> Sets;
        std::vector<int> Indexes;
        QStringList Names;
        Station Where;
        OrbitModelKind Kind;
        std::chrono::sys_seconds Start;
    };
    struct Outcome {
        std::vector<OverviewRow> Rows;
        QStringList Always;
        QStringList Never;
        std::chrono::sys_seconds Start;
    };
    static Outcome Work(const Job& job);
    void Start(const Station& station, OrbitModelKind kind);
    void Finished();

    const Clock& m_clock;
    std::vector<ElementSet> m_sets;
    std::vector<int> m_indexes;
    QStringList m_names;
    bool m_catalogueChanged = false;
    std::optional<Station> m_station; // of the last computation started
    OrbitModelKind m_kind = OrbitModelKind::Plan13;
    OrbitModelKind m_queuedKind = OrbitModelKind::Plan13;
    std::optional<std::chrono::sys_seconds> m_startedHour;
    bool m_queued = false;
    std::optional<Station> m_queuedStation;
    QFutureWatcher<Outcome> m_watcher;
    std::vector<OverviewRow> m_rows;
    QStringList m_always;
    QStringList m_never;
    std::optional<std::chrono::sys_seconds> m_shownStart;
};

// The path of a pass across the sky for the polar plot, with its ends.
struct SkyPass {
    std::vector<SkyPoint> Track; // every 10 s from AOS, and the LOS
    std::optional<SkyPoint> Aos;
    std::optional<SkyPoint> Los;
    bool operator==(const SkyPass&) const = default;
};
// Empty without both times or for an element set the model refuses.
SkyPass SkyPassOf(const ElementSet& elements, const Station& station,
    std::optional<std::chrono::sys_seconds> aosTime,
    std::optional<std::chrono::sys_seconds> losTime, OrbitModelKind kind = OrbitModelKind::Plan13);

} // namespace aostrack
