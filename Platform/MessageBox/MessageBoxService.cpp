#include "MessageBoxService.h"

#include <atomic>

#include "ProgramMessageBoxService.h"
#include "SdlMessageBoxService.h"

namespace Platform {
namespace {

std::atomic<IMessageBoxService*> gOverride{nullptr};

}  // namespace

IMessageBoxService& GetMessageBoxService()
{
    if (IMessageBoxService* service = gOverride.load()) return *service;
    static SdlMessageBoxService sdl;
    static ProgramMessageBoxService service(sdl);
    return service;
}

ScopedMessageBoxService::ScopedMessageBoxService(IMessageBoxService& service) : mPrevious(gOverride.exchange(&service))
{}

ScopedMessageBoxService::~ScopedMessageBoxService()
{
    gOverride.store(mPrevious);
}

}  // namespace Platform
