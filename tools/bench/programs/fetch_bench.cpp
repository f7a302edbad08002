// Measures the program's fetch and digests, and its whole signed download: downloads an address
// with HttpFetchToFile at a given chunk size into a file and takes the file's MD5 and SHA-256
// (each alone, as the program computes them), or runs the signed download of the update from the
// request to the verified handle; prints one line of timings.
// Usage: fetch_bench <url> <file> [chunk=512]
//        fetch_bench --signed <url> <file> <signed name>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/md5.h"
#include "net/http_win.h"
#include "base/sha256.h"
#include "net/signature_win.h"
#include "net/signed_download_win.h"

namespace {
double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// The program's SHA-256 of the file alone, fed as the download feeds it.
bool Sha256OfFile(const wchar_t* path) {
    FILE* f = _wfopen(path, L"rb");
    if (!f) return false;
    base::Sha256 sha;
    std::vector<char> buffer(1u << 20);
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0)
        sha.Update(buffer.data(), n);
    std::fclose(f);
    sha.Final();
    return true;
}

int Signed(const wchar_t* url, const wchar_t* file, const wchar_t* name) {
    net::SignedDownload request;
    request.source = url;
    request.destination = file;
    request.signedName = name;
    request.chunk = 512;
    request.md5 = true;
    uint32_t last = 0;
    const net::FetchProgress progress = [&](uint32_t percent, uint64_t, uint32_t) { last = percent; };
    net::HttpRequestHandles handles;
    net::HeldDownload held;
    const LARGE_INTEGER t0 = Now();
    const bool verified = net::FetchSigned(request, handles, progress, held);
    const LARGE_INTEGER t1 = Now();
    std::printf("verified=%d last_percent=%u signed_s=%.3f md5=%ls\n", verified ? 1 : 0, last,
                Seconds(t0, t1), held.md5Hex.c_str());
    return verified ? 0 : 1;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 5 && std::wcscmp(argv[1], L"--signed") == 0) return Signed(argv[2], argv[3], argv[4]);
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: fetch_bench <url> <file> [chunk] | --signed <url> <file> <name>\n");
        return 2;
    }
    const DWORD chunk = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 512;
    uint32_t last = 0;
    const net::FetchProgress progress = [&](uint32_t percent, uint64_t, uint32_t) { last = percent; };
    const LARGE_INTEGER t0 = Now();
    const bool ok = net::HttpFetchToFile(argv[1], argv[2], chunk, &progress);
    const LARGE_INTEGER t1 = Now();
    const std::wstring digest = base::Md5FileHex(argv[2]);
    const LARGE_INTEGER t2 = Now();
    const bool hashed = Sha256OfFile(argv[2]);
    const LARGE_INTEGER t3 = Now();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(argv[2], GetFileExInfoStandard, &data);
    const unsigned long long size = (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    std::printf("ok=%d chunk=%lu bytes=%llu last_percent=%u fetch_s=%.3f md5_s=%.3f md5=%ls sha_s=%.3f\n",
                ok && hashed ? 1 : 0, static_cast<unsigned long>(chunk), size, last, Seconds(t0, t1),
                Seconds(t1, t2), digest.c_str(), Seconds(t2, t3));
    return ok ? 0 : 1;
}
