#include "ProgramMessageBoxService.h"

#include <SDL.h>

#include <cerrno>
#include <cstdlib>

namespace Platform {
namespace {

namespace Answer = MessageBoxAnswer;
using Icon = MessageBoxLayout::Icon;

constexpr const char* kOverrideVariable = "TARSEL_MESSAGE_BOX";

DialogTool ToolOf(const std::string& program)
{
    const size_t slash = program.rfind('/');
    const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    return name == "kdialog" ? DialogTool::kKdialog : DialogTool::kZenity;
}

std::vector<std::string> Candidates()
{
    const char* named = std::getenv(kOverrideVariable);
    if (named && *named) return {named};
    return {"zenity", "kdialog"};
}

bool Asks(const MessageBoxLayout& layout)
{
    return layout.buttons.size() > 1;
}

bool HasButton(const MessageBoxLayout& layout, int32_t answer)
{
    for (const MessageBoxButton& button : layout.buttons) {
        if (button.answer == answer) return true;
    }
    return false;
}

// zenity reads escapes such as "\n" in its text: a "\" of ours stays one.
std::string ZenityText(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

std::string ZenityKind(const MessageBoxLayout& layout)
{
    if (Asks(layout)) return "--question";
    switch (layout.icon) {
    case Icon::kError: return "--error";
    case Icon::kWarning: return "--warning";
    default: return "--info";
    }
}

std::vector<std::string> ZenityArguments(const DialogBox& box)
{
    const MessageBoxLayout& layout = box.layout;
    std::vector<std::string> args{ZenityKind(layout), "--title=" + box.caption, "--text=" + ZenityText(box.text),
                                  "--no-markup", "--modal"};
    if (Asks(layout)) {
        if (layout.icon == Icon::kError) args.push_back("--icon-name=dialog-error");
        if (layout.icon == Icon::kWarning) args.push_back("--icon-name=dialog-warning");
        if (!HasButton(layout, Answer::kYes)) {
            args.push_back(std::string("--ok-label=") + layout.buttons[0].label);
            args.push_back(std::string("--cancel-label=") + layout.buttons[1].label);
        } else if (HasButton(layout, Answer::kCancel)) {
            args.push_back("--extra-button=Cancel");
        }
    }
    if (box.ownerWindow != 0) args.push_back("--attach=" + std::to_string(box.ownerWindow));
    return args;
}

std::string KdialogKind(const MessageBoxLayout& layout)
{
    const bool warning = layout.icon == Icon::kWarning || layout.icon == Icon::kError;
    if (HasButton(layout, Answer::kCancel) && HasButton(layout, Answer::kYes)) {
        return warning ? "--warningyesnocancel" : "--yesnocancel";
    }
    if (Asks(layout)) return warning ? "--warningyesno" : "--yesno";
    switch (layout.icon) {
    case Icon::kError: return "--error";
    case Icon::kWarning: return "--sorry";
    default: return "--msgbox";
    }
}

std::vector<std::string> KdialogArguments(const DialogBox& box)
{
    const MessageBoxLayout& layout = box.layout;
    std::vector<std::string> args{"--title", box.caption};
    if (box.ownerWindow != 0) args.insert(args.end(), {"--attach", std::to_string(box.ownerWindow)});
    if (Asks(layout) && !HasButton(layout, Answer::kYes)) {
        args.insert(args.end(), {"--yes-label", layout.buttons[0].label, "--no-label", layout.buttons[1].label});
    }
    args.insert(args.end(), {KdialogKind(layout), box.text});
    return args;
}

// SIGTERM reaches SDL as its quit event; the main loop takes it once the box is gone.
bool EndRequested()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
}

}  // namespace

std::vector<std::string> BuildDialogArguments(DialogTool tool, const DialogBox& box)
{
    return tool == DialogTool::kKdialog ? KdialogArguments(box) : ZenityArguments(box);
}

std::optional<int32_t> InterpretDialogOutcome(DialogTool tool, const MessageBoxLayout& layout,
                                              const FileChooser::ChildOutcome& outcome)
{
    if (outcome.endedByCaller) return layout.closeAnswer;
    if (!outcome.exited) return std::nullopt;
    switch (outcome.exitCode) {
    case 0: return layout.buttons.front().answer;
    case 1:
        // zenity's extra button answers 1 with its label on standard output.
        if (tool == DialogTool::kZenity && HasButton(layout, Answer::kCancel) && outcome.out.rfind("Cancel", 0) == 0) {
            return Answer::kCancel;
        }
        return Asks(layout) ? layout.buttons[1].answer : layout.closeAnswer;
    case 2:
        if (tool == DialogTool::kKdialog && HasButton(layout, Answer::kCancel)) return Answer::kCancel;
        return std::nullopt;
    case 5: return layout.closeAnswer;  // zenity's time-out: no answer given
    default: return std::nullopt;
    }
}

int32_t ProgramMessageBoxService::Show(const QV::String& text, const QV::String& caption, uint32_t flags,
                                       const MessageBoxOwner& owner)
{
    const MessageBoxLayout layout = MessageBoxLayout::For(flags);
    if (EndRequested()) return layout.closeAnswer;
    const DialogBox box{layout, text.ToUtf8(), caption.ToUtf8(), owner.window};
    const auto whileOpen = [&owner] {
        if (owner.whileOpen) owner.whileOpen();
        return !EndRequested();
    };
    for (const std::string& program : Candidates()) {
        std::vector<std::string> argv{program};
        const std::vector<std::string> args = BuildDialogArguments(ToolOf(program), box);
        argv.insert(argv.end(), args.begin(), args.end());
        const FileChooser::ChildOutcome outcome = FileChooser::RunChild(argv, whileOpen);
        if (outcome.spawnError != 0) continue;
        if (const std::optional<int32_t> answer = InterpretDialogOutcome(ToolOf(program), layout, outcome)) {
            return *answer;
        }
        break;
    }
    return mFallback.Show(text, caption, flags, owner);
}

}  // namespace Platform
