#pragma once
// Asking the user for files to open or a file to save through the desktop's
// own chooser. A back end answers one request; Choose adds the save rules
// every back end shares. Runs on the UI thread.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Platform::FileChooser {

enum class Mode { Open, Save };

struct Filter {
    std::string description;
    std::vector<std::string> patterns;  // "*.tps"
};

struct Request {
    Mode mode = Mode::Open;
    std::string title;
    std::vector<Filter> filters;
    std::string defaultExtension;  // without the dot; empty for none
    std::string startFolder;
    std::string proposedName;  // save only
    bool multiple = false;     // open only
    bool overwritePrompt = false;
    uint64_t ownerWindow = 0;  // X11 window id of the owner; 0 for none
    // Called every few milliseconds while the chooser is open, so the
    // caller's windows keep painting.
    std::function<void()> whileOpen;
    // Save with an overwrite prompt: asked whether an existing file may be
    // replaced when Choose added the extension (the chooser asked about the
    // name without it); true replaces it. Without it nothing is replaced.
    std::function<bool(const std::string& path)> confirmReplace;
};

enum class Outcome { Ok, Cancel, Error };

struct Result {
    Outcome outcome = Outcome::Error;
    std::vector<std::string> paths;  // absolute UTF-8 paths when Ok
    std::string error;               // why, when Error
};

class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    virtual Result Run(const Request& request) = 0;
};

// The process-wide back end: the chooser program (zenity, else kdialog, or
// the one TARSEL_FILE_CHOOSER names), unless a ScopedFileChooser is in force.
IFileChooser& GetFileChooser();

// Runs request on the process-wide back end. A saved name without an
// extension gets the default one; when that names an existing file and an
// overwrite prompt was asked for, confirmReplace decides, and a "no" is a
// cancel.
Result Choose(const Request& request);

// Test seam: while it lives, GetFileChooser answers chooser.
class ScopedFileChooser {
public:
    explicit ScopedFileChooser(IFileChooser& chooser);
    ~ScopedFileChooser();
    ScopedFileChooser(const ScopedFileChooser&) = delete;
    ScopedFileChooser& operator=(const ScopedFileChooser&) = delete;

private:
    IFileChooser* mPrevious;
};

}  // namespace Platform::FileChooser
