#include "Version.h"

#include <new>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "Exception.h"
#include "LanguageId.h"
#include "StartupErrorText.h"

namespace QV {

namespace {

constexpr uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr uint16_t kEnglish = 0x09;

[[noreturn]] void ThrowStartupError(int32_t errorId, int line)
{
    const NarrowString text(FormatStartupErrorText(errorId));
    throw Exception<std::runtime_error>(
        FormatExceptionMessage(kRuntimeError, text.GetChars(), "QV::Version::Version", "Application/Version", line));
}

std::optional<Platform::LanguageCodePage> FirstWithPrimaryLanguage(
    const std::vector<Platform::LanguageCodePage>& list, uint16_t language)
{
    for (const Platform::LanguageCodePage& pair : list) {
        if ((pair.language & kPrimaryLanguageMask) == (language & kPrimaryLanguageMask)) {
            return pair;
        }
    }
    return std::nullopt;
}

// The user's language, else the system's, else English, else the first.
Platform::LanguageCodePage ChooseTranslation(const std::vector<Platform::LanguageCodePage>& list)
{
    for (uint16_t language : {Platform::GetUserDefaultLanguageId(), Platform::GetSystemDefaultLanguageId(), kEnglish}) {
        if (auto pair = FirstWithPrimaryLanguage(list, language)) {
            return *pair;
        }
    }
    return list.front();
}

}  // namespace

Version::Version(const Platform::ResourceModule* module)
{
    const Platform::ResourceModule& source = module ? *module : Platform::GetProgramModule();
    if (source.GetFilePath().empty()) {
        ThrowStartupError(903, 148);
    }
    const uint32_t size = Platform::GetVersionInfoSize(source);
    if (size == 0) {
        ThrowStartupError(902, 143);
    }
    mBlock.reset(new (std::nothrow) unsigned char[size]);
    if (!mBlock) {
        ThrowBadAlloc();
    }
    mBlockSize = size;
    if (!Platform::GetVersionInfo(source, std::span<unsigned char>(mBlock.get(), size))) {
        ThrowStartupError(901, 133);
    }
    const auto translations = Platform::QueryVersionTranslations(std::span<const unsigned char>(mBlock.get(), size));
    // An empty list is as unusable as a missing one: there is no pair to choose.
    if (!translations || translations->empty()) {
        ThrowStartupError(900, 128);
    }
    mTranslation = ChooseTranslation(*translations);
}

String Version::GetStringFileInfo(const String& key) const
{
    if (!mBlock) {
        return String();
    }
    String path;
    path.Format(u"\\StringFileInfo\\%04x%04x\\%s", mTranslation.language, mTranslation.codePage, key.GetChars());
    const NarrowString narrowPath(path);
    const auto value = Platform::QueryVersionValue(std::span<const unsigned char>(mBlock.get(), mBlockSize),
                                                   narrowPath.GetChars());
    String text;
    if (value && !value->empty()) {
        text.AssignNarrow(value->data(), static_cast<int32_t>(value->size()));
    }
    return text;
}

}  // namespace QV
