// A stand-in for the defrag service as the reports read it: statistics and a file
// list held in memory, with the calls counted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/ReportSource.h"
#include "service/JobRecords.h"
#include "tests/support/SystemTimes.h"

class FakeReportSource : public ReportSource {
  public:
    FakeReportSource() : statistics(std::make_unique<vantrel::service::JobStatistics>()) {}

    int GetJobStatistics(vantrel::service::JobStatistics& out) override {
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
    int GetFileRecord(long index, vantrel::service::FileEntry& entry) override {
        ++recordCalls;
        if (!answers || index < 0 || index >= static_cast<long>(files.size())) {
            return 0;
        }
        entry = files[static_cast<std::size_t>(index)];
        return 1;
    }

    void AddFile(std::wstring path, std::int32_t resultCode) {
        vantrel::service::FileEntry entry;
        entry.Path = std::move(path);
        entry.ResultCode = resultCode;
        entry.FragmentsBefore = 3;
        entry.LocalClusters = 10;
        files.push_back(std::move(entry));
    }

    // A plausible finished job on drive C: 3 h 5 min 9 s long.
    void FillTypicalJob() {
        auto& s = *statistics;
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

    std::unique_ptr<vantrel::service::JobStatistics> statistics;
    std::vector<vantrel::service::FileEntry> files;
    long reportedCount = -1;  // -1: the number of files
    bool answers = true;
    int statisticsCalls = 0;
    int countCalls = 0;
    int recordCalls = 0;
};
