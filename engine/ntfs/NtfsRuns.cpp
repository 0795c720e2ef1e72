#include "engine/ntfs/NtfsRuns.h"

#include <algorithm>

namespace vantrel::engine::ntfs {

namespace {

// Appends a run, joined to the previous one when both are holes or the clusters
// follow on: the file system writes fewer mapping pairs for the same layout.
void Append(std::vector<Run>& runs, const Run& run) {
    if (run.length <= 0) {
        return;
    }
    if (!runs.empty()) {
        Run& last = runs.back();
        const bool bothHoles = last.lcn == kHoleLcn && run.lcn == kHoleLcn;
        const bool followsOn =
            last.lcn != kHoleLcn && run.lcn != kHoleLcn && last.lcn + last.length == run.lcn;
        if (bothHoles || followsOn) {
            last.length += run.length;
            return;
        }
    }
    runs.push_back(run);
}

}  // namespace

MovePlan PlanMove(const std::vector<Run>& runs, std::int64_t vcn, std::int64_t clusters,
                  std::int64_t target) {
    MovePlan plan;
    const std::int64_t end = vcn + clusters;
    std::int64_t nextTarget = target;
    for (const Run& run : runs) {
        const std::int64_t runEnd = run.vcn + run.length;
        const std::int64_t insideStart = std::clamp(vcn, run.vcn, runEnd);
        const std::int64_t insideEnd = std::clamp(end, run.vcn, runEnd);
        const auto lcnAt = [&](std::int64_t at) {
            return run.lcn == kHoleLcn ? kHoleLcn : run.lcn + (at - run.vcn);
        };
        Append(plan.runs, {run.vcn, run.lcn, insideStart - run.vcn});
        if (insideEnd > insideStart) {
            const std::int64_t length = insideEnd - insideStart;
            if (run.lcn == kHoleLcn) {
                Append(plan.runs, {insideStart, kHoleLcn, length});
            } else {
                plan.copies.push_back({lcnAt(insideStart), nextTarget, length});
                Append(plan.runs, {insideStart, nextTarget, length});
                nextTarget += length;
            }
        }
        const std::int64_t afterStart = std::max(insideEnd, insideStart);
        Append(plan.runs, {afterStart, lcnAt(afterStart), runEnd - afterStart});
    }
    plan.targetClusters = nextTarget - target;
    return plan;
}

}  // namespace vantrel::engine::ntfs
