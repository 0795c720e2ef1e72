// The availability check against a scripted service control manager: exact
// numbers of queries, start requests and waits for each way the service behaves.
#include "service/CellCountSource.h"
#include "service/JobCommandSender.h"
#include "service/JobRecords.h"
#include "service/ServiceRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::service {
namespace {

SC_HANDLE Handle(std::uintptr_t value) {
    return reinterpret_cast<SC_HANDLE>(value);
}

const SC_HANDLE kManager = Handle(0x100);

// Plays back one service state per status query (the last one repeats); a start
// request can move the script on to a given step.
class ScriptedManager final : public ServiceManagerApi {
  public:
    bool managerOpens = true;
    bool installed = true;
    std::vector<DWORD> states{SERVICE_RUNNING};
    bool queryFails = false;

    int queries = 0;
    int starts = 0;
    int sleeps = 0;
    DWORD slept = 0;
    std::vector<std::string> calls;
    std::vector<SC_HANDLE> closed;

    SC_HANDLE OpenManager(DWORD access) override {
        calls.push_back("open manager");
        lastManagerAccess = access;
        return managerOpens ? kManager : nullptr;
    }
    SC_HANDLE OpenServiceByName(SC_HANDLE manager, const wchar_t* name, DWORD access) override {
        calls.push_back("open service");
        openedWith = manager;
        openedName = name;
        lastServiceAccess = access;
        return installed ? Handle(0x200 + ++serviceHandles) : nullptr;
    }
    bool QueryStatus(SC_HANDLE, SERVICE_STATUS& status) override {
        calls.push_back("query");
        const DWORD state = states[std::min<std::size_t>(queries, states.size() - 1)];
        ++queries;
        if (queryFails) {
            return false;
        }
        status.dwCurrentState = state;
        return true;
    }
    bool Start(SC_HANDLE) override {
        calls.push_back("start");
        ++starts;
        return true;
    }
    void Close(SC_HANDLE handle) override { closed.push_back(handle); }
    void Sleep(DWORD milliseconds) override {
        calls.push_back("sleep");
        ++sleeps;
        slept += milliseconds;
    }

