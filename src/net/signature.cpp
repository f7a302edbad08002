#include "net/signature.h"

namespace net {

namespace {

constexpr uint8_t kSequenceTag = 0x30;
constexpr uint8_t kIntegerTag = 0x02;

// One INTEGER at der[at]: its value right-aligned into out (32 bytes); at moves past it.
bool ReadScalar(std::span<const uint8_t> der, size_t& at, uint8_t* out) {
    if (der.size() - at < 2 || der[at] != kIntegerTag) return false;
    const size_t length = der[at + 1];
    at += 2;
    // A long-form length is never minimal here (no INTEGER of a P-256 scalar needs one).
    if (length == 0 || length >= 0x80 || length > der.size() - at) return false;
    std::span<const uint8_t> value = der.subspan(at, length);
    at += length;
    if (value[0] & 0x80) return false; // negative
    if (value[0] == 0) {
        // A leading zero is only allowed where the next byte would otherwise read as negative.
        if (value.size() == 1 || !(value[1] & 0x80)) return false;
        value = value.subspan(1);
    }
    if (value.size() > kP256ScalarBytes) return false;
    const size_t pad = kP256ScalarBytes - value.size();
    for (size_t i = 0; i < pad; ++i)
        out[i] = 0;
    for (size_t i = 0; i < value.size(); ++i)
        out[pad + i] = value[i];
    return true; // a zero value has no bytes left after the checks above
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

} // namespace

std::optional<RawSignature> EcdsaDerToRaw(std::span<const uint8_t> der) {
    if (der.size() < 2 || der[0] != kSequenceTag || der[1] >= 0x80 || der[1] != der.size() - 2)
        return std::nullopt;
    RawSignature raw{};
    size_t at = 2;
    if (!ReadScalar(der, at, raw.data()) || !ReadScalar(der, at, raw.data() + kP256ScalarBytes) ||
        at != der.size())
        return std::nullopt;
    return raw;
}

std::optional<PublicPoint> PublicPointFromHex(std::wstring_view hex) {
    PublicPoint point{};
    size_t digits = 0;
    for (wchar_t c : hex) {
        if (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n') continue;
        const int v = HexValue(c);
        if (v < 0 || digits >= 2 * point.size()) return std::nullopt;
        point[digits / 2] = static_cast<uint8_t>(point[digits / 2] << 4 | v);
        ++digits;
    }
    if (digits != 2 * point.size() || point[0] != 0x04) return std::nullopt;
    return point;
}

std::wstring SignatureUrlFor(std::wstring_view fileUrl) {
    const size_t query = fileUrl.find(L'?');
    if (query == std::wstring_view::npos) return std::wstring(fileUrl) + L".sig";
    return std::wstring(fileUrl.substr(0, query)) + L".sig" + std::wstring(fileUrl.substr(query));
}

std::string SignedMessagePrefix(std::wstring_view fileName) {
    std::string prefix(kSignatureContext);
    prefix += '\0';
    for (size_t i = 0; i < fileName.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(fileName[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < fileName.size() && fileName[i + 1] >= 0xDC00 &&
            fileName[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(fileName[++i]) - 0xDC00);
        if (c < 0x80) {
            prefix += static_cast<char>(c);
        } else if (c < 0x800) {
            prefix += static_cast<char>(0xC0 | c >> 6);
            prefix += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            prefix += static_cast<char>(0xE0 | c >> 12);
            prefix += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            prefix += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            prefix += static_cast<char>(0xF0 | c >> 18);
            prefix += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            prefix += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            prefix += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    prefix += '\0';
    return prefix;
}

} // namespace net
