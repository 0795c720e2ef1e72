#include "update/InstallerHash.h"

#include <windows.h>
#include <bcrypt.h>

#include <memory>
#include <vector>

namespace {

struct AlgorithmCloser {
    void operator()(void* handle) const { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct HashCloser {
    void operator()(void* handle) const { BCryptDestroyHash(handle); }
};
struct FileCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};

constexpr DWORD kReadChunkBytes = 1 << 20;

}  // namespace

std::optional<Sha256Digest> Sha256OfFile(const std::wstring& path) {
    std::unique_ptr<void, FileCloser> file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                       nullptr, OPEN_EXISTING,
                                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return std::nullopt;
    }
    BCRYPT_ALG_HANDLE algorithmHandle = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&algorithmHandle, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        return std::nullopt;
    }
    std::unique_ptr<void, AlgorithmCloser> algorithm(algorithmHandle);
    BCRYPT_HASH_HANDLE hashHandle = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptCreateHash(algorithmHandle, &hashHandle, nullptr, 0, nullptr, 0, 0))) {
        return std::nullopt;
    }
    std::unique_ptr<void, HashCloser> hash(hashHandle);

    std::vector<UCHAR> buffer(kReadChunkBytes);
    DWORD read = 0;
    for (;;) {
        if (!ReadFile(file.get(), buffer.data(), kReadChunkBytes, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        if (!BCRYPT_SUCCESS(BCryptHashData(hashHandle, buffer.data(), read, 0))) {
            return std::nullopt;
        }
    }
    Sha256Digest digest = {};
    if (!BCRYPT_SUCCESS(BCryptFinishHash(hashHandle, digest.data(), digest.size(), 0))) {
        return std::nullopt;
    }
    return digest;
}

bool InstallerMayRun(const Manifest& manifest, const std::optional<Sha256Digest>& digest) {
    switch (manifest.hashLine) {
        case InstallerHashLine::Absent:
            return true;
        case InstallerHashLine::Given:
            return digest.has_value() && *digest == manifest.installerHash;
        case InstallerHashLine::Malformed:
            break;
    }
    return false;
}
