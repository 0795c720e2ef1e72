// The defrag service's own process, started and ended by the tests: a dry run in
// the foreground lists its planned moves and moves nothing; Wine's own drive, which
// the service cannot work on, ends every job with nothing counted; a service running
// a job is neither stopped nor removed; and a server killed in the middle of a job
// leaves the client answering 0 with nothing hanging. Each test runs in a process
// of its own, so that a broken pipe connection cannot outlive it: under Wine a
// client whose connection broke keeps failing (1727), a new binding too, even once
// a new server is up.
#include "service/CallGuard.h"
#include "service/DefragClient.h"
#include "service/ServiceBinding.h"
#include "tests/service/StandInService.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel::service {
namespace {

constexpr int kCells = 1472;
constexpr std::uint32_t kTestPaceMilliseconds = 1500;
// The dry run reads no progress on the way: its jobs need no pace to watch.
constexpr std::uint32_t kDryRunPaceMilliseconds = 100;
constexpr wchar_t kParameters[] = L"SYSTEM\\CurrentControlSet\\Services\\Vantrel\\Parameters";

testsupport::StandInService& StandIn() {
    static testsupport::StandInService service(VANTREL_DEFRAGSVC_RELATIVE);
    return service;
}

// A server process of the test's own, killed when the test ends.
struct Server {
    HANDLE process;
    ~Server() {
        if (process != nullptr) {
            TerminateProcess(process, 9);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }
};

class ServiceProcess : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        binding_ = new ServiceBinding();
        ASSERT_TRUE(binding_->Bind());
    }
    static void TearDownTestSuite() {
        delete binding_;
        binding_ = nullptr;
    }

    // No server answers any more: the one before has gone.
    static void WaitUntilUnserved() {
        long state = JobState::Idle;
        long detail = 0;
        for (int attempt = 0; attempt < 200; ++attempt) {
            GetJobState(state, detail);
            if (LastGuardedExceptionCode() != 0) {
                return;
            }
            Sleep(50);
        }
    }

    // A new server answers this program.
    static bool WaitUntilServed() {
        long state = JobState::Idle;
        long detail = 0;
        for (int attempt = 0; attempt < 400; ++attempt) {
            if (GetJobState(state, detail) != 0) {
                return true;
            }
            Sleep(50);
        }
        return false;
    }

    static int Send(std::int32_t code, wchar_t letter) {
        return SendJobCommandRecord(
            MakeJobCommand(code, letter, kCells, code == JobCommandCode::Optimize));
    }

    // Polls until the job leaves Running; its last state.
    static long WaitWhileRunning() {
        long state = JobState::Running;
        long detail = 0;
        for (int tick = 0; tick < 600 && state == JobState::Running; ++tick) {
            Sleep(100);
            GetJobState(state, detail);
        }
        return state;
    }

    static std::vector<FileEntry> Files() {
        long count = 0;
        GetFileCount(count);
        std::vector<FileEntry> files(static_cast<std::size_t>(count));
        for (long index = 0; index < count; ++index) {
            GetFileRecord(index, files[static_cast<std::size_t>(index)]);
        }
        return files;
    }

    static ServiceBinding* binding_;
};

ServiceBinding* ServiceProcess::binding_ = nullptr;

// The account the registered service runs as.
std::wstring ServiceAccount() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service =
        manager != nullptr ? OpenServiceW(manager, L"Vantrel", SERVICE_QUERY_CONFIG) : nullptr;
    std::vector<BYTE> buffer(8192);
    DWORD needed = 0;
    std::wstring account;
    if (service != nullptr &&
        QueryServiceConfigW(service, reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data()),
                            static_cast<DWORD>(buffer.size()), &needed)) {
        const auto* config = reinterpret_cast<const QUERY_SERVICE_CONFIGW*>(buffer.data());
        account = config->lpServiceStartName != nullptr ? config->lpServiceStartName : L"";
    }
    if (service != nullptr) {
        CloseServiceHandle(service);
    }
    if (manager != nullptr) {
        CloseServiceHandle(manager);
    }
    return account;
}

std::string ReadAll(const std::wstring& path) {
    std::string text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read != 0) {
        text.append(chunk, read);
    }
    CloseHandle(file);
    return text;
}

