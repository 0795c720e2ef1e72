// Reading the per-file results: the clusters of the fragmented files are summed
// before and after, and the reading ends at the first failed call, so a dead service
// costs one failing call instead of one per announced file.
#include "flows/FileRecordReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/support/FakeJobService.h"

namespace svc = vantrel::service;

namespace {

// A service that announces `count` files, answers the first records.size() of them
// and fails the rest (or every call, once it has "died").
class ScriptedRecords final : public vantrel::testsupport::FakeJobService {
  public:
    bool countFails = false;
    long count = 0;
    std::vector<svc::FileEntry> records;
    int countCalls = 0;
    int recordCalls = 0;
    std::vector<long> indices;

    int GetFileCount(long& value) override {
        ++countCalls;
        if (countFails) {
            return 0;
        }
        value = count;
        return 1;
    }
    int GetFileRecord(long index, svc::FileEntry& entry) override {
        ++recordCalls;
        indices.push_back(index);
        if (index < 0 || static_cast<std::size_t>(index) >= records.size()) {
            return 0;
        }
        entry = records[static_cast<std::size_t>(index)];
        return 1;
    }
};

svc::FileEntry Entry(std::int32_t before, std::int32_t after, std::uint64_t clusters) {
    svc::FileEntry entry;
    entry.FragmentsBefore = before;
    entry.FragmentsAfter = after;
    entry.LocalClusters = clusters;
    return entry;
}

TEST(FileRecordReader, SumsTheClustersOfFilesWithTwoOrMoreFragments) {
    ScriptedRecords source;
    source.records = {Entry(1, 1, 1000), Entry(2, 1, 10), Entry(5, 2, 200), Entry(0, 3, 3000),
                      Entry(2, 2, 4)};
    source.count = static_cast<long>(source.records.size());
    const FragmentedClusterSums sums = SumFragmentedClusters(source);
    EXPECT_EQ(10u + 200u + 4u, sums.before);
    EXPECT_EQ(200u + 3000u + 4u, sums.after);
    EXPECT_EQ(5, sums.filesRead);
    EXPECT_EQ((std::vector<long>{0, 1, 2, 3, 4}), source.indices);
}

TEST(FileRecordReader, ADeadServiceCostsOneFailingCall) {
    ScriptedRecords source;
    source.count = 2500;  // announced, then the service went away
    const FragmentedClusterSums sums = SumFragmentedClusters(source);
    EXPECT_EQ(1, source.recordCalls);
    EXPECT_EQ(0, sums.filesRead);
    EXPECT_EQ(0u, sums.before);
    EXPECT_EQ(0u, sums.after);
}

TEST(FileRecordReader, ACountAboveTheListIsNoError) {
    ScriptedRecords source;
    source.records = {Entry(2, 2, 7), Entry(3, 1, 8), Entry(1, 1, 9)};
    source.count = 10;
    const FragmentedClusterSums sums = SumFragmentedClusters(source);
    EXPECT_EQ(3, sums.filesRead) << "what was read counts";
    EXPECT_EQ(15u, sums.before);
    EXPECT_EQ(7u, sums.after);
    EXPECT_EQ(4, source.recordCalls) << "reading ends at the first failure";
}

TEST(FileRecordReader, NoCountNoRecords) {
    for (long count : {0L, -1L, -2147483647L - 1}) {
        ScriptedRecords source;
        source.records = {Entry(2, 2, 7)};
        source.count = count;
        EXPECT_EQ(0, SumFragmentedClusters(source).filesRead) << count;
        EXPECT_EQ(0, source.recordCalls) << count;
    }
    ScriptedRecords failing;
    failing.countFails = true;
    failing.count = 5;
    failing.records = {Entry(2, 2, 7)};
    EXPECT_EQ(0, SumFragmentedClusters(failing).filesRead);
    EXPECT_EQ(0, failing.recordCalls);
}

TEST(FileRecordReader, SumsStopAtTheLargestValue) {
    ScriptedRecords source;
    source.records = {Entry(2, 2, ~0ull - 5), Entry(2, 2, 100), Entry(2, 1, 1)};
    source.count = 3;
    const FragmentedClusterSums sums = SumFragmentedClusters(source);
    EXPECT_EQ(~0ull, sums.before);
    EXPECT_EQ(~0ull, sums.after);
}

TEST(FileRecordReader, EachRecordStartsEmpty) {
    // A source that leaves the entry alone on success must not see the previous file's
    // figures counted again.
    class SilentSecond final : public vantrel::testsupport::FakeJobService {
      public:
        int GetFileCount(long& count) override {
            count = 2;
            return 1;
        }
        int GetFileRecord(long index, svc::FileEntry& entry) override {
            if (index == 0) {
                entry = Entry(4, 4, 50);
            }
            return 1;
        }
    } source;
    const FragmentedClusterSums sums = SumFragmentedClusters(source);
    EXPECT_EQ(2, sums.filesRead);
    EXPECT_EQ(50u, sums.before);
}

}  // namespace