    DWORD lastManagerAccess = 0;
    DWORD lastServiceAccess = 0;
    SC_HANDLE openedWith = nullptr;
    std::wstring openedName;
    std::uintptr_t serviceHandles = 0;
};

TEST(EnsureServiceRunning, FollowsTheServiceThroughItsStates) {
    struct Case {
        const char* name;
        std::vector<DWORD> states;
        bool expected;
        int queries;
        int starts;
        int sleeps;
    };
    const Case cases[] = {
        {"running", {SERVICE_RUNNING}, true, 1, 0, 0},
        {"paused counts as available", {SERVICE_PAUSED}, true, 1, 0, 0},
        {"stopped, then starting within a second",
         {SERVICE_STOPPED, SERVICE_START_PENDING, SERVICE_RUNNING},
         true,
         3,
         1,
         2},
        {"stopped twice before it starts",
         {SERVICE_STOPPED, SERVICE_STOPPED, SERVICE_START_PENDING, SERVICE_RUNNING},
         true,
         4,
         2,
         3},
        {"stuck stopping", {SERVICE_STOP_PENDING}, false, 10, 0, 10},
        {"never starts", {SERVICE_STOPPED}, false, 10, 10, 10},
        {"continue pending, then running",
         {SERVICE_CONTINUE_PENDING, SERVICE_RUNNING},
         true,
         2,
         0,
         1},
        {"an unknown state waits", {0x77, SERVICE_RUNNING}, true, 2, 0, 1},
    };
    for (const Case& test : cases) {
        ScriptedManager manager;
        manager.states = test.states;
        EXPECT_EQ(EnsureServiceRunning(manager, Handle(0x201)), test.expected) << test.name;
        EXPECT_EQ(manager.queries, test.queries) << test.name;
        EXPECT_EQ(manager.starts, test.starts) << test.name;
        EXPECT_EQ(manager.sleeps, test.sleeps) << test.name;
        EXPECT_EQ(manager.slept, test.sleeps * kStartPollMilliseconds) << test.name;
    }
}

TEST(EnsureServiceRunning, StartRequestComesRightAfterTheStoppedQuery) {
    ScriptedManager manager;
    manager.states = {SERVICE_STOPPED, SERVICE_RUNNING};
    EXPECT_TRUE(EnsureServiceRunning(manager, Handle(0x201)));
    EXPECT_EQ(manager.calls, (std::vector<std::string>{"query", "start", "sleep", "query"}));
}

TEST(EnsureServiceRunning, FailedQueriesReadAsNoStateAndRunOutTheBudget) {
    ScriptedManager manager;
    manager.queryFails = true;
    EXPECT_FALSE(EnsureServiceRunning(manager, Handle(0x201)));
    EXPECT_EQ(manager.queries, kStartAttempts);
    EXPECT_EQ(manager.starts, 0);
}

TEST(ServiceRecord, OpensTheManagerAtConstructionAndTheServiceByName) {
    ScriptedManager manager;
    {
        ServiceRecord record(manager);
        EXPECT_EQ(manager.lastManagerAccess, kManagerAllAccess);
        EXPECT_EQ(record.ManagerHandle(), kManager);
        EXPECT_EQ(record.ServiceHandle(), nullptr);
        ASSERT_TRUE(record.OpenDefragService());
        EXPECT_EQ(manager.openedWith, kManager);
        EXPECT_EQ(manager.openedName, L"Vantrel");
        EXPECT_EQ(manager.lastServiceAccess, kServiceAllAccess);
        const SC_HANDLE first = record.ServiceHandle();
        ASSERT_TRUE(record.OpenDefragService());
        EXPECT_EQ(manager.closed, std::vector<SC_HANDLE>{first}) << "the older handle is closed";
    }
    // Teardown closes the service handle, then the manager's.
    ASSERT_EQ(manager.closed.size(), 3u);
    EXPECT_EQ(manager.closed[1], Handle(0x202));
    EXPECT_EQ(manager.closed[2], kManager);
}

TEST(ServiceRecord, WithoutAManagerNothingOpensAndNothingIsClosed) {
    ScriptedManager manager;
    manager.managerOpens = false;
    {
        ServiceRecord record(manager);
        EXPECT_FALSE(record.OpenDefragService());
        EXPECT_FALSE(record.EnsureServiceRunning());
    }
    EXPECT_EQ(manager.calls, std::vector<std::string>{"open manager"});
    EXPECT_TRUE(manager.closed.empty());
}

class FixedCells final : public CellCountSource {
  public:
    int GetCellCount() override {
        ++requests;
        return 1472;
    }
    int requests = 0;
};

TEST(SendJobCommand, AnswersWhetherTheServiceCouldBeReached) {
    struct Case {
        const char* name;
        bool installed;
        std::vector<DWORD> states;
        int expected;
        int queries;
    };
    // No binding exists in this program, so the remote call itself fails; the
    // answer depends on the service manager alone.
    const Case cases[] = {
        {"not installed: no status query at all", false, {SERVICE_RUNNING}, 0, 0},
        {"running", true, {SERVICE_RUNNING}, 1, 1},
        {"started on demand",
         true,
         {SERVICE_STOPPED, SERVICE_START_PENDING, SERVICE_RUNNING},
         1,
         3},
        {"never comes up", true, {SERVICE_STOP_PENDING}, 0, 10},
    };
    for (const Case& test : cases) {
        ScriptedManager manager;
        manager.installed = test.installed;
        manager.states = test.states;
        ServiceRecord record(manager);
        FixedCells cells;
        EXPECT_EQ(SendJobCommand(record, cells, JobCommandCode::Reset, L'C', 0), test.expected)
            << test.name;
        EXPECT_EQ(manager.queries, test.queries) << test.name;
        EXPECT_EQ(cells.requests, 1) << test.name;
    }
}

}  // namespace
}  // namespace vantrel::service
