// The images the NTFS tests work on: each recipe's image is made once per test
// program, in a scratch folder (VANTREL_NTFS_SCRATCH, else /dev/shm, else the
// temporary folder), and every test works on its own copy.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "engine/Volume.h"
#include "tests/engine-ntfs/ImageChecks.h"
#include "tests/engine-ntfs/ImageMaker.h"

namespace vantrel::engine {
// For the tests' comparisons and messages; found by argument lookup.
inline bool operator==(const Extent& a, const Extent& b) {
    return a.vcn == b.vcn && a.clusters == b.clusters && a.lcn == b.lcn;
}
inline void PrintTo(const Extent& extent, std::ostream* out) {
    *out << "{vcn " << extent.vcn << ", " << extent.clusters << " at " << extent.lcn << "}";
}
}  // namespace vantrel::engine

namespace vantrel::engine::ntfs::proof {

// The fragmented image of the default recipe, of SmallRecipe() or of
// CrowdedRecipe(); the error text of a failed build comes back in `error` with an
// empty path.
std::string FragmentedImage(std::string& error);
std::string SmallImage(std::string& error);
std::string CrowdedImage(std::string& error);

// The hashes of every file of one of the images above, taken once.
const std::map<std::uint64_t, Digest>& HashesOf(const std::string& image);

// Whether an image passes every checker: each file of `original` unchanged, no
// cluster owned twice, the bitmap equal to the run lists, ntfsresize content.
::testing::AssertionResult Intact(const std::string& image, const std::string& original);

// A new path in the scratch folder, and a fresh copy of an image there.
std::string ScratchPath(const std::string& name);
std::string CopyOf(const std::string& image, const std::string& name);

}  // namespace vantrel::engine::ntfs::proof
