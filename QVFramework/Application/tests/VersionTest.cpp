#include "Version.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "Exception.h"
#include "FrameworkStrings.h"
#include "LanguageId.h"
#include "StartupErrorText.h"

namespace {

std::u16string Text(const QV::String& s)
{
    return s.GetChars();
}

// A module with an optional version record. With vanishOnRead the record is
// there when its size is asked and gone when it is read.
class FakeModule : public Platform::ResourceModule {
public:
    FakeModule(std::string path, std::optional<std::string> record, bool vanishOnRead = false)
        : mPath(std::move(path)), mRecord(std::move(record)), mVanishOnRead(vanishOnRead)
    {}
    std::string GetFilePath() const override { return mPath; }
    std::optional<Platform::ResourceBytes> FindResource(std::string_view type, std::string_view name) const override
    {
        if (!mRecord || type != "VERSION" || name != "VS_VERSION_INFO" || (mVanishOnRead && mLookups++ > 0)) {
            return std::nullopt;
        }
        return Platform::ResourceBytes(reinterpret_cast<const unsigned char*>(mRecord->data()), mRecord->size());
    }

private:
    std::string mPath;
    std::optional<std::string> mRecord;
    bool mVanishOnRead;
    mutable int mLookups = 0;
};

// Each translation's company name is its own path, so the answer shows
// which path was asked.
std::string RecordFor(const std::string& translations)
{
    std::string record = "\\VarFileInfo\\Translation=" + translations + "\n";
    size_t at = 0;
    while (at < translations.size()) {
        const std::string pair = translations.substr(at, 8);
        record += "\\StringFileInfo\\" + pair + "\\CompanyName=company " + pair + "\n";
        at += 9;
    }
    return record;
}

TEST(VersionTest, TranslationIsChosenUserThenSystemThenEnglishThenFirst)
{
    const struct {
        const char* translations;
        Platform::LanguageId user;
        Platform::LanguageId system;
        const char16_t* company;
    } cases[] = {
        // German and English read with Japanese settings: English.
        {"040704b0 040904b0", 0x0411, 0x0411, u"company 040904b0"},
        // Canadian French user: the French pair, by primary language.
        {"040904b0 040c04b0", 0x0C0C, 0x0409, u"company 040c04b0"},
        {"040904b0 040704b0", 0x0407, 0x040C, u"company 040704b0"},
        // The user's language wins over the system's.
        {"040c04b0 040704b0", 0x0807, 0x040C, u"company 040704b0"},
        {"040904b0 040704b0", 0x0411, 0x0C07, u"company 040704b0"},
        // Neither language nor English: the first pair.
        {"040704b0 040c04b0", 0x0411, 0x0412, u"company 040704b0"},
        // The path spells both numbers as four lower-case hex digits.
        {"0c0a04e4", 0x0411, 0x0411, u"company 0c0a04e4"},
    };
    for (const auto& c : cases) {
        Platform::ScopedLanguageIds languages(c.user, c.system);
        FakeModule module("/opt/tarsel/editor", RecordFor(c.translations));
        const QV::Version version(&module);
        EXPECT_EQ(Text(version.GetCompanyName()), c.company) << c.translations << " user " << c.user;
    }
}

TEST(VersionTest, KeysAreReadUnderTheChosenTranslation)
{
    Platform::ScopedLanguageIds languages(0x0411, 0x0411);
    const std::string record =
        "\\VarFileInfo\\Translation=040704b0 040904b0\n"
        "\\StringFileInfo\\040704b0\\ProductName=Falsch\n"
        "\\StringFileInfo\\040904b0\\CompanyName=Corvane\n"
        "\\StringFileInfo\\040904b0\\ProductName=Tarsel Preset Editor \xE2\x84\xA2\n"
        "\\StringFileInfo\\040904b0\\ProductVersion=2.3.4\n";
    FakeModule module("/opt/tarsel/editor", record);
    const QV::Version version(&module);
    EXPECT_EQ(version.GetTranslation(), (Platform::LanguageCodePage{0x0409, 0x04B0}));
    EXPECT_EQ(Text(version.GetCompanyName()), u"Corvane");
    EXPECT_EQ(Text(version.GetProductName()), u"Tarsel Preset Editor \u2122");
    EXPECT_EQ(Text(version.GetProductVersion()), u"2.3.4");
    // A key the record lacks answers empty and raises nothing.
    EXPECT_EQ(Text(version.GetStringFileInfo(u"LegalCopyright")), u"");
    EXPECT_EQ(Text(version.GetStringFileInfo(u"")), u"");
}

TEST(VersionTest, ProgramVersionComesFromTheProject)
{
    const QV::Version version;
    EXPECT_EQ(Text(version.GetCompanyName()), u"Corvane");
    EXPECT_EQ(Text(version.GetProductName()), u"Tarsel Preset Editor");
    EXPECT_EQ(Text(version.GetProductVersion()), QV_PROJECT_VERSION);
}

TEST(VersionTest, StartupErrorTextWithoutStringTable)
{
    EXPECT_EQ(Text(QV::FormatStartupErrorText(902)),
              u"The application encountered problems during startup and will now close.  (Error code = 902)");
    EXPECT_EQ(Text(QV::FormatStartupErrorText(-1)),
              u"The application encountered problems during startup and will now close.  (Error code = -1)");
}

// The framework table's EXCEPTION_ID, as the installed lookup answers it.
struct ExceptionIdText {
    static inline const char16_t* text = nullptr;
    static bool Lookup(const QV::String& id, QV::String& out)
    {
        if (!text || !(id == u"EXCEPTION_ID")) return false;
        out = QV::String(text);
        return true;
    }
};

TEST(VersionTest, StartupErrorTextComesFromTheFrameworkTable)
{
    const QV::FrameworkStringLookup previous = QV::SetFrameworkStringLookup(&ExceptionIdText::Lookup);
    const struct {
        const char16_t* table;
        const char16_t* shown;
    } rows[] = {
        {u"Fehlercode = %d", u"Fehlercode = 902"},
        {u"100%% sure: %i", u"100% sure: 902"},
        {u"Error code", u"Error code"},
        // A conversion other than the id's would read an argument that is not there.
        {u"Error %s", u"The application encountered problems during startup and will now close.  (Error code = 902)"},
        {u"%d %d", u"The application encountered problems during startup and will now close.  (Error code = 902)"},
        {u"Error %", u"The application encountered problems during startup and will now close.  (Error code = 902)"},
        {nullptr, u"The application encountered problems during startup and will now close.  (Error code = 902)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.table ? QV::NarrowString(QV::String(row.table)).GetChars() : "no table text");
        ExceptionIdText::text = row.table;
        EXPECT_EQ(Text(QV::FormatStartupErrorText(902)), row.shown);
    }
    ExceptionIdText::text = nullptr;
    QV::SetFrameworkStringLookup(previous);
}

TEST(VersionTest, FailuresRaiseStartupErrors900To903)
{
    const std::string good = RecordFor("040904b0");
    const struct {
        const char* what;
        FakeModule module;
        const char* message;
    } cases[] = {
        {"no path", FakeModule("", good),
         "Runtime Error : The application encountered problems during startup and will now close.  "
         "(Error code = 903) : QV::Version::Version : Application/Version : Line 148"},
        {"no record", FakeModule("/opt/tarsel/editor", std::nullopt),
         "Runtime Error : The application encountered problems during startup and will now close.  "
         "(Error code = 902) : QV::Version::Version : Application/Version : Line 143"},
        {"record not readable", FakeModule("/opt/tarsel/editor", good, true),
         "Runtime Error : The application encountered problems during startup and will now close.  "
         "(Error code = 901) : QV::Version::Version : Application/Version : Line 133"},
        {"no translation list", FakeModule("/opt/tarsel/editor", "\\StringFileInfo\\040904b0\\CompanyName=C\n"),
         "Runtime Error : The application encountered problems during startup and will now close.  "
         "(Error code = 900) : QV::Version::Version : Application/Version : Line 128"},
        // Nothing to choose from: refused rather than read past the list.
        {"empty translation list", FakeModule("/opt/tarsel/editor", "\\VarFileInfo\\Translation=\n"),
         "Runtime Error : The application encountered problems during startup and will now close.  "
         "(Error code = 900) : QV::Version::Version : Application/Version : Line 128"},
        {"broken translation list", FakeModule("/opt/tarsel/editor", "\\VarFileInfo\\Translation=0409\n"),
         "Runtime Error : The application encountered problems during startup and will now close.  "
         "(Error code = 900) : QV::Version::Version : Application/Version : Line 128"},
    };
    for (const auto& c : cases) {
        try {
            QV::Version version(&c.module);
            ADD_FAILURE() << c.what << ": nothing raised";
        } catch (const QV::Exception<std::runtime_error>& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
}

}  // namespace
