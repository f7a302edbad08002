// The download's digests run beside it: every consumer sees every byte committed, in order, across
// buffer boundaries and whatever the pace of the others, before Finish returns.
#include "net/hash_pipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

namespace {

TEST(HashPipe, EveryConsumerGetsAllBytesInOrderWhateverItsPace) {
    std::string sent;
    for (int i = 0; i < 5000; ++i)
        sent += static_cast<char>(i * 7 % 251);
    std::string fast, slow;
    net::HashPipe pipe(64, 3); // small buffers, so that the producer waits for the slow consumer
    EXPECT_TRUE(pipe.Space().empty()) << "no consumer yet: a read must fail, not wait for ever";
    ASSERT_TRUE(pipe.Start(
        {[&](const uint8_t* data, size_t n) { fast.append(reinterpret_cast<const char*>(data), n); },
         [&](const uint8_t* data, size_t n) {
             std::this_thread::sleep_for(std::chrono::microseconds(200));
             slow.append(reinterpret_cast<const char*>(data), n);
         }}));
    // Reads of pieces smaller than, equal to and larger than a buffer, each cut at the end of
    // the buffer being filled, as the download reads into it.
    for (size_t at = 0, piece = 1; at < sent.size(); piece = piece * 3 % 200 + 1) {
        const std::span<uint8_t> space = pipe.Space();
        ASSERT_FALSE(space.empty());
        const size_t n = std::min({piece, space.size(), sent.size() - at});
        std::copy_n(sent.data() + at, n, space.data());
        pipe.Commit(n);
        at += n;
    }
    pipe.Finish();
    EXPECT_EQ(fast, sent);
    EXPECT_EQ(slow, sent);
}

} // namespace
