#include "MessageBoxHost.h"

namespace QV {
namespace {
IMessageBoxHost* gHost = nullptr;
}

IMessageBoxHost* GetMessageBoxHost()
{
    return gHost;
}

ScopedMessageBoxHost::ScopedMessageBoxHost(IMessageBoxHost& host) : ScopedService(gHost, host) {}

int32_t ShowMessageBox(const String& text, const String& caption, uint32_t flags)
{
    return gHost ? gHost->ShowMessageBox(text, caption, flags) : 0;
}

}  // namespace QV
