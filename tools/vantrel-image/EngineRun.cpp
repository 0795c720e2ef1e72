#include "tools/vantrel-image/EngineRun.h"

namespace vantrel::image {

namespace {

using engine::Job;
using engine::JobKind;

// The map is not drawn here: one cell is all a job needs.
constexpr std::uint32_t kCells = 1;

struct JobEnd {
    bool stopped = false;
    bool planned = false;  // it got as far as its plan before it ended
};

// Steps the job to its end; a stop asked for between two steps ends it after the
// step under way. Tells the watcher what a pass is about to do once it has its
// plan.
JobEnd RunToTheEnd(Job& job, const RunHooks& hooks) {
    JobEnd end;
    while (!job.Done()) {
        if (hooks.stopRequested && hooks.stopRequested()) {
            job.Stop();
            end.stopped = true;
            return end;
        }
        job.Step();
        if (!end.planned && job.Planned() && job.Figures().failure == engine::VolumeStatus::Ok) {
            end.planned = true;
            if (hooks.note && job.Kind() == JobKind::Optimization) {
                hooks.note("pass " + std::to_string(job.Pass()) + ": " +
                           std::to_string(FiguresFound(job).fragmentedFiles) +
                           " fragmented files, " + std::to_string(job.PlannedFiles().size()) +
                           " to move");
            }
        }
    }
    return end;
}

}  // namespace

AnalysisRun Analyze(engine::Volume& volume) {
    engine::VolumeMemory memory;
    Job job(volume, memory, JobKind::Analysis, 0, kCells);
    RunToTheEnd(job, {});
    return {FiguresFound(job), job.Figures().failure};
}

OptimizationRun OptimizeBothPasses(engine::Volume& volume, const RunHooks& hooks) {
    OptimizationRun run;
    // What the first pass placed, the second knows, as the service's engine does.
    engine::VolumeMemory memory;
    for (int pass = 1; pass <= 2; ++pass) {
        Job job(volume, memory, JobKind::Optimization, pass, kCells);
        const JobEnd end = RunToTheEnd(job, hooks);
        run.endedInPass = pass;
        run.stopped = end.stopped;
        run.failure = job.Figures().failure;
        if (end.planned) {
            if (pass == 1) {
                run.before = FiguresFound(job);
            }
            run.after = FiguresLeft(job);
            run.notMoved = NotMovedBy(job.Outcomes());
            run.reportedPass = pass;
        }
        if (run.stopped || run.failure != engine::VolumeStatus::Ok) {
            break;
        }
    }
    return run;
}

}  // namespace vantrel::image
