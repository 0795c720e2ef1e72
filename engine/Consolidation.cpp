#include "engine/Consolidation.h"

#include "engine/SafeFiles.h"

#include <algorithm>

namespace vantrel::engine {
namespace {

// Windows tried per file, best first.
constexpr std::size_t kWindowsTried = 4;

struct Candidate {
    Lcn start;
    std::uint64_t used;
};

struct Run {
    Lcn start;
    std::uint64_t length;
};

// The best windows of `length` clusters that start at a free run: the fewest
// clusters in use, at most half the window, not across the zone. (A window over
// another one's clusters finds them in use and not held by any small file.)
std::vector<Candidate> BestWindows(const std::vector<Run>& runs,
                                   const std::vector<std::uint64_t>& prefix, std::uint64_t length,
                                   const FreeRuns& free, std::uint64_t totalClusters) {
    std::vector<Candidate> best;
    std::size_t end = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Lcn start = runs[i].start;
        const Lcn stop = start + length;
        if (stop > totalClusters || free.TouchesZone(start, stop)) {
            continue;
        }
        end = std::max(end, i);
        while (end < runs.size() && runs[end].start < stop) {
            ++end;
        }
        // Free clusters in [start, stop): whole runs i..end-1, the last one cut.
        std::uint64_t freeInside = prefix[end] - prefix[i];
        const Run& last = runs[end - 1];
        if (last.start + last.length > stop) {
            freeInside -= last.start + last.length - stop;
        }
        const std::uint64_t used = length - std::min(length, freeInside);
        if (used * 2 > length) {
            continue;
        }
        best.push_back({start, used});
        std::sort(best.begin(), best.end(), [](const Candidate& a, const Candidate& b) {
            return a.used != b.used ? a.used < b.used : a.start < b.start;
        });
        if (best.size() > kWindowsTried) {
            best.pop_back();
        }
    }
    return best;
}

}  // namespace

std::vector<Window> PlanWindows(const Analysis& analysis,
                                const std::vector<std::uint32_t>& candidates, FreeRuns& free,
                                bool ntfs) {
    std::vector<Window> windows;
    const std::vector<Placement>& placements = analysis.Placements();
    const FileTable& table = analysis.Table();
    const std::uint64_t totalClusters = analysis.Data().totalClusters;
    std::uint64_t longest = 0;
    for (const Placement& placement : placements) {
        longest = std::max<std::uint64_t>(longest, placement.clusters);
    }
    std::vector<bool> claimed(placements.size(), false);

    // The free runs as they stand, with running sums; made again after a window is
    // taken out of them.
    std::vector<Run> runs;
    std::vector<std::uint64_t> prefix;
    auto survey = [&] {
        runs.clear();
        prefix.assign(1, 0);
        for (const auto& [start, runLength] : free.ByStart()) {
            runs.push_back({start, runLength});
            prefix.push_back(prefix.back() + runLength);
        }
    };
    survey();
    std::size_t searches = 0;
    for (const std::uint32_t candidate : candidates) {
        if (searches++ >= kMaxWindowSearches || runs.empty()) {
            break;
        }
        const FragmentedFile& file = analysis.Fragmented()[candidate];
        const std::uint64_t length = file.storedClusters;
        for (const Candidate& window : BestWindows(runs, prefix, length, free, totalClusters)) {
            const Lcn stop = window.start + length;
            // The small files in the window must account for every used cluster in it.
            auto first = std::lower_bound(
                placements.begin(), placements.end(),
                window.start - std::min<std::uint64_t>(window.start, longest),
                [](const Placement& placement, Lcn lcn) { return placement.lcn < lcn; });
            std::vector<std::uint32_t> occupants;
            std::uint64_t accounted = 0;
            bool movable = true;
            for (auto it = first; it != placements.end() && it->lcn < stop; ++it) {
                const Lcn end = it->lcn + it->clusters;
                if (end <= window.start) {
                    continue;
                }
                const auto index = static_cast<std::uint32_t>(it - placements.begin());
                if (claimed[index] || IsSafeFile(table, it->file, ntfs)) {
                    movable = false;
                    break;
                }
                occupants.push_back(index);
                accounted += std::min(end, stop) - std::max(it->lcn, window.start);
            }
            if (!movable || accounted != window.used) {
                continue;
            }
            // Every occupant needs a run of its own outside the window.
            free.Take(window.start, length);
            Window plan{candidate, window.start, length, {}};
            for (const std::uint32_t occupant : occupants) {
                const std::optional<Lcn> target =
                    free.BestFit(placements[occupant].clusters, false);
                if (!target) {
                    break;
                }
                free.Take(*target, placements[occupant].clusters);
                plan.occupants.push_back({occupant, *target});
            }
            if (plan.occupants.size() != occupants.size()) {
                for (const OccupantMove& move : plan.occupants) {
                    free.Give(move.target, placements[move.placement].clusters);
                }
                // Only the clusters that were free go back.
                for (const Run& run : runs) {
                    const Lcn from = std::max(run.start, window.start);
                    const Lcn to = std::min(run.start + run.length, stop);
                    if (from < to) {
                        free.Give(from, to - from);
                    }
                }
                continue;
            }
            for (const std::uint32_t occupant : occupants) {
                claimed[occupant] = true;
            }
            windows.push_back(std::move(plan));
            survey();
            break;
        }
    }
    return windows;
}

}  // namespace vantrel::engine
