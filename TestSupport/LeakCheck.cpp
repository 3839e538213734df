// Linked into a test program, fails every test that leaves a counted object
// alive behind it, and records the main thread as the UI thread.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "Eventually.h"
#include "LiveObjects.h"
#include "UIThread.h"

namespace {

class LeakCheck : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { mMark = QV::LiveObjects::Mark(); }

    // Runs after the fixture is destroyed. A worker thread may still be
    // letting go of its last reference, hence the short wait.
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        if (Eventually([this] { return QV::LiveObjects::CountByClass(mMark).empty(); },
                       std::chrono::milliseconds(2000))) {
            return;
        }
        std::ostringstream leaks;
        for (const auto& [name, count] : QV::LiveObjects::CountByClass(mMark)) {
            leaks << "\n  " << count << " x " << name;
        }
        ADD_FAILURE() << "counted objects outlived the test:" << leaks.str();
    }

private:
    uint64_t mMark = 0;
};

class LeakCheckEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        QV::UIThread::SetCurrent();
        if (QV::LiveObjects::kTracked) ::testing::UnitTest::GetInstance()->listeners().Append(new LeakCheck());
    }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new LeakCheckEnvironment());

}  // namespace
