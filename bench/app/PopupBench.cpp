// CPU cost of the logon reminder's notice. vantrel.exe is started in reminder mode
// twice over: once with a drive last scanned 8 days ago, so the notice fades in,
// stays, fades out and ends the program, and once with every drive fresh, so the
// same start ends without a notice. The difference in CPU time, spread over the
// notice's life, is what the notice itself costs. Run it under Wine with an X
// display; it prints medians of 3 runs of each.
//
// CPU time is the sum over the process's threads, each sampled every 20 ms until it
// ends (a thread's last 20 ms may go uncounted). GetProcessTimes is no help here:
// under Wine it answers for another process's first thread only while it runs, and
// unrelated figures once it has ended.
//
// The drive history under HKCU "Software\Brenlow\Vantrel" is replaced for the runs
// and put back afterwards.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "state/DriveHistoryStore.h"
#include "ui/format/TimeConvert.h"

namespace {

constexpr int kRuns = 3;
constexpr DWORD kSampleMs = 20;
constexpr wchar_t kBackupKey[] = L"Software\\VantrelBench\\HistoryBackup";

std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    for (int i = 0; i < 3; ++i) {
        path.resize(path.find_last_of(L'\\'));
    }
    return path + L"\\app\\vantrel.exe";
}

double NowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Ms(const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
           10000.0;
}

// The last CPU time seen of every thread the process ever had.
class ThreadSampler {
  public:
    explicit ThreadSampler(DWORD processId) : processId_(processId) {}

    void Sample() {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (snapshot == INVALID_HANDLE_VALUE) {
            return;
        }
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Thread32First(snapshot, &entry); more;
             more = Thread32Next(snapshot, &entry)) {
            if (entry.th32OwnerProcessID != processId_) {
                continue;
            }
            if (HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID)) {
                FILETIME created, exited, kernel, user;
                if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
                    last_[entry.th32ThreadID] = Ms(kernel) + Ms(user);
                }
                CloseHandle(thread);
            }
        }
        CloseHandle(snapshot);
    }
    double TotalMs() const {
        double total = 0;
        for (const auto& [id, ms] : last_) {
            total += ms;
        }
        return total;
    }

  private:
    DWORD processId_;
    std::map<DWORD, double> last_;
};

bool CopyKey(const wchar_t* from, const wchar_t* to) {
    HKEY source = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) != ERROR_SUCCESS) {
        return false;
    }
    HKEY target = nullptr;
    bool copied = false;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                        nullptr) == ERROR_SUCCESS) {
        copied = RegCopyTreeW(source, nullptr, target) == ERROR_SUCCESS;
        RegCloseKey(target);
    }
    RegCloseKey(source);
    return copied;
}

// Every fixed drive scanned today, but `staleLetter` `staleDays` ago.
void WriteHistory(wchar_t staleLetter, int staleDays) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath);
    ProgramSettings settings;
    const DWORD present = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        if (!(present & (1u << i)) || GetDriveTypeW(root) != DRIVE_FIXED) {
            continue;
        }
        OleDateTime scanned = CurrentOleDate();
        if (root[0] == staleLetter) {
            scanned.Value -= staleDays;
        }
        IndiVidualDriveInfo record = MakeDriveRecord(root[0]);
        record.LastScanSysTime = SystemTimeFromOleDate(scanned).value_or(SYSTEMTIME{});
        record.IsvalidScanTime = true;
        record.LastScanDate = FormatDateText(scanned);
        settings.DriveHistory.Add(record);
    }
    SaveDriveHistory(settings);
}

bool PopupVisible(DWORD processId) {
    struct Search {
        DWORD processId;
        bool found;
    } search = {processId, false};
    EnumWindows(
        +[](HWND window, LPARAM data) WINAPI -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            RECT r = {};
            GetWindowRect(window, &r);
            if (owner == s->processId && IsWindowVisible(window) && r.right - r.left == 254 &&
                r.bottom - r.top == 193) {
                s->found = true;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Run {
    double cpuMs = 0;         // the whole process
    double wallMs = 0;        // start to end
    double noticeCpuMs = 0;   // from the notice on screen to the end
    double noticeWallMs = 0;  // 0 when no notice showed
};

Run StartReminder() {
    std::wstring commandLine = L"\"" + ProgramPath() + L"\" -pop";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    Run run;
    const double start = NowMs();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return run;
    }
    ThreadSampler threads(info.dwProcessId);
    double noticeStart = -1;
    double noticeCpuStart = 0;
    while (WaitForSingleObject(info.hProcess, kSampleMs) == WAIT_TIMEOUT &&
           NowMs() - start < 60000) {
        threads.Sample();
        if (noticeStart < 0 && PopupVisible(info.dwProcessId)) {
            noticeStart = NowMs();
            noticeCpuStart = threads.TotalMs();
        }
    }
    WaitForSingleObject(info.hProcess, 60000);
    const double end = NowMs();
    run.wallMs = end - start;
    run.cpuMs = threads.TotalMs();
    if (noticeStart >= 0) {
        run.noticeWallMs = end - noticeStart;
        run.noticeCpuMs = run.cpuMs - noticeCpuStart;
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PercentOfCore(double cpuMs, double wallMs) {
    return wallMs > 0 ? 100.0 * cpuMs / wallMs : 0.0;
}

}  // namespace

int wmain() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kBackupKey);
    const bool saved = CopyKey(kSettingsKeyPath, kBackupKey);

    std::vector<double> withCpu, withWall, noticeCpu, noticeWall, withoutCpu, withoutWall;
    for (int i = 0; i < kRuns; ++i) {
        WriteHistory(L'C', 8);
        const Run with = StartReminder();
        withCpu.push_back(with.cpuMs);
        withWall.push_back(with.wallMs);
        noticeCpu.push_back(with.noticeCpuMs);
        noticeWall.push_back(with.noticeWallMs);

        WriteHistory(0, 0);
        const Run without = StartReminder();
        withoutCpu.push_back(without.cpuMs);
        withoutWall.push_back(without.wallMs);
    }

    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath);
    if (saved) {
        CopyKey(kBackupKey, kSettingsKeyPath);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kBackupKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VantrelBench");

    const double life = Median(noticeWall);
    const double extra = Median(withCpu) - Median(withoutCpu);
    std::printf(
        "reminder start with the notice: %5.0f ms CPU in %5.0f ms, notice on screen %.0f ms\n",
        Median(withCpu), Median(withWall), life);
    std::printf("same start without the notice:  %5.0f ms CPU in %5.0f ms\n", Median(withoutCpu),
                Median(withoutWall));
    std::printf("the notice's own cost:          %5.0f ms CPU, %.1f %% of one core over its life\n",
                extra, PercentOfCore(extra, life));
    std::printf("all CPU while it was on screen: %5.0f ms, %.1f %% of one core\n",
                Median(noticeCpu), PercentOfCore(Median(noticeCpu), life));
    return 0;
}
