#include "net/signature_win.h"

#include <algorithm>
#include <vector>

#include "base/trace.h"
#include "base/trace_win.h"
#include "fw/test_switch_win.h"
#include "net/publisher_key_data.h"

namespace net {

namespace {

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

base::Handle OpenPinned(const std::wstring& path, bool mayRename) {
    const DWORD access = GENERIC_READ | (mayRename ? DELETE : 0);
    // FILE_FLAG_OPEN_REPARSE_POINT: a link placed at the path is held itself, not followed.
    return base::Handle(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

bool VerifySignedDigest(const Sha256Digest& digest, std::span<const uint8_t> der, const PublicPoint& key) {
    const auto raw = EcdsaDerToRaw(der);
    if (!raw || key[0] != 0x04) {
        base::Trace(L"signature: malformed signature or key", 0);
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
    Sha256Digest hashed = digest;
    status = BCryptVerifySignature(publicKey.Get(), nullptr, hashed.data(), static_cast<ULONG>(hashed.size()),
                                   signature.data(), static_cast<ULONG>(signature.size()), 0);
    if (status != 0) base::Trace(L"signature: does not match", status);
    return status == 0;
}

} // namespace net
