#include "ClipboardService.h"

#include <atomic>

#include "SdlClipboardService.h"

namespace Platform {
namespace {

std::atomic<IClipboardService*> gOverride{nullptr};

}  // namespace

IClipboardService& GetClipboardService()
{
    if (IClipboardService* service = gOverride.load()) return *service;
    static SdlClipboardService service;
    return service;
}

ScopedClipboardService::ScopedClipboardService(IClipboardService& service) : mPrevious(gOverride.exchange(&service)) {}

ScopedClipboardService::~ScopedClipboardService()
{
    gOverride.store(mPrevious);
}

}  // namespace Platform
