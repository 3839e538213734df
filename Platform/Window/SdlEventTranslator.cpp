#include "SdlEventTranslator.h"

#include <array>
#include <utility>

#include "UtfConversion.h"

namespace Platform::Window {
namespace {

using QV::WindowMessage;
using Kind = WindowMessage::Kind;

constexpr std::pair<SDL_Keycode, uint32_t> kKeys[] = {
    {SDLK_BACKSPACE, 0x08},   {SDLK_TAB, 0x09},          {SDLK_RETURN, 0x0D},       {SDLK_KP_ENTER, 0x0D},
    {SDLK_PAUSE, 0x13},       {SDLK_CAPSLOCK, 0x14},     {SDLK_ESCAPE, 0x1B},       {SDLK_SPACE, 0x20},
    {SDLK_PAGEUP, 0x21},      {SDLK_PAGEDOWN, 0x22},     {SDLK_END, 0x23},          {SDLK_HOME, 0x24},
    {SDLK_LEFT, 0x25},        {SDLK_UP, 0x26},           {SDLK_RIGHT, 0x27},        {SDLK_DOWN, 0x28},
    {SDLK_PRINTSCREEN, 0x2C}, {SDLK_INSERT, 0x2D},       {SDLK_DELETE, 0x2E},       {SDLK_LGUI, 0x5B},
    {SDLK_RGUI, 0x5C},        {SDLK_APPLICATION, 0x5D},  {SDLK_KP_0, 0x60},         {SDLK_KP_1, 0x61},
    {SDLK_KP_2, 0x62},        {SDLK_KP_3, 0x63},         {SDLK_KP_4, 0x64},         {SDLK_KP_5, 0x65},
    {SDLK_KP_6, 0x66},        {SDLK_KP_7, 0x67},         {SDLK_KP_8, 0x68},         {SDLK_KP_9, 0x69},
    {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},      {SDLK_KP_MINUS, 0x6D},     {SDLK_KP_PERIOD, 0x6E},
    {SDLK_KP_DIVIDE, 0x6F},   {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},   {SDLK_LSHIFT, 0x10},
    {SDLK_RSHIFT, 0x10},      {SDLK_LCTRL, 0x11},        {SDLK_RCTRL, 0x11},        {SDLK_LALT, 0x12},
    {SDLK_RALT, 0x12},        {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},       {SDLK_PERIOD, 0xBE},       {SDLK_SLASH, 0xBF},        {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC},    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

// Keys whose character message SDL leaves out.
constexpr std::pair<SDL_Keycode, char16_t> kSynthesised[] = {
    {SDLK_BACKSPACE, 0x08}, {SDLK_TAB, 0x09}, {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D}, {SDLK_ESCAPE, 0x1B},
};

constexpr std::pair<uint16_t, uint32_t> kModifiers[] = {
    {KMOD_LSHIFT, 0x8 | 0x10},  {KMOD_RSHIFT, 0x8 | 0x20},  {KMOD_LCTRL, 0x1 | 0x2},  {KMOD_RCTRL, 0x1 | 0x4},
    {KMOD_LGUI, 0x200 | 0x400}, {KMOD_RGUI, 0x200 | 0x800}, {KMOD_LALT, 0x40 | 0x80}, {KMOD_RALT, 0x40 | 0x100},
};

int32_t ButtonFromSdl(uint8_t button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_RIGHT: return 4;
    default: return 0;
    }
}

WindowMessage Make(Kind kind, uint32_t modifiers)
{
    WindowMessage m;
    m.kind = kind;
    m.modifiers = modifiers;
    return m;
}

}  // namespace

uint32_t VirtualKeyFromSdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return 0x41 + uint32_t(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return 0x30 + uint32_t(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + uint32_t(key - SDLK_F1);
    for (const auto& [sdl, vk] : kKeys) {
        if (sdl == key) return vk;
    }
    return 0;
}

uint32_t ModifierWordFromSdl(uint16_t mod)
{
    uint32_t word = 0;
    for (const auto& [bit, bits] : kModifiers) {
        if (mod & bit) word |= bits;
    }
    return word;
}

std::vector<WindowMessage> SdlEventTranslator::Translate(const SDL_Event& event)
{
    std::vector<WindowMessage> out;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        mMod = event.key.keysym.mod;
        TranslateKey(event.key, out);
        break;
    case SDL_TEXTINPUT: TranslateText(event.text.text, out); break;
    case SDL_MOUSEMOTION: {
        mPointer = {event.motion.x, event.motion.y};
        WindowMessage m = Make(Kind::kMouseMove, ModifierWordFromSdl(mMod));
        m.point = mPointer;
        out.push_back(m);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int32_t button = ButtonFromSdl(event.button.button);
        if (button == 0) break;
        mPointer = {event.button.x, event.button.y};
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        // Every second click of a run is the double click, as on Windows.
        const Kind kind = !down                                                        ? Kind::kButtonUp
                          : (event.button.clicks >= 2 && event.button.clicks % 2 == 0) ? Kind::kButtonDoubleClick
                                                                                       : Kind::kButtonDown;
        WindowMessage m = Make(kind, ModifierWordFromSdl(mMod));
        m.button = button;
        m.point = mPointer;
        out.push_back(m);
        break;
    }
    case SDL_MOUSEWHEEL: {
        int32_t dy = event.wheel.y;
        int32_t dx = event.wheel.x;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
            dy = -dy;
            dx = -dx;
        }
        if (dy != 0) {
            WindowMessage m = Make(Kind::kWheel, ModifierWordFromSdl(mMod));
            m.delta = dy * 120;
            m.point = mPointer;
            out.push_back(m);
        }
        if (dx != 0) {
            WindowMessage m = Make(Kind::kHorizontalWheel, ModifierWordFromSdl(mMod));
            m.delta = dx * 120;
            m.point = mPointer;
            out.push_back(m);
        }
        break;
    }
    case SDL_WINDOWEVENT: TranslateWindow(event.window, out); break;
    case SDL_QUIT: out.push_back(Make(Kind::kSystemClose, 0)); break;
    case SDL_CLIPBOARDUPDATE: out.push_back(Make(Kind::kClipboardDestroyed, 0)); break;
    default: break;
    }
    return out;
}

