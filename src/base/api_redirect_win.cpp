#include "base/api_redirect_win.h"

#include <tlhelp32.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "base/handle_win.h"

namespace base {
namespace {

// A page's protection is changed around each write; two writers on one page must not interleave.
std::mutex& WriteLock() {
    static std::mutex lock;
    return lock;
}

constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kExecutable =
    PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Stores an aligned value of at most pointer size at `at` whatever the page's protection, which
// is put back afterwards. Caller holds WriteLock().
template <class T> bool WriteEntry(T* at, T value) {
    MEMORY_BASIC_INFORMATION info{};
    if (!::VirtualQuery(at, &info, sizeof(info)) || info.State != MEM_COMMIT) return false;
    const DWORD current = info.Protect & 0xFF;
    const bool change = (current & kWritable) == 0;
    DWORD previous = 0;
    // Code may share the page: it stays executable if it was.
    if (change &&
        !::VirtualProtect(at, sizeof(T), (current & kExecutable) ? PAGE_EXECUTE_READWRITE : PAGE_READWRITE,
                          &previous))
        return false;
    // One store: a thread calling through the entry meanwhile reads the old or the new value.
    std::atomic_ref<T>(*at).store(value);
    if (change) ::VirtualProtect(at, sizeof(T), previous, &previous);
    return true;
}

// A mapped module image: the loader maps it whole, so anything within `size` is readable.
struct Image {
    BYTE* base = nullptr;
    DWORD size = 0;

    bool Holds(DWORD rva, std::size_t length) const { return rva <= size && length <= size - rva; }
    template <class T> T* At(DWORD rva) const { return reinterpret_cast<T*>(base + rva); }
};

const IMAGE_NT_HEADERS* NtHeaders(BYTE* base) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    // The headers lie in the image's first page.
    if (!base || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
        dos->e_lfanew + sizeof(IMAGE_NT_HEADERS) > 4096)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return nullptr;
    return nt;
}

Image ImageOf(void* module) {
    const IMAGE_NT_HEADERS* nt = NtHeaders(static_cast<BYTE*>(module));
    return nt ? Image{static_cast<BYTE*>(module), nt->OptionalHeader.SizeOfImage} : Image{};
}

IMAGE_DATA_DIRECTORY DirectoryOf(const Image& image, int index) {
    const IMAGE_NT_HEADERS* nt = NtHeaders(image.base);
    if (!nt || nt->OptionalHeader.NumberOfRvaAndSizes <= static_cast<DWORD>(index)) return {};
    const IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[index];
    return image.Holds(dir.VirtualAddress, dir.Size) ? dir : IMAGE_DATA_DIRECTORY{};
}

// The export table's entry (an offset from the module) for a name or an ordinal; null if none.
DWORD* ExportEntry(const Image& image, const char* name, IMAGE_DATA_DIRECTORY* exportDir) {
    *exportDir = DirectoryOf(image, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!exportDir->VirtualAddress || exportDir->Size < sizeof(IMAGE_EXPORT_DIRECTORY)) return nullptr;
    const auto* exports = image.At<IMAGE_EXPORT_DIRECTORY>(exportDir->VirtualAddress);
    if (!image.Holds(exports->AddressOfFunctions, std::size_t{exports->NumberOfFunctions} * sizeof(DWORD)))
        return nullptr;
    DWORD index = 0;
    if (IS_INTRESOURCE(name)) {
        const DWORD ordinal = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(name));
        if (ordinal < exports->Base) return nullptr;
        index = ordinal - exports->Base;
    } else {
        const DWORD count = exports->NumberOfNames;
        if (!image.Holds(exports->AddressOfNames, std::size_t{count} * sizeof(DWORD)) ||
            !image.Holds(exports->AddressOfNameOrdinals, std::size_t{count} * sizeof(WORD)))
            return nullptr;
        const DWORD* names = image.At<DWORD>(exports->AddressOfNames);
        const WORD* ordinals = image.At<WORD>(exports->AddressOfNameOrdinals);
        const std::size_t length = std::strlen(name);
        DWORD i = 0;
        for (; i < count; ++i)
            if (image.Holds(names[i], length + 1) &&
                std::memcmp(image.At<char>(names[i]), name, length + 1) == 0)
                break;
        if (i == count) return nullptr;
        index = ordinals[i];
    }
    if (index >= exports->NumberOfFunctions) return nullptr;
    return image.At<DWORD>(exports->AddressOfFunctions) + index;
}

