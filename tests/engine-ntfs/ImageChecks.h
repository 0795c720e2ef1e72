// The checkers an NTFS image must pass after the engine worked on it: every file's
// content unchanged, no cluster owned twice, the bitmap equal to the run lists,
// and ntfsresize finding no cluster accounting mismatch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/engine-ntfs/MftWalk.h"

namespace vantrel::engine::ntfs::proof {

using Digest = std::array<std::uint8_t, 32>;  // SHA-256

// A read-only mount of an image for the checkers; `volume` is null when the
// library refused it.
class ImageMount {
  public:
    explicit ImageMount(const std::string& image);
    ~ImageMount();
    ImageMount(const ImageMount&) = delete;
    ImageMount& operator=(const ImageMount&) = delete;
    _ntfs_volume* volume = nullptr;
};

// The independent walk of an image (empty when the library cannot mount it).
MftWalk WalkImage(const std::string& image);

// The SHA-256 of every user file's data and of every user directory's sorted
// listing, by record number (the file system's own files change with every move
// and are left out). Problems reading any of them are listed in `problems`.
std::map<std::uint64_t, Digest> HashEveryFile(const std::string& image,
                                              std::vector<std::string>& problems);

// Every cluster owned twice, owned but free in the bitmap, or in use but owned by
// no attribute, as sentences; empty for a consistent image. With `leaksAllowed`,
// clusters in use but owned by nobody pass (what a crash may leave).
std::vector<std::string> CheckClusterAccounting(const std::string& image,
                                                bool leaksAllowed = false);

struct ToolRun {
    int exitCode = -1;
    std::string output;
};

// `ntfsresize --info --force --no-progress-bar IMAGE`: exit code 1 and a message
// on a cluster accounting mismatch.
ToolRun RunNtfsresizeInfo(const std::string& image);

// Runs a program with arguments, stdout and stderr captured together.
ToolRun RunTool(const std::vector<std::string>& arguments);

// Every user file's fragment count from the independent walk, by MFT reference.
std::map<std::uint64_t, std::size_t> FragmentsByFile(const std::string& image);

// True when the image's bytes are equal to another's.
bool SameBytes(const std::string& a, const std::string& b);

}  // namespace vantrel::engine::ntfs::proof
