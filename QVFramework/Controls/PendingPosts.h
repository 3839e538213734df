#pragma once
// Notifications a control posts: kept until its next idle tick, then sent
// from the control itself. The control calls Deliver from OnTimer.
#include <utility>
#include <vector>

#include "LControl.h"

namespace QV {

class PendingPosts {
public:
    void Post(LControl& control, const char16_t* name, const RCPtr<LRefCountedObject>& payload = nullptr)
    {
        if (mPosts.empty()) mSubscribed = control.SubscribeIdle() == S_OK;
        mPosts.emplace_back(name, payload);
    }
    void Deliver(LControl& control)
    {
        if (mPosts.empty()) return;
        auto posts = std::move(mPosts);
        mPosts.clear();
        // A tick that still comes finds nothing to deliver.
        if (std::exchange(mSubscribed, false)) control.UnsubscribeIdle();
        for (const auto& [name, payload] : posts) control.Notify(name, payload);
    }
    bool IsEmpty() const { return mPosts.empty(); }

private:
    std::vector<std::pair<const char16_t*, RCPtr<LRefCountedObject>>> mPosts;
    bool mSubscribed = false;
};

}  // namespace QV
