#include "engine/JobRunner.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace vantrel::engine {
namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// The longest the worker waits before it looks at its signals again.
constexpr auto kTick = std::chrono::milliseconds(25);
// How often a held job asks whether it may go on.
constexpr auto kHoldRecheck = std::chrono::milliseconds(50);
// How often a running job publishes while it steps.
constexpr auto kPublishEvery = std::chrono::milliseconds(20);

}  // namespace

JobRunner::JobRunner() : snapshot_(std::make_shared<JobSnapshot>()) {}

JobRunner::~JobRunner() {
    std::lock_guard control(control_);
    EndWorker(true);
}

std::shared_ptr<const JobSnapshot> JobRunner::Current() const {
    std::lock_guard lock(snapshotLock_);
    return snapshot_;
}

void JobRunner::Publish(std::shared_ptr<const JobSnapshot> snapshot) {
    std::lock_guard lock(snapshotLock_);
    snapshot_ = std::move(snapshot);
}

bool JobRunner::Start(Factory factory, JobPace pace, VolumeLabel volume, Finished finished) {
    std::lock_guard control(control_);
    if (active_.load()) {
        return false;
    }
    EndWorker(false);  // a finished worker still has to be joined
    {
        std::lock_guard lock(signal_);
        stopRequested_ = false;
        cancelRequested_ = false;
        paused_ = false;
        offered_.clear();
        haveOffer_ = false;
    }
    active_ = true;
    started_ = std::chrono::system_clock::now();
    volume_ = std::move(volume);
    // Running from the moment the job is accepted, even while it is made.
    auto starting = std::make_shared<JobSnapshot>();
    starting->state = RunState::Running;
    starting->started = started_;
    starting->volume = volume_;
    Publish(starting);
    try {
        worker_ = std::thread(&JobRunner::Run, this, std::move(factory), std::move(pace),
                              std::move(finished));
    } catch (const std::system_error&) {
        active_ = false;
        Publish(std::make_shared<JobSnapshot>());
        return false;
    }
    return true;
}

void JobRunner::EndWorker(bool cancel) {
    if (!worker_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(signal_);
        (cancel ? cancelRequested_ : stopRequested_) = true;
        paused_ = false;
    }
    wake_.notify_all();
    worker_.join();
}

bool JobRunner::Cancel() {
    std::lock_guard control(control_);
    const bool wasActive = active_.load();
    EndWorker(true);
    active_ = false;
    {
        std::lock_guard lock(signal_);
        offered_.clear();
        haveOffer_ = false;
    }
    Publish(std::make_shared<JobSnapshot>());
    return wasActive;
}

bool JobRunner::Pause() {
    std::lock_guard control(control_);
    {
        std::lock_guard lock(signal_);
        if (!active_.load() || paused_) {
            return false;
        }
        paused_ = true;
    }
    wake_.notify_all();
    return true;
}

bool JobRunner::Resume() {
    std::lock_guard control(control_);
    {
        std::lock_guard lock(signal_);
        if (!active_.load() || !paused_) {
            return false;
        }
        paused_ = false;
    }
    wake_.notify_all();
    return true;
}

bool JobRunner::Stop() {
    std::lock_guard control(control_);
    if (!active_.load()) {
        return false;
    }
    EndWorker(false);
    return true;
}

void JobRunner::OfferClientMap(std::vector<CellCounters> cells) {
    {
        std::lock_guard lock(signal_);
        offered_ = std::move(cells);
        haveOffer_ = true;
    }
    wake_.notify_all();
}

