#pragma once
// The MIDI manager end to end: the engine on the simulated Tarsel library
// beside the test, and MIDI services that hold only the simulated Tarsel's
// loopback ports, answered by the same keyboard.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "EngineTestSupport.h"
#include "LMidiManager.h"
#include "LNotificationCenterManager.h"
#include "LRootModuleEngine.h"
#include "LWrapper.h"
#include "LoopbackMidiDriver.h"
#include "MidiServices.h"
#include "PackedList.h"
#include "ParamTestValues.h"
#include "SimulatorHandle.h"
#include "TarselKeyboard.h"

namespace MidiManagerTest {

using Bytes = std::vector<uint8_t>;
using Blobs = std::array<Bytes, 15>;

inline Blobs DefaultBlobs()
{
    Blobs blobs;
    for (int i = 0; i < 15; ++i) blobs[i] = Platform::TarselKeyboard::DefaultBlob(i);
    return blobs;
}

// A dump as the keyboard sends it (command 03), with the given blobs.
inline Bytes DumpOf(const Blobs& blobs)
{
    Bytes dump = {0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x03, 0x00, 0x59};
    for (const Bytes& blob : blobs) dump.insert(dump.end(), blob.begin(), blob.end());
    dump.push_back(0xF7);
    return dump;
}

// Factory blobs with every byte moved within its range, so each one differs.
inline Blobs OtherBlobs()
{
    Blobs blobs = DefaultBlobs();
    blobs[0] = {5};                                                    // global channel
    blobs[1] = {4, 3, 13};                                             // keybed
    blobs[14] = {3, 2, 0x3C, 0x64, 0x10, 9, 0x70, 1, 2, 0x44, 5, 0x60, 1};  // foot switch 2
    return blobs;
}

// Short enough for tables of failing cases.
inline constexpr QV::LMidiManager::Timeouts kTestTimeouts{200, 2000};

class MidiManagerFixture : public ::testing::Test {
protected:

    void SetUp() override
    {
        ASSERT_TRUE(sim.IsLoaded());
        sim.Reset();
        posts->Subscribe();
        ASSERT_EQ(engine->Initialize(0), 0);
        ASSERT_TRUE(Settled());
        SetRootModuleEngine(engine);
        manager = QV::LMidiManager::Create(kTestTimeouts);
    }

    void TearDown() override
    {
        manager = nullptr;
        SetRootModuleEngine(nullptr);
        engine = nullptr;
        posts->Drain();
        posts->UnregisterAllNotifications();
        posts = nullptr;
        QV::LNotificationCenterManager::ResetInstance();
    }

    void Script(const Platform::Midi::LoopbackScript& script) { loopback->SetScript(script); }

    Bytes EngineBlob(int32_t id)
    {
        QV::Variant value;
        engine->GetParamValue(ParamTest::Desc(id), value);
        uint32_t size = 0;
        const uint8_t* bytes = value.GetType() == QV::Variant::kBlob ? value.GetData(size) : nullptr;
        return bytes ? Bytes(bytes, bytes + size) : Bytes();
    }

    Blobs EngineBlobs()
    {
        Blobs blobs;
        for (int32_t i = 0; i < 15; ++i) blobs[i] = EngineBlob(i);
        return blobs;
    }

    DeviceLinkTest::SimulatorHandle sim;
    Platform::TarselKeyboard& keyboard = Platform::GetTarselKeyboard();
    std::shared_ptr<Platform::Midi::LoopbackMidiDriver> loopback =
        std::make_shared<Platform::Midi::LoopbackMidiDriver>(keyboard);
    Platform::Midi::MidiServices services{{loopback}};
    Platform::Midi::ScopedMidiServices scope{services};
    QV::RCPtr<EngineTest::PostCollector> posts{new EngineTest::PostCollector()};
    QV::RCPtr<LRootModuleEngine> engine{new LRootModuleEngine()};
    QV::RCPtr<QV::LMidiManager> manager;

private:
    // Whether the keyboard's answers to the connection arrived (its value of
    // -8 comes last), so they cannot overwrite what a test writes.
    bool Settled()
    {
        return Eventually(
            [&] {
                bool seen = false;
                for (const EngineTest::Received& r : posts->Take()) {
                    seen = seen || (r.name == u"NID_PARAM_MODULE_STATE_CHANGE" && HasId(r, -8));
                }
                return seen;
            },
            std::chrono::seconds(2));
    }

    static bool HasId(const EngineTest::Received& r, int32_t id)
    {
        if (auto* pair = dynamic_cast<ParamChangePair*>(r.payload.Get())) return pair->GetKey().id == id;
        auto* list = dynamic_cast<QV::LWrapper<QV::ParamValues>*>(r.payload.Get());
        for (uint32_t i = 0; list && i < PackedList::CountRecords(*list); ++i) {
            QV::ParamValue v;
            PackedList::ReadValue(*list, i, v);
            if (v.descriptor.id == id) return true;
        }
        return false;
    }
};

}  // namespace MidiManagerTest
