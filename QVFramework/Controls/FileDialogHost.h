#pragma once
// What a file dialog needs of the editor's windows: the window that owns the
// chooser, a way to keep them painting while the chooser is open, and the
// question before a save replaces a file the chooser did not ask about.
#include <cstdint>
#include <string>

namespace QV {

class IFileDialogHost {
public:
    virtual ~IFileDialogHost() = default;
    // X11 id of the active root window's window; 0 when there is none.
    virtual uint64_t GetOwnerWindow() = 0;
    // Called every few milliseconds while the chooser is open.
    virtual void WhileChooserOpen() = 0;
    // Whether the existing file at path (UTF-8) may be replaced; title is the
    // save dialog's. False keeps it.
    virtual bool ConfirmReplace(const std::string& path, const std::string& title) = 0;
};

IFileDialogHost& GetFileDialogHost();

// Test seam: while it lives, GetFileDialogHost answers host.
class ScopedFileDialogHost {
public:
    explicit ScopedFileDialogHost(IFileDialogHost& host);
    ~ScopedFileDialogHost();
    ScopedFileDialogHost(const ScopedFileDialogHost&) = delete;
    ScopedFileDialogHost& operator=(const ScopedFileDialogHost&) = delete;

private:
    IFileDialogHost* mPrevious;
};

}  // namespace QV
