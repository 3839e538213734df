#include "basic_dostream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DebugOutput.h"

namespace {

struct CapturingSink : Platform::DebugOutputSink {
    std::vector<std::string> messages;
    void Write(std::string_view text) override { messages.emplace_back(text); }
};

// A debug stream with its own endpoint and sender, its debugger output caught.
class DebugStreamTest : public ::testing::Test {
protected:
    QV::DebugEndpoint endpoint;  // port -1: the debugger output
    QV::DebugDatagramSender sender;
    CapturingSink sink;
    Platform::ScopedDebugOutputSink useSink{sink};
};

std::string Pattern(size_t length)
{
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }
    return text;
}

TEST_F(DebugStreamTest, LongOutputIsSentIn1023CharacterMessages)
{
    const struct {
        std::vector<size_t> writes;
        std::vector<size_t> sentBeforeFlush;
        size_t waiting;
    } cases[] = {
        {{3000}, {1023, 1023}, 954},
        {{1022}, {}, 1022},
        {{1023}, {}, 1023},
        {{1024}, {1023}, 1},
        {{2046}, {1023}, 1023},
        // The buffer fills across writes: the first message ends inside the second write.
        {{1000, 100}, {1023}, 77},
    };
    for (const auto& c : cases) {
        CapturingSink caught;
        Platform::ScopedDebugOutputSink useCaught(caught);
        QV::basic_dostream<char> stream(endpoint, sender);

        size_t total = 0;
        for (size_t n : c.writes) {
            total += n;
        }
        const std::string text = Pattern(total);
        size_t at = 0;
        for (size_t n : c.writes) {
            stream << text.substr(at, n);
            at += n;
        }
        ASSERT_EQ(caught.messages.size(), c.sentBeforeFlush.size()) << total;
        size_t offset = 0;
        for (size_t i = 0; i < c.sentBeforeFlush.size(); ++i) {
            EXPECT_EQ(caught.messages[i], text.substr(offset, c.sentBeforeFlush[i])) << total << " message " << i;
            offset += c.sentBeforeFlush[i];
        }
        stream.flush();
        ASSERT_EQ(caught.messages.size(), c.sentBeforeFlush.size() + 1) << total;
        EXPECT_EQ(caught.messages.back(), text.substr(offset)) << total;
        EXPECT_EQ(caught.messages.back().size(), c.waiting) << total;
    }
}

TEST_F(DebugStreamTest, SingleCharactersAreBatchedTheSameWay)
{
    QV::basic_dostream<char> stream(endpoint, sender);
    const std::string text = Pattern(1030);
    for (char c : text) {
        stream.put(c);
    }
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], text.substr(0, 1023));
    stream << std::endl;
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1], text.substr(1023) + "\n");
}

TEST_F(DebugStreamTest, PendingTextIsSentWhenTheStreamEnds)
{
    {
        QV::basic_dostream<char> stream(endpoint, sender);
        stream << "left over";
        stream.flush();
        stream.flush();  // an empty flush shows nothing
        stream << "at the end";
        EXPECT_EQ(sink.messages, (std::vector<std::string>{"left over"}));
    }
    EXPECT_EQ(sink.messages, (std::vector<std::string>{"left over", "at the end"}));
    EXPECT_FALSE(sender.HasSocket()) << "no port: no socket";
}

TEST_F(DebugStreamTest, WideTextIsSentAsUtf8WithoutSplittingCharacters)
{
    QV::basic_dostream<char16_t> stream(endpoint, sender);
    stream << u"Gr\u00FC\u00DFe \u65E5\u672C" << std::flush;
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Gr\xC3\xBC\xC3\x9F" "e \xE6\x97\xA5\xE6\x9C\xAC");

    // A surrogate pair that would straddle the 1023rd unit moves whole into
    // the next message.
    const std::u16string text = std::u16string(1022, u'a') + u"\U0001F600b";
    stream << text;
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[1], std::string(1022, 'a'));
    stream << std::flush;
    ASSERT_EQ(sink.messages.size(), 3u);
    EXPECT_EQ(sink.messages[2], "\xF0\x9F\x98\x80" "b");
}

TEST_F(DebugStreamTest, WideStreamSplitsAt1023Units)
{
    QV::basic_dostream<char16_t> stream(endpoint, sender);
    stream << std::u16string(3000, u'w');
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(sink.messages[0], std::string(1023, 'w'));
    EXPECT_EQ(sink.messages[1], std::string(1023, 'w'));
    stream.flush();
    EXPECT_EQ(sink.messages.back(), std::string(954, 'w'));
}

}  // namespace