TEST_F(ServiceProcess, ADryRunListsItsPlannedMovesAndMovesNothing) {
    if (StandIn().IsInstalled()) {
        ASSERT_TRUE(StandIn().StopAndWait());
    }
    WaitUntilUnserved();
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring outputPath = std::wstring(folder) + L"vantrel-dry-run.txt";
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE output = CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    ASSERT_NE(output, INVALID_HANDLE_VALUE);
    {
        const Server server{
            StandIn().LaunchInConsole(kDryRunPaceMilliseconds, L"--dry-run", output)};
        CloseHandle(output);
        ASSERT_NE(server.process, nullptr);
        ASSERT_TRUE(WaitUntilServed());

        // A drive Wine does not map: a simulated one of the default size.
        ASSERT_EQ(Send(JobCommandCode::Reset, L'Y'), 1);
        ASSERT_EQ(Send(JobCommandCode::Analyze, L'Y'), 1);
        ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
        const std::vector<FileEntry> before = Files();
        ASSERT_FALSE(before.empty());
        ASSERT_EQ(Send(JobCommandCode::Reset, L'Y'), 1);
        ASSERT_EQ(Send(JobCommandCode::Optimize, L'Y'), 1);
        ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
        for (const FileEntry& file : Files()) {
            EXPECT_EQ(file.FragmentsAfter, file.FragmentsBefore);
        }
        ASSERT_EQ(Send(JobCommandCode::Reset, L'Y'), 1);
        ASSERT_EQ(Send(JobCommandCode::Analyze, L'Y'), 1);
        ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
        const std::vector<FileEntry> after = Files();
        ASSERT_EQ(after.size(), before.size()) << "the dry run moved nothing";
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].Path, before[i].Path);
            EXPECT_EQ(after[i].FragmentsBefore, before[i].FragmentsBefore);
        }
    }
    WaitUntilUnserved();

    // One line per planned move: the file, the cluster it starts at, where it would
    // go, and how many clusters.
    const std::string printed = ReadAll(outputPath);
    DeleteFileW(outputPath.c_str());
    int moves = 0;
    for (std::size_t at = 0; (at = printed.find("planned move: ", at)) != std::string::npos; ++at) {
        const std::string line = printed.substr(at, printed.find('\n', at) - at);
        unsigned long long from = 0, to = 0, clusters = 0;
        const std::size_t tail = line.rfind(" from cluster ");
        ASSERT_NE(tail, std::string::npos) << line;
        EXPECT_EQ(line.substr(14, 3), "Y:\\") << line;
        EXPECT_EQ(
            std::sscanf(line.c_str() + tail, " from cluster %llu to cluster %llu, %llu clusters",
                        &from, &to, &clusters),
            3)
            << line;
        EXPECT_NE(from, to);
        EXPECT_GT(clusters, 0u);
        ++moves;
    }
    EXPECT_GT(moves, 0) << printed;
}

TEST_F(ServiceProcess, WinesDriveEndsEveryJobWithNothingCounted) {
    ASSERT_TRUE(StandIn().Uninstall());
    WaitUntilUnserved();
    // This machine's drives: no --simulate.
    ASSERT_EQ(StandIn().RunTool(L"--install"), 0u);
    EXPECT_EQ(ServiceAccount(), L"LocalSystem");
    ASSERT_EQ(StandIn().RunTool(L"--start"), 0u);
    ASSERT_TRUE(WaitUntilServed());
    for (const std::int32_t code : {JobCommandCode::Analyze, JobCommandCode::Optimize}) {
        SCOPED_TRACE(code);
        ASSERT_EQ(Send(JobCommandCode::Reset, L'C'), 1);
        ASSERT_EQ(Send(code, L'C'), 1);
        ASSERT_EQ(WaitWhileRunning(), JobState::Finished);
        auto statistics = std::make_unique<JobStatistics>();
        ASSERT_EQ(GetJobStatistics(*statistics), 1);
        EXPECT_EQ(statistics->DriveLetter, L'C');
        EXPECT_NE(statistics->Unused90[0], 0u) << "the volume's failure is recorded";
        for (const std::uint64_t count :
             {statistics->TotalFiles, statistics->TotalDirs, statistics->FragmentedFiles,
              statistics->NonOptimizedBytes, statistics->DeFragmentedFiles,
              statistics->TotalClusters, statistics->UsedClusters, statistics->FreeClusters,
              statistics->ProcessedClusters, statistics->LargestFreeExtent}) {
            EXPECT_EQ(count, 0u);
        }
        EXPECT_TRUE(Files().empty());
        std::vector<MapCell> map(kCells);
        GetVolumeMap(map.data(), kCells);
        for (const MapCell& cell : map) {
            EXPECT_EQ(cell.Free + cell.Used + cell.Optimized + cell.Fragmented + cell.Mft, 0u);
        }
    }
    Send(JobCommandCode::Reset, L'C');
    EXPECT_TRUE(StandIn().Uninstall());
}

