#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "FakeParamEngine.h"
#include "LNotificationCenterManager.h"
#include "LPresetFileLoadNotificationData.h"
#include "LPresetManager.h"
#include "TempFolder.h"

namespace {

using namespace QV;
using driver_test::Blob;
using driver_test::BytesOf;
using driver_test::FakeParamEngine;

std::string Word(uint32_t word)
{
    std::string out;
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(word >> (8 * i)));
    return out;
}

std::string Header(uint32_t version, uint32_t a = 0, uint32_t b = 0)
{
    return Word(version) + Word(a) + Word(b);
}

// One record as the file format lays it out, word by word.
std::string Record(uint32_t index, const std::vector<uint8_t>& data, uint32_t type = Variant::kBlob,
                   uint32_t reserved = 0)
{
    const auto size = static_cast<uint32_t>(data.size());
    return Word(size + 24) + Word(reserved) + Word(index) + Word(size + 12) + Word(1) + Word(type) +
           std::string(data.begin(), data.end());
}

std::string DefaultRecords(int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) out += Record(static_cast<uint32_t>(i), Platform::TarselKeyboard::DefaultBlob(i));
    return out;
}

// A text as a notification carries it.
class WrappedText : public String, public LRefCountedObject {
    QV_TYPE_NAME("class WrappedText")
public:
    explicit WrappedText(const String& text) : String(text) {}
};

// Records the load notifications, and the engine's writes between them, in order.
class LoadLog : public LNotificationClient {
    QV_TYPE_NAME("class LoadLog")
public:
    QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                 const RCPtr<LNotification>& notification) override
    {
        if (notification->GetID() == NotificationNameTable::GetNotificationID(u"NID_PRESETFILE_PRE_LOAD")) {
            entries.push_back("pre");
        } else if (auto* data = dynamic_cast<LPresetFileLoadNotificationData*>(notification->GetPayload().Get())) {
            entries.push_back("post " + std::to_string(data->GetResult()));
        }
        return S_OK;
    }
    std::vector<std::string> entries;
};

class PresetManagerTest : public ::testing::Test {
protected:
    ~PresetManagerTest() override
    {
        manager = nullptr;
        LNotificationCenterManager::ResetInstance();
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        TempFolder::WriteText(folder / name, bytes);
        return folder / name;
    }
    int32_t Load(const std::string& path) { return manager->LoadPresetFile(String(path.c_str())); }

    FakeParamEngine engine;
    ScopedParamEngine scope{engine};
    TempFolder folder{"preset-manager"};
    RCPtr<LPresetManager> manager = LPresetManager::Create();
};

TEST_F(PresetManagerTest, ASavedFileHoldsTheLayoutAndLoadsBackEveryValueOnce)
{
    const std::string path = folder / "setup.trs";
    ASSERT_EQ(manager->SavePresetFile(String(path.c_str())), S_OK);
    const std::string saved = TempFolder::ReadText(path);
    EXPECT_EQ(saved.size(), 461u);
    EXPECT_EQ(saved, Header(1) + DefaultRecords(15));

    EXPECT_EQ(Load(path), LPresetManager::kLoaded);
    ASSERT_EQ(engine.sent.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(engine.sent[static_cast<size_t>(i)].id, i);
        EXPECT_EQ(BytesOf(engine.sent[static_cast<size_t>(i)].value), Platform::TarselKeyboard::DefaultBlob(i));
        EXPECT_EQ(engine.sent[static_cast<size_t>(i)].value.GetType(), Variant::kBlob);
    }
}

TEST_F(PresetManagerTest, RecordsAreNumberedFromTheEnginesFirstParameter)
{
    engine.firstID = 100;
    const std::string path = folder / "setup.trs";
    ASSERT_EQ(manager->SavePresetFile(String(path.c_str())), S_OK);
    EXPECT_EQ(TempFolder::ReadText(path), Header(1) + DefaultRecords(15));
    EXPECT_EQ(Load(path), LPresetManager::kLoaded);
    ASSERT_EQ(engine.sent.size(), 15u);
    EXPECT_EQ(engine.sent.front().id, 100);
    EXPECT_EQ(engine.sent.back().id, 114);
}

TEST_F(PresetManagerTest, ValuesTheEngineRefusesAreLostAndReadingGoesOn)
{
    engine.setResult = E_FAIL;
    EXPECT_EQ(Load(Write("a.trs", Header(1) + DefaultRecords(15))), LPresetManager::kLoaded);
    EXPECT_EQ(engine.sent.size(), 15u);
}

