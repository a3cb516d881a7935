#include "ui/UpdateWindow.h"

#include "ui/MainWindow.h"

#include "core/EventLog.h"
#include "update/FileRename.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace aostrack {

UpdateWindow::UpdateWindow(const QString& serverBase, const QString& archiveBase,
    std::function<QString()> tleFilePath, std::unique_ptr<PageFetcher> fetcher, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_tleFilePath(std::move(tleFilePath))
    , m_serverBase(serverBase)
    , m_archiveBase(archiveBase)
    , m_update(std::move(fetcher))
    , m_useServer(new QCheckBox(serverBase, this))
    , m_useArchive(new QCheckBox(archiveBase, this))
    , m_force(new QCheckBox(QStringLiteral("fetch anyway"), this))
    , m_useTransmitters(new QCheckBox(QStringLiteral("Transmitters (SatNOGS DB)"), this))
    , m_updateButton(new QPushButton(QStringLiteral("Update"), this))
    , m_collectedText(new QPlainTextEdit(this))
    , m_progress(new QPlainTextEdit(this))
{
    NameWidgets();
    LayOut();
    ConnectUpdate();
}

void UpdateWindow::NameWidgets()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("TLE Update"));
    m_useServer->setObjectName(QStringLiteral("Check1"));
    m_useArchive->setObjectName(QStringLiteral("Check2"));
    m_force->setObjectName(QStringLiteral("Check3"));
    m_useTransmitters->setObjectName(QStringLiteral("Check4"));
    m_useTransmitters->setEnabled(false);
    m_force->setToolTip(
        QStringLiteral("Ask the server even when the file was fetched less than two hours ago"));
    m_updateButton->setObjectName(QStringLiteral("Command1"));
    m_collectedText->setObjectName(QStringLiteral("Text1"));
    m_progress->setObjectName(QStringLiteral("Text2"));
    // The public server carries the amateur, cubesat and new-launch files most
    // stations want; the archive is the extra the operator asks for.
    m_useServer->setChecked(true);
    m_useArchive->setChecked(false);
}

void UpdateWindow::LayOut()
{
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QPlainTextEdit* box : { m_collectedText, m_progress }) {
        box->setReadOnly(true);
        box->setFont(fixed);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    m_progress->setMaximumBlockCount(500);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_useServer);
    layout->addWidget(m_useArchive);
    layout->addWidget(m_force);
    layout->addWidget(m_useTransmitters);
    layout->addWidget(m_updateButton, 0, Qt::AlignLeft);
    layout->addWidget(m_collectedText, 3);
    layout->addWidget(m_progress, 1);
    resize(640, 520);
}

void UpdateWindow::ConnectUpdate()
{
    connect(m_updateButton, &QPushButton::clicked, this, &UpdateWindow::Command1_Click);
    connect(&m_update, &ElementUpdate::started, this, [this] {
        m_progress->clear();
        m_updateButton->setEnabled(false);
    });
    connect(&m_update, &ElementUpdate::progressLine, m_progress, &QPlainTextEdit::appendPlainText);
    connect(&m_update, &ElementUpdate::collectedTextChanged, m_collectedText,
        &QPlainTextEdit::setPlainText);
    connect(&m_update, &ElementUpdate::finished, this, [this](bool ok) {
        emit updateFinished(ok, m_update.Verdict());
        if (m_transmittersNext)
            StartTransmitters();
        else
            m_updateButton->setEnabled(true);
    });
}

void UpdateWindow::SetTransmitterSource(
    const QString& serverBase, const QString& filePath, std::unique_ptr<PageFetcher> fetcher)
{
    m_transmitterServer = serverBase;
    m_transmitterFile = filePath;
    m_transmitters = std::make_unique<TransmitterUpdate>(std::move(fetcher));
    m_useTransmitters->setEnabled(!filePath.isEmpty());
    m_useTransmitters->setToolTip(
        TransmitterListUrl(serverBase) + QStringLiteral(" → ") + filePath);
    connect(m_transmitters.get(), &TransmitterUpdate::progressLine, m_progress,
        &QPlainTextEdit::appendPlainText);
    connect(m_transmitters.get(), &TransmitterUpdate::finished, this, [this](bool ok) {
        m_updateButton->setEnabled(true);
        emit updateFinished(ok, QStringLiteral("transmitters: ") + m_transmitters->Verdict());
    });
}

void UpdateWindow::StartTransmitters()
{
    m_transmittersNext = false;
    m_updateButton->setEnabled(false);
    m_transmitters->Start(m_transmitterFile, m_transmitterServer);
}

bool UpdateWindow::FileRename(const QString& originalName, const QString& newName, bool overWrite)
{
    return aostrack::FileRename(originalName, newName, overWrite);
}

void UpdateWindow::Command1_Click()
{
    UpdateRequest request;
    request.TleFilePath = m_tleFilePath ? m_tleFilePath() : QString();
    request.ServerBase = m_serverBase;
    request.ArchiveBase = m_archiveBase;
    request.UseServer = m_useServer->isChecked();
    request.UseArchive = m_useArchive->isChecked();
    request.LegacyPaths = m_legacyPaths;
    request.Force = m_force->isChecked();
    m_transmittersNext
        = m_transmitters && m_useTransmitters->isEnabled() && m_useTransmitters->isChecked();
    if (m_transmittersNext && !request.UseServer && !request.UseArchive) {
        m_progress->clear();
        StartTransmitters();
        return;
    }
    m_update.Start(request);
}

void UpdateWindow::closeEvent(QCloseEvent* event)
{
    // A page still loading is dropped; the TLE file is only ever replaced in
    // one step at the end, so it stays the old one.
    m_transmittersNext = false;
    m_update.Abort();
    if (m_transmitters)
        m_transmitters->Abort();
    event->accept();
    emit catalogueReloadRequested();
}

void BindElementUpdate(MainWindow& mainWindow, const QString& serverBase,
    const QString& archiveBase, std::function<QString()> tleFilePath,
    std::function<void()> reloadCatalogue, EventLog* log, bool legacyPaths,
    const TransmitterSource& transmitters)
{
    QAction* action = mainWindow.Controls().Menus.InternetUpdate;
    auto window = std::make_shared<QPointer<UpdateWindow>>();
    QObject::connect(action, &QAction::triggered, &mainWindow,
        [&mainWindow, serverBase, archiveBase, tleFilePath, reloadCatalogue, log, legacyPaths,
            transmitters, window] {
            if (!*window) {
                auto* updateWindow
                    = new UpdateWindow(serverBase, archiveBase, tleFilePath, nullptr, &mainWindow);
                updateWindow->setAttribute(Qt::WA_DeleteOnClose);
                updateWindow->SetLegacyPaths(legacyPaths);
                updateWindow->SetTransmitterSource(transmitters.ServerBase, transmitters.FilePath);
                if (log)
                    QObject::connect(updateWindow, &UpdateWindow::updateFinished, &mainWindow,
                        [log](bool, const QString& verdict) {
                            log->LogEvent(QStringLiteral(": TLE update: ") + verdict, true);
                        });
                QObject::connect(updateWindow, &UpdateWindow::catalogueReloadRequested, &mainWindow,
                    reloadCatalogue);
                *window = updateWindow;
            }
            (*window)->show();
            (*window)->raise();
            (*window)->activateWindow();
        });
}

} // namespace aostrack
