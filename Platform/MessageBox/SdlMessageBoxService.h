#pragma once
// Message boxes through SDL_ShowMessageBox while a display is there; without
// one (or when SDL cannot show the box) the caption and text go to the
// fallback stream and the box answers its default button.
#include <iosfwd>

#include "MessageBoxService.h"

namespace Platform {

class SdlMessageBoxService : public IMessageBoxService {
public:
    SdlMessageBoxService();
    explicit SdlMessageBoxService(std::ostream& fallback);

    // SDL's box runs its own loop: the owner is not asked to paint.
    int32_t Show(const QV::String& text, const QV::String& caption, uint32_t flags,
                 const MessageBoxOwner& owner) override;

private:
    std::ostream& mFallback;
};

}  // namespace Platform