TEST_F(PresetManagerTest, CraftedFilesGiveTheirResultAndARefusedOneSendsNothing)
{
    const std::string good = Header(1) + DefaultRecords(2);
    const std::vector<uint8_t> one{5};
    struct Case {
        const char* name;
        std::string bytes;
        int32_t result;
        size_t applied;
    };
    const Case cases[] = {
        {"empty file", "", -3, 0},
        {"header cut short", Header(1).substr(0, 8), -3, 0},
        {"header only", Header(1), 0, 0},
        {"two whole records", good, 0, 2},
        {"a record repeated", good + DefaultRecords(1), 0, 3},
        {"version 0", Header(0) + DefaultRecords(1), -1, 0},
        {"version 2", Header(2) + DefaultRecords(1), -2, 0},
        {"version 0xFFFFFFFF", Header(0xFFFFFFFFu), -2, 0},
        {"other device", Header(1, 0, 7) + DefaultRecords(1), -4, 0},
        {"other device before the version", Header(0, 3, 0), -4, 0},
        {"other device before a newer version", Header(9, 0, 1), -4, 0},
        {"length word 3", good + Word(3), -3, 0},
        {"length word 12", good + Word(12) + Word(0) + Word(0), -3, 0},
        {"length word 0", good + Word(0) + Word(0) + Word(0), -3, 0},
        {"length past the end", good + Word(1000) + Record(2, Platform::TarselKeyboard::DefaultBlob(2)).substr(4), -3,
         0},
        {"length word cut short", good + "\x19\x00", -3, 0},
        {"last record cut short", Header(1) + DefaultRecords(15).substr(0, 444), -3, 0},
        {"reserved word not 0", good + Record(2, Platform::TarselKeyboard::DefaultBlob(2), Variant::kBlob, 1), -3, 0},
        {"index 15", good + Record(15, one), -3, 0},
        {"index -1", good + Record(0xFFFFFFFFu, one), -3, 0},
        {"blob too short", good + Record(2, {1, 2, 3, 4, 5}), -3, 0},
        {"blob too long", good + Record(0, {1, 2}), -3, 0},
        {"not a blob", good + Record(0, one, Variant::kUInt8), -3, 0},
        {"empty type", good + Record(0, one, Variant::kEmpty), -3, 0},
        {"packed length not the record's",
         good + Word(25) + Word(0) + Word(0) + Word(12) + Word(1) + Word(Variant::kBlob) + "\x01", -3, 0},
        {"packed marker not 1", good + Word(25) + Word(0) + Word(0) + Word(13) + Word(2) + Word(14) + "\x01", -3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.sent.clear();
        EXPECT_EQ(Load(Write("crafted.trs", c.bytes)), c.result);
        EXPECT_EQ(engine.sent.size(), c.applied);
    }
}

TEST_F(PresetManagerTest, PathsThatCannotBeReadAreCorrupt)
{
    EXPECT_EQ(Load(folder / "missing.trs"), LPresetManager::kCorrupt);
    EXPECT_EQ(Load(folder.Path()), LPresetManager::kCorrupt);
    EXPECT_EQ(manager->LoadPresetFile(String()), LPresetManager::kCorrupt);
    // Neither waited on nor read without end.
    const std::string fifo = folder / "fifo.trs";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(Load(fifo), LPresetManager::kCorrupt);
    EXPECT_EQ(Load("/dev/zero"), LPresetManager::kCorrupt);
    std::string large = Header(1) + DefaultRecords(15);
    while (large.size() <= LPresetManager::kMaxFileBytes) large += DefaultRecords(15);
    EXPECT_EQ(Load(Write("large.trs", large)), LPresetManager::kCorrupt);
    EXPECT_TRUE(engine.sent.empty());
}

TEST_F(PresetManagerTest, PassedOverIndicesAreCheckedButNotSent)
{
    manager->SetPassOverList({0, 7, 14});
    EXPECT_EQ(Load(Write("a.trs", Header(1) + DefaultRecords(15))), LPresetManager::kLoaded);
    std::vector<int32_t> ids;
    for (const auto& sent : engine.sent) ids.push_back(sent.id);
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13}));

    // A bad value of a passed-over index still refuses the file.
    engine.sent.clear();
    EXPECT_EQ(Load(Write("b.trs", Header(1) + DefaultRecords(2) + Record(7, {1}))), LPresetManager::kCorrupt);
    EXPECT_TRUE(engine.sent.empty());
}

TEST_F(PresetManagerTest, CheckOnlyLetsAnOlderFilePassAndSendsNothing)
{
    EXPECT_FALSE(manager->IsCheckOnly());
    manager->SetCheckOnly(true);
    struct Case {
        const char* name;
        std::string bytes;
        int32_t result;
    };
    const Case cases[] = {
        {"current version", Header(1) + DefaultRecords(15), 0},
        {"version 0", Header(0) + DefaultRecords(3), 0},
        {"version 0 with a bad record", Header(0) + DefaultRecords(3) + Word(3), -3},
        {"newer", Header(2) + DefaultRecords(3), -2},
        {"other device", Header(0, 1, 0), -4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(Write("check.trs", c.bytes)), c.result);
        EXPECT_TRUE(engine.sent.empty());
    }
}

