#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "AtomicFileWriter.h"
#include "TempFolder.h"

namespace {

using Platform::AtomicFileWriter;

// Runs body in a child process and answers its exit status; the child
// ends with _exit, as a crash would, without any clean-up of its own.
template <class Body>
int RunInChild(Body body)
{
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AtomicFileWriterTest, CreatesAndReplacesLeavingNothingElse)
{
    TempFolder folder("qv-ini");
    const std::string path = folder / "UserSettings.ini";
    std::string error;
    ASSERT_TRUE(AtomicFileWriter::Write(path, "first", &error)) << error;
    EXPECT_EQ(TempFolder::ReadText(path), "first");
    ASSERT_TRUE(AtomicFileWriter::Write(path, "second", &error)) << error;
    EXPECT_EQ(TempFolder::ReadText(path), "second");
    ASSERT_TRUE(AtomicFileWriter::Write(path, "", &error)) << error;
    EXPECT_EQ(TempFolder::ReadText(path), "");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(AtomicFileWriterTest, KeepsThePermissionsOfTheReplacedFile)
{
    TempFolder folder("qv-ini");
    const std::string path = folder / "AppSettings.ini";
    TempFolder::WriteText(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(AtomicFileWriter::Write(path, "new", nullptr));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicFileWriterTest, CrashBeforeTheRenameLeavesTheOldFile)
{
    TempFolder folder("qv-ini");
    const std::string path = folder / "UserSettings.ini";
    TempFolder::WriteText(path, "old content");
    const int status = RunInChild([&] {
        AtomicFileWriter::Staged staged = AtomicFileWriter::Stage(path, "new content", nullptr);
        if (!staged.IsValid()) return 1;
        _exit(0);  // dies with the new content written and synced, not yet renamed
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(TempFolder::ReadText(path), "old content");
}

TEST(AtomicFileWriterTest, TheNextSaveRemovesTheTemporariesOfKilledSaves)
{
    TempFolder folder("qv-ini");
    const std::string path = folder / "UserSettings.ini";
    TempFolder::WriteText(path, "old content");
    for (int i = 0; i < 3; ++i) {
        RunInChild([&] {
            AtomicFileWriter::Staged staged = AtomicFileWriter::Stage(path, "killed midway", nullptr);
            raise(SIGKILL);
            return 0;
        });
    }
    // Each save removed the one killed before it: only the last is left.
    ASSERT_EQ(folder.EntryCount(), 2u);

    // Left alone: a save in progress here, a name whose writer lives (its
    // lock is free, as just after it was created), other files' temporaries.
    AtomicFileWriter::Staged live = AtomicFileWriter::Stage(path, "in progress", nullptr);
    ASSERT_TRUE(live.IsValid());
    const std::string kept[] = {
        live.GetTemporaryPath(),
        folder / (".UserSettings.ini.tmp-" + std::to_string(getpid()) + "-Ab12Cd"),
        folder / ".UserSettings.ini.tmp-notapid",
        folder / ".AppSettings.ini.tmp-999999999-Ab12Cd",
    };
    for (size_t i = 1; i < std::size(kept); ++i) TempFolder::WriteText(kept[i], "x");

    ASSERT_TRUE(AtomicFileWriter::Write(path, "new content", nullptr));
    EXPECT_EQ(TempFolder::ReadText(path), "new content");
    for (const std::string& file : kept) EXPECT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(folder.EntryCount(), 1u + std::size(kept));
}

TEST(AtomicFileWriterTest, AbandonedStageRemovesItsTemporaryFile)
{
    TempFolder folder("qv-ini");
    const std::string path = folder / "UserSettings.ini";
    TempFolder::WriteText(path, "old content");
    std::string temporary;
    {
        AtomicFileWriter::Staged staged = AtomicFileWriter::Stage(path, "new content", nullptr);
        ASSERT_TRUE(staged.IsValid());
        temporary = staged.GetTemporaryPath();
        EXPECT_EQ(TempFolder::ReadText(temporary), "new content");
        EXPECT_EQ(TempFolder::ReadText(path), "old content");
    }
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(AtomicFileWriterTest, FullDiskLeavesTheOldFileAndNoTemporary)
{
    TempFolder folder("qv-ini");
    const std::string path = folder / "UserSettings.ini";
    TempFolder::WriteText(path, "old content");
    // A file-size limit makes write() fail as a full disk does.
    const int status = RunInChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        std::string error;
        const bool written = AtomicFileWriter::Write(path, std::string(100000, 'n'), &error);
        return written || error.empty() ? 1 : 0;
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(TempFolder::ReadText(path), "old content");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(AtomicFileWriterTest, MissingFolderFailsWithAReason)
{
    TempFolder folder("qv-ini");
    std::string error;
    EXPECT_FALSE(AtomicFileWriter::Write(folder / "missing/UserSettings.ini", "x", &error));
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    AtomicFileWriter::Staged nothing;
    EXPECT_FALSE(AtomicFileWriter::Commit(nothing, &error));
}

}  // namespace
