#include "ui/UpdateWindow.h"

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
                           std::function<QString()> tleFilePath,
                           std::unique_ptr<PageFetcher> fetcher, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_tleFilePath(std::move(tleFilePath))
    , m_serverBase(serverBase)
    , m_archiveBase(archiveBase)
    , m_update(std::move(fetcher))
    , m_check1(new QCheckBox(serverBase, this))
    , m_check2(new QCheckBox(archiveBase, this))
    , m_command1(new QPushButton(QStringLiteral("Update"), this))
    , m_text1(new QPlainTextEdit(this))
    , m_text2(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("TLE Update"));
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check2->setObjectName(QStringLiteral("Check2"));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text2->setObjectName(QStringLiteral("Text2"));
    // The public server carries the amateur, cubesat and new-launch files most
    // stations want; the archive is the extra the operator asks for.
    m_check1->setChecked(true);
    m_check2->setChecked(false);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    for (QPlainTextEdit* box : { m_text1, m_text2 }) {
        box->setReadOnly(true);
        box->setFont(fixed);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    m_text2->setMaximumBlockCount(500);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_check1);
    layout->addWidget(m_check2);
    layout->addWidget(m_command1, 0, Qt::AlignLeft);
    layout->addWidget(m_text1, 3);
    layout->addWidget(m_text2, 1);
    resize(640, 520);

    connect(m_command1, &QPushButton::clicked, this, &UpdateWindow::Command1_Click);
    connect(&m_update, &ElementUpdate::started, this, [this] {
        m_text2->clear();
        m_command1->setEnabled(false);
    });
    connect(&m_update, &ElementUpdate::progressLine, m_text2, &QPlainTextEdit::appendPlainText);
    connect(&m_update, &ElementUpdate::collectedTextChanged, m_text1, &QPlainTextEdit::setPlainText);
    connect(&m_update, &ElementUpdate::finished, this, [this](bool replaced) {
        m_command1->setEnabled(true);
        emit updateFinished(replaced);
    });
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
    request.UseServer = m_check1->isChecked();
    request.UseArchive = m_check2->isChecked();
    m_update.Start(request);
}

void UpdateWindow::closeEvent(QCloseEvent* event)
{
    // A page still loading is dropped; the TLE file is only ever replaced in
    // one step at the end, so it stays the old one.
    m_update.Abort();
    event->accept();
    emit catalogueReloadRequested();
}

void BindElementUpdate(QWidget& mainWindow, const QString& serverBase, const QString& archiveBase,
                       std::function<QString()> tleFilePath, std::function<void()> reloadCatalogue)
{
    auto* action = mainWindow.findChild<QAction*>(QStringLiteral("MnuInternetUpdate"));
    if (!action)
        return;
    auto window = std::make_shared<QPointer<UpdateWindow>>();
    QObject::connect(action, &QAction::triggered, &mainWindow,
                     [&mainWindow, serverBase, archiveBase, tleFilePath, reloadCatalogue, window] {
                         if (!*window) {
                             auto* form4 = new UpdateWindow(serverBase, archiveBase, tleFilePath,
                                                            nullptr, &mainWindow);
                             form4->setAttribute(Qt::WA_DeleteOnClose);
                             QObject::connect(form4, &UpdateWindow::catalogueReloadRequested,
                                              &mainWindow, reloadCatalogue);
                             *window = form4;
                         }
                         (*window)->show();
                         (*window)->raise();
                         (*window)->activateWindow();
                     });
}

} // namespace aostrack
