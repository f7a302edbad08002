#include "base/trace.h"

namespace base {

namespace {

// Appends to a fixed buffer, keeping room for the closing "...\n" and terminator once it is full.
class LineWriter {
public:
    LineWriter(wchar_t* out, size_t capacity) : m_out(out), m_capacity(capacity) {}

    void Put(std::wstring_view text) {
        for (wchar_t c : text) {
            if (m_length + kTail >= m_capacity) {
                m_cut = true;
                return;
            }
            // One event, one line: a line break inside a text would start a line without the prefix.
            m_out[m_length++] = (c == L'\r' || c == L'\n') ? L' ' : c;
        }
    }

    void PutNumber(unsigned long value, unsigned base) {
        wchar_t digits[16];
        size_t count = 0;
        do {
            digits[count++] = L"0123456789ABCDEF"[value % base];
            value /= base;
        } while (value);
        while (base == 16 && count < 8)
            digits[count++] = L'0';
        wchar_t text[16];
        for (size_t i = 0; i < count; ++i)
            text[i] = digits[count - 1 - i];
        Put(std::wstring_view(text, count));
    }

    size_t Finish() {
        const std::wstring_view tail = m_cut ? L"...\n" : L"\n";
        for (wchar_t c : tail)
            if (m_length + 1 < m_capacity) m_out[m_length++] = c;
        m_out[m_length] = L'\0';
        return m_length;
    }

private:
    static constexpr size_t kTail = 5; // "...\n" and the terminator
    wchar_t* m_out;
    size_t m_capacity;
    size_t m_length = 0;
    bool m_cut = false;
};

} // namespace

size_t FormatTraceLine(wchar_t* out, size_t capacity, unsigned long pid, std::wstring_view what,
                       std::wstring_view detail, unsigned long code) {
    if (capacity == 0) return 0;
    LineWriter line(out, capacity);
    line.Put(L"TnVexa[");
    line.PutNumber(pid, 10);
    line.Put(L"]: ");
    line.Put(what);
    if (!detail.empty()) {
        line.Put(L": ");
        line.Put(detail);
    }
    // Decimal for a system error code, hexadecimal for an HRESULT or NTSTATUS: both, so a reader
    // need not know which kind the failing call returns.
    line.Put(L" (error ");
    line.PutNumber(code, 10);
    line.Put(L" = 0x");
    line.PutNumber(code, 16);
    line.Put(L")");
    return line.Finish();
}

std::wstring AddressForTrace(std::wstring_view url) {
    url = url.substr(0, url.find_first_of(L"?#"));
    const size_t scheme = url.find(L"://");
    const size_t hostStart = scheme == std::wstring_view::npos ? 0 : scheme + 3;
    const size_t hostEnd = url.find(L'/', hostStart);
    const size_t at = url.substr(0, hostEnd).rfind(L'@');
    if (at == std::wstring_view::npos || at < hostStart) return std::wstring(url);
    return std::wstring(url.substr(0, hostStart)).append(url.substr(at + 1));
}

} // namespace base
