#pragma once
// Message boxes through the desktop's dialog program: zenity, or kdialog
// when zenity is missing, or whatever TARSEL_MESSAGE_BOX names (spoken to in
// kdialog's arguments when its file name is "kdialog", in zenity's
// otherwise). The box is modal for the owner's window; the owner keeps
// painting while it is open, and a request to end the program (SIGTERM
// turned into SDL's quit event) ends the box. Without any such program, or
// when it cannot show the box, the fallback service shows it.
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "MessageBoxLayout.h"
#include "MessageBoxService.h"

namespace Platform {

enum class DialogTool { kZenity, kKdialog };

struct DialogBox {
    MessageBoxLayout layout;
    std::string text;
    std::string caption;
    uint64_t ownerWindow = 0;
};

// The arguments after the program's name.
std::vector<std::string> BuildDialogArguments(DialogTool tool, const DialogBox& box);

// The answer the program's ending gives; none when it showed no box.
std::optional<int32_t> InterpretDialogOutcome(DialogTool tool, const MessageBoxLayout& layout,
                                              const FileChooser::ChildOutcome& outcome);

class ProgramMessageBoxService : public IMessageBoxService {
public:
    explicit ProgramMessageBoxService(IMessageBoxService& fallback) : mFallback(fallback) {}

    int32_t Show(const QV::String& text, const QV::String& caption, uint32_t flags,
                 const MessageBoxOwner& owner) override;

private:
    IMessageBoxService& mFallback;
};

}  // namespace Platform
