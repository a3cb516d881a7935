// The "TLE Update" window (Form4) headless: controls found by name, updates
// against a loopback http.server, the main window kept running meanwhile, and
// the catalogue reloaded from the new file when the window closes.
#include "ui/UpdateWindow.h"
#include "TleFile.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include "core/EventLog.h"
#include "orbit/Tle.h"

#include "FakeClock.h"
#include "HttpFolderServer.h"
#include "UpdatePages.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono_literals;
using test::ReadAll;
using test::WriteAll;

class NoFileChooser : public FileChooser {
public:
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return {}; }
};

std::vector<std::string> CatalogueNames(const QString& path)
{
    return LoadTleFile(path.toStdString()).Table.Names();
}

class UpdateWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.Start()) << "python3 -m http.server did not start";
        test::PutSourcePages(m_server);
        WriteAll(TlePath(), test::OldTleFile);
    }
    QString TlePath() const { return m_station.filePath("amateur.txt"); }
    std::unique_ptr<UpdateWindow> MakeWindow(std::unique_ptr<PageFetcher> fetcher = nullptr)
    {
        return std::make_unique<UpdateWindow>(
            m_server.BaseUrl(), m_server.BaseUrl() + "/", [this] { return TlePath(); },
            std::move(fetcher));
    }
    static QStringList ProgressLines(const UpdateWindow& window)
    {
        return window.findChild<QPlainTextEdit*>("Text2")->toPlainText().split('\n');
    }
    static bool ClickAndWait(UpdateWindow& window)
    {
        QSignalSpy finished(&window, &UpdateWindow::updateFinished);
        window.findChild<QPushButton*>("Command1")->click();
        if (finished.isEmpty() && !finished.wait(30000))
            return false;
        return finished.first().first().toBool();
    }

    test::HttpFolderServer m_server;
    QTemporaryDir m_station;
};

TEST_F(UpdateWindowTest, ControlsByName)
{
    auto window = MakeWindow();
    EXPECT_EQ(window->objectName(), "Form4");
    EXPECT_EQ(window->windowTitle(), "TLE Update");
    auto* check1 = window->findChild<QCheckBox*>("Check1");
    auto* check2 = window->findChild<QCheckBox*>("Check2");
    auto* command1 = window->findChild<QPushButton*>("Command1");
    ASSERT_TRUE(check1 && check2 && command1);
    EXPECT_EQ(check1->text(), m_server.BaseUrl());
    EXPECT_EQ(check2->text(), m_server.BaseUrl() + "/");
    EXPECT_TRUE(check1->isChecked());
    EXPECT_FALSE(check2->isChecked());
    EXPECT_EQ(command1->text(), "Update");
    EXPECT_TRUE(command1->isEnabled());
    EXPECT_NE(window->findChild<QPlainTextEdit*>("Text1"), nullptr);
    EXPECT_NE(window->findChild<QPlainTextEdit*>("Text2"), nullptr);
}

TEST_F(UpdateWindowTest, Check1OnlyNormal)
{
    auto window = MakeWindow();
    ASSERT_TRUE(ClickAndWait(*window));
    const QString base = m_server.BaseUrl();
    EXPECT_EQ(ProgressLines(*window),
        QStringList({ "open " + base + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle", "ok",
            "open " + base + "/NORAD/elements/gp.php?GROUP=cubesat&FORMAT=tle", "ok",
            "open " + base + "/NORAD/elements/gp.php?GROUP=last-30-days&FORMAT=tle", "ok",
            "save old TLE file", "write new TLE file", "... done" }));
    EXPECT_EQ(window->findChild<QPlainTextEdit*>("Text1")->toPlainText(),
        QString::fromLatin1(test::ServerText));
    EXPECT_EQ(ReadAll(TlePath()), test::ServerText + "\r\n");
    EXPECT_EQ(ReadAll(TlePath() + "_old"), test::OldTleFile);
    EXPECT_EQ(CatalogueNames(TlePath()),
        std::vector<std::string>({ "OSCAR 7 (AO-7)", "FUNCUBE-1 (AO-73)", "ISS (ZARYA)" }));
    EXPECT_TRUE(window->findChild<QPushButton*>("Command1")->isEnabled());
}

TEST_F(UpdateWindowTest, BothBoxesAndRepeatedUpdates)
{
    auto window = MakeWindow();
    window->findChild<QCheckBox*>("Check2")->setChecked(true);
    ASSERT_TRUE(ClickAndWait(*window));
    EXPECT_EQ(CatalogueNames(TlePath()),
        std::vector<std::string>(
            { "OSCAR 7 (AO-7)", "FUNCUBE-1 (AO-73)", "ISS (ZARYA)", "Rs-44" }));
    const QByteArray afterFirst = ReadAll(TlePath());

    // Second update, archive alone: the backup is now the first update's file
    // and the progress box starts afresh.
    window->findChild<QCheckBox*>("Check1")->setChecked(false);
    ASSERT_TRUE(ClickAndWait(*window));
    EXPECT_EQ(ReadAll(TlePath() + "_old"), afterFirst);
    EXPECT_EQ(ReadAll(TlePath()), test::ArchiveText + "\r\n");
    EXPECT_EQ(ProgressLines(*window).first(),
        "open " + m_server.BaseUrl() + "/amsat/ftp/keps/current/nasa.all");
    EXPECT_EQ(ProgressLines(*window).size(), 5);
}

