#include "core/TrackingTexts.h"

#include "core/NumberText.h"
#include "core/TrackingSession.h"
#include "orbit/TimeText.h"

namespace aostrack {

using std::chrono::sys_seconds;

long long PassPlotData::DurationSeconds() const
{
    if (!AosTime || !LosTime || *LosTime < *AosTime)
        return 0;
    return (*LosTime - *AosTime).count();
}

TrackingTexts::TrackingTexts(const TrackingSession& session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{
    qRegisterMetaType<DataPanelTexts>();
    qRegisterMetaType<PassPlotData>();
    connect(&session, &TrackingSession::stationChanged, this,
        [this] { emit qthTextChanged(QthText()); });
    connect(&session, &TrackingSession::frequencyLoaded, this, &TrackingTexts::ShowFrequency);
    connect(&session, &TrackingSession::stateComputed, this, &TrackingTexts::ShowState);
    connect(&session, &TrackingSession::stateRefused, this, &TrackingTexts::ShowRefusal);
    connect(&session, &TrackingSession::predictionCleared, this, &TrackingTexts::ClearPanel);
    connect(&session, &TrackingSession::countdownChanged, this, &TrackingTexts::ShowCountdown);
    connect(&session, &TrackingSession::passChanged, this, &TrackingTexts::ShowPass);
    connect(&session, &TrackingSession::passListChanged, this, &TrackingTexts::ShowPassList);
}

QString TrackingTexts::QthText() const
{
    return aostrack::QthText(m_session.Config());
}

void TrackingTexts::ShowFrequency()
{
    const FrequencyState& f = m_session.Frequency();
    emit frequencyTextsChanged(FormatPattern(f.TunedFreq, QStringLiteral("0.000")),
        FormatPattern(f.FreqOffset, QStringLiteral("0.00")));
}

void TrackingTexts::ShowState(sys_seconds now)
{
    m_panel = RefreshDataPanel(m_session.State(), m_session.CurrentElements().Epoch,
        m_session.Frequency(), now, m_panelMemory);
    emit panelChanged(m_panel);
}

void TrackingTexts::ShowRefusal(sys_seconds now)
{
    m_panel = RefusedDataPanel(
        QStringLiteral("refused by %1: %2")
            .arg(QString::fromLatin1(OrbitModelName(m_session.ModelKind())), m_session.Refusal()),
        m_session.CurrentElements().Epoch, now, m_panelMemory);
    emit panelChanged(m_panel);
}

void TrackingTexts::ClearPanel()
{
    m_panel = DataPanelTexts {};
    emit panelChanged(m_panel);
}

void TrackingTexts::ShowCountdown()
{
    const std::optional<CountdownState>& count = m_session.Countdown();
    m_countdown = count
        ? CountdownText(count->SatElevation, count->Now, m_session.AosTime(), m_session.LosTime())
        : QString();
    emit countdownChanged(m_countdown);
}

void TrackingTexts::ShowPass()
{
    const TrackedPass& pass = m_session.Pass();
    m_plot = PassPlotData { pass.AosTime, pass.LosTime, pass.Elevations, QString() };
    if (pass.AosTime && pass.LosTime && *pass.LosTime >= *pass.AosTime)
        m_plot.DurationText = FormatPattern(static_cast<double>(pass.DurationSeconds()) / 60.0,
                                  QStringLiteral("0.0"))
            + QStringLiteral(" min");
    emit passChanged(m_plot);
}

void TrackingTexts::ShowPassList()
{
    m_passLines.clear();
    for (const std::string& line : m_session.Passes().Lines)
        m_passLines << QString::fromStdString(line);
    emit passListChanged(m_passLines);
}

QString TrackingTexts::CountdownText(double satElevation, sys_seconds now,
    std::optional<sys_seconds> aosTime, std::optional<sys_seconds> losTime)
{
    const bool up = satElevation >= 0;
    const QString prefix = up ? QStringLiteral("Time to LOS: ") : QStringLiteral("Time to AOS: ");
    const std::optional<sys_seconds> target = up ? losTime : aosTime;
    if (!target)
        return prefix + QStringLiteral("--:--:--");
    return prefix
        + QString::fromStdString(FormatCountdown(static_cast<double>((*target - now).count())));
}

} // namespace aostrack
