#include "service/DefragClient.h"

#include "service/CallGuard.h"
#include "service/DefragRpc_c.h"

#include <memory>

namespace vantrel::service {
namespace {

unsigned char* Bytes(void* record) {
    return static_cast<unsigned char*>(record);
}

// The stub never writes through an [in] array; the IDL cannot say const.
unsigned char* InBytes(const void* record) {
    return static_cast<unsigned char*>(const_cast<void*>(record));
}

bool MapSizeAcceptable(const MapCell* cells, int cellCount) {
    return cells != nullptr && cellCount > 0 && cellCount <= kMaxMapCells;
}

}  // namespace

int GetJobState(long& state, long& detail) {
    auto call = [&] { return Remote_GetJobState(&state, &detail); };
    return Guarded(call);
}

int SendJobCommandRecord(const JobCommand& command) {
    auto call = [&] {
        return Remote_SendJobCommand(static_cast<long>(sizeof command), InBytes(&command));
    };
    return Guarded(call);
}

int PutVolumeMap(const MapCell* cells, int cellCount) {
    if (!MapSizeAcceptable(cells, cellCount)) {
        return 0;
    }
    const long size = cellCount * static_cast<long>(sizeof(MapCell));
    auto call = [&] { return Remote_PutVolumeMap(size, InBytes(cells)); };
    return Guarded(call);
}

int GetVolumeMap(MapCell* cells, int cellCount) {
    if (!MapSizeAcceptable(cells, cellCount)) {
        return 0;
    }
    const long size = cellCount * static_cast<long>(sizeof(MapCell));
    long returned = 0;
    auto call = [&] { return Remote_GetVolumeMap(size, &returned, Bytes(cells)); };
    return Guarded(call);
}

int GetJobStatistics(JobStatistics& statistics) {
    long returned = 0;
    auto call = [&] {
        return Remote_GetJobStatistics(static_cast<long>(sizeof statistics), &returned,
                                       Bytes(&statistics));
    };
    return Guarded(call);
}

int GetFileCount(long& count) {
    auto call = [&] { return Remote_GetFileCount(&count); };
    return Guarded(call);
}

int GetFileRecord(long index, FileRecord& record) {
    long returned = 0;
    auto call = [&] {
        return Remote_GetFileRecord(index, static_cast<long>(sizeof record), &returned,
                                    Bytes(&record));
    };
    return Guarded(call);
}

int GetFileRecord(long index, FileEntry& entry) {
    // Value-initialised: a failed call copies zeros and an empty path.
    auto record = std::make_unique<FileRecord>();
    const int result = GetFileRecord(index, *record);
    entry = FileEntryFromRecord(*record);
    return result;
}

int IsStatisticsBusy(long& busy) {
    auto call = [&] { return Remote_IsStatisticsBusy(&busy); };
    return Guarded(call);
}

int PauseJob() {
    auto call = [] { return Remote_PauseJob(); };
    return Guarded(call);
}

int ResumeJob() {
    auto call = [] { return Remote_ResumeJob(); };
    return Guarded(call);
}

int StopJob() {
    auto call = [] { return Remote_StopJob(); };
    return Guarded(call);
}

}  // namespace vantrel::service
