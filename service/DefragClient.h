// One routine per operation of the defrag service interface. Each runs inside the
// call guard and answers the operation's own result, or 0 when the call failed in
// any way. A failed call leaves every out value as the caller set it, so callers
// zero their out values (or pass freshly constructed records) before the call;
// that way a failed call reads as idle or empty.
//
// All calls use the process-wide binding that ServiceBinding creates.
#pragma once

#include "service/JobRecords.h"

namespace vantrel::service {

// Largest map the client asks for or hands over: its byte size must fit the
// 32-bit size parameter.
inline constexpr int kMaxMapCells = 0x7FFFFFFF / static_cast<int>(sizeof(MapCell));

int GetJobState(long& state, long& detail);
// Opnum 1 as it is on the wire; SendJobCommand (JobCommandSender.h) is what callers use.
int SendJobCommandRecord(const JobCommand& command);
int PutVolumeMap(const MapCell* cells, int cellCount);
int GetVolumeMap(MapCell* cells, int cellCount);
int GetJobStatistics(JobStatistics& statistics);
int GetFileCount(long& count);
int GetFileRecord(long index, FileRecord& record);
// Receives the record into a temporary heap buffer and copies it into entry.
int GetFileRecord(long index, FileEntry& entry);
int IsStatisticsBusy(long& busy);
int PauseJob();
int ResumeJob();
int StopJob();

}  // namespace vantrel::service
