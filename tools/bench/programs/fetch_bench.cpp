// Measures the program's fetch, digest and signature check: downloads an address with
// HttpFetchToFile at a given chunk size into a file, hashes the file, fetches the signature
// published beside it and verifies the held file, and prints one line of timings.
// Usage: fetch_bench <url> <file> [chunk=512]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/md5.h"
#include "net/http_win.h"
#include "net/signature_win.h"

namespace {
double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(to.QuadPart - from.QuadPart) / double(f.QuadPart);
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: fetch_bench <url> <file> [chunk]\n");
        return 2;
    }
    const DWORD chunk = argc > 3 ? static_cast<DWORD>(_wtoi(argv[3])) : 512;
    uint32_t last = 0;
    const net::FetchProgress progress = [&](uint32_t percent, uint64_t, uint32_t) { last = percent; };
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    const bool ok = net::HttpFetchToFile(argv[1], argv[2], chunk, &progress);
    QueryPerformanceCounter(&t1);
    const std::wstring digest = base::Md5FileHex(argv[2]);
    QueryPerformanceCounter(&t2);
    bool verified = false;
    {
        fw::Handle held = net::OpenPinned(argv[2], false);
        verified = held && net::VerifyPublishedSignature(held.Get(), argv[1]);
    }
    LARGE_INTEGER t3;
    QueryPerformanceCounter(&t3);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(argv[2], GetFileExInfoStandard, &data);
    const unsigned long long size = (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    std::printf("ok=%d chunk=%lu bytes=%llu last_percent=%u fetch_s=%.3f md5_s=%.3f md5=%ls verified=%d "
                "verify_s=%.3f\n",
                ok ? 1 : 0, static_cast<unsigned long>(chunk), size, last, Seconds(t0, t1), Seconds(t1, t2),
                digest.c_str(), verified ? 1 : 0, Seconds(t2, t3));
    return ok ? 0 : 1;
}
