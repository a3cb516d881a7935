#include "ui/MainWindow.h"

#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/PassPlot.h"
#include "ui/RotorBinding.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>

namespace aostrack {

namespace {
// Secondary windows that go with the main window: the about box, the
// satellite frequency window and the element-update window, so that the
// program ends when the main window closes.
constexpr const char* CompanionWindows[] = { "Form2", "Form6", "Form4" };
} // namespace

MainWindow::MainWindow(FileChooser& fileChooser, QWidget* parent)
    : QMainWindow(parent)
    , m_fileChooser(fileChooser)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("aostrack"));
    setWindowIcon(QIcon(SatellitePicture(64)));
    // Frame captions stand out from the captions of their fields.
    setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
    BuildMenus();
    BuildCentralWidget();
    NameControls(m_controls);
    // The rotor's menu and park button wait for the rotor link.
    SetRotorControlsEnabled(m_controls.Rotor, false);
    FitToScreen();
}

QSize MainWindow::RoomOnScreen() const
{
    // Room for the title bar and borders the window manager adds around us.
    const QSize frame(16, 48);
    return screen()->availableGeometry().size() - frame;
}

void MainWindow::FitToScreen()
{
    // Controls shown while the window is hidden (the transceiver's) count in
    // its minimum only once the layouts above them are asked again; the
    // style sheet's fonts first.
    ensurePolished();
    for (QWidget* child : findChildren<QWidget*>())
        child->updateGeometry();
    resize(QSize(1280, 800).boundedTo(RoomOnScreen()).expandedTo(minimumSizeHint()));
    if (isVisible())
        KeepFrameOnScreen();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The layout enlarges the window to its minimum when controls appear or
    // texts lengthen, wherever the window manager put it; a size the user
    // dragged is left alone.
    const QSize grown = event->size() - event->oldSize();
    const bool forced = (grown.height() > 0 && height() == minimumHeight())
        || (grown.width() > 0 && width() == minimumWidth());
    if (forced && isVisible())
        QMetaObject::invokeMethod(this, &MainWindow::KeepFrameOnScreen, Qt::QueuedConnection);
}

void MainWindow::KeepFrameOnScreen()
{
    const QRect area = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QSize margins = frame.size() - size();
    const QSize fitted = size().boundedTo(area.size() - margins).expandedTo(minimumSize());
    if (fitted != size())
        resize(fitted);
    // Taller or wider than the area: the title bar and the left edge stay.
    const QSize outer = fitted + margins;
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - outer.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - outer.height()));
    if (QPoint(x, y) != frame.topLeft())
        move(x, y);
}

MainWindow::~MainWindow()
{
    if (m_busyDepth > 0)
        QApplication::restoreOverrideCursor();
}

void MainWindow::BuildMenus()
{
    MenuControls& menus = m_controls.Menus;
    menus.File = menuBar()->addMenu(QStringLiteral("File"));
    menus.OpenElementFile = menus.File->addAction(QStringLiteral("Open Kep File"));
    menus.OpenElementFile->setShortcut(QKeySequence::Open);
    connect(menus.OpenElementFile, &QAction::triggered, this, &MainWindow::OpenElementFile);
    menus.Exit = menus.File->addAction(QStringLiteral("Exit"));
    connect(menus.Exit, &QAction::triggered, this, &MainWindow::CloseMainWindow);

    menus.Tle = menuBar()->addMenu(QStringLiteral("TLE"));
    // The element-update layer connects to this action and shows its window.
    menus.InternetUpdate = menus.Tle->addAction(QStringLiteral("Internet Update "));

    RotorControls& rotor = m_controls.Rotor;
    rotor.Menu = menuBar()->addMenu(QStringLiteral("Rotor"));
    rotor.EasyComm = rotor.Menu->addAction(QStringLiteral("EasyComm"));
    rotor.EasyComm->setCheckable(true);
    rotor.EasyComm->setChecked(false);

    // The theory that predicts, one of two; the tracker says which runs.
    menus.OrbitModel = menuBar()->addMenu(QStringLiteral("Orbit model"));
    auto* models = new QActionGroup(menus.OrbitModel);
    models->setExclusive(true);
    menus.Plan13 = menus.OrbitModel->addAction(QStringLiteral("Plan13"));
    menus.Sgp4 = menus.OrbitModel->addAction(QStringLiteral("SGP4"));
    for (QAction* choice : { menus.Plan13, menus.Sgp4 }) {
        choice->setCheckable(true);
        models->addAction(choice);
    }
    menus.Plan13->setChecked(true);

    // Menu-bar entries without items act when clicked, so they are actions.
    menus.Frequency = menuBar()->addAction(QStringLiteral("Frequency"));
    menus.Scan = menuBar()->addAction(QStringLiteral("Scan"));
    menus.Scan->setEnabled(false);
    menus.Info = menuBar()->addAction(QStringLiteral("Info"));
    connect(menus.Info, &QAction::triggered, this, &MainWindow::ShowAboutBox);
}

AboutBox* MainWindow::About() const
{
    return m_about.data();
}

void MainWindow::OpenElementFile()
{
    const QString path = m_fileChooser.ChooseFile(this, QStringLiteral("Open Kep File"),
        QStringLiteral("TLE Files (*.txt);;All Files (*.*)"));
    if (path.isEmpty())
        return;
    emit elementFileChosen(path);
}

void MainWindow::CloseMainWindow()
{
    close();
}

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