TEST_F(PresetManagerTest, EveryLoadIsFramedByThePreAndPostNotifications)
{
    RCPtr<LoadLog> log(new LoadLog());
    log->RegisterNotification(RCPtr<LNotificationDistributor>(manager.Get()), u"NID_PRESETFILE_PRE_LOAD");
    log->RegisterNotification(RCPtr<LNotificationDistributor>(manager.Get()), u"NID_PRESETFILE_POST_LOAD");
    LoadLog* entries = log.Get();
    engine.onSet = [entries](int32_t id) { entries->entries.push_back("set " + std::to_string(id)); };

    struct Case {
        const char* name;
        std::string path;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"loaded", Write("ok.trs", Header(1) + DefaultRecords(2)), {"pre", "set 0", "set 1", "post 0"}},
        {"header only", Write("header.trs", Header(1)), {"pre", "post 0"}},
        {"older", Write("older.trs", Header(0)), {"pre", "post -1"}},
        {"newer", Write("newer.trs", Header(2)), {"pre", "post -2"}},
        {"corrupt", Write("bad.trs", Header(1) + DefaultRecords(1) + Word(3)), {"pre", "post -3"}},
        {"missing", folder / "none.trs", {"pre", "post -3"}},
        {"other device", Write("other.trs", Header(1, 1, 1)), {"pre", "post -4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log->entries.clear();
        (void)Load(c.path);
        EXPECT_EQ(log->entries, c.expected);
    }
    log->UnregisterAllNotifications();
}

TEST_F(PresetManagerTest, AFailedSaveLeavesTheOldFileUntouched)
{
    struct Case {
        const char* name;
        std::function<void(FakeParamEngine&)> breakIt;
    };
    const Case cases[] = {
        {"too few values", [](FakeParamEngine& e) { e.values.resize(14); }},
        {"no values at all", [](FakeParamEngine& e) { e.getResult = E_FAIL; }},
        {"a value not read", [](FakeParamEngine& e) { e.values[3].Clear(); }},
        {"a blob of the wrong length",
         [](FakeParamEngine& e) {
             e.values[14] = Blob({1, 2});
         }},
        {"a value that is not a blob", [](FakeParamEngine& e) { e.values[0] = Variant(int32_t{1}); }},
    };
    const std::string path = Write("keep.trs", "the old preset");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeParamEngine broken;
        c.breakIt(broken);
        ScopedParamEngine use(broken);
        EXPECT_EQ(manager->SavePresetFile(String(path.c_str())), E_FAIL);
        EXPECT_EQ(TempFolder::ReadText(path), "the old preset");
        EXPECT_EQ(folder.EntryCount(), 1u);
    }
}

TEST_F(PresetManagerTest, ASaveThatCannotWriteFailsAndAGoodOneReplacesTheFile)
{
    EXPECT_EQ(manager->SavePresetFile(String((folder / "no/such/folder.trs").c_str())), E_FAIL);
    EXPECT_EQ(manager->SavePresetFile(String(folder.Path().c_str())), E_FAIL);
    EXPECT_EQ(manager->SavePresetFile(String()), E_FAIL);
    EXPECT_EQ(folder.EntryCount(), 0u);

    const std::string path = Write("replace.trs", "the old preset");
    EXPECT_EQ(manager->SavePresetFile(String(path.c_str())), S_OK);
    EXPECT_EQ(TempFolder::ReadText(path), Header(1) + DefaultRecords(15));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST_F(PresetManagerTest, TheLoadRequestCarriesAPathOrNothing)
{
    const std::string path = Write("request.trs", Header(1) + DefaultRecords(15));
    RCPtr<LNotificationCenter> center = GetDefaultNotificationCenter();
    const RCPtr<LRefCountedObject> wrapped(new WrappedText(String(path.c_str())));
    EXPECT_GE(center->SendNotification(LNotification::Create(u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS", wrapped)), 0);
    EXPECT_EQ(engine.sent.size(), 15u);

    engine.sent.clear();
    EXPECT_GE(center->SendNotification(LNotification::Create(u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS")), 0);
    EXPECT_TRUE(engine.sent.empty());

    // Released with its last reference, the manager hears no more requests.
    manager = nullptr;
    EXPECT_GE(center->SendNotification(LNotification::Create(u"NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS", wrapped)), 0);
    EXPECT_TRUE(engine.sent.empty());
}

}  // namespace
