#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>
#include <string>

#include "base/md5.h"

namespace {

TEST(Md5, Rfc1321TestSuite) {
    struct Case {
        const char* input;
        const wchar_t* digest;
    };
    const Case cases[] = {
        {"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {"a", L"0cc175b9c0f1b6a831c399e269772661"},
        {"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", L"f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", L"c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         L"d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         L"57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(base::Md5HexOf(c.input), c.digest) << c.input;
}

TEST(Md5, PiecewiseUpdatesAcrossBlockBoundariesGiveTheSameDigest) {
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = char(i * 31 + 7);
    const std::wstring whole = base::Md5HexOf(data);
    for (size_t step : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 127u}) {
        base::Md5 md5;
        for (size_t i = 0; i < data.size(); i += step)
            md5.Update(std::string_view(data).substr(i, step));
        EXPECT_EQ(base::Md5Hex(md5.Final()), whole) << step;
    }
}

std::wstring Md5sumOf(const std::filesystem::path& file) {
    const std::string cmd = "md5sum '" + file.string() + "'";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return {};
    char line[128] = {};
    const bool got = std::fgets(line, sizeof(line), pipe) != nullptr;
    pclose(pipe);
    if (!got) return {};
    const std::string hex(line, 32);
    return std::wstring(hex.begin(), hex.end());
}

TEST(Md5, LargeRandomFileMatchesMd5sum) {
    const auto file =
        std::filesystem::temp_directory_path() / ("md5_test_" + std::to_string(::getpid()) + ".bin");
    {
        std::mt19937_64 random(20261207);
        std::ofstream out(file, std::ios::binary);
        std::string block(1 << 16, '\0');
        for (int i = 0; i < 96; ++i) { // 6 MB plus an odd tail
            for (size_t j = 0; j < block.size(); j += 8) {
                const uint64_t v = random();
                block.replace(j, 8, reinterpret_cast<const char*>(&v), 8);
            }
            out.write(block.data(), std::streamsize(block.size()));
        }
        out.write("tail", 3);
    }
    const std::wstring expected = Md5sumOf(file);
    ASSERT_EQ(expected.size(), 32u);
    EXPECT_EQ(base::Md5FileHex(file), expected);
    std::filesystem::remove(file);
    EXPECT_EQ(base::Md5FileHex(file), L""); // a missing file has no digest
}

} // namespace
