#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "Exception.h"
#include "QVFile.h"
#include "TempFolder.h"

namespace {

using QV::File;
using QV::String;

std::string Utf8(const String& text) { return QV::NarrowString(text).GetChars(); }
String Wide(const std::string& text) { return String(text.c_str()); }

// Runs f and answers the message of the runtime error it raises.
template <class F>
std::string RuntimeErrorOf(F&& f)
{
    try {
        f();
    } catch (const QV::Exception<std::runtime_error>& e) {
        return e.what();
    }
    return "(nothing raised)";
}

class FileTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return mFolder / name; }
    std::string MakeFile(const std::string& name, const std::string& content) const
    {
        TempFolder::WriteText(PathOf(name), content);
        return PathOf(name);
    }

    TempFolder mFolder{"qv-storage"};
};

TEST_F(FileTest, EmptyPathAndNameRaiseInvalidPathname)
{
    File file;
    EXPECT_EQ(RuntimeErrorOf([&] { file.Open(String(), String(), 0); }),
              "Runtime Error : invalid pathname : QV::File::Open : Utilities\\Storage\\QVFile : Line 293");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(RuntimeErrorOf([&] { File constructed(String(), String(), File::kCreate); }),
              "Runtime Error : invalid pathname : QV::File::Open : Utilities\\Storage\\QVFile : Line 293");
}

TEST_F(FileTest, AFolderIsNeverOpenedAsAFile)
{
    std::filesystem::create_directory(PathOf("sub"));
    const uint32_t flagSets[] = {0, File::kReadWrite, File::kCreate, File::kReadWrite | File::kCreate | File::kTruncate};
    for (const uint32_t flags : flagSets) {
        SCOPED_TRACE(flags);
        File byPath;
        EXPECT_EQ(byPath.Open(Wide(PathOf("sub")), String(), flags), QV::E_FAIL);
        EXPECT_FALSE(byPath.IsOpen());
        File byName(Wide(mFolder.Path()), String(u"sub"), flags);
        EXPECT_FALSE(byName.IsOpen());
    }
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("sub")));
}

TEST_F(FileTest, FolderAndNameOrWholePath)
{
    MakeFile("preset.tpr", "x");
    File byName(Wide(mFolder.Path()), String(u"preset.tpr"), 0);
    ASSERT_TRUE(byName.IsOpen());
    EXPECT_EQ(Utf8(byName.GetPath()), PathOf("preset.tpr"));
    EXPECT_EQ(Utf8(byName.GetFileName()), "preset.tpr");

    File byPath(Wide(PathOf("preset.tpr")), String(), 0);
    ASSERT_TRUE(byPath.IsOpen());
    EXPECT_EQ(Utf8(byPath.GetPath()), PathOf("preset.tpr"));
    EXPECT_TRUE(byPath.GetFileName().IsEmpty());
}

TEST_F(FileTest, OpenFlagsCreateAndTruncate)
{
    const std::string missing = PathOf("new.tpr");
    File file;
    EXPECT_EQ(file.Open(Wide(missing), String(), File::kReadWrite), QV::E_FAIL);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(missing));

    EXPECT_EQ(file.Open(Wide(missing), String(), File::kReadWrite | File::kCreate), QV::S_OK);
    EXPECT_TRUE(std::filesystem::exists(missing));
    EXPECT_EQ(file.GetFlags(), File::kReadWrite | File::kCreate);
    file.Close();

    const std::string existing = MakeFile("old.tpr", "0123456789");
    // Truncation needs the create flag as well.
    File kept(Wide(existing), String(), File::kReadWrite | File::kTruncate);
    ASSERT_TRUE(kept.IsOpen());
    EXPECT_EQ(kept.GetLength(), 10);
    File created(Wide(existing), String(), File::kCreate);
    EXPECT_EQ(created.GetLength(), 10);
    File truncated(Wide(existing), String(), File::kReadWrite | File::kCreate | File::kTruncate);
    EXPECT_EQ(truncated.GetLength(), 0);
}

TEST_F(FileTest, OpenOnAnOpenFileChangesNothing)
{
    const std::string first = MakeFile("a.tpr", "a");
    MakeFile("b.tpr", "bb");
    File file(Wide(first), String(), 0);
    EXPECT_EQ(file.Open(Wide(mFolder.Path()), String(u"b.tpr"), File::kReadWrite), 1);
    EXPECT_EQ(Utf8(file.GetPath()), first);
    EXPECT_EQ(file.GetFlags(), 0u);
    EXPECT_EQ(file.GetLength(), 1);
}

TEST_F(FileTest, ReadsContinueAndStopAtTheEnd)
{
    File file(Wide(MakeFile("data.bin", "abcdefgh")), String(), 0);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    EXPECT_EQ(file.Read(buffer, 3, -1), 3);
    EXPECT_EQ(std::string(buffer, 3), "def");
    EXPECT_EQ(file.Read(buffer, 16), 2);
    EXPECT_EQ(std::string(buffer, 2), "gh");
    EXPECT_EQ(file.Read(buffer, 16), 0);
    EXPECT_EQ(file.Read(buffer, 2, 1), 2);
    EXPECT_EQ(std::string(buffer, 2), "bc");
    EXPECT_EQ(file.Read(buffer, 4, 100), 0);
}

