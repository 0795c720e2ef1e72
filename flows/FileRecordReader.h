// Reading the service's per-file results after a job: the file count, then one
// record per index. The results pages only need the clusters of the fragmented
// files, before and after, so the reader sums them as it goes.
//
// The list is read until its end or the first failed call, whichever comes first: a
// service that stops answering (or a list that shrank after the count was read)
// ends the reading instead of keeping the user-interface thread in a loop of
// failing calls.
#pragma once

#include <cstdint>

#include "service/JobService.h"

// Told after every record read; answers false to end the reading there.
class FileRecordProgress {
  public:
    virtual ~FileRecordProgress() = default;
    virtual bool OnRecordsRead(long done, long total) = 0;
};

struct FragmentedClusterSums {
    // LocalClusters of the files with two or more fragments before the job, and after.
    std::uint64_t before = 0;
    std::uint64_t after = 0;
    // How many records were read; fewer than the count when a call failed.
    long filesRead = 0;
    // The progress ended the reading before the end of the list.
    bool cancelled = false;
};

// Reads the count, then records 0 to count - 1, stopping at the first failed call.
// A failed count or a count below 1 reads nothing. Sums stop at the largest
// 64-bit value rather than wrapping.
FragmentedClusterSums SumFragmentedClusters(vantrel::service::JobService& source,
                                            FileRecordProgress* progress = nullptr);
