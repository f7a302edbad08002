// The download's digests run beside it: every consumer sees every byte pushed, in order, across
// buffer boundaries and whatever the pace of the others, before Finish returns.
#include "net/hash_pipe.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

TEST(HashPipe, EveryConsumerGetsAllBytesInOrderWhateverItsPace) {
    std::string pushed;
    for (int i = 0; i < 5000; ++i)
        pushed += static_cast<char>(i * 7 % 251);
    std::string fast, slow;
    net::HashPipe pipe(64, 3); // small buffers, so that pushes wait for the slow consumer
    ASSERT_TRUE(pipe.Start(
        {[&](const uint8_t* data, size_t n) { fast.append(reinterpret_cast<const char*>(data), n); },
         [&](const uint8_t* data, size_t n) {
             std::this_thread::sleep_for(std::chrono::microseconds(200));
             slow.append(reinterpret_cast<const char*>(data), n);
         }}));
    // Pieces smaller than, equal to and larger than a buffer.
    for (size_t at = 0, piece = 1; at < pushed.size(); at += piece, piece = piece * 3 % 200 + 1)
        pipe.Push(pushed.data() + at, std::min(piece, pushed.size() - at));
    pipe.Finish();
    EXPECT_EQ(fast, pushed);
    EXPECT_EQ(slow, pushed);
}

} // namespace