// Every import-address table of the image, ordinary and delay-loaded: each entry, in order.
template <class Visit> void ForEachImportEntry(const Image& image, Visit visit) {
    auto table = [&](DWORD rva) {
        for (; rva && image.Holds(rva, sizeof(void*)) && *image.At<void*>(rva); rva += sizeof(void*))
            visit(image.At<void*>(rva));
    };
    const IMAGE_DATA_DIRECTORY imports = DirectoryOf(image, IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (DWORD rva = imports.VirtualAddress; rva && image.Holds(rva, sizeof(IMAGE_IMPORT_DESCRIPTOR));
         rva += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* descriptor = image.At<IMAGE_IMPORT_DESCRIPTOR>(rva);
        if (!descriptor->Name && !descriptor->FirstThunk) break;
        table(descriptor->FirstThunk);
    }
    const IMAGE_DATA_DIRECTORY delayed = DirectoryOf(image, IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT);
    for (DWORD rva = delayed.VirtualAddress; rva && image.Holds(rva, sizeof(IMAGE_DELAYLOAD_DESCRIPTOR));
         rva += sizeof(IMAGE_DELAYLOAD_DESCRIPTOR)) {
        const auto* descriptor = image.At<IMAGE_DELAYLOAD_DESCRIPTOR>(rva);
        if (!descriptor->DllNameRVA) break;
        // Very old linkers wrote addresses instead of offsets here; such tables are left alone.
        if (descriptor->Attributes.RvaBased) table(descriptor->ImportAddressTableRVA);
    }
}

std::vector<Image> LoadedImages() {
    std::vector<Image> images;
    Handle snapshot;
    // The snapshot fails with ERROR_BAD_LENGTH while the loader is busy: it is simply asked again.
    for (int attempt = 0; attempt < 20 && !snapshot; ++attempt) {
        snapshot.Reset(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0));
        if (!snapshot && ::GetLastError() != ERROR_BAD_LENGTH) return images;
    }
    if (!snapshot) return images;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Module32FirstW(snapshot.Get(), &entry); more;
         more = ::Module32NextW(snapshot.Get(), &entry))
        if (const Image image = ImageOf(entry.modBaseAddr); image.base) images.push_back(image);
    return images;
}

// Import entries of every loaded module that hold `from` or `alsoFrom` are set to `to`.
void ReplaceImports(void* from, void* alsoFrom, void* to) {
    for (const Image& image : LoadedImages())
        ForEachImportEntry(image, [&](void** entry) {
            if (*entry == from || (alsoFrom && *entry == alsoFrom)) WriteEntry(entry, to);
        });
}

#ifdef _WIN64
// An export entry is a 32-bit offset from its module: a replacement elsewhere in the address
// space is reached through `jmp [rip+0]` followed by its address, in a page of its own placed
// within 2 GB above the module. The page is never freed: callers may have kept its address.
void* MakeJumpAbove(const Image& image, void* target) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::uintptr_t granularity = system.dwAllocationGranularity;
    auto alignUp = [&](std::uintptr_t a) { return (a + granularity - 1) & ~(granularity - 1); };
    const std::uintptr_t limit = reinterpret_cast<std::uintptr_t>(image.base) + 0x7FFF0000u;
    std::uintptr_t address = alignUp(reinterpret_cast<std::uintptr_t>(image.base) + image.size);
    while (address + system.dwPageSize <= limit) {
        MEMORY_BASIC_INFORMATION info{};
        if (!::VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof(info))) return nullptr;
        if (info.State == MEM_FREE) {
            auto* page =
                static_cast<BYTE*>(::VirtualAlloc(reinterpret_cast<void*>(address), system.dwPageSize,
                                                  MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
            if (page) {
                static constexpr BYTE kJumpIndirect[] = {0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};
                std::memcpy(page, kJumpIndirect, sizeof(kJumpIndirect));
                std::memcpy(page + sizeof(kJumpIndirect), &target, sizeof(target));
                DWORD previous = 0;
                ::VirtualProtect(page, system.dwPageSize, PAGE_EXECUTE_READ, &previous);
                ::FlushInstructionCache(::GetCurrentProcess(), page, system.dwPageSize);
                return page;
            }
        }
        address = alignUp(reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize);
    }
    return nullptr;
}
#endif

} // namespace

bool ApiRedirect::Install(HMODULE module, const char* name, void* replacement) {
    if (m_exportEntry || !replacement) return false;
    std::lock_guard<std::mutex> lock(WriteLock());
    const Image image = ImageOf(module);
    if (!image.base) return false;
    IMAGE_DATA_DIRECTORY exportDir{};
    DWORD* entry = ExportEntry(image, name, &exportDir);
    if (!entry) return false;
    const DWORD rva = *entry;
    // An entry inside the export directory names a function of another module, not code here.
    if (!rva || rva >= image.size ||
        (rva >= exportDir.VirtualAddress && rva - exportDir.VirtualAddress < exportDir.Size))
        return false;
#ifdef _WIN64
    void* jump = MakeJumpAbove(image, replacement);
    if (!jump) return false;
#else
    void* jump = replacement; // a 32-bit offset reaches every address
#endif
    void* original = image.base + rva;
    // Published before any entry leads to the replacement, which calls through it.
    m_original.store(original, std::memory_order_release);
    if (!WriteEntry(entry, static_cast<DWORD>(static_cast<BYTE*>(jump) - image.base))) {
        m_original.store(nullptr, std::memory_order_release);
#ifdef _WIN64
        ::VirtualFree(jump, 0, MEM_RELEASE); // never reachable: nothing led to it
#endif
        return false;
    }
    m_exportEntry = entry;
    m_originalRva = rva;
    m_replacement = replacement;
    m_jump = jump;
    ReplaceImports(original, nullptr, replacement);
    return true;
}

void ApiRedirect::Remove() {
    if (!m_exportEntry) return;
    std::lock_guard<std::mutex> lock(WriteLock());
    WriteEntry(m_exportEntry, m_originalRva);
    ReplaceImports(m_replacement, m_jump, Original());
    m_exportEntry = nullptr;
}

void* ReplaceTableSlot(void** table, std::size_t index, void* replacement) {
    if (!table) return nullptr;
    std::lock_guard<std::mutex> lock(WriteLock());
    void* previous = table[index];
    return WriteEntry(&table[index], replacement) ? previous : nullptr;
}

} // namespace base
