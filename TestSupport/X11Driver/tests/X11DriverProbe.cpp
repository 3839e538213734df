// The program the driver's tests drive: one titled window that prints, a line
// each, the input events it receives (motion only while a button is held).
//   X11DriverProbe <title>   opens a 320 x 240 window; exits 0 when asked to
//                            close, 3 on Escape
//   X11DriverProbe --exit N  prints $PROBE_GREETING and a line on standard
//                            error, then exits N (no window)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Print(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string Modifiers(Uint16 mod)
{
    std::string text;
    if (mod & KMOD_CTRL) text += " ctrl";
    if (mod & KMOD_SHIFT) text += " shift";
    if (mod & KMOD_ALT) text += " alt";
    return text;
}

// The exit code once the program should end, -1 while it goes on.
int Report(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        Print("down " + std::to_string(event.button.button) + " " + std::to_string(event.button.x) + " " +
              std::to_string(event.button.y) + " " + std::to_string(event.button.clicks));
        break;
    case SDL_MOUSEBUTTONUP:
        Print("up " + std::to_string(event.button.button) + " " + std::to_string(event.button.x) + " " +
              std::to_string(event.button.y));
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.state != 0) {
            Print("drag " + std::to_string(event.motion.x) + " " + std::to_string(event.motion.y));
        }
        break;
    case SDL_MOUSEWHEEL: Print("wheel " + std::to_string(event.wheel.y)); break;
    case SDL_KEYDOWN:
        Print(std::string("key ") + SDL_GetKeyName(event.key.keysym.sym) + Modifiers(event.key.keysym.mod));
        if (event.key.keysym.sym == SDLK_ESCAPE) return 3;
        break;
    case SDL_TEXTINPUT: Print(std::string("text ") + event.text.text); break;
    case SDL_QUIT: Print("quit"); return 0;
    default: break;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--exit") == 0) {
        const char* greeting = std::getenv("PROBE_GREETING");
        Print(greeting ? greeting : "(unset)");
        std::fprintf(stderr, "a line on standard error\n");
        return std::atoi(argv[2]);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: X11DriverProbe <title> | --exit <code>\n");
        return 2;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 2;
    }
    SDL_Window* window = SDL_CreateWindow(argv[1], 40, 50, 320, 240, SDL_WINDOW_SHOWN);
    if (!window) {
        std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
        SDL_Quit();
        return 2;
    }
    SDL_StartTextInput();
    Print("ready");
    int exitCode = -1;
    SDL_Event event;
    while (exitCode < 0 && SDL_WaitEvent(&event)) exitCode = Report(event);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return exitCode < 0 ? 2 : exitCode;
}
