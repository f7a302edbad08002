// Message-sequence recording for the framework tests: windows log the messages they receive
// (sent or taken from the queue) and a test compares the log with an expected table.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace fwtest {

enum : unsigned {
    kSent = 1,     // must have arrived by SendMessage (or a direct call of the system)
    kPosted = 2,   // must have come out of the queue
    kWparam = 4,   // wParam is checked
    kLparam = 8,   // lParam is checked
    kOptional = 16 // may be missing
};

struct Expected {
    const char* who; // name given to the window with Recorder::Name; null matches any
    UINT msg;
    unsigned flags;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct Recorded {
    std::string who;
    UINT msg;
    bool posted;
    WPARAM wParam;
    LPARAM lParam;
};

// One per test: records the chosen messages of named windows. A WH_GETMESSAGE hook notes the
// message last taken from the queue, so a message that reaches a window as that one is
// "posted" and any other is "sent".
class Recorder {
public:
    explicit Recorder(std::set<UINT> messages) : m_messages(std::move(messages)) {
        s_current = this;
        m_hook = ::SetWindowsHookExW(WH_GETMESSAGE, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~Recorder() {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        s_current = nullptr;
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    static Recorder* Current() { return s_current; }

    void Name(HWND hwnd, const char* who) { m_names.push_back({hwnd, who}); }
    void Clear() { m_log.clear(); }
    const std::vector<Recorded>& Log() const { return m_log; }

    // Called by the test windows for every message they receive; windows not named (here or
    // by the caller) are not watched.
    void Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const char* who = nullptr) {
        if (!m_messages.count(msg)) return;
        const std::string name = who ? std::string(who) : NameOf(hwnd);
        if (name.empty()) return;
        const bool posted = m_pending && m_last.hwnd == hwnd && m_last.message == msg &&
                            m_last.wParam == wParam && m_last.lParam == lParam;
        if (posted) m_pending = false;
        m_log.push_back({name, msg, posted, wParam, lParam});
    }

    // Compares the log with the table; on a mismatch both traces are printed.
    testing::AssertionResult Matches(const std::vector<Expected>& expected) const {
        size_t e = 0, a = 0;
        std::string why;
        while (e < expected.size() && a < m_log.size() && why.empty()) {
            const Expected& x = expected[e];
            const Recorded& r = m_log[a];
            const bool same = (!x.who || r.who == x.who) && r.msg == x.msg &&
                              (!(x.flags & kWparam) || r.wParam == x.wParam) &&
                              (!(x.flags & kLparam) || r.lParam == x.lParam) &&
                              (!(x.flags & kSent) || !r.posted) && (!(x.flags & kPosted) || r.posted);
            if (same) {
                ++e;
                ++a;
            } else if (x.flags & kOptional) {
                ++e;
            } else {
                why = "mismatch at expected " + std::to_string(e) + ", recorded " + std::to_string(a);
            }
        }
        while (why.empty() && e < expected.size() && (expected[e].flags & kOptional))
            ++e;
        if (why.empty() && e < expected.size()) why = "missing expected " + std::to_string(e);
        if (why.empty() && a < m_log.size()) why = "unexpected recorded " + std::to_string(a);
        if (why.empty()) return testing::AssertionSuccess();
        std::string text = why + "\nexpected:\n";
        for (const auto& x : expected)
            text += Line(x.who ? x.who : "*", x.msg,
                         x.flags & kPosted ? "posted"
                         : x.flags & kSent ? "sent"
                                           : "any",
                         x.wParam, x.lParam, x.flags);
        text += "recorded:\n";
        for (const auto& r : m_log)
            text += Line(r.who, r.msg, r.posted ? "posted" : "sent", r.wParam, r.lParam, kWparam | kLparam);
        return testing::AssertionFailure() << text;
    }

private:
    static std::string Line(const std::string& who, UINT msg, const char* how, WPARAM w, LPARAM l,
                            unsigned flags) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "  %-8s 0x%04x %-6s w=%s l=%s%s\n", who.c_str(), msg, how,
                      flags & kWparam ? std::to_string(static_cast<unsigned long long>(w)).c_str() : "-",
                      flags & kLparam ? std::to_string(static_cast<long long>(l)).c_str() : "-",
                      flags & kOptional ? " (optional)" : "");
        return buf;
    }
    std::string NameOf(HWND hwnd) const {
        for (const auto& [h, name] : m_names)
            if (h == hwnd) return name;
        return {};
    }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && wParam == PM_REMOVE && s_current) {
            s_current->m_last = *reinterpret_cast<const MSG*>(lParam);
            s_current->m_pending = true;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline Recorder* s_current = nullptr;
    std::set<UINT> m_messages;
    std::vector<std::pair<HWND, std::string>> m_names;
    std::vector<Recorded> m_log;
    HHOOK m_hook = nullptr;
    MSG m_last{};
    bool m_pending = false;
};

inline void Record(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const char* who = nullptr) {
    if (Recorder* r = Recorder::Current()) r->Record(hwnd, msg, wParam, lParam, who);
}

// Builds a dialog template in memory: a caption, the system font, and a few controls.
class DialogTemplate {
public:
    DialogTemplate(const wchar_t* title, DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME) {
        Align();
        m_countAt = m_words.size() + 4; // cdit lies after style, exStyle (2 words each)
        PushDword(style);
        PushDword(0);
        m_words.push_back(0); // cdit
        m_words.insert(m_words.end(), {10, 10, 200, 100});
        m_words.push_back(0); // menu
        m_words.push_back(0); // class
        PushText(title);
    }
    // className: one of the predefined atoms (0x0080 button, 0x0081 edit, 0x0082 static).
    DialogTemplate& Add(WORD classAtom, int id, const wchar_t* text, DWORD style, short x, short y, short cx,
                        short cy) {
        Align();
        PushDword(style | WS_CHILD | WS_VISIBLE);
        PushDword(0);
        m_words.insert(m_words.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(cx),
                                       static_cast<WORD>(cy), static_cast<WORD>(id)});
        m_words.insert(m_words.end(), {0xFFFF, classAtom});
        PushText(text);
        m_words.push_back(0); // no creation data
        ++m_words[m_countAt];
        return *this;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void Align() {
        if (m_words.size() % 2) m_words.push_back(0);
    }
    void PushDword(DWORD v) {
        m_words.push_back(LOWORD(v));
        m_words.push_back(HIWORD(v));
    }
    void PushText(const wchar_t* text) {
        for (; *text; ++text)
            m_words.push_back(static_cast<WORD>(*text));
        m_words.push_back(0);
    }
    std::vector<WORD> m_words;
    size_t m_countAt = 0;
};

} // namespace fwtest
