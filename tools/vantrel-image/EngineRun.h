// The engine's jobs over a volume, run to their end as the service's client runs
// them: a scan, or the two optimization passes one after the other. Between any
// two steps (a bitmap page, a batch of files, one chunk of a move) the caller may
// ask for a stop; the job then ends after the step under way, as a stop from the
// client ends it.
#pragma once

#include <functional>
#include <string>

#include "engine/Volume.h"
#include "tools/vantrel-image/ImageFigures.h"

namespace vantrel::image {

struct RunHooks {
    // Asked between steps: true ends the job under way and starts no other.
    std::function<bool()> stopRequested;
    // A line for whoever watches (what a pass found and is about to do).
    std::function<void(const std::string&)> note;
};

struct AnalysisRun {
    ImageFigures figures;
    // Ok, or the status of the volume call that ended the scan early.
    engine::VolumeStatus failure = engine::VolumeStatus::Ok;
};

AnalysisRun Analyze(engine::Volume& volume);

struct OptimizationRun {
    // The last pass that got as far as its plan (0: none did, and nothing moved);
    // a pass stopped or failed during its survey reports nothing, as its counts
    // are those of part of the volume.
    int reportedPass = 0;
    ImageFigures before;  // as pass 1 found the volume
    ImageFigures after;   // as the reported pass left it
    // The files the reported pass set out to handle and did not move, by result:
    // what the optimization leaves behind.
    NotMoved notMoved;
    int endedInPass = 0;  // the pass under way when the run ended
    bool stopped = false;
    engine::VolumeStatus failure = engine::VolumeStatus::Ok;
};

OptimizationRun OptimizeBothPasses(engine::Volume& volume, const RunHooks& hooks);

}  // namespace vantrel::image
