#pragma once
// The file chooser as a separate program: zenity, or kdialog when zenity is
// missing, or whatever TARSEL_FILE_CHOOSER names (spoken to in kdialog's
// arguments when its file name is "kdialog", in zenity's otherwise). Exit
// code 0 gives the chosen path(s) on standard output, 1 is a cancel, anything
// else is an error.
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "FileChooser.h"

namespace Platform::FileChooser {

enum class Dialect { Zenity, Kdialog };

// The arguments after the program's name.
std::vector<std::string> BuildArguments(Dialect dialect, const Request& request);

// What the program's ending means for request.
Result InterpretOutcome(const std::string& program, const ChildOutcome& outcome, const Request& request);

class ProgramFileChooser : public IFileChooser {
public:
    Result Run(const Request& request) override;
};

}  // namespace Platform::FileChooser
