// The files of a volume without an MFT (FAT32, exFAT), found by walking its
// directories breadth first from the root, one directory listing at a time. Ids are
// the walk's own: the root is 16 (and its own parent), every other entry the next
// number in the order it was listed; the numbers below 16 are those NTFS keeps for
// its own records, so a walk of an NTFS volume is never taken for them. Junctions and other reparse
// points are listed but not entered, so the walk never leaves the volume or runs in a circle.
#pragma once

#include "engine/Volume.h"
#include "engine/windows/VolumeCalls.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::engine::windows {

class DirectoryWalk {
  public:
    static constexpr std::uint64_t kRootId = 16;

    // Forgets what was listed; the next entry is the root.
    void Restart();
    // Replaces `batch` with up to `most` entries from entry `cursor` on (counted from 0,
    // the root), listing directories as it needs them, and advances `cursor`.
    // MoreData while entries may remain, Ok with the last batch. A directory that
    // cannot be listed is passed over with its contents.
    VolumeStatus Next(VolumeCalls& calls, std::uint64_t& cursor, std::vector<FileInfo>& batch,
                      std::size_t most);
    // The path below the root of an entry the walk listed ("\" for the root).
    std::optional<std::wstring> PathOf(std::uint64_t id) const;
    // The attributes of an entry the walk listed; 0 when unknown.
    std::uint32_t AttributesOf(std::uint64_t id) const;

  private:
    struct Node {
        std::uint32_t parent = 0;  // index
        std::wstring name;
        std::uint32_t attributes = 0;
        std::uint64_t size = 0;
    };

    // Lists the next directory not listed yet; false when none is left.
    bool ListNextDirectory(VolumeCalls& calls);

    std::vector<Node> nodes_;  // by id - kRootId
    std::size_t nextToList_ = 0;
};

}  // namespace vantrel::engine::windows
