#include "engine/FileTable.h"

#include <algorithm>
#include <cstring>

namespace vantrel::engine {
namespace {

// Deeper than any file system allows; also ends a walk through a damaged parent chain.
constexpr int kMaxDepth = 2048;

}  // namespace

std::uint32_t FileTable::Add(std::uint64_t id, std::uint64_t parentId, std::u16string_view name) {
    name = name.substr(0, kMaxNameUnits);
    // Blocks are not cleared: every entry and name unit is written before it is
    // read, and a block's pages are touched only as it fills (a small volume's
    // table stays a fraction of a block).
    if (size_ % kEntriesPerBlock == 0) {
        entries_.push_back(std::make_unique_for_overwrite<Entry[]>(kEntriesPerBlock));
    }
    // The first name opens the first block, even an empty one (a root has none).
    if (names_.empty() || namesUsed_ + name.size() > kUnitsPerBlock) {
        names_.push_back(std::make_unique_for_overwrite<char16_t[]>(kUnitsPerBlock));
        namesUsed_ = 0;
    }
    std::copy(name.begin(), name.end(), names_.back().get() + namesUsed_);
    const auto nameAt =
        static_cast<std::uint32_t>((names_.size() - 1) * kUnitsPerBlock + namesUsed_);
    namesUsed_ += static_cast<std::uint32_t>(name.size());
    if (size_ != 0 && ascending_ && OrderOf(id) <= OrderOf(At(size_ - 1).id)) {
        ascending_ = false;
    }
    entries_.back()[size_ % kEntriesPerBlock] = {id, parentId, nameAt,
                                                 static_cast<std::uint32_t>(name.size())};
    return size_++;
}

std::u16string_view FileTable::NameOf(std::uint32_t index) const {
    const Entry& entry = At(index);
    return {names_[entry.nameAt / kUnitsPerBlock].get() + entry.nameAt % kUnitsPerBlock,
            entry.nameLength};
}

void FileTable::SortIndex() const {
    if (ascending_ || byId_.size() == size_) {
        return;
    }
    const std::size_t sorted = byId_.size();
    for (std::uint32_t i = static_cast<std::uint32_t>(sorted); i < size_; ++i) {
        byId_.push_back(i);
    }
    auto byId = [this](std::uint32_t a, std::uint32_t b) {
        return OrderOf(At(a).id) < OrderOf(At(b).id);
    };
    std::sort(byId_.begin() + static_cast<std::ptrdiff_t>(sorted), byId_.end(), byId);
    std::inplace_merge(byId_.begin(), byId_.begin() + static_cast<std::ptrdiff_t>(sorted),
                       byId_.end(), byId);
}

std::optional<std::uint32_t> FileTable::Find(std::uint64_t id) const {
    if (ascending_) {
        std::uint32_t low = 0;
        std::uint32_t high = size_;
        while (low < high) {
            const std::uint32_t middle = low + (high - low) / 2;
            if (OrderOf(At(middle).id) < OrderOf(id)) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        if (low < size_ && At(low).id == id) {
            return low;
        }
        return std::nullopt;
    }
    SortIndex();
    const auto it = std::lower_bound(
        byId_.begin(), byId_.end(), OrderOf(id),
        [this](std::uint32_t a, std::uint64_t order) { return OrderOf(At(a).id) < order; });
    if (it != byId_.end() && At(*it).id == id) {
        return *it;
    }
    return std::nullopt;
}

std::u16string FileTable::PathOf(std::uint32_t index) const {
    std::vector<std::uint32_t> chain;
    for (std::optional<std::uint32_t> at = index; at && chain.size() < kMaxDepth;) {
        const Entry& entry = At(*at);
        if (entry.parent == entry.id) {
            break;  // the root
        }
        chain.push_back(*at);
        at = Find(entry.parent);
    }
    std::u16string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += u'\\';
        path += NameOf(*it);
    }
    return path.empty() ? std::u16string(u"\\") : path;
}

std::optional<std::uint32_t> FileTable::TopLevelOf(std::uint32_t index) const {
    std::uint32_t at = index;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        const Entry& entry = At(at);
        if (entry.parent == entry.id) {
            return std::nullopt;  // the root itself
        }
        const std::optional<std::uint32_t> parent = Find(entry.parent);
        if (!parent) {
            return std::nullopt;
        }
        if (At(*parent).parent == At(*parent).id) {
            return at;
        }
        at = *parent;
    }
    return std::nullopt;
}

std::size_t FileTable::MemoryBytes() const {
    return entries_.size() * kEntriesPerBlock * sizeof(Entry) +
           names_.size() * kUnitsPerBlock * sizeof(char16_t) +
           byId_.capacity() * sizeof(std::uint32_t);
}

}  // namespace vantrel::engine
