#include "ui/MainWindowControls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <initializer_list>
#include <utility>

namespace aostrack {

namespace {

void SetNames(std::initializer_list<std::pair<QObject*, const char*>> names)
{
    for (const auto& [control, name] : names)
        control->setObjectName(QLatin1String(name));
}

// The data panel: the value is Text1_<index>, its caption Label2_<index>.
void NamePanel(const DataPanelFields& p)
{
    const std::pair<const PanelField*, int> panel[] = {
        { &p.Time, 0 },
        { &p.MaValue, 1 },
        { &p.Azimuth, 2 },
        { &p.Elevation, 3 },
        { &p.SatLong, 4 },
        { &p.SatLat, 5 },
        { &p.Distance, 6 },
        { &p.Height, 7 },
        { &p.OrbitNumber, 8 },
        { &p.SunAngle, 9 },
        { &p.Illumination, 10 },
        { &p.Loss, 21 },
        { &p.DopplerShift, 22 },
        { &p.Info, 25 },
        { &p.Date, 28 },
        { &p.Epoch, 29 },
    };
    for (const auto& [field, index] : panel) {
        field->Value->setObjectName(QStringLiteral("Text1_%1").arg(index));
        if (field->Caption)
            field->Caption->setObjectName(QStringLiteral("Label2_%1").arg(index));
    }
    SetNames({ { p.TleAge, "Label15" }, { p.TleUpdateHint, "TleUpdateHint" },
        { p.OrbitModel, "LabelOrbitModel" } });
}

void NameFrequencyFrame(const FrequencyControls& f)
{
    SetNames({
        { f.Frame, "Frame6" },
        { f.Track, "Check2" },
        { f.ReceiverName, "Label4" },
        { f.CentreCaption, "Text2Caption" },
        { f.CentreFrequency, "Text2" },
        { f.OffsetSlider, "HScroll1" },
        { f.StepButtons[0], "Command1_0" },
        { f.StepButtons[1], "Command1_1" },
        { f.StepButtons[2], "Command1_2" },
        { f.StepButtons[3], "Command1_3" },
        { f.StepButtons[4], "Command1_4" },
        { f.StepButtons[5], "Command1_5" },
        { f.StepButtons[6], "Command1_6" },
        { f.TunedCaption, "Label3" },
        { f.TunedFrequency, "Text3" },
        { f.OffsetCaption, "Label6" },
        { f.Offset, "Text4" },
        { f.RowNote, "Label16" },
    });
}

void NameRotorFrame(const RotorControls& r)
{
    SetNames({
        { r.Frame, "Frame4" },
        { r.Park, "Command2" },
        { r.Status, "Label7" },
        { r.ParkMode, "Label9" },
        { r.Position, "RotorPosition" },
        { r.Lamp, "Shape1" },
        // A menu and the entry that opens it in the menu bar share the name.
        { r.Menu, "MnuRotor" },
        { r.Menu->menuAction(), "MnuRotor" },
        { r.EasyComm, "Mnu_FD_ST1" },
    });
}

void NameMenus(const MenuControls& m)
{
    SetNames({
        { m.File, "MenuFile" },
        { m.File->menuAction(), "MenuFile" },
        { m.OpenElementFile, "MenuFileOpen" },
        { m.Exit, "MenuFileExit" },
        { m.Tle, "MnuTle" },
        { m.Tle->menuAction(), "MnuTle" },
        { m.InternetUpdate, "MnuInternetUpdate" },
        { m.Frequency, "MnuCAT" },
        { m.Scan, "MnuScan" },
        { m.Info, "MnuInfo" },
        { m.OrbitModel, "MnuOrbitModel" },
        { m.OrbitModel->menuAction(), "MnuOrbitModel" },
        { m.Plan13, "MnuOrbitModelPlan13" },
        { m.Sgp4, "MnuOrbitModelSgp4" },
    });
}

} // namespace

// The pass plot names itself (Picture1): it is also used on its own.
void NameControls(const MainWindowControls& c)
{
    NamePanel(c.Panel);
    SetNames({
        { c.Satellites, "Combo1" },
        { c.Qth, "Label5" },
        { c.ElementLines[0], "Label1_0" },
        { c.ElementLines[1], "Label1_1" },
        { c.SatelliteFrame, "Frame1" },
        { c.Countdown, "Label8" },
        { c.ElevationFrame, "Frame2" },
        { c.PassDuration, "Label19" },
        { c.PassListFrame, "Frame3" },
        { c.PassList, "List1" },
        { c.EventLog, "List2" },
        { c.Credit, "Text5" },
    });
    NameFrequencyFrame(c.Frequency);
    NameRotorFrame(c.Rotor);
    NameMenus(c.Menus);
}

} // namespace aostrack
