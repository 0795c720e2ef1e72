#include "engine/FreeRuns.h"

#include <algorithm>
#include <iterator>

namespace vantrel::engine {

void FreeRuns::Insert(Lcn lcn, std::uint64_t length) {
    byStart_.emplace(lcn, length);
    SizesFor(lcn).emplace(length, lcn);
}

void FreeRuns::Erase(std::map<Lcn, std::uint64_t>::iterator it) {
    SizesFor(it->first).erase({it->second, it->first});
    byStart_.erase(it);
}

void FreeRuns::Give(Lcn lcn, std::uint64_t length) {
    if (length == 0) {
        return;
    }
    Take(lcn, length);  // never counts a cluster twice
    total_ += length;
    const Lcn end = lcn + length;
    const std::array<Lcn, 4> cuts = ZoneCuts(lcn, end);
    for (int i = 0; i < 3; ++i) {
        Lcn start = cuts[i];
        Lcn stop = cuts[i + 1];
        if (start >= stop) {
            continue;
        }
        const bool zone = InZone(start);
        auto next = byStart_.lower_bound(start);
        if (next != byStart_.begin()) {
            const auto previous = std::prev(next);
            if (previous->first + previous->second == start && InZone(previous->first) == zone) {
                start = previous->first;
                Erase(previous);
            }
        }
        next = byStart_.lower_bound(stop);
        if (next != byStart_.end() && next->first == stop && InZone(next->first) == zone) {
            stop += next->second;
            Erase(next);
        }
        Insert(start, stop - start);
    }
}

void FreeRuns::Append(Lcn lcn, std::uint64_t length) {
    if (length == 0) {
        return;
    }
    if (!byStart_.empty()) {
        const auto last = std::prev(byStart_.end());
        if (last->first + last->second > lcn) {
            Give(lcn, length);  // not in order after all
            return;
        }
    }
    total_ += length;
    const Lcn end = lcn + length;
    const std::array<Lcn, 4> cuts = ZoneCuts(lcn, end);
    for (int i = 0; i < 3; ++i) {
        Lcn start = cuts[i];
        if (start >= cuts[i + 1]) {
            continue;
        }
        if (!byStart_.empty()) {
            const auto last = std::prev(byStart_.end());
            if (last->first + last->second == start && InZone(last->first) == InZone(start)) {
                start = last->first;
                Erase(last);
            }
        }
        byStart_.emplace_hint(byStart_.end(), start, cuts[i + 1] - start);
        SizesFor(start).emplace(cuts[i + 1] - start, start);
    }
}

void FreeRuns::Take(Lcn lcn, std::uint64_t length) {
    if (length == 0) {
        return;
    }
    const Lcn end = lcn + length;
    auto it = byStart_.upper_bound(lcn);
    if (it != byStart_.begin()) {
        --it;
    }
    while (it != byStart_.end() && it->first < end) {
        const Lcn runStart = it->first;
        const Lcn runEnd = runStart + it->second;
        if (runEnd <= lcn) {
            ++it;
            continue;
        }
        const auto next = std::next(it);
        Erase(it);
        const Lcn takenFrom = std::max(runStart, lcn);
        const Lcn takenTo = std::min(runEnd, end);
        total_ -= takenTo - takenFrom;
        if (runStart < takenFrom) {
            Insert(runStart, takenFrom - runStart);
        }
        if (takenTo < runEnd) {
            Insert(takenTo, runEnd - takenTo);
        }
        it = next;
    }
}

std::optional<Lcn> FreeRuns::BestFit(std::uint64_t length, bool allowZone) const {
    if (length == 0) {
        return std::nullopt;
    }
    const auto fit = bySize_.lower_bound({length, 0});
    if (fit != bySize_.end()) {
        return fit->second;
    }
    if (allowZone) {
        const auto zoneFit = zoneBySize_.lower_bound({length, 0});
        if (zoneFit != zoneBySize_.end()) {
            return zoneFit->second;
        }
    }
    return std::nullopt;
}

std::uint64_t FreeRuns::Largest() const {
    std::uint64_t largest = bySize_.empty() ? 0 : bySize_.rbegin()->first;
    if (!zoneBySize_.empty()) {
        largest = std::max(largest, zoneBySize_.rbegin()->first);
    }
    return largest;
}

}  // namespace vantrel::engine
