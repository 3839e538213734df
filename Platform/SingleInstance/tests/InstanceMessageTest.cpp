#include <gtest/gtest.h>

#include "InstanceMessage.h"

namespace {

using namespace Platform::SingleInstance;

TEST(InstanceMessageTest, EncodesIdLengthTextAndNul)
{
    const std::string record = EncodeMessage("ed \xC3\xBC");
    EXPECT_EQ(record, std::string("\x65\x04\x00\x00\x06\x00\x00\x00"
                                  "ed \xC3\xBC\x00",
                                  14));
}

TEST(InstanceMessageTest, LongTextIsCutWithoutSplittingACharacter)
{
    // Three-byte characters never line up with the limit.
    std::string text;
    while (text.size() < kMaxMessageBytes + 10) text += "\xE2\x82\xAC";
    const std::string record = EncodeMessage(text);
    unsigned char head[kHeaderBytes];
    std::copy_n(record.begin(), kHeaderBytes, head);
    const MessageHeader header = DecodeHeader(head);
    ASSERT_TRUE(IsAcceptableHeader(header));
    ASSERT_EQ(record.size(), kHeaderBytes + header.length);
    const std::optional<std::string> body = DecodeBody(std::string_view(record).substr(kHeaderBytes));
    ASSERT_TRUE(body);
    EXPECT_EQ(body->size() % 3, 0u);
    EXPECT_EQ(text.compare(0, body->size(), *body), 0);
}

TEST(InstanceMessageTest, HeadersOutsideTheRecordAreRefused)
{
    struct Row {
        int32_t id;
        uint32_t length;
        bool accepted;
    };
    const Row rows[] = {
        {1125, 1, true},
        {1125, kMaxMessageBytes, true},
        {1125, 0, false},
        {1125, kMaxMessageBytes + 1, false},
        {1125, 0xFFFFFFFF, false},
        {1124, 5, false},
        {0, 5, false},
        {-1125, 5, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " / " << row.length);
        EXPECT_EQ(IsAcceptableHeader({row.id, row.length}), row.accepted);
    }
}

TEST(InstanceMessageTest, BodyStopsAtTheFirstNulAndNeedsOne)
{
    struct Row {
        std::string body;
        std::optional<std::string> text;
    };
    const Row rows[] = {
        {std::string("abc\0", 4), "abc"},
        {std::string("abc\0def\0", 8), "abc"},
        {std::string("\0", 1), ""},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.body);
        EXPECT_EQ(DecodeBody(row.body), row.text);
    }
}

}  // namespace
