// servicecheck.exe: the defrag service's interface from a console, for the check
// on a real Windows machine (PowerShell cannot speak MS-RPC). It drives the service
// as the program does: a Reset, then the job, polling until it finishes, then the
// statistics and every file record. The service must run already (installed and
// started, or "defragsvc --console").
//   servicecheck media X      the medium of drive X, as the program asks it
//   servicecheck analyze X    an analysis of X
//   servicecheck optimize X   both optimization passes of X
// Each job prints "name: value" lines (the script reads them). Exit codes: 0 done,
// 1 the service could not be reached, 2 a wrong command line, 3 a job ended with
// nothing counted (the service could not work on the drive).
#include "engine/windows/MediaQuery.h"
#include "service/DefragClient.h"
#include "service/ServiceBinding.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <map>
#include <memory>
#include <string>

namespace {

namespace svc = vantrel::service;

constexpr int kUnreachable = 1;
constexpr int kWrongCommandLine = 2;
constexpr int kNothingCounted = 3;
constexpr DWORD kPollMs = 250;
constexpr int kCells = 1000;

const wchar_t* MediumName(vantrel::engine::MediaKind media) {
    switch (media) {
        case vantrel::engine::MediaKind::Rotational:
            return L"hard disk";
        case vantrel::engine::MediaKind::SolidState:
            return L"solid-state drive";
        case vantrel::engine::MediaKind::SolidStateWithTrim:
            return L"solid-state drive with trim";
        case vantrel::engine::MediaKind::Unknown:
            break;
    }
    return L"unknown (treated as a hard disk)";
}

// Runs one job to its end; false when it ended without being finished.
bool RunJob(std::int32_t code, wchar_t letter) {
    const std::int32_t flag = code == svc::JobCommandCode::Optimize ? 1 : 0;
    if (svc::SendJobCommandRecord(
            svc::MakeJobCommand(svc::JobCommandCode::Reset, letter, kCells, 0)) == 0 ||
        svc::SendJobCommandRecord(svc::MakeJobCommand(code, letter, kCells, flag)) == 0) {
        return false;
    }
    ULONGLONG lastShown = GetTickCount64();
    for (;;) {
        long state = svc::JobState::Idle;
        long detail = 0;
        if (svc::GetJobState(state, detail) == 0 || state == svc::JobState::Idle) {
            return false;
        }
        if (state == svc::JobState::Finished) {
            return true;
        }
        if (GetTickCount64() - lastShown >= 5000) {
            auto statistics = std::make_unique<svc::JobStatistics>();
            svc::GetJobStatistics(*statistics);
            const double share = statistics->UsedClusters == 0
                                     ? 0.0
                                     : 100.0 * static_cast<double>(statistics->ProcessedClusters) /
                                           static_cast<double>(statistics->UsedClusters);
            std::fwprintf(stderr, L"  ... %.0f%%\n", share);
            lastShown = GetTickCount64();
        }
        Sleep(kPollMs);
    }
}

// Prints what the results pages read of the finished job; false when nothing was counted.
bool PrintResults(const wchar_t* job, wchar_t letter, bool after) {
    auto statistics = std::make_unique<svc::JobStatistics>();
    svc::GetJobStatistics(*statistics);
    long count = 0;
    svc::GetFileCount(count);
    std::uint64_t fragmentedClusters = 0;
    std::map<std::int32_t, long> results;
    for (long index = 0; index < count; ++index) {
        svc::FileEntry entry;
        svc::GetFileRecord(index, entry);
        if ((after ? entry.FragmentsAfter : entry.FragmentsBefore) >= 2) {
            fragmentedClusters += entry.LocalClusters;
        }
        ++results[entry.ResultCode];
    }
    std::wprintf(L"job: %ls of %lc:\n", job, letter);
    std::wprintf(L"failure: %llu\n", static_cast<unsigned long long>(statistics->Unused90[0]));
    std::wprintf(L"total clusters: %llu\n",
                 static_cast<unsigned long long>(statistics->TotalClusters));
    std::wprintf(L"used clusters: %llu\n",
                 static_cast<unsigned long long>(statistics->UsedClusters));
    std::wprintf(L"files: %llu\n", static_cast<unsigned long long>(statistics->TotalFiles));
    std::wprintf(L"fragmented files: %llu\n",
                 static_cast<unsigned long long>(statistics->FragmentedFiles));
    std::wprintf(L"defragmented files: %llu\n",
                 static_cast<unsigned long long>(statistics->DeFragmentedFiles));
    std::wprintf(L"fragmented clusters %ls: %llu\n", after ? L"after" : L"before",
                 static_cast<unsigned long long>(fragmentedClusters));
    std::wprintf(L"volume fragmentation: %.2f%%\n",
                 statistics->TotalClusters == 0
                     ? 0.0
                     : 100.0 * static_cast<double>(fragmentedClusters) /
                           static_cast<double>(statistics->TotalClusters));
    for (const auto& [code, files] : results) {
        std::wprintf(L"result %d: %ld files\n", code, files);
    }
    std::fflush(stdout);
    return statistics->TotalClusters != 0;
}

int Usage() {
    std::fwprintf(stderr, L"usage: servicecheck media|analyze|optimize X\n");
    return kWrongCommandLine;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || std::wcslen(argv[2]) < 1 || !std::iswalpha(argv[2][0])) {
        return Usage();
    }
    const std::wstring command = argv[1];
    const auto letter = static_cast<wchar_t>(std::towupper(argv[2][0]));
    if (command == L"media") {
        std::wprintf(L"medium of %lc: %ls\n", letter,
                     MediumName(vantrel::engine::windows::QueryDriveMedia(letter)));
        return 0;
    }
    if (command != L"analyze" && command != L"optimize") {
        return Usage();
    }
    svc::ServiceBinding binding;
    if (!binding.Bind()) {
        std::fwprintf(stderr, L"No binding to the defrag service.\n");
        return kUnreachable;
    }
    if (command == L"analyze") {
        if (!RunJob(svc::JobCommandCode::Analyze, letter)) {
            std::fwprintf(stderr, L"The analysis did not finish (is the service running?).\n");
            return kUnreachable;
        }
        return PrintResults(L"analysis", letter, false) ? 0 : kNothingCounted;
    }
    for (const wchar_t* pass : {L"first pass", L"second pass"}) {
        if (!RunJob(svc::JobCommandCode::Optimize, letter)) {
            std::fwprintf(stderr, L"The %ls did not finish (is the service running?).\n", pass);
            return kUnreachable;
        }
        if (!PrintResults(pass, letter, true)) {
            return kNothingCounted;
        }
    }
    return 0;
}
