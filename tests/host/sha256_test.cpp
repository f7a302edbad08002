#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "base/md5_and_sha256.h"
#include "base/sha256.h"

namespace {

using base::Sha256;

std::string Hex(const std::array<uint8_t, 32>& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : digest)
        out += {kDigits[b >> 4], kDigits[b & 15]};
    return out;
}

TEST(Sha256, StandardVectorsOnBothEngines) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (Sha256::Engine engine : {Sha256::Engine::Fastest, Sha256::Engine::Portable}) {
        for (const auto& c : cases) {
            Sha256 sha(engine);
            sha.Update(c.input);
            EXPECT_EQ(Hex(sha.Final()), c.digest) << c.input.size() << " bytes, engine " << int(engine);
        }
    }
}

// The engines must agree wherever a block boundary falls, however the bytes arrive.
TEST(Sha256, EnginesAgreeOnRandomLengthsFedInRandomPieces) {
    if (!Sha256::CpuHasShaInstructions())
        std::puts("no SHA instructions here: only the portable engine runs");
    std::mt19937 random(20261208);
    for (size_t length = 0; length <= 300; ++length) {
        std::string data(length, '\0');
        for (char& c : data)
            c = char(random());
        Sha256 whole(Sha256::Engine::Portable), pieces;
        whole.Update(data);
        for (size_t at = 0; at < length;) {
            const size_t piece = std::min<size_t>(random() % 130, length - at);
            pieces.Update(data.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(Hex(pieces.Final()), Hex(whole.Final())) << length;
    }
}

// The one-pass pair must give each digest exactly its own bytes, also when one of them took a
// prefix alone (the signed message's), so that their blocks lie at different places.
TEST(Md5AndSha256, EachDigestAsIfComputedAlone) {
    std::mt19937 random(20261208);
    for (size_t prefix : {0, 1, 17, 63, 64, 100}) {
        for (size_t length : {0, 1, 55, 64, 127, 128, 1000, 4099}) {
            std::string data(length, '\0'), head(prefix, '\0');
            for (char& c : data)
                c = char(random());
            for (char& c : head)
                c = char(random());
            base::Md5AndSha256 pair;
            pair.Sha256Digest().Update(head);
            for (size_t at = 0; at < length;) {
                const size_t piece = std::min<size_t>(random() % 300, length - at);
                pair.Update(data.data() + at, piece);
                at += piece;
            }
            base::Md5 md5;
            md5.Update(data);
            Sha256 sha(Sha256::Engine::Portable);
            sha.Update(head + data);
            EXPECT_EQ(pair.Md5Digest().Final(), md5.Final()) << prefix << " + " << length;
            EXPECT_EQ(Hex(pair.Sha256Digest().Final()), Hex(sha.Final())) << prefix << " + " << length;
        }
    }
}

} // namespace
