// FileRename and the replacement of the TLE file with its backup.
#include "update/FileRename.h"
#include "update/TleFileReplace.h"

#include "HttpFolderServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using test::ReadAll;
using test::WriteAll;

class FileRenameTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(FileRenameTest, Normal)
{
    WriteAll(Path("keps.txt"), "AO-7\n");
    EXPECT_TRUE(FileRename(Path("keps.txt"), Path("keps.txt_old"), false));
    EXPECT_FALSE(QFile::exists(Path("keps.txt")));
    EXPECT_EQ(ReadAll(Path("keps.txt_old")), QByteArray("AO-7\n"));
}

TEST_F(FileRenameTest, ExistingTargetOverwrittenOnlyWhenAsked)
{
    WriteAll(Path("new"), "NEW\n");
    WriteAll(Path("old"), "OLD\n");
    EXPECT_FALSE(FileRename(Path("new"), Path("old"), false));
    EXPECT_EQ(ReadAll(Path("new")), QByteArray("NEW\n"));
    EXPECT_EQ(ReadAll(Path("old")), QByteArray("OLD\n"));

    EXPECT_TRUE(FileRename(Path("new"), Path("old"), true));
    EXPECT_FALSE(QFile::exists(Path("new")));
    EXPECT_EQ(ReadAll(Path("old")), QByteArray("NEW\n"));
}

TEST_F(FileRenameTest, MissingOrEmptyNames)
{
    EXPECT_FALSE(FileRename(Path("absent"), Path("other"), true));
    EXPECT_FALSE(QFile::exists(Path("other")));
    EXPECT_FALSE(FileRename(QString(), Path("other"), true));
    WriteAll(Path("a"), "A");
    EXPECT_FALSE(FileRename(Path("a"), QString(), true));
    EXPECT_EQ(ReadAll(Path("a")), QByteArray("A"));
}

TEST_F(FileRenameTest, FolderTargetRefused)
{
    WriteAll(Path("a"), "A");
    QDir(m_dir.path()).mkdir("folder");
    EXPECT_FALSE(FileRename(Path("a"), Path("folder"), true));
    EXPECT_EQ(ReadAll(Path("a")), QByteArray("A"));
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());
    // Renaming into a folder that does not exist fails quietly too.
    EXPECT_FALSE(FileRename(Path("a"), Path("nowhere/a"), true));
}

class TleFileReplaceTest : public FileRenameTest {
protected:
    QString Replace(const QString& path, const QString& text)
    {
        m_progress.clear();
        return ReplaceTleFile(path, text, [this](const QString& line) {
            m_progress << line;
        }).Error();
    }
    QStringList m_progress;
};

TEST_F(TleFileReplaceTest, BackupPathAppendsToWholeName)
{
    EXPECT_EQ(
        BackupPathFor(QStringLiteral("/data/keps.txt")), QStringLiteral("/data/keps.txt_old"));
    EXPECT_EQ(BackupPathFor(QStringLiteral("amateur")), QStringLiteral("amateur_old"));
}

TEST_F(TleFileReplaceTest, BackupReplacedAtEachUpdate)
{
    WriteAll(Path("keps.txt"), "FIRST\n");
    WriteAll(Path("keps.txt_old"), "ANCIENT\n");
    EXPECT_EQ(Replace(Path("keps.txt"), "SECOND"), QString());
    EXPECT_EQ(ReadAll(Path("keps.txt_old")), QByteArray("FIRST\n"));
    EXPECT_EQ(Replace(Path("keps.txt"), "THIRD"), QString());
    EXPECT_EQ(ReadAll(Path("keps.txt_old")), QByteArray("SECOND\r\n"));
    EXPECT_EQ(ReadAll(Path("keps.txt")), QByteArray("THIRD\r\n"));
}

TEST_F(TleFileReplaceTest, NoOldFile)
{
    // The first update of a fresh station: the steps read as always, the new
    // file is the text followed by CR LF and no backup appears.
    EXPECT_EQ(Replace(Path("fresh.txt"), "SET"), QString());
    EXPECT_EQ(ReadAll(Path("fresh.txt")), QByteArray("SET\r\n"));
    EXPECT_FALSE(QFile::exists(Path("fresh.txt_old")));
    EXPECT_EQ(m_progress, QStringList({ "save old TLE file", "write new TLE file" }));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({ "fresh.txt" }));
}

