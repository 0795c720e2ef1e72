// Costs of the persisted-state and report-writing paths that block the user-interface
// thread: loading and saving the history of 26 drives, and writing a large report
// text as UTF-8. Works below its own registry key and temporary file, removed after.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "state/DriveHistoryStore.h"
#include "state/SettingsStore.h"
#include "ui/format/Utf8Writer.h"

namespace {

constexpr wchar_t kBenchKey[] = L"Software\\VantrelBench";

double MedianMicroseconds(int runs, const std::function<void()>& work) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> samples;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start, stop;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&stop);
        samples.push_back(1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart));
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int wmain() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    DriveLetterArray letters;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        letters.Add(letter);
    }
    ProgramSettings settings;
    settings.KeyPath = kBenchKey;
    LoadDriveHistory(settings, letters);
    for (IndiVidualDriveInfo& record : settings.DriveHistory) {
        record.TotalFiles = L"123,456";
        record.IsvalidScanTime = true;
        GetLocalTime(&record.LastScanSysTime);
    }

    const int runs = 51;
    std::printf("LoadSettings                 %9.1f us (median of %d)\n",
                MedianMicroseconds(runs, [&] { LoadSettings(settings); }), runs);
    std::printf("SaveDriveHistory, 26 drives  %9.1f us\n",
                MedianMicroseconds(runs, [&] { SaveDriveHistory(settings); }));
    std::printf("LoadDriveHistory, 26 drives  %9.1f us\n",
                MedianMicroseconds(runs, [&] { LoadDriveHistory(settings, letters); }));

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring path = std::wstring(temp) + L"vantrel_bench_report.html";
    std::wstring report;
    while (report.size() < 1000000) {
        report += L"<tr><td>C:\\Users\\\x00E9t\x00E9\\Documents\\file.txt</td><td>3</td></tr>\r\n";
    }
    const double write = MedianMicroseconds(11, [&] {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        WriteUtf8(file, report);
        CloseHandle(file);
    });
    std::printf("WriteUtf8, %zu characters %9.1f us\n", report.size(), write);

    DeleteFileW(path.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kBenchKey);
    return 0;
}
