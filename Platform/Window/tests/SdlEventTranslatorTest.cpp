#include <gtest/gtest.h>

#include <cstring>

#include "SdlEventTranslator.h"

namespace Platform::Window {
namespace {

using QV::WindowMessage;
using Kind = WindowMessage::Kind;

SDL_Event Key(Uint32 type, SDL_Keycode sym, uint16_t mod, uint8_t repeat = 0)
{
    SDL_Event e{};
    e.type = type;
    e.key.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

TEST(SdlEventTranslatorTest, KeysMapToWindowsCodesAndUnknownKeysGiveNothing)
{
    struct Case {
        SDL_Keycode sym;
        uint32_t vk;
    };
    const Case cases[] = {{SDLK_a, 0x41},    {SDLK_z, 0x5A},      {SDLK_0, 0x30},      {SDLK_F1, 0x70},
                          {SDLK_F12, 0x7B},  {SDLK_DELETE, 0x2E}, {SDLK_LEFT, 0x25},   {SDLK_KP_ENTER, 0x0D},
                          {SDLK_KP_7, 0x67}, {SDLK_MINUS, 0xBD},  {SDLK_LSHIFT, 0x10}, {SDLK_RALT, 0x12},
                          {SDLK_F13, 0},     {SDLK_AUDIOPLAY, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sym);
        EXPECT_EQ(VirtualKeyFromSdl(c.sym), c.vk);
        SdlEventTranslator translator;
        const auto messages = translator.Translate(Key(SDL_KEYDOWN, c.sym, 0));
        EXPECT_EQ(messages.empty(), c.vk == 0);
    }
}

TEST(SdlEventTranslatorTest, ModifierWordCarriesSides)
{
    struct Case {
        uint16_t mod;
        uint32_t word;
    };
    const Case cases[] = {{KMOD_LSHIFT, 0x18}, {KMOD_RSHIFT, 0x28},
                          {KMOD_LCTRL, 0x3},   {KMOD_RCTRL, 0x5},
                          {KMOD_LALT, 0xC0},   {KMOD_RALT, 0x140},
                          {KMOD_LGUI, 0x600},  {KMOD_RGUI, 0xA00},
                          {KMOD_NUM, 0},       {KMOD_LCTRL | KMOD_LSHIFT, 0x1B}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mod);
        EXPECT_EQ(ModifierWordFromSdl(c.mod), c.word);
    }
}

TEST(SdlEventTranslatorTest, CharactersSdlNeverSendsAreSynthesised)
{
    struct Case {
        SDL_Keycode sym;
        uint16_t mod;
        char16_t character;
    };
    const Case cases[] = {
        {SDLK_BACKSPACE, 0, 8},  {SDLK_TAB, KMOD_LSHIFT, 9}, {SDLK_RETURN, 0, 13}, {SDLK_ESCAPE, 0, 27},
        {SDLK_c, KMOD_LCTRL, 3}, {SDLK_z, KMOD_RCTRL, 26},   {SDLK_c, 0, 0},       {SDLK_c, KMOD_LCTRL | KMOD_LALT, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sym);
        SdlEventTranslator translator;
        const auto messages = translator.Translate(Key(SDL_KEYDOWN, c.sym, c.mod));
        ASSERT_EQ(messages.size(), c.character ? 2u : 1u);
        if (c.character) {
            EXPECT_EQ(messages[1].kind, Kind::kChar);
            EXPECT_EQ(messages[1].character, c.character);
        }
        EXPECT_EQ(translator.Translate(Key(SDL_KEYUP, c.sym, c.mod)).size(), 1u) << "no character on release";
    }
}

TEST(SdlEventTranslatorTest, AltMakesSystemKeysAndRepeatIsKept)
{
    SdlEventTranslator translator;
    auto messages = translator.Translate(Key(SDL_KEYDOWN, SDLK_F4, KMOD_LALT, 1));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, Kind::kSysKeyDown);
    EXPECT_TRUE(messages[0].repeat);
}

TEST(SdlEventTranslatorTest, TextInputBecomesUtf16Units)
{
    SdlEventTranslator translator;
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strcpy(e.text.text, "a\xC3\xA9\xF0\x9F\x8E\xB9");  // a, e acute, a keyboard emoji
    const auto messages = translator.Translate(e);
    std::u16string units;
    for (const auto& m : messages) {
        EXPECT_EQ(m.kind, Kind::kChar);
        units.push_back(m.character);
    }
    EXPECT_EQ(units, u"a\u00E9\U0001F3B9");
}

TEST(SdlEventTranslatorTest, ClicksWheelLeaveAndClose)
{
    SdlEventTranslator translator;
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_RIGHT;
    e.button.x = 7;
    e.button.y = 9;
    struct Case {
        uint8_t clicks;
        Kind kind;
    };
    for (const Case c : {Case{1, Kind::kButtonDown}, Case{2, Kind::kButtonDoubleClick}, Case{3, Kind::kButtonDown}}) {
        e.button.clicks = c.clicks;
        const auto m = translator.Translate(e);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].kind, c.kind);
        EXPECT_EQ(m[0].button, 4);
        EXPECT_EQ(m[0].point, (QV::LongPoint{7, 9}));
    }

    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = -2;
    auto m = translator.Translate(wheel);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].delta, -240);
    EXPECT_EQ(m[0].point, (QV::LongPoint{7, 9}));

    SDL_Event leave{};
    leave.type = SDL_WINDOWEVENT;
    leave.window.event = SDL_WINDOWEVENT_LEAVE;
    m = translator.Translate(leave);
    ASSERT_EQ(m.size(), 1u);
    EXPECT_TRUE(m[0].elsewhere);

    for (Uint32 type : {Uint32(SDL_QUIT), Uint32(SDL_WINDOWEVENT)}) {
        SDL_Event close{};
        close.type = type;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        m = translator.Translate(close);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].kind, Kind::kSystemClose);
    }
}

}  // namespace
}  // namespace Platform::Window
