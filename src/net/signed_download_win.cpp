#include "net/signed_download_win.h"

#include "base/md5_and_sha256.h"
#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/safe_file_win.h"
#include "net/hash_pipe.h"
#include "net/signature_win.h"
#include "net/update_config.h"

namespace net {

namespace {

bool Refused(const wchar_t* why, std::wstring_view detail, DWORD code) {
    base::Trace(why, detail, code);
    return false;
}

// The destination made new by this program, never a file or link that was there (which is
// deleted first: an earlier attempt's). Others may read it, and nothing else, while it is held.
base::Handle CreateDownloadFile(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return {};
    if (base::Handle existing = fw::OpenWithoutFollowing(path, DELETE)) fw::DeleteByHandle(existing.Get());
    const std::wstring expected = fw::FinalPathForNewFile(path.substr(0, slash), path.substr(slash + 1));
    base::Handle file(fw::CreateNewFileAt(path.c_str(), expected.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          nullptr, FILE_SHARE_READ));
    if (!file) base::Trace(L"download: file not created", path, GetLastError());
    return file;
}

// The system starts a program only when no handle may write it, so the writer gives way to a
// reader that shares nothing but reading. A handle can't lose access it was granted, hence the
// step through a second handle opened from the first (not by path): once the writer is closed,
// the reader's open fails if anyone else holds the file for writing, and the file must be the
// same size and time as the writer left it. Until then only who may write the folder could act
// (the client's private folder: administrators and the system).
base::Handle HoldForStart(base::Handle writer) {
    BY_HANDLE_FILE_INFORMATION before{}, after{};
    if (!GetFileInformationByHandle(writer.Get(), &before)) return {};
    base::Handle bridge(
        ReOpenFile(writer.Get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
    writer.Reset();
    if (!bridge) return {};
    base::Handle reader(ReOpenFile(bridge.Get(), GENERIC_READ, FILE_SHARE_READ, 0));
    bridge.Reset();
    if (!reader || !GetFileInformationByHandle(reader.Get(), &after) ||
        after.nFileSizeLow != before.nFileSizeLow || after.nFileSizeHigh != before.nFileSizeHigh ||
        CompareFileTime(&after.ftLastWriteTime, &before.ftLastWriteTime) != 0 ||
        after.nFileIndexLow != before.nFileIndexLow || after.nFileIndexHigh != before.nFileIndexHigh)
        return {};
    return reader;
}

} // namespace

bool FetchSigned(const SignedDownload& request, HttpRequestHandles& handles, const FetchProgress& progress,
                 HeldDownload& out) {
    out = {};
    const std::wstring& source = request.source;
    if (source.size() > kMaxDownloadAddressChars || !IsTrustedUrl(source))
        return Refused(L"download: source not trusted", base::AddressForTrace(source), 0);
    const auto& key = TrustedPublisherKey();
    // The signature first: a release without one fails before its bytes are fetched.
    std::string der;
    if (!key || !HttpFetchToMemory(SignatureUrlFor(source), der, kMaxSignatureBytes, &handles)) {
        if (handles.Cancelled()) return false;
        return Refused(L"signature refused", base::AddressForTrace(source), key ? 0 : ERROR_INVALID_DATA);
    }

    base::Handle file = CreateDownloadFile(request.destination);
    if (!file) return false;
    // The update also needs the file's MD5 (its release key): one pass takes both digests, for
    // next to the cost of the MD5 alone. The signed message starts with a prefix of its own.
    base::Md5AndSha256 digests;
    const std::string prefix = SignedMessagePrefix(request.signedName);
    digests.Sha256Digest().Update(prefix.data(), prefix.size());
    const HashPipe::Consumer digest = [&digests, md5 = request.md5](const uint8_t* data, size_t n) {
        if (md5)
            digests.Update(data, n);
        else
            digests.Sha256Digest().Update(data, n);
    };
    // The digests run beside the download: on one thread with it, they would set the pace of
    // the reads.
    HashPipe pipe;
    if (!pipe.Start({digest})) return Refused(L"download: digest threads not started", L"", 0);
    // The body is read straight into the digests' buffers and written to the file from there.
    const bool fetched = HttpFetchBody(
        source, request.chunk,
        [&](const char* data, DWORD n) {
            DWORD written = 0;
            if (!WriteFile(file.Get(), data, n, &written, nullptr) || written != n) return false;
            pipe.Commit(n);
            return true;
        },
        &progress, &handles, kMaxDownloadBytes,
        [&pipe] {
            const std::span<uint8_t> space = pipe.Space();
            return std::span(reinterpret_cast<char*>(space.data()), space.size());
        });
    pipe.Finish();
    if (!fetched) return false;
    if (!VerifySignedDigest(digests.Sha256Digest().Final(),
                            std::span(reinterpret_cast<const uint8_t*>(der.data()), der.size()), *key))
        return Refused(L"signature refused", base::AddressForTrace(source), 0);
    if (request.use == HeldFor::Start) {
        file = HoldForStart(std::move(file));
        if (!file)
            return Refused(L"download: file not held for its start", request.destination, GetLastError());
    }
    out.file = std::move(file);
    if (request.md5) out.md5Hex = base::Md5Hex(digests.Md5Digest().Final());
    return true;
}

std::wstring ReadDownloadAddress(const std::wstring& configFile) {
    wchar_t address[kMaxDownloadAddressChars + 1] = {};
    const DWORD n = GetPrivateProfileStringW(kConfigSection.data(), kConfigAddrName.data(), L"", address,
                                             kMaxDownloadAddressChars + 1, configFile.c_str());
    // A value that fills the buffer may have been cut: a cut address is not requested.
    return n >= kMaxDownloadAddressChars ? std::wstring() : std::wstring(address, n);
}

} // namespace net
