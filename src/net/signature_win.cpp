#include "net/signature_win.h"

#include <bcrypt.h>

#include <vector>

#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/test_switch_win.h"
#include "net/publisher_key_data.h"

namespace net {

namespace {

// A DER signature of P-256 is at most 72 bytes; anything much longer is not one.
constexpr uint64_t kMaxSignatureBytes = 256;
constexpr DWORD kHashReadBytes = 1u << 20;

template <class Close> class BcryptOwner {
public:
    explicit BcryptOwner(Close close) : m_close(close) {}
    ~BcryptOwner() {
        if (m_handle) m_close(m_handle, 0);
    }
    BcryptOwner(const BcryptOwner&) = delete;
    BcryptOwner& operator=(const BcryptOwner&) = delete;
    void** Put() { return &m_handle; }
    void* Get() const { return m_handle; }

private:
    void* m_handle = nullptr;
    Close m_close;
};

NTSTATUS CloseKey(BCRYPT_KEY_HANDLE key, ULONG) {
    return BCryptDestroyKey(key);
}
NTSTATUS CloseHash(BCRYPT_HASH_HANDLE hash, ULONG) {
    return BCryptDestroyHash(hash);
}

// SHA-256 of the whole file, read through the handle from offset 0 (the handle's own position
// is not trusted).
bool HashFile(HANDLE file, uint8_t (&digest)[32]) {
    BcryptOwner algorithm(&BCryptCloseAlgorithmProvider);
    BcryptOwner hash(&CloseHash);
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(algorithm.Get(), hash.Put(), nullptr, 0, nullptr, 0, 0)))
        return false;
    std::vector<uint8_t> buffer(kHashReadBytes);
    uint64_t offset = 0;
    for (;;) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), kHashReadBytes, &read, &at) && GetLastError() != ERROR_HANDLE_EOF)
            return false;
        if (read == 0) break;
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.Get(), buffer.data(), read, 0))) return false;
        offset += read;
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hash.Get(), digest, sizeof(digest), 0));
}

} // namespace

const std::optional<PublicPoint>& TrustedPublisherKey() {
    static const std::optional<PublicPoint> key = []() -> std::optional<PublicPoint> {
        if (const auto hex = fw::ReadTestSwitch(L"PublisherKey")) return PublicPointFromHex(*hex);
        PublicPoint builtIn{};
        std::copy(std::begin(kBuiltInPublisherPoint), std::end(kBuiltInPublisherPoint), builtIn.begin());
        return builtIn;
    }();
    return key;
}

fw::Handle OpenPinned(const std::wstring& path, bool mayRename) {
    const DWORD access = GENERIC_READ | (mayRename ? DELETE : 0);
    // FILE_FLAG_OPEN_REPARSE_POINT: a link placed at the path is held itself, not followed.
    return fw::Handle(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool VerifyFileSignature(HANDLE file, std::span<const uint8_t> der, const PublicPoint& key) {
    const auto raw = EcdsaDerToRaw(der);
    if (!raw || key[0] != 0x04) {
        base::Trace(L"signature: malformed signature or key", 0);
        return false;
    }
    uint8_t digest[32] = {};
    if (!HashFile(file, digest)) {
        base::Trace(L"signature: file not hashed", GetLastError());
        return false;
    }

    // BCRYPT_ECCKEY_BLOB followed by X and Y.
    std::vector<uint8_t> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kP256ScalarBytes);
    auto* header = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
    header->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header->cbKey = kP256ScalarBytes;
    std::copy(key.begin() + 1, key.end(), blob.begin() + sizeof(BCRYPT_ECCKEY_BLOB));

    BcryptOwner algorithm(&BCryptCloseAlgorithmProvider);
    BcryptOwner publicKey(&CloseKey);
    NTSTATUS status = BCryptOpenAlgorithmProvider(algorithm.Put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0);
    if (BCRYPT_SUCCESS(status))
        status = BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, publicKey.Put(),
                                     blob.data(), static_cast<ULONG>(blob.size()), 0);
    if (!BCRYPT_SUCCESS(status)) {
        base::Trace(L"signature: key not imported", status);
        return false;
    }
    RawSignature signature = *raw;
    status = BCryptVerifySignature(publicKey.Get(), nullptr, digest, sizeof(digest), signature.data(),
                                   static_cast<ULONG>(signature.size()), 0);
    if (status != 0) base::Trace(L"signature: does not match", status);
    return status == 0;
}

bool VerifyPublishedSignature(HANDLE file, std::wstring_view fileUrl, HttpRequestHandles* handles) {
    const auto& key = TrustedPublisherKey();
    std::string der;
    const bool valid =
        key && HttpFetchToMemory(SignatureUrlFor(fileUrl), der, kMaxSignatureBytes, handles) &&
        VerifyFileSignature(file, std::span(reinterpret_cast<const uint8_t*>(der.data()), der.size()), *key);
    // The reason is on the line before (the fetch's or the check's); this one names the file.
    if (!valid)
        base::Trace(L"signature refused", base::AddressForTrace(fileUrl), key ? 0 : ERROR_INVALID_DATA);
    return valid;
}

} // namespace net