TEST_F(UpdateWindowTest, FetchAnywayWithinTwoHours)
{
    auto window = MakeWindow();
    ASSERT_TRUE(ClickAndWait(*window));
    const QByteArray fetched = ReadAll(TlePath());
    // At once again: the service is not asked, and that is no failure.
    ASSERT_TRUE(ClickAndWait(*window));
    ASSERT_EQ(ProgressLines(*window).size(), 1);
    EXPECT_TRUE(ProgressLines(*window)[0].startsWith("elements fetched "));
    // Ticked: asked, for sets newer than the file (the pages served are older).
    window->findChild<QCheckBox*>("Check3")->setChecked(true);
    ASSERT_TRUE(ClickAndWait(*window));
    EXPECT_EQ(ProgressLines(*window).value(0),
        "open " + m_server.BaseUrl() + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle");
    EXPECT_TRUE(ProgressLines(*window).value(1).startsWith("unchanged since "));
    EXPECT_EQ(ReadAll(TlePath()), fetched);
}

TEST_F(UpdateWindowTest, EmptyTlePathRefused)
{
    UpdateWindow window(m_server.BaseUrl(), m_server.BaseUrl(), [] { return QString(); });
    EXPECT_FALSE(ClickAndWait(window));
    EXPECT_EQ(ProgressLines(window),
        QStringList({ "no TLE file loaded: open a TLE file first, nothing updated" }));
}

TEST_F(UpdateWindowTest, UpdateDisabledWhileRunningAndTimerKeepsTicking)
{
    // A server that accepts and never answers holds the update in its wait.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort());
    UpdateWindow window(
        base, base, [this] { return TlePath(); }, std::make_unique<HttpPageFetcher>(1500ms));
    auto* command1 = window.findChild<QPushButton*>("Command1");

    int ticks = 0;
    QTimer timer1; // stands for the main window's tracking timer
    QObject::connect(&timer1, &QTimer::timeout, [&] { ++ticks; });
    timer1.start(50);

    QSignalSpy finished(&window, &UpdateWindow::updateFinished);
    command1->click();
    // The click returned at once: the page is still loading.
    EXPECT_TRUE(window.IsUpdating());
    EXPECT_FALSE(command1->isEnabled());
    EXPECT_TRUE(finished.isEmpty());
    command1->click(); // disabled: no second update inside the first
    ASSERT_TRUE(finished.wait(30000));
    EXPECT_EQ(finished.size(), 1);
    EXPECT_GT(ticks, 3);
    EXPECT_TRUE(command1->isEnabled());
    EXPECT_EQ(ProgressLines(window).value(1),
        "failed " + base
            + "/NORAD/elements/gp.php?GROUP=amateur&FORMAT=tle: no answer within 1.5 s");
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

TEST_F(UpdateWindowTest, ClosingReloadsEvenWithoutUpdate)
{
    auto window = MakeWindow();
    QSignalSpy reload(window.get(), &UpdateWindow::catalogueReloadRequested);
    window->show();
    window->close();
    EXPECT_EQ(reload.size(), 1);
}

TEST_F(UpdateWindowTest, ClosingWhileLoadingKeepsFile)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort());
    UpdateWindow window(base, base, [this] { return TlePath(); });
    QSignalSpy reload(&window, &UpdateWindow::catalogueReloadRequested);
    window.show();
    window.findChild<QPushButton*>("Command1")->click();
    ASSERT_TRUE(window.IsUpdating());
    window.close();
    EXPECT_FALSE(window.IsUpdating());
    EXPECT_EQ(reload.size(), 1);
    EXPECT_EQ(ReadAll(TlePath()), test::OldTleFile);
}

TEST_F(UpdateWindowTest, MenuOpensWindowAndClosingMainWindowReloadsList)
{
    NoFileChooser chooser;
    MainWindow mainWindow(chooser);
    FakeClock clock(std::chrono::sys_days(std::chrono::year(2026) / 12 / 7));
    EventLog log(clock);
    std::vector<std::string> catalogue = CatalogueNames(TlePath());
    ASSERT_EQ(catalogue, std::vector<std::string>({ "OLD SAT" }));
    int reloads = 0;
    BindElementUpdate(
        mainWindow, m_server.BaseUrl(), m_server.BaseUrl(), [this] { return TlePath(); },
        [&] {
            ++reloads;
            catalogue = CatalogueNames(TlePath());
        },
        &log);
    mainWindow.show();

    auto* menu = mainWindow.findChild<QAction*>("MnuInternetUpdate");
    ASSERT_NE(menu, nullptr);
    menu->trigger();
    auto* form4 = mainWindow.findChild<UpdateWindow*>("Form4");
    ASSERT_NE(form4, nullptr);
    EXPECT_TRUE(form4->isVisible());
    EXPECT_FALSE(form4->isModal());
    menu->trigger(); // the same window comes forward, no second one
    EXPECT_EQ(mainWindow.findChildren<UpdateWindow*>().size(), 1);

    ASSERT_TRUE(ClickAndWait(*form4));
    EXPECT_TRUE(log.Lines().value(0).endsWith(": TLE update: ... done"))
        << log.Lines().value(0).toStdString();
    EXPECT_EQ(reloads, 0);
    mainWindow.close();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(catalogue,
        std::vector<std::string>({ "OSCAR 7 (AO-7)", "FUNCUBE-1 (AO-73)", "ISS (ZARYA)" }));
}

} // namespace
} // namespace aostrack
