// The defrag service as the program's windows use it: the eleven operations, with
// the job command as the pages send it (through the service manager first), and the
// fixed waits that give the service time to take up a job.
//
// The windows reach the service only through this interface, so that their logic
// runs in tests against a scripted service without real-time waits. ServiceLink is
// the real one: the guarded client routines over the process's binding.
//
// Every operation answers the operation's own result, or 0 when the call failed; a
// failed call leaves every out value as the caller set it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "service/CellCountSource.h"
#include "service/JobRecords.h"
#include "service/ServiceRecord.h"

namespace vantrel::service {

class JobService {
  public:
    virtual ~JobService() = default;

    virtual int GetJobState(long& state, long& detail) = 0;
    // Makes sure the service is there and running, then hands it one JobCommand with
    // the map's cell count: 1 once the command was handed over, 0 when the service
    // could not be opened or brought up (the availability test).
    virtual int SendJobCommand(CellCountSource& cells, std::int32_t code, wchar_t letter,
                               std::int32_t flag) = 0;
    virtual int PutVolumeMap(const MapCell* cells, int cellCount) = 0;
    virtual int GetVolumeMap(MapCell* cells, int cellCount) = 0;
    virtual int GetJobStatistics(JobStatistics& statistics) = 0;
    virtual int GetFileCount(long& count) = 0;
    virtual int GetFileRecord(long index, FileEntry& entry) = 0;
    virtual int IsStatisticsBusy(long& busy) = 0;
    virtual int PauseJob() = 0;
    virtual int ResumeJob() = 0;
    virtual int StopJob() = 0;

    // One of the fixed waits while a job starts: the real service is given that
    // long to take up the command; the thread blocks meanwhile.
    virtual void WaitForJobStart(DWORD milliseconds) = 0;
    // The clock the progress page measures a silent service by, in milliseconds.
    virtual unsigned long long Milliseconds() = 0;
};

// The real service: the guarded client routines, with the job command opening and
// starting the service through `record` (the main window's service record).
class ServiceLink final : public JobService {
  public:
    explicit ServiceLink(ServiceRecord& record) : record_(record) {}

    int GetJobState(long& state, long& detail) override;
    int SendJobCommand(CellCountSource& cells, std::int32_t code, wchar_t letter,
                       std::int32_t flag) override;
    int PutVolumeMap(const MapCell* cells, int cellCount) override;
    int GetVolumeMap(MapCell* cells, int cellCount) override;
    int GetJobStatistics(JobStatistics& statistics) override;
    int GetFileCount(long& count) override;
    int GetFileRecord(long index, FileEntry& entry) override;
    int IsStatisticsBusy(long& busy) override;
    int PauseJob() override;
    int ResumeJob() override;
    int StopJob() override;
    void WaitForJobStart(DWORD milliseconds) override;
    unsigned long long Milliseconds() override;

  private:
    ServiceRecord& record_;
};

}  // namespace vantrel::service
