#include "app/install_rules.h"

#include "app/start_mode.h"
#include "base/text.h"

namespace app {

namespace {

// The script's buffer holds 2048 bytes with its terminator.
constexpr size_t kScriptBufferBytes = 2048;

std::string Quoted(std::string_view path) {
    std::string out = "\"";
    for (char c : path) {
        out += c;
        // No lead or trail byte of the double-byte code pages is 0x25, so every such byte is
        // a real percent sign.
        if (c == '%') out += '%';
    }
    return out + "\"";
}

} // namespace

std::wstring_view FolderOfPath(std::wstring_view path) {
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring_view::npos ? std::wstring_view() : path.substr(0, slash);
}

std::wstring InstallTargetFor(std::wstring_view installFolder, std::wstring_view exePath) {
    const size_t slash = exePath.rfind(L'\\');
    if (slash == std::wstring_view::npos || installFolder.empty()) return {};
    std::wstring target = std::wstring(installFolder) + std::wstring(exePath.substr(slash));
    return target.size() > kMaxPathChars ? std::wstring() : target;
}

std::wstring LinkPathFor(std::wstring_view folder, std::wstring_view name) {
    if (folder.empty() || name.empty()) return {};
    std::wstring path = std::wstring(folder) + L"\\" + std::wstring(name) + L".lnk";
    return path.size() > kMaxPathChars ? std::wstring() : path;
}

std::wstring UninstallCommandFor(std::wstring_view exePath) {
    return L"\"" + std::wstring(exePath) + L"\" " + std::wstring(kUninstallOption);
}

DeleteScript ChooseDeleteScript(std::wstring_view exeFolder, std::wstring_view installFolder,
                                uint64_t filesInFolder) {
    const bool ownFolder = !installFolder.empty() && base::EqualsNoCase(exeFolder, installFolder);
    return ownFolder && filesInFolder <= 1 ? DeleteScript::Long : DeleteScript::Short;
}

std::string DeleteScriptText(DeleteScript kind, std::string_view exePath, std::string_view folder,
                             std::string_view scriptPath) {
    const std::string exe = Quoted(exePath);
    // A count, read anew on every pass through the loop (without delayed expansion): whoever keeps
    // the file open does not keep an elevated interpreter running for ever.
    std::string text = "cd\\\r\nset /a tries=0\r\n:delexe\r\nset /a tries+=1\r\nping -n " +
                       std::to_string(kDeleteScriptPings) + " 127.0.0.1\r\n";
    text += "del " + exe + "\r\n";
    text +=
        "if exist " + exe + " if %tries% lss " + std::to_string(kDeleteScriptAttempts) + " goto :delexe\r\n";
    if (kind == DeleteScript::Long) {
        text += "del " + Quoted(folder) + " /Q /F /A\r\n";
        text += "rd " + Quoted(folder) + "\r\n";
    }
    text += "del " + Quoted(scriptPath) + "\r\n";
    // A script cut short could end in the middle of a path: none is better.
    return text.size() < kScriptBufferBytes ? text : std::string();
}

} // namespace app
