// An independent walk of an NTFS image's MFT for the tests: every record read raw,
// its attributes and mapping pairs decoded here, not by the backend or the
// library's attribute code. What the backend answers is compared with this.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/ntfs/NtfsRuns.h"

struct _ntfs_volume;

namespace vantrel::engine::ntfs::proof {

struct RawName {
    std::uint64_t parent = 0;  // MFT reference
    std::uint8_t nameSpace = 0;
    std::u16string name;
};

// One attribute of a file, gathered from its base and extension records.
struct RawStream {
    std::uint32_t type = 0;
    std::u16string name;
    bool nonResident = false;
    std::uint16_t flags = 0;                  // compressed, sparse, encrypted
    std::int64_t dataSize = 0;                // bytes (resident: the value's length)
    std::vector<Run> runs;                    // in VCN order, holes included
    std::vector<std::uint64_t> pieceRecords;  // the records holding its pieces
};

struct RawFile {
    std::uint64_t record = 0;
    std::uint16_t sequence = 0;
    bool directory = false;
    std::uint32_t standardAttributes = 0;
    std::vector<RawName> names;
    std::vector<RawStream> streams;

    std::uint64_t Reference() const { return record | (std::uint64_t{sequence} << 48); }
    const RawStream* Find(std::uint32_t type, const std::u16string& name) const;
    // The stream the backend's extents describe: $I30's allocation or the data.
    const RawStream* ClusterStream() const;
    bool InExtend() const;  // a system file in $Extend
};

struct MftWalk {
    std::uint64_t totalClusters = 0;
    std::vector<std::uint8_t> bitmap;        // the volume's cluster bitmap as stored
    std::map<std::uint64_t, RawFile> files;  // base records in use, by record number
    std::vector<std::string> problems;       // records that did not decode
};

// Reads the MFT of a volume the library has mounted (read-only is enough).
MftWalk WalkMft(_ntfs_volume* volume);

// A file as the backend's enumeration lists it (a base record with a name), with
// the layout of the stream its extents describe.
struct ListedFile {
    std::uint64_t reference = 0;
    bool directory = false;
    bool movable = false;  // the file system moves it: not one of its own files
    std::uint64_t storedClusters = 0;
    std::size_t fragments = 0;
};

// In record order, the order the enumeration lists them.
std::vector<ListedFile> ListedFiles(const MftWalk& walk);

// The clusters the walk's bitmap shows in use.
std::uint64_t UsedClusters(const MftWalk& walk);

// Fragments of a run list: stored runs that do not follow on from the previous
// stored run (holes do not break a fragment).
std::size_t CountFragments(const std::vector<Run>& runs);

}  // namespace vantrel::engine::ntfs::proof
