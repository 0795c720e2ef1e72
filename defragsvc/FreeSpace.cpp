#include "defragsvc/FreeSpace.h"

#include <algorithm>

namespace vantrel::defragsvc {

void FreeSpace::Insert(std::uint64_t start, std::uint64_t length) {
    byStart_.emplace(start, length);
    bySize_.emplace(length, start);
}

void FreeSpace::Erase(std::map<std::uint64_t, std::uint64_t>::iterator it) {
    bySize_.erase({it->second, it->first});
    byStart_.erase(it);
}

void FreeSpace::Release(std::uint64_t start, std::uint64_t length) {
    if (length == 0) {
        return;
    }
    total_ += length;
    // Split at the zone borders first, then merge each piece on its own side.
    const std::uint64_t end = start + length;
    std::uint64_t cuts[4] = {start, std::clamp(zoneStart_, start, end),
                             std::clamp(zoneEnd_, start, end), end};
    for (int i = 0; i < 3; ++i) {
        std::uint64_t pieceStart = cuts[i];
        std::uint64_t pieceEnd = cuts[i + 1];
        if (pieceStart >= pieceEnd) {
            continue;
        }
        const bool zone = InZone(pieceStart);
        auto next = byStart_.lower_bound(pieceStart);
        if (next != byStart_.begin()) {
            auto previous = std::prev(next);
            if (previous->first + previous->second == pieceStart &&
                InZone(previous->first) == zone) {
                pieceStart = previous->first;
                Erase(previous);
            }
        }
        next = byStart_.lower_bound(pieceEnd);
        if (next != byStart_.end() && next->first == pieceEnd && InZone(next->first) == zone) {
            pieceEnd += next->second;
            Erase(next);
        }
        Insert(pieceStart, pieceEnd - pieceStart);
    }
}

void FreeSpace::Assign(std::vector<std::pair<std::uint64_t, std::uint64_t>> extents) {
    byStart_.clear();
    bySize_.clear();
    total_ = 0;
    std::sort(extents.begin(), extents.end());
    // Merge touching extents on the same side of the zone, cutting at its borders.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> merged;
    for (const auto& [start, length] : extents) {
        if (length == 0) {
            continue;
        }
        total_ += length;
        const std::uint64_t end = start + length;
        const std::uint64_t cuts[4] = {start, std::clamp(zoneStart_, start, end),
                                       std::clamp(zoneEnd_, start, end), end};
        for (int i = 0; i < 3; ++i) {
            if (cuts[i] >= cuts[i + 1]) {
                continue;
            }
            if (!merged.empty() && merged.back().first + merged.back().second == cuts[i] &&
                InZone(merged.back().first) == InZone(cuts[i])) {
                merged.back().second += cuts[i + 1] - cuts[i];
            } else {
                merged.emplace_back(cuts[i], cuts[i + 1] - cuts[i]);
            }
        }
    }
    std::vector<std::pair<std::uint64_t, std::uint64_t>> sizes;
    sizes.reserve(merged.size());
    for (const auto& [start, length] : merged) {
        byStart_.emplace_hint(byStart_.end(), start, length);
        sizes.emplace_back(length, start);
    }
    std::sort(sizes.begin(), sizes.end());
    for (const auto& size : sizes) {
        bySize_.emplace_hint(bySize_.end(), size);
    }
}

std::optional<std::uint64_t> FreeSpace::Allocate(std::uint64_t length,
                                                 const AllocationRules& rules) {
    if (length == 0) {
        return std::nullopt;
    }
    for (auto it = bySize_.lower_bound({length, 0}); it != bySize_.end(); ++it) {
        const auto [extentLength, extentStart] = *it;
        if (!rules.allowZone && InZone(extentStart)) {
            continue;
        }
        if (extentStart + length > rules.limit) {
            continue;
        }
        bySize_.erase(it);
        byStart_.erase(extentStart);
        if (extentLength > length) {
            Insert(extentStart + length, extentLength - length);
        }
        total_ -= length;
        return extentStart;
    }
    return std::nullopt;
}

std::uint64_t FreeSpace::LargestExtent() const {
    return bySize_.empty() ? 0 : bySize_.rbegin()->first;
}

}  // namespace vantrel::defragsvc
