#include "defragsvc/DefragEngine.h"

#include "engine/sim/ModelDrive.h"
#include "engine/windows/DriveVolume.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>

namespace vantrel::defragsvc {
namespace {

namespace JobState = service::JobState;
using engine::JobKind;
using engine::JobSnapshot;
using engine::RunState;

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
    return engine::sim::kDefaultDriveBytes;
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

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

// "C:" and the path below the root.
std::wstring DrivePath(char16_t letter, std::u16string_view path) {
    return std::wstring{static_cast<wchar_t>(letter), L':'} + Wide(path);
}

SYSTEMTIME LocalTimeOf(std::chrono::system_clock::time_point time) {
    // FILETIME counts 100 ns units from 1601; the system clock counts from 1970.
    constexpr std::uint64_t kFrom1601 = 116444736000000000ull;
    const auto units =
        std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>>(
            time.time_since_epoch())
            .count();
    const std::uint64_t value =
        kFrom1601 + static_cast<std::uint64_t>(std::max<std::int64_t>(units, 0));
    FILETIME utc{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
    FILETIME local{};
    SYSTEMTIME system{};
    if (FileTimeToLocalFileTime(&utc, &local)) {
        FileTimeToSystemTime(&local, &system);
    }
    return system;
}

service::MapCell CellOf(const engine::CellCounters& counters) {
    return {counters.free, counters.used, counters.optimized, counters.fragmented, counters.mft};
}

}  // namespace

EngineEnvironment SystemEnvironment(const ServiceOptions& options) {
    std::function<std::uint32_t()> pace = [] { return ReadJobMilliseconds(); };
    if (options.jobMilliseconds) {
        pace = [value = *options.jobMilliseconds] { return value; };
    }
    EngineEnvironment environment{SystemVolumeBytes, SystemVolumeText, pace,
                                  [] { return ReadJobHoldPercent(); }};
    if (!options.simulate) {
        environment.openVolume = engine::windows::OpenDriveVolume;
    }
    environment.planOnly = options.dryRun;
    return environment;
}

DefragEngine::DefragEngine(EngineEnvironment environment) : environment_(std::move(environment)) {}

DefragEngine::~DefragEngine() {
    runner_.Cancel();
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
            if (runner_.Cancel()) {
                passesInRow_ = 0;  // a pass cut short does not count
            }
            return 1;
        case service::JobCommandCode::Analyze:
        case service::JobCommandCode::Optimize:
            if (runner_.Active()) {
                return 0;
            }
            return Start(command.Command == service::JobCommandCode::Analyze
                             ? JobKind::Analysis
                             : JobKind::Optimization,
                         letter, static_cast<std::uint32_t>(command.MapCellCount))
                       ? 1
                       : 0;
        default:
            return 0;
    }
}

bool DefragEngine::Start(JobKind kind, wchar_t letter, std::uint32_t cellCount) {
    int pass = 0;
    if (kind == JobKind::Optimization) {
        pass = passesInRow_.load() % 2 + 1;
    } else {
        passesInRow_ = 0;
    }
    const bool simulated = !environment_.openVolume;
    const engine::Job::Moves moves =
        environment_.planOnly ? engine::Job::Moves::PlanOnly : engine::Job::Moves::Make;
    const std::uint64_t bytes = simulated ? environment_.volumeBytes(letter) : 0;
    auto factory = [this, kind, pass, letter, cellCount, bytes, simulated, moves] {
        Drive& drive = drives_[letter];
        if (!simulated) {
            return std::make_unique<engine::Job>(environment_.openVolume(letter), drive.memory,
                                                 kind, pass, cellCount, moves);
        }
        if (!drive.volume) {
            drive.volume = engine::sim::BuildModelDrive(static_cast<char16_t>(letter), bytes);
        }
        return std::make_unique<engine::Job>(*drive.volume, drive.memory, kind, pass, cellCount,
                                             moves);
    };
    const std::wstring text = environment_.volumeText(letter);
    engine::VolumeLabel label{static_cast<char16_t>(letter),
                              std::u16string(text.begin(), text.end())};
    // A real volume goes as fast as it goes.
    engine::JobPace pace;
    if (simulated) {
        pace = {DurationFor(kind, pass, environment_.jobMilliseconds()), environment_.holdPercent};
    }
    auto finished = [this](const JobSnapshot& snapshot) {
        if (snapshot.kind == JobKind::Optimization) {
            passesInRow_ = snapshot.stopped ? 0 : passesInRow_.load() + 1;
        }
        if (environment_.planned && snapshot.results) {
            for (const engine::PlannedMove& move : snapshot.results->plannedMoves) {
                environment_.planned(
                    DrivePath(snapshot.volume.letter, snapshot.results->table.PathOf(move.file)),
                    move);
            }
        }
    };
    return runner_.Start(std::move(factory), std::move(pace), std::move(label),
                         std::move(finished));
}

void DefragEngine::State(long& state, long& detail) const {
    const auto snapshot = runner_.Current();
    switch (snapshot->state) {
        case RunState::Idle:
            state = JobState::Idle;
            break;
        case RunState::Running:
            state = JobState::Running;
            break;
        case RunState::Finished:
            state = JobState::Finished;
            break;
    }
    detail = snapshot->paused ? 1 : 0;
}

void DefragEngine::CopyStatistics(service::JobStatistics& statistics) const {
    statistics = service::JobStatistics{};
    const auto snapshot = runner_.Current();
    if (snapshot->state == RunState::Idle) {
        return;
    }
    const engine::JobFigures& figures = snapshot->figures;
    const engine::VolumeCounts& counts = figures.counts;
    statistics.StartTime = LocalTimeOf(snapshot->started);
    statistics.EndTime = LocalTimeOf(snapshot->ended);
    statistics.TotalFiles = counts.files;
    statistics.TotalDirs = counts.directories;
    statistics.FragmentedFiles = counts.fragmentedFiles;
    statistics.NonOptimizedBytes = counts.nonOptimizedBytes;
    statistics.DeFragmentedFiles = figures.defragmentedFiles;
    statistics.TotalClusters = counts.totalClusters;
    statistics.UsedClusters = counts.usedClusters;
    statistics.FreeClusters = counts.freeClusters;
    statistics.ProcessedClusters = counts.processedClusters;
    statistics.SectorsPerCluster = static_cast<std::int32_t>(
        counts.bytesPerSector == 0 ? 0 : counts.bytesPerCluster / counts.bytesPerSector);
    statistics.BytesPerSector = static_cast<std::int32_t>(counts.bytesPerSector);
    statistics.LargestFreeExtent = counts.largestFreeRun;
    statistics.DriveLetter = static_cast<wchar_t>(snapshot->volume.letter);
    service::WriteFieldText(statistics.VolumeText, Wide(snapshot->volume.text));
    if (snapshot->state == RunState::Running && !snapshot->currentPath.empty()) {
        service::WriteFieldText(statistics.CurrentFile,
                                DrivePath(snapshot->volume.letter, snapshot->currentPath));
    }
    // Fields the client does not read: the fragments of every file, the clusters
    // moved, the volume's failure (0 for none), the cells of the handed-back map the
    // pass's own survey confirmed, and the pass.
    statistics.Unused30 = counts.fragments;
    statistics.Unused80 = figures.movedClusters;
    statistics.Unused90[0] = static_cast<std::uint64_t>(figures.failure);
    statistics.UnusedB0 = static_cast<std::int32_t>(figures.confirmedCells);
    statistics.Unused10138 = figures.pass;
}

long DefragEngine::FileCount() const {
    const auto snapshot = runner_.Current();
    return snapshot->results ? static_cast<long>(snapshot->results->outcomes.size()) : 0;
}

long DefragEngine::CopyFileRecord(long index, service::FileRecord& record) const {
    const auto snapshot = runner_.Current();
    if (!snapshot->results || index < 0 ||
        static_cast<std::size_t>(index) >= snapshot->results->outcomes.size()) {
        return 0;
    }
    const engine::FileOutcome& outcome =
        snapshot->results->outcomes[static_cast<std::size_t>(index)];
    record = service::FileRecord{};
    service::WriteFieldText(record.Path, DrivePath(snapshot->volume.letter,
                                                   snapshot->results->table.PathOf(outcome.file)));
    record.Unused10000 = static_cast<std::int32_t>(outcome.file);
    record.FragmentsBefore = outcome.fragmentsBefore;
    record.FragmentsAfter = outcome.fragmentsAfter;
    record.LocalClusters = outcome.storedClusters;
    record.VirtualClusters = outcome.virtualClusters;
    record.FileSize = outcome.size;
    record.ResultCode = outcome.result;
    return 1;
}

long DefragEngine::CopyMap(service::MapCell* cells, std::size_t cellCount) const {
    const auto snapshot = runner_.Current();
    if (cells == nullptr || snapshot->cells.empty() || snapshot->cells.size() != cellCount) {
        return 0;
    }
    std::transform(snapshot->cells.begin(), snapshot->cells.end(), cells, CellOf);
    return 1;
}

long DefragEngine::KeepHandedBackMap(const service::MapCell* cells, std::size_t cellCount) {
    if (cells == nullptr || cellCount == 0 || cellCount > kMaxMapCells) {
        return 0;
    }
    std::vector<engine::CellCounters> offered(cellCount);
    std::transform(cells, cells + cellCount, offered.begin(), [](const service::MapCell& cell) {
        return engine::CellCounters{cell.Free, cell.Used, cell.Optimized, cell.Fragmented,
                                    cell.Mft};
    });
    std::lock_guard control(control_);
    handedBack_.assign(cells, cells + cellCount);
    runner_.OfferClientMap(std::move(offered));
    return 1;
}

std::vector<service::MapCell> DefragEngine::HandedBackMap() const {
    std::lock_guard control(control_);
    return handedBack_;
}

long DefragEngine::Pause() {
    std::lock_guard control(control_);
    return runner_.Pause() ? 1 : 0;
}

long DefragEngine::Resume() {
    std::lock_guard control(control_);
    return runner_.Resume() ? 1 : 0;
}

long DefragEngine::Stop() {
    std::lock_guard control(control_);
    return runner_.Stop() ? 1 : 0;
}

}  // namespace vantrel::defragsvc
