// The names of a model drive's files, made from seeds when they are asked for: a
// drive of 600,000 files keeps no strings. A picture folder holds "IMG_0412.jpg",
// System32 holds "netsvc32.dll", a user's documents hold "Budget 2019.xlsx".
#pragma once

#include "engine/sim/FolderSkeleton.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::engine::sim {

enum class NameKind : std::uint8_t {
    File,      // generated from the seed, the folder's kind and the size
    Folder,    // generated from the seed and the folder's kind
    Skeleton,  // the drive's well-known folder with the seed's index
    Fixed,     // the fixed name with the seed's index
};

struct NameSource {
    std::uint32_t seed = 0;
    FolderKind folder = FolderKind::Root;
    NameKind kind = NameKind::File;
    std::uint64_t size = 0;
};

class ModelNames {
  public:
    ModelNames(bool systemDrive, std::u16string_view userName,
               std::vector<std::u16string_view> fixedNames);

    void Set(std::uint64_t record, const NameSource& source);
    std::u16string NameOf(std::uint64_t record) const;

  private:
    bool systemDrive_;
    std::u16string_view userName_;
    std::vector<std::u16string_view> fixed_;
    std::vector<NameSource> sources_;  // by record
};

}  // namespace vantrel::engine::sim
