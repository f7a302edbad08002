#include "app/pe_version.h"

namespace app {

namespace {

constexpr uint32_t kVersionResourceType = 16; // RT_VERSION
constexpr uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr uint32_t kSubdirectoryBit = 0x80000000;
constexpr uint32_t kMaxEntries = 4096; // a resource tree level is never near this
constexpr uint32_t kMaxSections = 96;  // the format's own limit

// Little-endian fields read one by one; every read is bounded by the file itself.
class Reader {
public:
    explicit Reader(const ReadAt& read) : m_read(read) {}
    bool U16(uint64_t at, uint32_t& value) const { return Bytes(at, 2, value); }
    bool U32(uint64_t at, uint32_t& value) const { return Bytes(at, 4, value); }

private:
    bool Bytes(uint64_t at, size_t n, uint32_t& value) const {
        uint8_t b[4] = {};
        if (!m_read(at, b, n)) return false;
        value = 0;
        for (size_t i = n; i-- > 0;)
            value = value << 8 | b[i];
        return true;
    }
    const ReadAt& m_read;
};

struct Section {
    uint32_t address = 0, virtualSize = 0, rawSize = 0, rawOffset = 0;
};

} // namespace

uint64_t PeFileVersion(const ReadAt& read) {
    const Reader r(read);
    uint32_t magic = 0, header = 0, signature = 0;
    if (!r.U16(0, magic) || magic != 0x5A4D || !r.U32(0x3C, header) || !r.U32(header, signature) ||
        signature != 0x4550)
        return 0;
    uint32_t sections = 0, optionalSize = 0, optionalMagic = 0;
    const uint64_t optional = uint64_t{header} + 24;
    if (!r.U16(header + 6, sections) || !r.U16(header + 20, optionalSize) ||
        !r.U16(optional, optionalMagic) || sections > kMaxSections)
        return 0;
    // The data directories follow the fields that differ between 32- and 64-bit images.
    const uint64_t directories = optional + (optionalMagic == 0x20B ? 112 : optionalMagic == 0x10B ? 96 : 0);
    uint32_t directoryCount = 0, resourceRva = 0;
    if (directories == optional || !r.U32(directories - 4, directoryCount) || directoryCount < 3 ||
        directories + 24 > optional + optionalSize || !r.U32(directories + 16, resourceRva) ||
        resourceRva == 0)
        return 0;

    Section table[kMaxSections];
    for (uint32_t i = 0; i < sections; ++i) {
        const uint64_t at = optional + optionalSize + uint64_t{i} * 40;
        Section& s = table[i];
        if (!r.U32(at + 8, s.virtualSize) || !r.U32(at + 12, s.address) || !r.U32(at + 16, s.rawSize) ||
            !r.U32(at + 20, s.rawOffset))
            return 0;
    }
    const auto offsetOf = [&](uint32_t rva, uint64_t& offset) {
        for (uint32_t i = 0; i < sections; ++i) {
            const Section& s = table[i];
            if (rva >= s.address && rva - s.address < s.rawSize) {
                offset = uint64_t{s.rawOffset} + (rva - s.address);
                return true;
            }
        }
        return false;
    };
    uint64_t root = 0;
    if (!offsetOf(resourceRva, root)) return 0;

    // Type RT_VERSION, then the first name and the first language below it.
    uint64_t directory = root;
    uint32_t entry = 0;
    for (int level = 0; level < 3; ++level) {
        uint32_t named = 0, numbered = 0;
        if (!r.U16(directory + 12, named) || !r.U16(directory + 14, numbered) ||
            named + numbered > kMaxEntries)
            return 0;
        bool found = false;
        for (uint32_t i = 0; i < named + numbered && !found; ++i) {
            uint32_t id = 0;
            if (!r.U32(directory + 16 + uint64_t{i} * 8, id) ||
                !r.U32(directory + 20 + uint64_t{i} * 8, entry))
                return 0;
            found = level > 0 || id == kVersionResourceType;
        }
        if (!found || ((entry & kSubdirectoryBit) != 0) != (level < 2)) return 0;
        directory = root + (entry & ~kSubdirectoryBit);
    }
    uint32_t dataRva = 0, dataSize = 0, valueLength = 0, fixedSignature = 0, high = 0, low = 0;
    uint64_t data = 0;
    // VS_VERSIONINFO: three 16-bit fields, the key "VS_VERSION_INFO" with its terminator, padding
    // to 32 bits, then VS_FIXEDFILEINFO (52 bytes).
    constexpr uint64_t kFixedAt = 40;
    if (!r.U32(directory, dataRva) || !r.U32(directory + 4, dataSize) || dataSize < kFixedAt + 52 ||
        !offsetOf(dataRva, data) || !r.U16(data + 2, valueLength) || valueLength < 52 ||
        !r.U32(data + kFixedAt, fixedSignature) || fixedSignature != kFixedInfoSignature ||
        !r.U32(data + kFixedAt + 8, high) || !r.U32(data + kFixedAt + 12, low))
        return 0;
    return uint64_t{high} << 32 | low;
}

} // namespace app