TEST_F(ServiceProcess, AServiceRunningAJobIsNeitherStoppedNorRemoved) {
    ASSERT_TRUE(StandIn().Uninstall());
    WaitUntilUnserved();
    ASSERT_TRUE(StandIn().Install(kTestPaceMilliseconds));
    // Every job holds at half its work until the value goes, whatever ends the test.
    struct HoldValue {
        ~HoldValue() { RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kParameters, L"JobHoldPercent"); }
    } holdValue;
    const DWORD hold = 50;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, kParameters, L"JobHoldPercent", REG_DWORD, &hold,
                              sizeof hold),
              ERROR_SUCCESS);
    ASSERT_EQ(StandIn().RunTool(L"--start"), 0u);
    ASSERT_TRUE(WaitUntilServed());
    ASSERT_EQ(Send(JobCommandCode::Reset, L'Y'), 1);
    ASSERT_EQ(Send(JobCommandCode::Analyze, L'Y'), 1);
    EXPECT_EQ(StandIn().RunTool(L"--stop"), 3u) << "a job runs";
    EXPECT_EQ(StandIn().RunTool(L"--uninstall"), 3u);
    EXPECT_EQ(StandIn().State(), static_cast<DWORD>(SERVICE_RUNNING));
    long state = JobState::Idle;
    long detail = 0;
    GetJobState(state, detail);
    EXPECT_EQ(state, JobState::Running) << "the job goes on";

    ASSERT_EQ(Send(JobCommandCode::Reset, L'Y'), 1);
    DWORD stopped = 3;
    for (int attempt = 0; attempt < 20 && stopped == 3; ++attempt) {
        stopped = StandIn().RunTool(L"--stop");  // the service sees the job end within 100 ms
    }
    EXPECT_EQ(stopped, 0u);
    EXPECT_EQ(StandIn().State(), static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_TRUE(StandIn().Uninstall());
}

// Wine's service manager does not notice a service process that was killed, so
// the server killed here is the same program run in the foreground.
TEST_F(ServiceProcess, KilledMidJobLeavesTheClientAnsweringZero) {
    if (StandIn().IsInstalled()) {
        ASSERT_TRUE(StandIn().StopAndWait());
    }
    WaitUntilUnserved();
    const Server server{StandIn().LaunchInConsole(kTestPaceMilliseconds)};
    ASSERT_NE(server.process, nullptr);
    ASSERT_TRUE(WaitUntilServed())
        << "no answer from the server in the foreground; last code " << LastGuardedExceptionCode()
        << ", process alive " << (WaitForSingleObject(server.process, 0) == WAIT_TIMEOUT);
    long state = JobState::Idle;
    long detail = 0;
    ASSERT_EQ(Send(JobCommandCode::Reset, L'C'), 1);
    ASSERT_EQ(Send(JobCommandCode::Analyze, L'C'), 1);
    ASSERT_EQ(GetJobState(state, detail), 1);
    ASSERT_EQ(state, JobState::Running);
    ASSERT_TRUE(TerminateProcess(server.process, 9));
    ASSERT_EQ(WaitForSingleObject(server.process, 10000), WAIT_OBJECT_0);

    for (int call = 0; call < 20; ++call) {
        EXPECT_EQ(GetJobState(state, detail), 0);
        auto statistics = std::make_unique<JobStatistics>();
        EXPECT_EQ(GetJobStatistics(*statistics), 0);
        EXPECT_EQ(statistics->TotalClusters, 0u);
        long count = 0;
        EXPECT_EQ(GetFileCount(count), 0);
        EXPECT_EQ(count, 0);
        FileEntry entry;
        EXPECT_EQ(GetFileRecord(0, entry), 0);
        EXPECT_TRUE(entry.Path.empty());
        EXPECT_EQ(StopJob(), 0);
    }
    EXPECT_EQ(state, JobState::Running) << "a failed call leaves the last answer";
}

}  // namespace
}  // namespace vantrel::service
