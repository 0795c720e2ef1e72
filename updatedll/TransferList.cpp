#include "updatedll/TransferList.h"

namespace upd {

void TransferList::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    items_.clear();
}

bool TransferList::Add(TransferItem item) {
    std::lock_guard<std::mutex> guard(lock_);
    if (items_.size() >= kMaxTransferItems) {
        return false;
    }
    items_.push_back(std::move(item));
    return true;
}

void TransferList::SetHidden(bool hidden) {
    std::lock_guard<std::mutex> guard(lock_);
    options_.hidden = hidden;
}

void TransferList::Snapshot(std::vector<TransferItem>& items, TransferOptions& options) const {
    std::lock_guard<std::mutex> guard(lock_);
    items = items_;
    options = options_;
}

TransferList& Transfers() {
    static TransferList list;
    return list;
}

}  // namespace upd
