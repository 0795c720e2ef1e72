// A stand-in for the defrag service as the program's windows use it: a job that
// runs for a given number of polls once a command starts it, statistics, a file
// list and a map held in memory, every call counted. Tests change what it answers
// between calls, or derive from it to answer differently.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "service/JobService.h"
#include "tests/support/SystemTimes.h"

namespace vantrel::testsupport {

class FakeJobService : public vantrel::service::JobService {
  public:
    using JobCommand = vantrel::service::JobCommand;
    using JobStatistics = vantrel::service::JobStatistics;
    using FileEntry = vantrel::service::FileEntry;
    using MapCell = vantrel::service::MapCell;

    FakeJobService() : statistics(std::make_unique<JobStatistics>()) {}

    int GetJobState(long& outState, long& outDetail) override {
        ++stateCalls;
        if (!answers) {
            return 0;
        }
        if (state == vantrel::service::JobState::Running && !paused && runningPolls > 0 &&
            --runningPolls == 0) {
            state = vantrel::service::JobState::Finished;
        }
        outState = state;
        outDetail = paused ? 1 : 0;
        return 1;
    }
    int SendJobCommand(vantrel::service::CellCountSource& cells, std::int32_t code, wchar_t letter,
                       std::int32_t flag) override {
        if (!available) {
            return 0;
        }
        commands.push_back(
            vantrel::service::MakeJobCommand(code, letter, cells.GetCellCount(), flag));
        if (code == vantrel::service::JobCommandCode::Reset) {
            state = vantrel::service::JobState::Idle;
            paused = false;
        } else if (code == vantrel::service::JobCommandCode::Analyze ||
                   code == vantrel::service::JobCommandCode::Optimize) {
            state = vantrel::service::JobState::Running;
            runningPolls = pollsPerJob;
            ++jobsStarted;
        }
        return 1;
    }
    int PutVolumeMap(const MapCell* cells, int cellCount) override {
        if (!answers || cells == nullptr || cellCount <= 0) {
            return 0;
        }
        handedBack.assign(cells, cells + cellCount);
        return 1;
    }
    int GetVolumeMap(MapCell* cells, int cellCount) override {
        ++mapCalls;
        lastMapCount = cellCount;
        if (!answers || static_cast<int>(map.size()) != cellCount) {
            return 0;
        }
        std::copy(map.begin(), map.end(), cells);
        return 1;
    }
    int GetJobStatistics(JobStatistics& out) override {
        ++statisticsCalls;
        if (!answers) {
            return 0;
        }
        out = *statistics;
        return 1;
    }
    int GetFileCount(long& count) override {
        ++countCalls;
        if (!answers) {
            return 0;
        }
        count = reportedCount >= 0 ? reportedCount : static_cast<long>(files.size());
        return 1;
    }
    int GetFileRecord(long index, FileEntry& entry) override {
        ++recordCalls;
        if (onRecord) {
            onRecord(index);
        }
        if (!answers || index < 0 || index >= static_cast<long>(files.size())) {
            return 0;
        }
        entry = files[static_cast<std::size_t>(index)];
        return 1;
    }
    int IsStatisticsBusy(long& busy) override {
        if (!answers) {
            return 0;
        }
        busy = 0;
        return 1;
    }
    int PauseJob() override {
        ++pauses;
        paused = state == vantrel::service::JobState::Running;
        return answers ? 1 : 0;
    }
    int ResumeJob() override {
        ++resumes;
        paused = false;
        return answers ? 1 : 0;
    }
    int StopJob() override {
        ++stops;
        if (state == vantrel::service::JobState::Running) {
            state = vantrel::service::JobState::Finished;
        }
        paused = false;
        return answers ? 1 : 0;
    }
    void WaitForJobStart(DWORD milliseconds) override { waits.push_back(milliseconds); }
    unsigned long long Milliseconds() override { return GetTickCount64() + clockAhead; }

    void AddFile(std::wstring path, std::int32_t resultCode, std::int32_t fragmentsBefore = 3,
                 std::int32_t fragmentsAfter = 0, std::uint64_t clusters = 10) {
        FileEntry entry;
        entry.Path = std::move(path);
        entry.ResultCode = resultCode;
        entry.FragmentsBefore = fragmentsBefore;
        entry.FragmentsAfter = fragmentsAfter;
        entry.LocalClusters = clusters;
        files.push_back(std::move(entry));
    }

    // A plausible finished job on drive C: 3 h 5 min 9 s long.
    void FillTypicalJob() {
        JobStatistics& s = *statistics;
        s.StartTime = MakeSystemTime(2024, 1, 15, 9, 30, 0);
        s.EndTime = MakeSystemTime(2024, 1, 15, 12, 35, 9);
        s.TotalFiles = 1234567;
        s.TotalDirs = 45678;
        s.FragmentedFiles = 10;
        s.DeFragmentedFiles = 7;
        s.TotalClusters = 26214400;  // 100 GiB of 4 KiB clusters
        s.UsedClusters = 13107200;
        s.FreeClusters = 13107200;  // 50 GiB
        s.SectorsPerCluster = 8;
        s.BytesPerSector = 512;
        s.LargestFreeExtent = 262144;  // 1 GiB
        s.DriveLetter = L'C';
        vantrel::service::WriteFieldText(s.VolumeText, L"System");
    }

    // The commands handed over, in order, and their codes alone.
    std::vector<std::int32_t> CommandCodes() const {
        std::vector<std::int32_t> codes;
        for (const JobCommand& command : commands) {
            codes.push_back(command.Command);
        }
        return codes;
    }

    // What the service answers.
    std::unique_ptr<JobStatistics> statistics;
    std::vector<FileEntry> files;
    long reportedCount = -1;  // -1: the number of files
    std::vector<MapCell> map;
    bool answers = true;    // false: every call fails and leaves its out values alone
    bool available = true;  // false: the service cannot be opened or started
    // The job: Idle, Running or Finished; a started job reads Running for this many
    // polls (not counting those while paused), then Finished. 0: until told.
    long state = vantrel::service::JobState::Idle;
    bool paused = false;
    unsigned long long clockAhead = 0;  // moved on by tests instead of waiting
    int pollsPerJob = 3;
    int runningPolls = 0;
    // Called with the index of every record asked for, before it is answered.
    std::function<void(long)> onRecord;

    // What the caller did.
    std::vector<JobCommand> commands;
    std::vector<MapCell> handedBack;
    std::vector<DWORD> waits;
    int jobsStarted = 0;
    int stateCalls = 0;
    int mapCalls = 0;
    int lastMapCount = 0;
    int statisticsCalls = 0;
    int countCalls = 0;
    int recordCalls = 0;
    int pauses = 0;
    int resumes = 0;
    int stops = 0;
};

}  // namespace vantrel::testsupport
