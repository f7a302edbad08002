// The portable side of the publisher's signatures: strict DER to r||s, the public point as hex,
// and where a file's signature is published.
#include "net/signature.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Plus(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Int(const Bytes& content) {
    return Plus({0x02, static_cast<uint8_t>(content.size())}, content);
}
Bytes Seq(const Bytes& a, const Bytes& b, int lengthDelta = 0) {
    return Plus({0x30, static_cast<uint8_t>(a.size() + b.size() + lengthDelta)}, Plus(a, b));
}
Bytes Filled(size_t n, uint8_t first) {
    return Plus({first}, Bytes(n - 1, 0x11));
}

TEST(EcdsaDerToRaw, OnlyStrictDerOfTwoPositiveScalars) {
    const Bytes high = Plus({0x00}, Filled(32, 0x80)); // 33 bytes: a needed leading zero
    const Bytes small = {0x05};
    struct Case {
        Bytes der;
        bool ok;
        const char* why;
    };
    const Case cases[] = {
        {Seq(Int(high), Int(Filled(32, 0x7f))), true, "full-width r with its leading zero, s without"},
        {Seq(Int(small), Int(small)), true, "short scalars are right-aligned"},
        {Seq(Int(small), Int(small), 1), false, "sequence length beyond the end"},
        {Plus(Seq(Int(small), Int(small)), {0x00}), false, "trailing byte after the sequence"},
        {Seq(Int(small), Plus(Int(small), {0x02, 0x01, 0x01})), false, "a third integer"},
        {Seq(Int({0x00, 0x05}), Int(small)), false, "needless leading zero"},
        {Seq(Int({0x00}), Int(small)), false, "zero"},
        {Seq(Int({0x85}), Int(small)), false, "negative"},
        {Seq(Int(Filled(33, 0x01)), Int(small)), false, "33 bytes of value"},
        {Seq(Int({}), Int(small)), false, "empty integer"},
        {Seq({0x03, 0x01, 0x05}, Int(small)), false, "wrong integer tag"},
        {Plus({0x31, 0x06}, Plus(Int(small), Int(small))), false, "wrong sequence tag"},
        {Plus({0x30, 0x81, 0x06}, Plus(Int(small), Int(small))), false, "long-form length"},
        {Seq(Int(small), {0x02, 0x81, 0x01, 0x05}), false, "long-form integer length"},
        {Seq(Int(small), {0x02, 0x05, 0x05}), false, "integer beyond the sequence"},
        {{}, false, "empty"},
        {{0x30}, false, "truncated header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(net::EcdsaDerToRaw(c.der).has_value(), c.ok);
    }
    const auto raw = net::EcdsaDerToRaw(Seq(Int(high), Int(small)));
    ASSERT_TRUE(raw);
    EXPECT_EQ(Bytes(raw->begin(), raw->begin() + 32), Filled(32, 0x80));
    EXPECT_EQ(Bytes(raw->begin() + 32, raw->end()), Plus(Bytes(31, 0), small));
}

TEST(PublicPointFromHex, SixtyFiveBytesStartingWith04) {
    const std::wstring hex = L"04" + std::wstring(128, L'a');
    const auto point = net::PublicPointFromHex(hex.substr(0, 60) + L"\n" + hex.substr(60) + L"\r\n");
    ASSERT_TRUE(point && (*point)[0] == 0x04 && (*point)[64] == 0xaa);
    for (const std::wstring& bad :
         {L"02" + hex.substr(2), hex.substr(2), hex + L"00", hex.substr(0, 128) + L"0g"})
        EXPECT_FALSE(net::PublicPointFromHex(bad)) << std::string(bad.begin(), bad.end());
}

TEST(SignatureUrlFor, SigAfterThePathAndTheQueryKept) {
    EXPECT_EQ(net::SignatureUrlFor(L"http://h/dl/a.exe"), L"http://h/dl/a.exe.sig");
    EXPECT_EQ(net::SignatureUrlFor(L"http://h/dl/a.exe?v=2&x"), L"http://h/dl/a.exe.sig?v=2&x");
}

} // namespace
