#include "defragsvc/DefragEngine.h"

#include "defragsvc/PaceSetting.h"
#include "defragsvc/VolumeNames.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cwctype>
#include <system_error>

namespace vantrel::defragsvc {
namespace {

using Clock = std::chrono::steady_clock;
namespace JobState = service::JobState;

constexpr auto kTick = std::chrono::milliseconds(25);
// How often a held job asks whether it may go on.
constexpr auto kHoldRecheck = std::chrono::milliseconds(50);

std::uint32_t DurationFor(JobKind kind, int pass, std::uint32_t analysisMilliseconds) {
    if (kind == JobKind::Analysis) {
        return analysisMilliseconds;
    }
    // Moving data takes longer than reading it; the second pass has less to do.
    const double factor = pass == 1 ? 1.3 : 0.8;
    return static_cast<std::uint32_t>(analysisMilliseconds * factor);
}

std::uint64_t SystemVolumeBytes(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    ULARGE_INTEGER available{}, total{}, free{};
    if (GetDiskFreeSpaceExW(root, &available, &total, &free) && total.QuadPart != 0) {
        return total.QuadPart;
    }
    return kDefaultVolumeBytes;
}

std::wstring SystemVolumeText(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    if (GetVolumeInformationW(root, label, MAX_PATH, nullptr, nullptr, nullptr, fileSystem,
                              MAX_PATH) &&
        label[0] != L'\0') {
        return label;
    }
    return L"Local Disk";
}

}  // namespace

EngineEnvironment SystemEnvironment(std::optional<std::uint32_t> jobMilliseconds) {
    std::function<std::uint32_t()> pace = [] { return ReadJobMilliseconds(); };
    if (jobMilliseconds) {
        pace = [value = *jobMilliseconds] { return value; };
    }
    return {SystemVolumeBytes, SystemVolumeText, pace, [] { return ReadJobHoldPercent(); }};
}

DefragEngine::DefragEngine(EngineEnvironment environment)
    : environment_(std::move(environment)), snapshot_(std::make_shared<Snapshot>()) {}

DefragEngine::~DefragEngine() {
    std::lock_guard control(control_);
    EndWorker(true);
}

std::shared_ptr<const DefragEngine::Snapshot> DefragEngine::Current() const {
    std::lock_guard lock(snapshotLock_);
    return snapshot_;
}

void DefragEngine::Publish(std::shared_ptr<const Snapshot> snapshot) {
    std::lock_guard lock(snapshotLock_);
    snapshot_ = std::move(snapshot);
}

long DefragEngine::Command(const service::JobCommand& command) {
    const auto letter = static_cast<wchar_t>(std::towupper(command.DriveLetter));
    if (letter < L'A' || letter > L'Z' || command.MapCellCount <= 0 ||
        static_cast<std::uint32_t>(command.MapCellCount) > kMaxMapCells) {
        return 0;
    }
    std::lock_guard control(control_);
    switch (command.Command) {
        case service::JobCommandCode::Reset:
            EndWorker(true);
            Publish(std::make_shared<Snapshot>());
            return 1;
        case service::JobCommandCode::Analyze:
        case service::JobCommandCode::Optimize:
            if (active_.load()) {
                return 0;
            }
            return Start(command.Command == service::JobCommandCode::Analyze
                             ? JobKind::Analysis
                             : JobKind::Optimization,
                         command)
                       ? 1
                       : 0;
        default:
            return 0;
    }
}

bool DefragEngine::Start(JobKind kind, const service::JobCommand& command) {
    EndWorker(false);  // a finished worker still has to be joined
    const auto letter = static_cast<wchar_t>(std::towupper(command.DriveLetter));
    int pass = 0;
    if (kind == JobKind::Optimization) {
        pass = passesInRow_.load() % 2 + 1;
    } else {
        passesInRow_ = 0;
    }
    JobRequest request{kind,
                       pass,
                       letter,
                       static_cast<std::uint32_t>(command.MapCellCount),
                       DurationFor(kind, pass, environment_.jobMilliseconds()),
                       &models_[letter]};
    {
        std::lock_guard lock(signal_);
        stopRequested_ = false;
        cancelRequested_ = false;
        paused_ = false;
        offeredMap_.reset();
    }
    active_ = true;
    // Running from the moment the command is accepted, even while the model builds.
    auto starting = std::make_shared<Snapshot>();
    starting->state = JobState::Running;
    Publish(starting);
    try {
        worker_ = std::thread(&DefragEngine::RunJob, this, request);
    } catch (const std::system_error&) {
        active_ = false;
        Publish(std::make_shared<Snapshot>());
        return false;
    }
    return true;
}

void DefragEngine::EndWorker(bool cancel) {
    if (!worker_.joinable()) {
        return;
    }
    const bool cutShort = active_.load();
    {
        std::lock_guard lock(signal_);
        (cancel ? cancelRequested_ : stopRequested_) = true;
        paused_ = false;
    }
    wake_.notify_all();
    worker_.join();
    if (cancel && cutShort) {
        passesInRow_ = 0;
    }
}

std::shared_ptr<const DefragEngine::Snapshot> DefragEngine::MakeSnapshot(const DefragJob& job,
                                                                         long state, bool paused,
                                                                         const SYSTEMTIME& start,
                                                                         bool withOutcomes) {
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->state = state;
    snapshot->detail = paused ? 1 : 0;
    auto statistics = std::make_shared<service::JobStatistics>();
    job.FillStatistics(*statistics);
    statistics->StartTime = start;
    GetLocalTime(&statistics->EndTime);
    const VolumeModel* model = &job.Model();
    if (state == JobState::Running) {
        service::WriteFieldText(statistics->CurrentFile, EntryPath(*model, job.CurrentEntry()));
    }
    snapshot->statistics = std::move(statistics);
    snapshot->map = job.MapCells();
    if (withOutcomes) {
        snapshot->outcomes = job.Outcomes();
    }
    snapshot->model = model;
    return snapshot;
}

void DefragEngine::RunJob(JobRequest request) {
    // Nothing leaves the thread: a job that cannot go on (no memory for its
    // model) ends, and the engine reads idle again.
    try {
        Work(request);
    } catch (...) {
        building_ = false;
        Publish(std::make_shared<Snapshot>());
        active_ = false;
    }
}

void DefragEngine::Work(const JobRequest& request) {
    building_ = true;
    SYSTEMTIME start{};
    GetLocalTime(&start);
    std::unique_ptr<VolumeModel>& model = *request.model;
    if (!model) {
        model = std::make_unique<VolumeModel>(
            BuildVolumeModel(request.letter, environment_.volumeBytes(request.letter),
                             environment_.volumeText(request.letter)));
    }
    DefragJob job(*model, request.kind, request.pass, request.cellCount);
    Publish(MakeSnapshot(job, JobState::Running, false, start, false));
    building_ = false;

    // Work is paid for by the clock: every running moment earns its share of the
    // job's work, so a pass that skips its survey ends that much sooner. A large
    // file done in one step is paid back before the next step.
    const double totalWork = static_cast<double>(job.TotalWork());
    double credit = 0.0;
    auto last = Clock::now();
    // The work up to which the job may go before it holds.
    auto holdLimit = [this, &job] {
        const std::uint32_t percent = environment_.holdPercent ? environment_.holdPercent() : 0;
        if (percent == 0 || percent >= 100) {
            return job.TotalWork();
        }
        return job.TotalWork() / 100 * percent + job.TotalWork() % 100 * percent / 100;
    };
    std::uint64_t limit = holdLimit();
    auto holdChecked = last;
    while (!job.Done()) {
        bool paused = false;
        std::shared_ptr<const std::vector<service::MapCell>> offered;
        {
            std::unique_lock lock(signal_);
            wake_.wait_for(lock, kTick, [this] { return stopRequested_ || cancelRequested_; });
            if (cancelRequested_) {
                active_ = false;
                return;
            }
            if (stopRequested_) {
                job.Stop();
                break;
            }
            paused = paused_;
            offered = std::move(offeredMap_);
        }
        if (offered) {
            job.AdoptMap(*offered);
        }
        const auto now = Clock::now();
        if (job.DoneWork() >= limit && now - holdChecked >= kHoldRecheck) {
            limit = holdLimit();
            holdChecked = now;
        }
        const bool held = job.DoneWork() >= limit;
        if (held) {
            credit = 0.0;
        }
        if (!paused && !held) {
            const std::chrono::duration<double, std::milli> step = now - last;
            credit += request.durationMilliseconds == 0
                          ? totalWork + 1.0
                          : totalWork * step.count() / request.durationMilliseconds;
            const std::uint64_t done = job.DoneWork();
            const double remaining = static_cast<double>(std::min(limit, job.TotalWork()) - done);
            if (credit > 0.0) {
                job.AdvanceTo(done +
                              static_cast<std::uint64_t>(std::ceil(std::min(credit, remaining))));
                credit -= static_cast<double>(job.DoneWork() - done);
            }
        }
        last = now;
        building_ = true;
        Publish(MakeSnapshot(job, JobState::Running, paused, start, false));
        building_ = false;
    }
    building_ = true;
    Publish(MakeSnapshot(job, JobState::Finished, false, start, true));
    building_ = false;
    if (request.kind == JobKind::Optimization) {
        passesInRow_ = job.Stopped() ? 0 : passesInRow_.load() + 1;
    }
    active_ = false;
}

void DefragEngine::State(long& state, long& detail) const {
    const auto snapshot = Current();
    state = snapshot->state;
    detail = snapshot->detail;
}

void DefragEngine::CopyStatistics(service::JobStatistics& statistics) const {
    const auto snapshot = Current();
    if (snapshot->statistics) {
        statistics = *snapshot->statistics;
    } else {
        statistics = service::JobStatistics{};
    }
}

long DefragEngine::FileCount() const {
    return static_cast<long>(Current()->outcomes.size());
}

long DefragEngine::CopyFileRecord(long index, service::FileRecord& record) const {
    const auto snapshot = Current();
    if (index < 0 || static_cast<std::size_t>(index) >= snapshot->outcomes.size() ||
        snapshot->model == nullptr) {
        return 0;
    }
    const FileOutcome& outcome = snapshot->outcomes[static_cast<std::size_t>(index)];
    const VolumeModel& model = *snapshot->model;
    const std::uint64_t clusterBytes = model.geometry.ClusterBytes();
    record = service::FileRecord{};
    // Names never change once a model is built, so the path may be made now.
    service::WriteFieldText(record.Path, EntryPath(model, outcome.entry));
    record.Unused10000 = static_cast<std::int32_t>(outcome.entry);
    record.FragmentsBefore = outcome.fragmentsBefore;
    record.FragmentsAfter = outcome.fragmentsAfter;
    record.LocalClusters = outcome.clusters;
    record.VirtualClusters = (outcome.sizeBytes + clusterBytes - 1) / clusterBytes;
    record.FileSize = outcome.sizeBytes;
    record.ResultCode = outcome.resultCode;
    return 1;
}

long DefragEngine::CopyMap(service::MapCell* cells, std::size_t cellCount) const {
    const auto snapshot = Current();
    if (cells == nullptr || snapshot->map.empty() || snapshot->map.size() != cellCount) {
        return 0;
    }
    std::copy(snapshot->map.begin(), snapshot->map.end(), cells);
    return 1;
}

long DefragEngine::KeepHandedBackMap(const service::MapCell* cells, std::size_t cellCount) {
    if (cells == nullptr || cellCount == 0 || cellCount > kMaxMapCells) {
        return 0;
    }
    auto map = std::make_shared<const std::vector<service::MapCell>>(cells, cells + cellCount);
    std::lock_guard control(control_);
    handedBack_ = *map;
    {
        std::lock_guard lock(signal_);
        offeredMap_ = std::move(map);
    }
    return 1;
}

std::vector<service::MapCell> DefragEngine::HandedBackMap() const {
    std::lock_guard control(control_);
    return handedBack_;
}

long DefragEngine::Pause() {
    std::lock_guard control(control_);
    std::lock_guard lock(signal_);
    if (!active_.load() || paused_) {
        return 0;
    }
    paused_ = true;
    return 1;
}

long DefragEngine::Resume() {
    std::lock_guard control(control_);
    std::lock_guard lock(signal_);
    if (!active_.load() || !paused_) {
        return 0;
    }
    paused_ = false;
    return 1;
}

long DefragEngine::Stop() {
    std::lock_guard control(control_);
    if (!active_.load()) {
        return 0;
    }
    EndWorker(false);
    return 1;
}

}  // namespace vantrel::defragsvc
