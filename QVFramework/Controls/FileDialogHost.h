#pragma once
// What a file dialog needs of the editor's windows: the window that owns the
// chooser, and a way to keep them painting while the chooser is open.
#include <cstdint>

namespace QV {

class IFileDialogHost {
public:
    virtual ~IFileDialogHost() = default;
    // X11 id of the active root window's window; 0 when there is none.
    virtual uint64_t GetOwnerWindow() = 0;
    // Called every few milliseconds while the chooser is open.
    virtual void WhileChooserOpen() = 0;
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
