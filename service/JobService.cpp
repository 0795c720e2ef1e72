#include "service/JobService.h"

#include "service/DefragClient.h"
#include "service/JobCommandSender.h"

namespace vantrel::service {

int ServiceLink::GetJobState(long& state, long& detail) {
    return service::GetJobState(state, detail);
}

int ServiceLink::SendJobCommand(CellCountSource& cells, std::int32_t code, wchar_t letter,
                                std::int32_t flag) {
    return service::SendJobCommand(record_, cells, code, letter, flag);
}

int ServiceLink::PutVolumeMap(const MapCell* cells, int cellCount) {
    return service::PutVolumeMap(cells, cellCount);
}

int ServiceLink::GetVolumeMap(MapCell* cells, int cellCount) {
    return service::GetVolumeMap(cells, cellCount);
}

int ServiceLink::GetJobStatistics(JobStatistics& statistics) {
    return service::GetJobStatistics(statistics);
}

int ServiceLink::GetFileCount(long& count) {
    return service::GetFileCount(count);
}

int ServiceLink::GetFileRecord(long index, FileEntry& entry) {
    return service::GetFileRecord(index, entry);
}

int ServiceLink::IsStatisticsBusy(long& busy) {
    return service::IsStatisticsBusy(busy);
}

int ServiceLink::PauseJob() {
    return service::PauseJob();
}

int ServiceLink::ResumeJob() {
    return service::ResumeJob();
}

int ServiceLink::StopJob() {
    return service::StopJob();
}

void ServiceLink::WaitForJobStart(DWORD milliseconds) {
    Sleep(milliseconds);
}

unsigned long long ServiceLink::Milliseconds() {
    return GetTickCount64();
}

}  // namespace vantrel::service
