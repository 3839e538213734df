#include "SdlEventTranslator.h"

#include <array>
#include <utility>

#include "KeyCode.h"
#include "UtfConversion.h"

namespace Platform::Window {
namespace {

namespace Keys = QV::Keys;
using QV::WindowMessage;
using Kind = WindowMessage::Kind;

constexpr std::pair<SDL_Keycode, uint32_t> kKeys[] = {
    {SDLK_BACKSPACE, Keys::kBack},
    {SDLK_TAB, Keys::kTab},
    {SDLK_RETURN, Keys::kReturn},
    {SDLK_KP_ENTER, Keys::kReturn},
    {SDLK_PAUSE, Keys::kPause},
    {SDLK_CAPSLOCK, Keys::kCapital},
    {SDLK_ESCAPE, Keys::kEscape},
    {SDLK_SPACE, Keys::kSpace},
    {SDLK_PAGEUP, Keys::kPageUp},
    {SDLK_PAGEDOWN, Keys::kPageDown},
    {SDLK_END, Keys::kEnd},
    {SDLK_HOME, Keys::kHome},
    {SDLK_LEFT, Keys::kLeft},
    {SDLK_UP, Keys::kUp},
    {SDLK_RIGHT, Keys::kRight},
    {SDLK_DOWN, Keys::kDown},
    {SDLK_PRINTSCREEN, Keys::kSnapshot},
    {SDLK_INSERT, Keys::kInsert},
    {SDLK_DELETE, Keys::kDelete},
    {SDLK_LGUI, Keys::kLeftWin},
    {SDLK_RGUI, Keys::kRightWin},
    {SDLK_APPLICATION, Keys::kApps},
    {SDLK_KP_0, Keys::kNumpad0},
    {SDLK_KP_1, Keys::kNumpad0 + 1},
    {SDLK_KP_2, Keys::kNumpad0 + 2},
    {SDLK_KP_3, Keys::kNumpad0 + 3},
    {SDLK_KP_4, Keys::kNumpad0 + 4},
    {SDLK_KP_5, Keys::kNumpad0 + 5},
    {SDLK_KP_6, Keys::kNumpad0 + 6},
    {SDLK_KP_7, Keys::kNumpad0 + 7},
    {SDLK_KP_8, Keys::kNumpad0 + 8},
    {SDLK_KP_9, Keys::kNumpad0 + 9},
    {SDLK_KP_MULTIPLY, Keys::kMultiply},
    {SDLK_KP_PLUS, Keys::kAdd},
    {SDLK_KP_MINUS, Keys::kSubtract},
    {SDLK_KP_PERIOD, Keys::kDecimal},
    {SDLK_KP_DIVIDE, Keys::kDivide},
    {SDLK_NUMLOCKCLEAR, Keys::kNumLock},
    {SDLK_SCROLLLOCK, Keys::kScroll},
    {SDLK_LSHIFT, Keys::kShift},
    {SDLK_RSHIFT, Keys::kShift},
    {SDLK_LCTRL, Keys::kControl},
    {SDLK_RCTRL, Keys::kControl},
    {SDLK_LALT, Keys::kMenu},
    {SDLK_RALT, Keys::kMenu},
    {SDLK_SEMICOLON, Keys::kOemSemicolon},
    {SDLK_EQUALS, Keys::kOemPlus},
    {SDLK_COMMA, Keys::kOemComma},
    {SDLK_MINUS, Keys::kOemMinus},
    {SDLK_PERIOD, Keys::kOemPeriod},
    {SDLK_SLASH, Keys::kOemSlash},
    {SDLK_BACKQUOTE, Keys::kOemBackquote},
    {SDLK_LEFTBRACKET, Keys::kOemLeftBracket},
    {SDLK_BACKSLASH, Keys::kOemBackslash},
    {SDLK_RIGHTBRACKET, Keys::kOemRightBracket},
    {SDLK_QUOTE, Keys::kOemQuote},
};

// Keys whose character message SDL leaves out, and the control character each types.
constexpr std::pair<SDL_Keycode, char16_t> kSynthesised[] = {
    {SDLK_BACKSPACE, u'\b'}, {SDLK_TAB, u'\t'}, {SDLK_RETURN, u'\r'}, {SDLK_KP_ENTER, u'\r'}, {SDLK_ESCAPE, u'\x1B'},
};

// Each side's key sets the modifier and its side's bit.
constexpr std::pair<uint16_t, uint32_t> kModifiers[] = {
    {KMOD_LSHIFT, WindowMessage::kShift | WindowMessage::kLeftShift},
    {KMOD_RSHIFT, WindowMessage::kShift | WindowMessage::kRightShift},
    {KMOD_LCTRL, WindowMessage::kCtrl | WindowMessage::kLeftCtrl},
    {KMOD_RCTRL, WindowMessage::kCtrl | WindowMessage::kRightCtrl},
    {KMOD_LGUI, WindowMessage::kWin | WindowMessage::kLeftWin},
    {KMOD_RGUI, WindowMessage::kWin | WindowMessage::kRightWin},
    {KMOD_LALT, WindowMessage::kAlt | WindowMessage::kLeftAlt},
    {KMOD_RALT, WindowMessage::kAlt | WindowMessage::kRightAlt},
};

// The delta of one wheel notch.
constexpr int32_t kWheelNotch = 120;

int32_t ButtonFromSdl(uint8_t button)
{
    switch (button) {
    case SDL_BUTTON_LEFT: return WindowMessage::kLeftButton;
    case SDL_BUTTON_MIDDLE: return WindowMessage::kMiddleButton;
    case SDL_BUTTON_RIGHT: return WindowMessage::kRightButton;
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
    // Letters and digits are their own capital ASCII characters.
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + uint32_t(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + uint32_t(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return Keys::kF1 + uint32_t(key - SDLK_F1);
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
            m.delta = dy * kWheelNotch;
            m.point = mPointer;
            out.push_back(m);
        }
        if (dx != 0) {
            WindowMessage m = Make(Kind::kHorizontalWheel, ModifierWordFromSdl(mMod));
            m.delta = dx * kWheelNotch;
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
    // Ctrl+A..Z type the control characters 1..26.
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
