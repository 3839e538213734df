// Building, recognising and reading the keyboard's preset messages.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "ArrayBuffer.h"
#include "ParamTestValues.h"
#include "PresetDump.h"
#include "TarselKeyboard.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const QV::IArray<signed char>& body)
{
    const auto* first = reinterpret_cast<const uint8_t*>(body.GetData());
    return first ? Bytes(first, first + body.GetCount()) : Bytes();
}

QV::Array<QV::ParamValue> FactoryValues()
{
    QV::Array<QV::ParamValue> values;
    for (int32_t i = 0; i < 15; ++i) {
        EXPECT_GE(values.AddItem({ParamTest::Desc(i), ParamTest::Blob(Platform::TarselKeyboard::DefaultBlob(i))}), 0);
    }
    return values;
}

Bytes BlobOf(const QV::ParamValue& value)
{
    uint32_t size = 0;
    const uint8_t* bytes = value.value.GetData(size);
    return Bytes(bytes, bytes + size);
}

// A received dump whose parameter bytes count 0, 1, 2, ... from byte 10.
Bytes CountingDump()
{
    Bytes dump(100);
    for (size_t i = 0; i < dump.size(); ++i) dump[i] = static_cast<uint8_t>(i - 10);
    const Bytes header = {0xF0, 0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x03, 0x12, 0x34};
    std::copy(header.begin(), header.end(), dump.begin());
    dump[99] = 0xF7;
    return dump;
}

TEST(PresetDumpTest, RequestAndHeaderBodies)
{
    QV::ArrayBuffer<signed char> body;
    QV::BuildPresetRequest(body);
    EXPECT_EQ(BytesOf(body), (Bytes{0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x02}));
    QV::BuildPresetDumpHeader(body);
    EXPECT_EQ(BytesOf(body), (Bytes{0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x01, 0x00, 0x59}));
}

TEST(PresetDumpTest, ADumpIsKnownByItsLengthAndFirstEightBytes)
{
    const Bytes dump = CountingDump();
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
        bool isDump;
    };
    const Case cases[] = {
        {"as received", [](Bytes&) {}, true},
        {"bytes 8 and 9 anything", [](Bytes& d) {
             d[8] = 0xFF;
             d[9] = 0x80;
         }, true},
        {"no end byte", [](Bytes& d) { d[99] = 0x00; }, true},
        {"99 bytes", [](Bytes& d) { d.erase(d.begin() + 20); }, false},
        {"101 bytes", [](Bytes& d) { d.insert(d.begin() + 20, 0); }, false},
        {"command 01", [](Bytes& d) { d[7] = 0x01; }, false},
        {"command 02", [](Bytes& d) { d[7] = 0x02; }, false},
        {"other maker", [](Bytes& d) { d[2] = 0x5B; }, false},
        {"no start byte", [](Bytes& d) { d[0] = 0x00; }, false},
        {"byte 6", [](Bytes& d) { d[6] = 0x16; }, false},
    };
    for (const Case& c : cases) {
        Bytes changed = dump;
        c.change(changed);
        EXPECT_EQ(QV::IsPresetDump(changed.data(), static_cast<uint32_t>(changed.size())), c.isDump) << c.name;
    }
    EXPECT_FALSE(QV::IsPresetDump(nullptr, 100));
}

TEST(PresetDumpTest, TheFactorySetupMakesTheDocumentedDump)
{
    QV::ArrayBuffer<signed char> body;
    ASSERT_TRUE(QV::BuildPresetDumpBody(FactoryValues(), body));
    const Bytes bytes = BytesOf(body);
    ASSERT_EQ(bytes.size(), 98u);  // F0 and F7 are added when it is sent
    // Body offsets are the dump's less one.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 19),
              (Bytes{0x00, 0x5A, 0x3C, 0x7F, 0x00, 0x15, 0x01, 0x00, 0x59, 0x01, 0x03, 0x02, 0x0C, 0x00, 0x00, 0x00,
                     0x57, 0x06, 0x0C}));
    EXPECT_EQ(Bytes(bytes.begin() + 85, bytes.end()), Platform::TarselKeyboard::DefaultBlob(14));
}

