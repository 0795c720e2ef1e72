// Where a report reads the last job: the service's statistics and its per-file
// results. The service link is the one in use; tests hand in records of their own.
#pragma once

#include "service/JobRecords.h"

class ReportSource {
  public:
    virtual ~ReportSource() = default;
    // Each answers non-zero on success and 0 when the call failed, leaving the out
    // value as the caller set it.
    virtual int GetJobStatistics(vantrel::service::JobStatistics& statistics) = 0;
    virtual int GetFileCount(long& count) = 0;
    virtual int GetFileRecord(long index, vantrel::service::FileEntry& entry) = 0;
};

// The defrag service, through the guarded client.
ReportSource& ServiceReportSource();