TEST_F(FileTest, WritesAtPositionsAndSeeks)
{
    File file(Wide(PathOf("out.bin")), String(), File::kReadWrite | File::kCreate);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Write("hello", 5), 5);
    EXPECT_EQ(file.Write("HE", 2, 0), 2);
    EXPECT_EQ(file.Write("!", 1), 1);  // continues after the positioned write
    EXPECT_EQ(file.GetLength(), 5);
    EXPECT_EQ(file.Seek(0, File::kEnd), 5);
    EXPECT_EQ(file.Seek(-2, File::kCurrent), 3);
    EXPECT_EQ(file.Seek(1, File::kBegin), 1);
    EXPECT_EQ(file.Seek(-1, File::kBegin), -1);
    EXPECT_EQ(file.Seek(0, 7), -1);
    file.Close();
    EXPECT_EQ(TempFolder::ReadText(PathOf("out.bin")), "HE!lo");
    EXPECT_EQ(file.Seek(0, File::kBegin), -1);
}

TEST_F(FileTest, WriteToAReadOnlyFileRaisesAndLeavesItAlone)
{
    const std::string path = MakeFile("ro.bin", "keep");
    File file(Wide(path), String(), File::kCreate);
    EXPECT_EQ(RuntimeErrorOf([&] { file.Write("x", 1); }),
              "Runtime Error : file is read only : QV::File::Write : Utilities\\Storage\\QVFile : Line 593");
    EXPECT_EQ(RuntimeErrorOf([&] { file.Write("x", 1, -7); }),
              "Runtime Error : file is read only : QV::File::Write : Utilities\\Storage\\QVFile : Line 593");
    file.Close();
    EXPECT_EQ(TempFolder::ReadText(path), "keep");
}

TEST_F(FileTest, TransferFailuresRaiseTheirTexts)
{
    File file(Wide(MakeFile("f.bin", "abc")), String(), File::kReadWrite);
    char buffer[4];
    // Address 0 of the process's memory is never mapped: reading it fails.
    File unreadable(String(u"/proc/self/mem"), String(), 0);
    ASSERT_TRUE(unreadable.IsOpen());
    File closed;
    File closedWritable(Wide(MakeFile("w.bin", "")), String(), File::kReadWrite);
    closedWritable.Close();
    struct Case {
        std::function<void()> call;
        const char* text;
    };
    const Case cases[] = {
        {[&] { file.Read(buffer, 1, -2); },
         "Runtime Error : lseek : QV::File::Read : Utilities\\Storage\\QVFile : Line 471"},
        {[&] { unreadable.Read(buffer, 1, 0); },
         "Runtime Error : read : QV::File::Read : Utilities\\Storage\\QVFile : Line 498"},
        {[&] { closed.Read(buffer, 1); },
         "Runtime Error : read : QV::File::Read : Utilities\\Storage\\QVFile : Line 498"},
        {[&] { file.Write(buffer, 1, -2); },
         "Runtime Error : lseek : QV::File::Write : Utilities\\Storage\\QVFile : Line 602"},
        // On a closed file the seek to a given offset is what fails first.
        {[&] { closed.Read(buffer, 1, 0); },
         "Runtime Error : lseek : QV::File::Read : Utilities\\Storage\\QVFile : Line 471"},
        {[&] { closedWritable.Write(buffer, 1, 0); },
         "Runtime Error : lseek : QV::File::Write : Utilities\\Storage\\QVFile : Line 602"},
        {[&] { closedWritable.Write(buffer, 1); },
         "Runtime Error : write : QV::File::Write : Utilities\\Storage\\QVFile : Line 638"},
        {[&] { closed.GetLength(); },
         "Runtime Error : fstat : QV::File::GetLength : Utilities\\Storage\\QVFile : Line 112"},
    };
    for (const auto& c : cases) EXPECT_EQ(RuntimeErrorOf(c.call), c.text);

    if (std::filesystem::exists("/dev/full")) {
        File full(String(u"/dev/full"), String(), File::kReadWrite);
        ASSERT_TRUE(full.IsOpen());
        EXPECT_EQ(RuntimeErrorOf([&] { full.Write("x", 1); }),
                  "Runtime Error : write : QV::File::Write : Utilities\\Storage\\QVFile : Line 638");
    }
}

TEST_F(FileTest, DeleteOnCloseWaitsForTheLastSharer)
{
    const std::string path = MakeFile("scratch.tmp", "abc");
    File first(Wide(path), String(), File::kDeleteOnClose);
    ASSERT_TRUE(first.IsOpen());
    {
        File second = first;
        File third;
        third = second;
        EXPECT_EQ(first.Close(), QV::S_OK);
        EXPECT_FALSE(first.IsOpen());
        EXPECT_TRUE(std::filesystem::exists(path));
        char buffer[3];
        EXPECT_EQ(second.Read(buffer, 3, 0), 3);  // the shared descriptor is still open
        EXPECT_EQ(second.Close(), QV::S_OK);
        EXPECT_TRUE(std::filesystem::exists(path));
    }  // the third copy goes last
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(first.Close(), QV::S_OK);
}

TEST_F(FileTest, AssigningOverTheLastShareClosesIt)
{
    const std::string path = MakeFile("a.tmp", "a");
    File file(Wide(path), String(), File::kDeleteOnClose);
    file = File();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(FileTest, NonAsciiNamesAreUtf8OnDisk)
{
    File file(Wide(mFolder.Path()), String(u"Pr\u00e9set \u65e5\u672c.tpr"), File::kReadWrite | File::kCreate);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(std::filesystem::exists(PathOf("Pr\xC3\xA9set \xE6\x97\xA5\xE6\x9C\xAC.tpr")));
}

}  // namespace
