#include "ui/TrackerView.h"

#include "core/Tracker.h"
#include "ui/MainWindow.h"
#include "ui/PassPlot.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

namespace aostrack {

namespace {

const QColor AboveHorizonGreen(0, 255, 0);
const QColor PanelGrey(224, 224, 224);
const QColor CountdownUpGreen(0, 128, 0);

template <typename T> T* Child(MainWindow& window, const char* name)
{
    return window.findChild<T*>(QLatin1String(name));
}

void SetText(QLineEdit* box, const QString& text)
{
    if (!box || box->text() == text)
        return;
    box->setText(text);
    // A squeezed box shows the start of its text (the value), not the end.
    box->setCursorPosition(0);
}

void SetBackground(QLineEdit* box, const QColor& colour)
{
    if (!box || box->palette().color(QPalette::Base) == colour)
        return;
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

void ShowPanel(MainWindow& window, const DataPanelTexts& texts)
{
    for (const auto& [index, text] : texts.Text1Fields())
        SetText(window.Field(index), text);
    const QColor elevationColour = texts.AboveHorizon ? AboveHorizonGreen : PanelGrey;
    SetBackground(window.Field(2), elevationColour);
    SetBackground(window.Field(3), elevationColour);
    SetText(Child<QLineEdit>(window, "Text2"), texts.CentreFreq);
    if (auto* age = Child<QLabel>(window, "Label15"))
        age->setText(texts.TleAge);
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

void ShowPass(PassPlot* plot, const PassPlotData& pass)
{
    plot->DrawPassPlot(pass.DurationSeconds(), pass.Elevations);
}

} // namespace

void BindTracker(Tracker& tracker, MainWindow& window)
{
    auto* satellites = Child<QComboBox>(window, "Combo1");
    auto* line1 = Child<QLabel>(window, "Label1_0");
    auto* line2 = Child<QLabel>(window, "Label1_1");
    auto* qth = Child<QLabel>(window, "Label5");
    auto* countdown = Child<QLabel>(window, "Label8");
    auto* passes = Child<QListWidget>(window, "List1");
    auto* tuned = Child<QLineEdit>(window, "Text3");
    auto* offset = Child<QLineEdit>(window, "Text4");
    PassPlot* plot = window.Plot();

    QObject::connect(&tracker, &Tracker::satelliteListChanged, satellites,
        [satellites](const QStringList& names, int selected) {
            ShowSatelliteList(satellites, names, selected);
        });
    QObject::connect(satellites, &QComboBox::activated, &tracker, &Tracker::ChooseSatellite);
    QObject::connect(&tracker, &Tracker::elementLinesChanged, &window,
        [line1, line2](const QString& a, const QString& b) {
            line1->setText(a);
            line2->setText(b);
        });
    QObject::connect(&tracker, &Tracker::qthTextChanged, qth, &QLabel::setText);
    QObject::connect(&tracker, &Tracker::frequencyTextsChanged, &window,
        [tuned, offset](const QString& t3, const QString& t4) {
            SetText(tuned, t3);
            SetText(offset, t4);
        });
    QObject::connect(&tracker, &Tracker::panelChanged, &window,
        [&window](const DataPanelTexts& texts) { ShowPanel(window, texts); });
    QObject::connect(&tracker, &Tracker::countdownChanged, countdown,
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
    QObject::connect(&tracker, &Tracker::passChanged, plot,
        [plot](const PassPlotData& pass) { ShowPass(plot, pass); });
    QObject::connect(&tracker, &Tracker::plotMark, plot, &PassPlot::AddMark);
    QObject::connect(
        &tracker, &Tracker::passListChanged, passes, [passes](const QStringList& lines) {
            passes->clear();
            passes->addItems(lines);
        });
    QObject::connect(&tracker, &Tracker::busyChanged, &window, &MainWindow::SetBusy);

    QObject::connect(&window, &MainWindow::elementFileChosen, &tracker,
        [&tracker](const QString& path) { tracker.OpenElementFile(path); });
    QObject::connect(&window, &MainWindow::mainWindowClosing, &tracker, &Tracker::Stop);

    // Whatever the tracker knows already (a window bound after start-up).
    if (!tracker.SatelliteNames().isEmpty()) {
        ShowSatelliteList(satellites, tracker.SatelliteNames(), tracker.SelectedIndex());
        line1->setText(tracker.ElementLine1());
        line2->setText(tracker.ElementLine2());
        ShowPass(plot, tracker.Plot());
        passes->clear();
        passes->addItems(tracker.PassListLines());
    }
}

void ApplyStartupSettings(const Configuration& config, MainWindow& window)
{
    if (config.RotorPortSettings) {
        if (auto* rotor = Child<QMenu>(window, "MnuRotor")) {
            rotor->setEnabled(true);
            rotor->menuAction()->setEnabled(true);
        }
        if (auto* park = Child<QPushButton>(window, "Command2"))
            park->setEnabled(true);
    }
    if (config.AutoPark) {
        if (auto* mode = Child<QLabel>(window, "Label9"))
            mode->setText(*config.AutoPark ? QStringLiteral("AUTO") : QStringLiteral("MAN"));
    }
}

} // namespace aostrack
