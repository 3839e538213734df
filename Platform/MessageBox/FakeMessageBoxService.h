#pragma once
// Message boxes for tests: every box is recorded and answered at once, with
// the next scripted answer or else the box's default button.
#include <deque>
#include <vector>

#include "MessageBoxLayout.h"
#include "MessageBoxService.h"

namespace Platform {

class FakeMessageBoxService : public IMessageBoxService {
public:
    struct Box {
        QV::String text;
        QV::String caption;
        uint32_t flags = 0;
        uint64_t ownerWindow = 0;
    };

    int32_t Show(const QV::String& text, const QV::String& caption, uint32_t flags,
                 const MessageBoxOwner& owner) override
    {
        shown.push_back({text, caption, flags, owner.window});
        if (owner.whileOpen) owner.whileOpen();
        if (answers.empty()) return MessageBoxLayout::For(flags).defaultAnswer;
        const int32_t answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<Box> shown;
    std::deque<int32_t> answers;
};

}  // namespace Platform
