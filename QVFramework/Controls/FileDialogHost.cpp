#include "FileDialogHost.h"

#include <atomic>

namespace QV {
namespace {

class NoWindows : public IFileDialogHost {
public:
    uint64_t GetOwnerWindow() override { return 0; }
    void WhileChooserOpen() override {}
    bool ConfirmReplace(const std::string&, const std::string&) override { return false; }
};

std::atomic<IFileDialogHost*> gOverride{nullptr};

}  // namespace

IFileDialogHost& GetFileDialogHost()
{
    if (IFileDialogHost* host = gOverride.load()) return *host;
    static NoWindows host;
    return host;
}

ScopedFileDialogHost::ScopedFileDialogHost(IFileDialogHost& host) : mPrevious(gOverride.exchange(&host)) {}

ScopedFileDialogHost::~ScopedFileDialogHost()
{
    gOverride.store(mPrevious);
}

}  // namespace QV
