// Feeds arbitrary bytes to the signature's DER reader and checks what strictness promises: an
// accepted input is exactly the one canonical encoding of the r and s it yields, and neither
// of them is zero.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_input.h"
#include "net/signature.h"

using fuzz::Require;

namespace {

std::vector<uint8_t> EncodeInteger(const uint8_t* scalar) {
    size_t first = 0;
    while (first < net::kP256ScalarBytes && scalar[first] == 0)
        ++first;
    std::vector<uint8_t> value(scalar + first, scalar + net::kP256ScalarBytes);
    if (!value.empty() && (value[0] & 0x80)) value.insert(value.begin(), 0x00);
    std::vector<uint8_t> out = {0x02, static_cast<uint8_t>(value.size())};
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto raw = net::EcdsaDerToRaw(std::span(data, size));
    if (!raw) return 0;
    const auto r = EncodeInteger(raw->data()), s = EncodeInteger(raw->data() + net::kP256ScalarBytes);
    Require(r.size() > 2 && s.size() > 2); // zero is never accepted
    std::vector<uint8_t> canonical = {0x30, static_cast<uint8_t>(r.size() + s.size())};
    canonical.insert(canonical.end(), r.begin(), r.end());
    canonical.insert(canonical.end(), s.begin(), s.end());
    Require(canonical == std::vector<uint8_t>(data, data + size));
    return 0;
}
