// The five exported calls. Each one stops every C++ exception at the boundary and
// turns it into zero.
#include "updatedll/UpdateApi.h"

#include <string>

#include "updatedll/Connectivity.h"
#include "updatedll/DownloadRun.h"
#include "updatedll/InputRules.h"
#include "updatedll/TransferList.h"

namespace {

// Bytes an ANSI address or path may take (a multi-byte code page may use two per
// character).
constexpr std::size_t kMaxAnsiAddressBytes = upd::kMaxAddressLength * 2;
constexpr std::size_t kMaxAnsiPathBytes = upd::kMaxLocalPathLength * 2;
constexpr std::size_t kMaxOptionBytes = 64;

}  // namespace

int WINAPI UpdIsConnected(void) {
    try {
        return upd::SystemSeesInternet() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int WINAPI UpdClearFiles(void) {
    try {
        upd::Transfers().Clear();
        return 1;
    } catch (...) {
        return 0;
    }
}

int WINAPI UpdAddFile(const char* source, const char* localPath) {
    try {
        const auto address = upd::ThreadAnsiToWide(source, kMaxAnsiAddressBytes);
        const auto path = upd::ThreadAnsiToWide(localPath, kMaxAnsiPathBytes);
        if (!address || !path || !upd::IsFetchableAddress(*address) ||
            !upd::IsUsableLocalPath(*path)) {
            return 0;
        }
        return upd::Transfers().Add({*address, *path}) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int WINAPI UpdSetOption(const char* name, const char* value) {
    try {
        if (name == nullptr || value == nullptr ||
            strnlen(name, kMaxOptionBytes + 1) > kMaxOptionBytes ||
            strnlen(value, kMaxOptionBytes + 1) > kMaxOptionBytes) {
            return 0;
        }
        if (lstrcmpiA(name, "hidden") == 0) {
            const std::optional<bool> hidden = upd::ParseHiddenValue(value);
            if (!hidden) {
                return 0;
            }
            upd::Transfers().SetHidden(*hidden);
            return 1;
        }
        return 0;
    } catch (...) {
        return 0;
    }
}

int WINAPI UpdDownloadFiles(HWND owner) {
    try {
        std::vector<upd::TransferItem> items;
        upd::TransferOptions options;
        upd::Transfers().Snapshot(items, options);
        return upd::RunDownload(items, options, owner) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