TEST_F(TleFileReplaceTest, Utf8Written)
{
    EXPECT_EQ(Replace(Path("k.txt"), QString::fromUtf8("\xC3\x84MS")), QString());
    EXPECT_EQ(ReadAll(Path("k.txt")), QByteArray("\xC3\x84MS\r\n"));
}

TEST_F(TleFileReplaceTest, UnwritableTargetsLeaveFileAlone)
{
    EXPECT_FALSE(Replace(QString(), "SET").isEmpty());

    QDir(m_dir.path()).mkdir("folder");
    const QString folderError = Replace(Path("folder"), "SET");
    EXPECT_TRUE(folderError.contains(Path("folder"))) << folderError.toStdString();
    EXPECT_TRUE(QFileInfo(Path("folder")).isDir());

    const QString missingFolder = Replace(Path("absent/keps.txt"), "SET");
    EXPECT_TRUE(missingFolder.contains(Path("absent/keps.txt"))) << missingFolder.toStdString();
    EXPECT_TRUE(m_progress.isEmpty());
}

TEST_F(TleFileReplaceTest, BackupThatCannotBeWrittenStopsBeforeReplacing)
{
    WriteAll(Path("keps.txt"), "OLD\n");
    // A folder where the backup should go: the backup fails, so the current
    // file must stay untouched rather than be replaced without a backup.
    QDir(m_dir.path()).mkdir("keps.txt_old");
    const QString error = Replace(Path("keps.txt"), "NEW");
    EXPECT_TRUE(error.contains(Path("keps.txt_old"))) << error.toStdString();
    EXPECT_EQ(ReadAll(Path("keps.txt")), QByteArray("OLD\n"));
    EXPECT_EQ(m_progress, QStringList({ "save old TLE file" }));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({ "keps.txt" }));
}

} // namespace
} // namespace aostrack

#include "core/FileError.h"

#include <QSaveFile>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>

namespace aostrack {
namespace {

// A file-size limit of 1000 bytes for this process while it lives: writes
// beyond it fail with EFBIG, as a full disk fails with ENOSPC, and QSaveFile
// calls both "Unknown error".
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = 1000;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_savedHandler);
    }
    bool Ok() const { return m_ok; }

private:
    rlimit m_saved {};
    void (*m_savedHandler)(int) = nullptr;
    bool m_ok = false;
};

TEST(FileErrorReasonTest, SystemWordsWhereQtHasNone)
{
    // What QSaveFile leaves after a write to a full disk: no error of its
    // own, "Unknown error" as its text, the reason in errno.
    QSaveFile file(QStringLiteral("/nonexistent/x"));
    EXPECT_EQ(FileErrorReason(file, ENOSPC), "No space left on device");
    EXPECT_EQ(FileErrorReason(file, EACCES), "Permission denied");
    // Qt's own text wins when it has one.
    QFile missing(QStringLiteral("/nonexistent/aostrack/none"));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_EQ(FileErrorReason(missing, EACCES), "No such file or directory");
}

TEST_F(TleFileReplaceTest, WriteBeyondTheSystemLimitNamesTheReason)
{
    WriteAll(Path("keps.txt"), "OLD\n");
    const QString big(5000, QLatin1Char('X'));
    QString error;
    {
        FileSizeLimit limit;
        ASSERT_TRUE(limit.Ok());
        error = Replace(Path("keps.txt"), big);
    }
    EXPECT_EQ(error, "cannot write " + Path("keps.txt") + ": File too large");
    EXPECT_EQ(ReadAll(Path("keps.txt")), QByteArray("OLD\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({ "keps.txt" }));

    // The backup is the one that does not fit.
    WriteAll(Path("keps.txt"), QByteArray(2000, 'O'));
    {
        FileSizeLimit limit;
        error = Replace(Path("keps.txt"), "NEW");
    }
    EXPECT_EQ(error, "cannot write backup " + Path("keps.txt_old") + ": File too large");
    EXPECT_EQ(ReadAll(Path("keps.txt")), QByteArray(2000, 'O'));
}

} // namespace
} // namespace aostrack