TEST(PresetDumpTest, ValuesThatMakeNoSoundDumpAreRefused)
{
    struct Case {
        const char* name;
        std::function<void(QV::Array<QV::ParamValue>&)> change;
    };
    const Case cases[] = {
        {"14 values", [](auto& v) { v.SetCount(14); }},
        {"16 values", [](auto& v) { v.AddItem({ParamTest::Desc(15), ParamTest::Blob({1})}); }},
        {"90 bytes", [](auto& v) { v.GetItemPtr(0)->value = ParamTest::Blob({1, 1}); }},
        {"88 bytes", [](auto& v) { v.GetItemPtr(1)->value = ParamTest::Blob({1, 1}); }},
        {"89 bytes, other split",
         [](auto& v) {
             v.GetItemPtr(0)->value = ParamTest::Blob({1, 1});
             v.GetItemPtr(10)->value = ParamTest::Blob({});
         }},
        {"byte 0x80", [](auto& v) { v.GetItemPtr(14)->value = ParamTest::Blob({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}); }},
        {"byte F7", [](auto& v) { v.GetItemPtr(7)->value = ParamTest::Blob({0, 0xF7, 0}); }},
        {"not a blob", [](auto& v) { v.GetItemPtr(0)->value = QV::Variant(uint8_t{1}); }},
        {"empty value", [](auto& v) { v.GetItemPtr(0)->value.Clear(); }},
    };
    for (const Case& c : cases) {
        QV::Array<QV::ParamValue> values = FactoryValues();
        c.change(values);
        QV::ArrayBuffer<signed char> body;
        QV::BuildPresetDumpHeader(body);
        EXPECT_FALSE(QV::BuildPresetDumpBody(values, body)) << c.name;
        EXPECT_EQ(body.GetCount(), 0u) << c.name;
    }
}

TEST(PresetDumpTest, AReceivedDumpSplitsByTheCurrentBlobLengths)
{
    const Bytes dump = CountingDump();
    QV::Array<QV::ParamValue> current = FactoryValues();
    QV::Array<QV::ParamValue> read;
    ASSERT_TRUE(QV::ReadPresetDump(dump.data(), current, read));
    ASSERT_EQ(read.GetCount(), 15u);
    uint8_t next = 0;
    for (int32_t i = 0; i < 15; ++i) {
        EXPECT_EQ(read.GetItemPtr(i)->descriptor.id, i);
        EXPECT_EQ(read.GetItemPtr(i)->value.GetType(), QV::Variant::kBlob);
        const Bytes blob = BlobOf(*read.GetItemPtr(i));
        ASSERT_EQ(blob.size(), Platform::kTarselParameterLengths[i]);
        for (uint8_t byte : blob) EXPECT_EQ(byte, next++);
    }
    // Byte 10 is the global channel; bytes 86-98 foot switch 2.
    EXPECT_EQ(BlobOf(*read.GetItemPtr(0)), Bytes{0});
    EXPECT_EQ(BlobOf(*read.GetItemPtr(14)), Bytes(dump.begin() + 86, dump.begin() + 99));
}

TEST(PresetDumpTest, CurrentValuesThatDoNotFillTheDumpReadNothing)
{
    // Exactly 100 bytes on the heap, so a read beyond them is caught.
    const Bytes dump = CountingDump();
    const std::function<void(QV::Array<QV::ParamValue>&)> changes[] = {
        [](auto& v) { v.GetItemPtr(14)->value = ParamTest::Blob(Bytes(14, 0)); },
        [](auto& v) { v.GetItemPtr(14)->value = ParamTest::Blob(Bytes(200, 0)); },
        [](auto& v) { v.GetItemPtr(0)->value = ParamTest::Blob({}); },
        [](auto& v) { v.SetCount(14); },
        [](auto& v) { v.GetItemPtr(3)->value = QV::Variant(int32_t{6}); },
    };
    for (const auto& change : changes) {
        QV::Array<QV::ParamValue> current = FactoryValues();
        change(current);
        QV::Array<QV::ParamValue> read;
        EXPECT_GE(read.AddItem({ParamTest::Desc(0), ParamTest::Blob({1})}), 0);
        EXPECT_FALSE(QV::ReadPresetDump(dump.data(), current, read));
        EXPECT_EQ(read.GetCount(), 0u);
    }
}

}  // namespace
