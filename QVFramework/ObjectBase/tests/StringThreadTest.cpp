#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "StringT.h"

namespace {

using namespace QV;

// Strings carry no lock: threads may copy and drop copies of one shared text
// (and of the shared empty string) while each writes only its own copies.
TEST(StringThreadTest, SharedBuffersSurviveConcurrentCopiesAndWrites)
{
    const String shared(u"shared text");
    constexpr int kThreads = 6;
    constexpr int kRounds = 2000;
    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&shared, &failures, t] {
            for (int i = 0; i < kRounds; ++i) {
                String copy = shared;
                String empty;
                if (copy.GetChars() != shared.GetChars()) ++failures[t];
                copy += String(u"!");
                char16_t* p = copy.Lock(0);
                p[0] = u'S';
                copy.Unlock();
                empty.AppendChar(u'x');
                if (!(copy == u"Shared text!") || !(empty == u"x")) ++failures[t];
                NarrowString narrow(copy);
                if (narrow.GetLength() != 12) ++failures[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
    EXPECT_TRUE(shared == u"shared text");
}

}  // namespace