std::shared_ptr<JobSnapshot> JobRunner::SnapshotOf(Job& job, RunState state, bool paused) {
    auto snapshot = std::make_shared<JobSnapshot>();
    snapshot->state = state;
    snapshot->paused = paused;
    snapshot->kind = job.Kind();
    snapshot->stopped = job.Stopped();
    snapshot->figures = job.Figures();
    snapshot->cells = job.Cells();
    snapshot->volume = volume_;
    snapshot->started = started_;
    snapshot->ended = std::chrono::system_clock::now();
    if (state == RunState::Running) {
        snapshot->currentPath = job.CurrentPath();
    } else {
        auto results = std::make_shared<JobResults>();
        results->outcomes = job.Outcomes();
        if (job.PlansOnly()) {
            results->plannedMoves = job.PlannedMoves();
        }
        results->table = job.TakeTable();
        results->table.Seal();
        snapshot->results = std::move(results);
    }
    return snapshot;
}

void JobRunner::Run(Factory factory, JobPace pace, Finished finished) {
    try {
        busy_ = true;
        std::unique_ptr<Job> job = factory();
        busy_ = false;
        if (!job) {
            throw std::runtime_error("no job");
        }
        if (!Work(*job, pace)) {
            active_ = false;
            return;  // cancelled: no result
        }
        busy_ = true;
        const std::shared_ptr<JobSnapshot> last = SnapshotOf(*job, RunState::Finished, false);
        // Told before anyone can see the job finished and start the next one.
        if (finished) {
            finished(*last);
        }
        // Not active before it reads finished: a reset that follows the finished
        // job must not count it as one cut short.
        active_ = false;
        Publish(last);
        busy_ = false;
    } catch (...) {
        // Nothing leaves the thread: the job ends, and the runner reads idle again.
        busy_ = false;
        Publish(std::make_shared<JobSnapshot>());
    }
    active_ = false;
}

bool JobRunner::Work(Job& job, const JobPace& pace) {
    auto last = Clock::now();
    auto published = last - kPublishEvery;
    auto holdAsked = last - kHoldRecheck;
    double running = 0.0;  // milliseconds the job was neither paused nor held
    std::uint32_t hold = 0;
    bool wasPaused = false;
    auto publish = [&](bool paused) {
        busy_ = true;
        Publish(SnapshotOf(job, RunState::Running, paused));
        busy_ = false;
        published = Clock::now();
    };
    while (!job.Done()) {
        std::vector<CellCounters> offer;
        bool haveOffer = false;
        bool paused = false;
        {
            std::unique_lock lock(signal_);
            if (cancelRequested_) {
                return false;
            }
            if (stopRequested_) {
                job.Stop();
                return true;
            }
            paused = paused_;
            if (haveOffer_) {
                offer = std::move(offered_);
                haveOffer = true;
                haveOffer_ = false;
            }
        }
        if (haveOffer) {
            job.OfferClientMap(std::move(offer));
        }
        if (paused) {
            if (!wasPaused) {
                publish(true);
                wasPaused = true;
            }
            std::unique_lock lock(signal_);
            wake_.wait_for(lock, kTick, [this] {
                return !paused_ || stopRequested_ || cancelRequested_ || haveOffer_;
            });
            last = Clock::now();
            continue;
        }
        wasPaused = false;
        const auto now = Clock::now();
        if (pace.holdPercent && now - holdAsked >= kHoldRecheck) {
            hold = pace.holdPercent();
            holdAsked = now;
        }
        const double progress = job.Progress();
        const bool held = hold > 0 && hold < 100 && progress * 100.0 >= hold;
        double wait = 0.0;
        if (!held) {
            running += Milliseconds(now - last).count();
            wait = progress * pace.milliseconds - running;
        }
        last = now;
        if (held || wait > 0.0) {
            if (now - published >= kPublishEvery) {
                publish(false);
            }
            const auto slice = held ? std::chrono::duration_cast<Clock::duration>(kHoldRecheck)
                                    : std::chrono::duration_cast<Clock::duration>(
                                          std::min(Milliseconds(wait), Milliseconds(kTick)));
            std::unique_lock lock(signal_);
            wake_.wait_for(lock, slice, [this] {
                return paused_ || stopRequested_ || cancelRequested_ || haveOffer_;
            });
            continue;
        }
        job.Step();
        if (Clock::now() - published >= kPublishEvery) {
            publish(false);
        }
    }
    return true;
}

}  // namespace vantrel::engine
