// The list of files one UpdDownloadFiles call fetches, and the options of that call.
// Shared by every thread that calls the library, hence guarded.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace upd {

struct TransferItem {
    std::wstring source;     // an http or https address
    std::wstring localPath;  // the full path the file ends up at
};

struct TransferOptions {
    bool hidden = true;  // no progress window until a caller asks for one
};

// A list longer than this is not ours to fetch.
inline constexpr std::size_t kMaxTransferItems = 64;

class TransferList {
  public:
    void Clear();
    // False when the list is full.
    bool Add(TransferItem item);
    void SetHidden(bool hidden);
    // A copy of the list and the options, taken when a transfer starts.
    void Snapshot(std::vector<TransferItem>& items, TransferOptions& options) const;

  private:
    mutable std::mutex lock_;
    std::vector<TransferItem> items_;
    TransferOptions options_;
};

// The library's one list.
TransferList& Transfers();

}  // namespace upd
