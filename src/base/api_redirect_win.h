// Redirection of a module's exported function to a replacement, for the whole process: the
// import-table entries of every loaded module that hold the export's address and the module's
// own export-table entry, so that modules loaded later and GetProcAddress callers get the
// replacement too. And the replacement of one slot of a virtual-function table.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstddef>

namespace base {

// One redirected export. The replacement must stay callable until the process ends (a caller
// may keep the address it was given); it reaches the export's own function through Original().
class ApiRedirect {
public:
    ApiRedirect() = default;
    ApiRedirect(const ApiRedirect&) = delete;
    ApiRedirect& operator=(const ApiRedirect&) = delete;

    // Redirects the export `name` of `module` (a name, or an ordinal made with MAKEINTRESOURCEA,
    // as GetProcAddress takes it) to `replacement`. False, with nothing changed, when the export
    // is missing or forwarded to another module, when its entry cannot be written (on x64 the
    // entry is an offset from the module, so it leads to a small jump placed within 2 GB above
    // the module), or when this object already holds a redirection. The module must stay loaded.
    bool Install(HMODULE module, const char* name, void* replacement);

    // The export's own function; null until Install succeeded. Readable from any thread.
    void* Original() const { return m_original.load(std::memory_order_acquire); }

    // Puts back the export entry and every import entry that leads to the replacement (those of
    // modules loaded since Install included). Original() stays valid for callers that kept the
    // replacement's address.
    void Remove();

private:
    DWORD* m_exportEntry = nullptr;
    DWORD m_originalRva = 0;
    void* m_replacement = nullptr;
    void* m_jump = nullptr; // what the export entry leads to: the replacement or a jump to it
    std::atomic<void*> m_original{nullptr};
};

// Writes `replacement` into slot `index` of a table of function pointers (a COM object's
// virtual table, usually in read-only memory) and answers the entry it held. The slot is made
// writable for the write only; the page keeps its previous protection. Null when the slot could
// not be written.
void* ReplaceTableSlot(void** table, std::size_t index, void* replacement);

} // namespace base
