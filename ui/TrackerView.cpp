#include "ui/TrackerView.h"

#include "core/TrackingSession.h"
#include "core/TrackingTexts.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowControls.h"
#include "ui/PanelColours.h"
#include "ui/PassPlot.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

namespace aostrack {

namespace {

const QColor CountdownUpGreen(0, 128, 0);

void SetText(QLineEdit* box, const QString& text)
{
    if (box->text() == text)
        return;
    box->setText(text);
    // A squeezed box shows the start of its text (the value), not the end.
    box->setCursorPosition(0);
}

void SetBackground(QLineEdit* box, const QColor& colour)
{
    if (box->palette().color(QPalette::Base) == colour)
        return;
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

void ShowPanel(const MainWindowControls& controls, const DataPanelTexts& texts)
{
    const DataPanelFields& f = controls.Panel;
    const std::pair<const PanelField&, const QString&> fields[] = {
        { f.Time, texts.Time },
        { f.MaValue, texts.MaValue },
        { f.Azimuth, texts.Azimuth },
        { f.Elevation, texts.Elevation },
        { f.SatLong, texts.SatLong },
        { f.SatLat, texts.SatLat },
        { f.Distance, texts.Distance },
        { f.Height, texts.Height },
        { f.OrbitNumber, texts.OrbitNumber },
        { f.SunAngle, texts.SunAngle },
        { f.Illumination, texts.Illumination },
        { f.Loss, texts.Loss },
        { f.DopplerShift, texts.DopplerShift },
        { f.Info, texts.Info },
        { f.Date, texts.Date },
        { f.Epoch, texts.Epoch },
    };
    for (const auto& [field, text] : fields)
        SetText(field.Value, text);
    const QColor elevationColour = texts.AboveHorizon ? AboveHorizonGreen : PanelGrey;
    SetBackground(f.Azimuth.Value, elevationColour);
    SetBackground(f.Elevation.Value, elevationColour);
    SetText(controls.Frequency.CentreFrequency, texts.CentreFreq);
    f.TleAge->setText(texts.TleAge);
    // Red while the sets are too old, with the menu that fetches new ones.
    QPalette agePalette = f.TleAge->palette();
    agePalette.setColor(QPalette::WindowText,
        texts.TleTooOld ? TooOldRed
                        : f.TleAge->parentWidget()->palette().color(QPalette::WindowText));
    f.TleAge->setPalette(agePalette);
    f.TleUpdateHint->setVisible(texts.TleTooOld);
}

void ShowSatelliteList(QComboBox* satellites, const QStringList& names, int selected)
{
    // Filling the list is not a choice of the operator: no choice flow here,
    // the tracker has run it already.
    const QSignalBlocker blocker(satellites);
    satellites->clear();
    satellites->addItems(names);
    satellites->setCurrentIndex(selected);
}

void ShowOrbitModel(const MainWindowControls& controls, const QString& name)
{
    controls.Panel.OrbitModel->setText(QStringLiteral("Orbit model: ") + name);
    const MenuControls& menus = controls.Menus;
    (name == QLatin1String("SGP4") ? menus.Sgp4 : menus.Plan13)->setChecked(true);
}

void ShowPass(PassPlot* plot, const PassPlotData& pass)
{
    plot->DrawPassPlot(pass.DurationSeconds(), pass.Elevations);
}

void ShowLines(QListWidget* list, const QStringList& lines)
{
    list->clear();
    list->addItems(lines);
}

// Satellite list, element lines and the operator's choices of satellite,
// theory and element file.
void BindSelection(TrackingSession& tracker, MainWindow& window)
{
    const MainWindowControls& c = window.Controls();
    QComboBox* satellites = c.Satellites;
    QLabel* line1 = c.ElementLines[0];
    QLabel* line2 = c.ElementLines[1];
    QObject::connect(&tracker, &TrackingSession::satelliteListChanged, satellites,
        [satellites](const QStringList& names, int selected) {
            ShowSatelliteList(satellites, names, selected);
        });
    QObject::connect(
        satellites, &QComboBox::activated, &tracker, &TrackingSession::ChooseSatellite);
    QObject::connect(&tracker, &TrackingSession::elementLinesChanged, &window,
        [line1, line2](const QString& a, const QString& b) {
            line1->setText(a);
            line2->setText(b);
        });
    QObject::connect(&tracker, &TrackingSession::busyChanged, &window, &MainWindow::SetBusy);
    QObject::connect(&tracker, &TrackingSession::orbitModelChanged, &window,
        [&window](const QString& name) { ShowOrbitModel(window.Controls(), name); });
    QObject::connect(c.Menus.Plan13, &QAction::triggered, &tracker,
        [&tracker] { tracker.SetOrbitModel(OrbitModelKind::Plan13); });
    QObject::connect(c.Menus.Sgp4, &QAction::triggered, &tracker,
        [&tracker] { tracker.SetOrbitModel(OrbitModelKind::Sgp4); });
    ShowOrbitModel(c, QString::fromLatin1(OrbitModelName(tracker.ModelKind())));
    QObject::connect(&window, &MainWindow::elementFileChosen, &tracker,
        [&tracker](const QString& path) { tracker.OpenElementFile(path); });
    QObject::connect(&window, &MainWindow::mainWindowClosing, &tracker, &TrackingSession::Stop);
}

void BindCountdown(const TrackingSession& tracker, const TrackingTexts& texts, QLabel* countdown)
{
    QObject::connect(&texts, &TrackingTexts::countdownChanged, countdown,
        [countdown, &tracker](const QString& text) {
            countdown->setText(text);
            // Green while the satellite is up: the count runs to LOS.
            QPalette palette = countdown->palette();
            palette.setColor(QPalette::WindowText,
                tracker.State().SatElevation >= 0
                    ? CountdownUpGreen
                    : countdown->parentWidget()->palette().color(QPalette::WindowText));
            countdown->setPalette(palette);
        });
}

// Station text, frequency texts, data panel, countdown, pass plot and list.
void BindTexts(const TrackingSession& tracker, const TrackingTexts& texts, MainWindow& window)
{
    const MainWindowControls& c = window.Controls();
    QLineEdit* tuned = c.Frequency.TunedFrequency;
    QLineEdit* offset = c.Frequency.Offset;
    QListWidget* passes = c.PassList;
    PassPlot* plot = c.Plot;
    QObject::connect(&texts, &TrackingTexts::qthTextChanged, c.Qth, &QLabel::setText);
    QObject::connect(&texts, &TrackingTexts::frequencyTextsChanged, &window,
        [tuned, offset](const QString& tunedText, const QString& offsetText) {
            SetText(tuned, tunedText);
            SetText(offset, offsetText);
        });
    QObject::connect(&texts, &TrackingTexts::panelChanged, &window,
        [&window](const DataPanelTexts& panel) { ShowPanel(window.Controls(), panel); });
    BindCountdown(tracker, texts, c.Countdown);
    QObject::connect(&texts, &TrackingTexts::passChanged, plot,
        [plot](const PassPlotData& pass) { ShowPass(plot, pass); });
    QObject::connect(&tracker, &TrackingSession::plotMark, plot, &PassPlot::AddMark);
    QObject::connect(&texts, &TrackingTexts::passListChanged, passes,
        [passes](const QStringList& lines) { ShowLines(passes, lines); });
}

} // namespace

void BindTracker(TrackingSession& tracker, const TrackingTexts& texts, MainWindow& window)
{
    BindSelection(tracker, window);
    BindTexts(tracker, texts, window);
    // Whatever the tracker knows already (a window bound after start-up).
    if (!tracker.SatelliteNames().isEmpty()) {
        const MainWindowControls& c = window.Controls();
        ShowSatelliteList(c.Satellites, tracker.SatelliteNames(), tracker.SelectedIndex());
        c.ElementLines[0]->setText(tracker.ElementLine1());
        c.ElementLines[1]->setText(tracker.ElementLine2());
        ShowPass(c.Plot, texts.Plot());
        ShowLines(c.PassList, texts.PassListLines());
    }
}

} // namespace aostrack
