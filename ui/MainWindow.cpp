#include "ui/MainWindow.h"

#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/PassPlot.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace aostrack {

namespace {
// Secondary windows that go with the main window: the about box, the
// satellite frequency window and the element-update window, so that the
// program ends when the main window closes.
constexpr const char* CompanionWindows[] = {"Form2", "Form6", "Form4"};
} // namespace

MainWindow::MainWindow(FileChooser& fileChooser, QWidget* parent)
    : QMainWindow(parent), m_fileChooser(fileChooser)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("aostrack"));
    setWindowIcon(QIcon(SatellitePicture(64)));
    // Frame captions stand out from the captions of their fields.
    setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
    BuildMenus();
    BuildCentralWidget();
    resize(1280, 800);
}

MainWindow::~MainWindow()
{
    if (m_busyDepth > 0)
        QApplication::restoreOverrideCursor();
}

void MainWindow::BuildMenus()
{
    auto named = [](QObject* object, const char* name) {
        object->setObjectName(QLatin1String(name));
        return object;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    named(file, "MenuFile");
    named(file->menuAction(), "MenuFile");
    QAction* open = file->addAction(QStringLiteral("Open Kep File"));
    named(open, "MenuFileOpen");
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &MainWindow::OpenElementFile);
    QAction* exit = file->addAction(QStringLiteral("Exit"));
    named(exit, "MenuFileExit");
    connect(exit, &QAction::triggered, this, &MainWindow::CloseMainWindow);

    QMenu* tle = menuBar()->addMenu(QStringLiteral("TLE"));
    named(tle, "MnuTle");
    named(tle->menuAction(), "MnuTle");
    // The element-update layer connects to this action and shows its window.
    named(tle->addAction(QStringLiteral("Internet Update ")), "MnuInternetUpdate");

    QMenu* rotor = menuBar()->addMenu(QStringLiteral("Rotor"));
    named(rotor, "MnuRotor");
    named(rotor->menuAction(), "MnuRotor");
    // Enabled by start-up once sat.ini names the rotor's line settings.
    rotor->menuAction()->setEnabled(false);
    rotor->setEnabled(false);
    QAction* easyComm = rotor->addAction(QStringLiteral("EasyComm"));
    named(easyComm, "Mnu_FD_ST1");
    easyComm->setCheckable(true);
    easyComm->setChecked(false);

    // The theory that predicts, one of two; the tracker says which runs.
    QMenu* model = menuBar()->addMenu(QStringLiteral("Orbit model"));
    named(model, "MnuOrbitModel");
    named(model->menuAction(), "MnuOrbitModel");
    auto* models = new QActionGroup(model);
    models->setExclusive(true);
    QAction* plan13 = model->addAction(QStringLiteral("Plan13"));
    named(plan13, "MnuOrbitModelPlan13");
    QAction* sgp4 = model->addAction(QStringLiteral("SGP4"));
    named(sgp4, "MnuOrbitModelSgp4");
    for (QAction* choice : { plan13, sgp4 }) {
        choice->setCheckable(true);
        models->addAction(choice);
    }
    plan13->setChecked(true);

    // Menu-bar entries without items act when clicked, so they are actions.
    named(menuBar()->addAction(QStringLiteral("Frequency")), "MnuCAT");
    QAction* scan = menuBar()->addAction(QStringLiteral("Scan"));
    named(scan, "MnuScan");
    scan->setEnabled(false);
    QAction* info = menuBar()->addAction(QStringLiteral("Info"));
    named(info, "MnuInfo");
    connect(info, &QAction::triggered, this, &MainWindow::ShowAboutBox);
}

AboutBox* MainWindow::About() const { return m_about.data(); }

QLineEdit* MainWindow::Field(int index) const
{
    return findChild<QLineEdit*>(QStringLiteral("Text1_%1").arg(index));
}

void MainWindow::OpenElementFile()
{
    const QString path = m_fileChooser.ChooseFile(this, QStringLiteral("Open Kep File"),
            QStringLiteral("TLE Files (*.txt);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    emit elementFileChosen(path);
}

void MainWindow::CloseMainWindow() { close(); }

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        m_closing = true;
        // The companions first: the element-update window reloads the
        // catalogue as it closes, which may restart the tracker's timer.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            for (const char* name : CompanionWindows) {
                if (window != this && window->objectName() == QLatin1String(name))
                    window->close();
            }
        }
        if (m_about)
            m_about->close();
        emit mainWindowClosing();
    }
    event->accept();
}

void MainWindow::ShowAboutBox()
{
    if (!m_about) {
        m_about = new AboutBox(this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::SetBusy(bool busy)
{
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        if (--m_busyDepth == 0)
            QApplication::restoreOverrideCursor();
    }
}

} // namespace aostrack