void SdlEventTranslator::TranslateKey(const SDL_KeyboardEvent& key, std::vector<WindowMessage>& out) const
{
    const uint32_t modifiers = ModifierWordFromSdl(key.keysym.mod);
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (modifiers & WindowMessage::kAlt) != 0;
    const uint32_t vk = VirtualKeyFromSdl(key.keysym.sym);
    if (vk == 0) return;
    // Alt turns key messages into system-key messages, as on Windows.
    const Kind kind = alt ? (down ? Kind::kSysKeyDown : Kind::kSysKeyUp) : (down ? Kind::kKeyDown : Kind::kKeyUp);
    WindowMessage m = Make(kind, modifiers);
    m.virtualKey = vk;
    m.repeat = key.repeat != 0;
    out.push_back(m);
    if (!down) return;
    char16_t character = 0;
    for (const auto& [sdl, c] : kSynthesised) {
        if (sdl == key.keysym.sym) character = c;
    }
    const bool ctrl = (modifiers & WindowMessage::kCtrl) != 0;
    if (ctrl && !alt && key.keysym.sym >= SDLK_a && key.keysym.sym <= SDLK_z) {
        character = char16_t(key.keysym.sym - SDLK_a + 1);
    }
    if (character == 0) return;
    WindowMessage c = Make(Kind::kChar, modifiers);
    c.character = character;
    out.push_back(c);
}

void SdlEventTranslator::TranslateText(const char* text, std::vector<WindowMessage>& out) const
{
    const char* source = text;
    const char* end = text + SDL_strlen(text);
    std::array<char16_t, SDL_TEXTINPUTEVENT_TEXT_SIZE> units{};
    char16_t* target = units.data();
    QV::ConvertUtf8ToUtf16(source, end, target, units.data() + units.size());
    const uint32_t modifiers =
        ModifierWordFromSdl(mMod) & (WindowMessage::kShift | WindowMessage::kLeftShift | WindowMessage::kRightShift);
    for (const char16_t* u = units.data(); u != target; ++u) {
        WindowMessage m = Make(Kind::kChar, modifiers);
        m.character = *u;
        out.push_back(m);
    }
}

void SdlEventTranslator::TranslateWindow(const SDL_WindowEvent& window, std::vector<WindowMessage>& out)
{
    switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE: out.push_back(Make(Kind::kSystemClose, 0)); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        WindowMessage m = Make(Kind::kSize, 0);
        m.width = window.data1;
        m.height = window.data2;
        out.push_back(m);
        break;
    }
    case SDL_WINDOWEVENT_MINIMIZED: {
        WindowMessage m = Make(Kind::kSize, 0);
        m.minimized = true;
        out.push_back(m);
        break;
    }
    case SDL_WINDOWEVENT_MOVED: out.push_back(Make(Kind::kMove, 0)); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back(Make(Kind::kSetFocus, 0)); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back(Make(Kind::kKillFocus, 0)); break;
    case SDL_WINDOWEVENT_LEAVE: {
        WindowMessage m = Make(Kind::kMouseMove, 0);
        m.point = mPointer;
        m.elsewhere = true;
        out.push_back(m);
        break;
    }
    default: break;
    }
}

}  // namespace Platform::Window
