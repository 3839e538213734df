// The simulated keyboard shared with another process through the state file:
// what the editor sets is written there, and a rewrite by another process
// reaches the editor through the value callback, as a real keyboard reports
// a change made on it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "DeviceControlClientApi.h"
#include "DynamicLibrary.h"
#include "Eventually.h"
#include "SimulatorControl.h"
#include "TempFolder.h"

namespace {

using QV::Variant;
using Bytes = std::vector<uint8_t>;
using Reported = std::vector<std::pair<int32_t, Bytes>>;

// Every value set the library delivered, as (id, bytes) pairs.
struct ValueSetLog {
    std::mutex mutex;
    std::vector<Reported> sets;

    static void Callback(void* context, int32_t, const QV::ParamValues* values)
    {
        auto* log = static_cast<ValueSetLog*>(context);
        Reported set;
        Variant record;
        for (uint32_t i = 0; values && values->GetArrayItem(i, record) == 0; ++i) {
            Variant value, id;
            record.GetArrayItem(0, value);
            record.GetArrayItem(1, id);
            uint32_t size = 0;
            const uint8_t* data = value.GetData(size);
            set.emplace_back(id.GetAsInt32(), data ? Bytes(data, data + size) : Bytes());
        }
        std::lock_guard lock(log->mutex);
        log->sets.push_back(std::move(set));
    }
    std::vector<Reported> Sets()
    {
        std::lock_guard lock(mutex);
        return sets;
    }
    // Every value of every set, in the order delivered.
    Reported Values()
    {
        Reported all;
        for (const Reported& set : Sets()) all.insert(all.end(), set.begin(), set.end());
        return all;
    }
};

// The library reads the variable when its keyboard is made, at its first
// call, and may stay loaded after an unload: one file serves the process.
class SimulatorStateFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!sFolder) {
            sFolder = std::make_unique<TempFolder>("SimulatorStateFileTest");
            ::setenv("TARSEL_SIMULATOR_STATE", (*sFolder / "keyboard.txt").c_str(), 1);
        }
        sLibrary =
            std::make_unique<Platform::DynamicLibrary>(Platform::GetExecutableFolder() + "/DeviceControlClient.so");
    }
    static void TearDownTestSuite() { sLibrary.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(sLibrary->IsLoaded()) << sLibrary->GetError();
        Get("SIM_Reset", mReset);
        Get("SIM_WaitForCallbacks", mWaitForCallbacks);
        Get("DVCL_ConnectDevice", mConnect);
        Get("DVCL_DisconnectDevice", mDisconnect);
        Get("DVCL_SetParamValue", mSetValue);
        Get("DVCL_GetParamValue", mGetValue);
        mReset();
        ASSERT_EQ(mConnect(&mKeyboard, &ValueSetLog::Callback, &mLog), 0);
    }
    void TearDown() override
    {
        if (mDisconnect) {
            EXPECT_EQ(mDisconnect(&mKeyboard), 0);
        }
        if (mReset) mReset();
    }

    template <class F>
    void Get(const char* name, F& function)
    {
        function = sLibrary->GetFunction<F>(name);
        ASSERT_NE(function, nullptr) << name;
    }

    static std::string Path() { return *sFolder / "keyboard.txt"; }
    static std::string Text() { return TempFolder::ReadText(Path()); }
    // Rewritten as another process would: whole, then renamed into place.
    static void Rewrite(const std::string& from, const std::string& to)
    {
        std::string text = Text();
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from << " in\n" << text;
        text.replace(at, from.size(), to);
        TempFolder::WriteText(Path() + ".new", text);
        ASSERT_EQ(std::rename((Path() + ".new").c_str(), Path().c_str()), 0);
    }

    Bytes KeyboardValue(int32_t id) const
    {
        const QV::ParamDescriptor descriptor{id, Variant()};
        Variant value;
        if (mGetValue(&mKeyboard, &descriptor, &value) != 0) return {};
        uint32_t size = 0;
        const uint8_t* data = value.GetData(size);
        return Bytes(data, data + size);
    }

    static std::unique_ptr<TempFolder> sFolder;
    static std::unique_ptr<Platform::DynamicLibrary> sLibrary;
    SIM_ResetFn mReset = nullptr;
    SIM_WaitForCallbacksFn mWaitForCallbacks = nullptr;
    DVCL_ConnectDeviceFn mConnect = nullptr;
    DVCL_DisconnectDeviceFn mDisconnect = nullptr;
    DVCL_SetParamValueFn mSetValue = nullptr;
    DVCL_GetParamValueFn mGetValue = nullptr;
    const Variant mKeyboard;
    ValueSetLog mLog;
};

std::unique_ptr<TempFolder> SimulatorStateFileTest::sFolder;
std::unique_ptr<Platform::DynamicLibrary> SimulatorStateFileTest::sLibrary;

TEST_F(SimulatorStateFileTest, ValuesTheEditorSetsAreWrittenAndNotEchoed)
{
    const QV::ParamDescriptor zone2{3, Variant()};
    const Bytes blob{1, 5, 10, 20, 7, 13};
    Variant value;
    value.SetBlob(blob.data(), static_cast<uint32_t>(blob.size()));
    ASSERT_EQ(mSetValue(&mKeyboard, &zone2, &value), 0);
    EXPECT_NE(Text().find("\n3: 01 05 0A 14 07 0D\n"), std::string::npos) << Text();
    EXPECT_NE(Text().find("\n2: 00 00 00 57 06 0C\n"), std::string::npos) << Text();
    ASSERT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_TRUE(mLog.Sets().empty());
}

TEST_F(SimulatorStateFileTest, RewriteByAnotherProcessIsReportedOnceAsAKeyboardChange)
{
    Rewrite("\n0: 01\n", "\n0: 0A\n");
    Rewrite("\n10: 00\n", "\n10: 05\n");
    // One set or two, as the poll caught the rewrites; each value once.
    ASSERT_EVENTUALLY(mLog.Values().size() >= 2);
    EXPECT_EQ(KeyboardValue(10), Bytes{5});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_EQ(mLog.Values(), (Reported{{0, {10}}, {10, {5}}}));

    // The same values written again: nothing to report.
    const size_t sets = mLog.Sets().size();
    Rewrite("\n0: 0A\n", "\n0: 0a\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_EQ(mLog.Sets().size(), sets);
}

TEST_F(SimulatorStateFileTest, MalformedRewriteIsIgnored)
{
    Rewrite("\n4: 00 02 00 57 06 0C\n", "\n4: 00 02 00 58 06 0C\n");
    Rewrite("\n0: 01\n", "\n0: 0A\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_EQ(mWaitForCallbacks(20000), 0);
    EXPECT_TRUE(mLog.Sets().empty());
    EXPECT_EQ(KeyboardValue(0), Bytes{1});
    EXPECT_NE(Text().find("\n4: 00 02 00 58 06 0C\n"), std::string::npos) << "left as written";

    // Repaired, it is read again.
    Rewrite("\n4: 00 02 00 58 06 0C\n", "\n4: 00 02 00 57 06 0C\n");
    EXPECT_EVENTUALLY(KeyboardValue(0) == Bytes{10});
}

}  // namespace
