// The tab labels that page processes send with WM_COPYDATA, and the page model that pairs them
// with the page windows those processes announce. The bytes are another process's block, then a
// script of what processes do; whatever the order, a tab carries only a label its own process
// registered.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "base/page_protocol.h"
#include "mainwnd/page_model.h"
#include "fuzz_input.h"

namespace {

using fuzz::Require;

// Reads the next byte of the script (0 when it is used up).
struct Script {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool More() const { return at < size; }
    uint8_t Next() { return at < size ? data[at++] : 0; }
};

void CheckLabelBlock(const uint8_t* data, size_t size) {
    if (const auto name = base::ParseGameNameCopyData(data, size))
        Require(name->size() <= base::kMaxGameNameChars && (name->size() + 1) * 2 <= size);
    const auto label = base::ParseLabelCopyData(data, size);
    if (!label) return;
    Require(size % 2 == 0 && label->size() <= base::kMaxTabLabelChars);
    Require((label->size() + 1) * 2 <= size);
    for (size_t i = 0; i < label->size(); ++i) {
        uint16_t unit = 0;
        std::memcpy(&unit, data + i * 2, 2);
        Require(unit != 0 && static_cast<wchar_t>(unit) == (*label)[i]);
    }
}

void RunModel(Script& s) {
    using namespace mainwnd;
    PageModel m;
    std::multimap<ProcessId, std::wstring> registered; // labels each process had accepted
    std::map<PageHandle, ProcessId> announcedBy;
    // A few hundred steps reach every state of three tabs and four processes; longer scripts
    // only slow the search down.
    for (int step = 0; step < 256 && s.More(); ++step) {
        const uint8_t op = s.Next();
        const ProcessId process = 1 + s.Next() % 4; // few processes, so that they meet
        switch (op % 10) {
        case 0:
            m.PageProcessStarted(process);
            break;
        case 1:
            m.PageProcessEnded(process);
            break;
        case 2: {
            // A short label from a small alphabet, so that duplicates happen.
            std::wstring label;
            for (uint8_t n = s.Next() % 4; n > 0; --n)
                label += static_cast<wchar_t>(L'a' + s.Next() % 3);
            if (m.RegisterLabel(process, label) == 1) registered.emplace(process, label);
            break;
        }
        case 3: {
            const PageHandle page = 0x100 * (1 + s.Next() % 8);
            const bool hall = s.Next() % 4 == 0;
            const int before = m.TabCount();
            m.Adopt(process, page, hall);
            if (m.TabCount() > before) announcedBy[page] = process;
            break;
        }
        case 4: {
            const int tab = s.Next() % 5 - 1;
            const PageActions ask = m.CloseTab(tab);
            if (ask.promptPage) m.AnswerCloseTab(ask.promptPage, s.Next() % 2 == 0);
            break;
        }
        case 5:
            m.AddAccount(s.Next() % 3);
            break;
        case 6:
            m.SysClose(s.Next() % 2 ? base::kSelfMarker : 0);
            break;
        case 7:
            m.SwitchPage(s.Next() % 2 == 0, s.Next() % 2 == 0);
            break;
        case 8:
            m.LeftButtonDown({120 + s.Next() * 3, s.Next() % 30}, s.Next() % 2 == 0);
            break;
        case 9:
            m.LeftButtonUp({120 + s.Next() * 3, s.Next() % 30});
            break;
        }
        // The selection is a tab, the tabs are distinct windows, and each tab's label is one
        // that its own process registered (or none).
        const int tabs = m.TabCount();
        Require(tabs == 0 || (m.CurTab() >= 0 && m.CurTab() < tabs));
        std::set<PageHandle> pages(m.Pages().begin(), m.Pages().end());
        Require(pages.size() == static_cast<size_t>(tabs) && !pages.count(0));
        std::set<std::wstring> labels;
        for (int i = 0; i < tabs; ++i) {
            const std::wstring label(m.Label(i));
            if (label.empty()) continue;
            Require(labels.insert(label).second);
            const ProcessId owner = announcedBy.at(m.Pages()[static_cast<size_t>(i)]);
            bool fromOwner = false;
            for (auto [it, end] = registered.equal_range(owner); it != end; ++it)
                fromOwner = fromOwner || it->second == label;
            Require(fromOwner);
        }
        for (const Login& login : m.Logins())
            if (login.label && !login.label->empty()) Require(labels.insert(*login.label).second);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte splits the input into the copy-data block and the script.
    const size_t block = std::min<size_t>(data[0], size - 1);
    CheckLabelBlock(data + 1, block);
    Script script{data + 1 + block, size - 1 - block};
    RunModel(script);
    return 0;
}
