// Names of generated folders and files, made from a seed and the kind of folder
// they sit in: a picture folder holds "IMG_0412.jpg", System32 holds
// "netsvc32.dll", a user's documents hold "Budget 2019.xlsx".
#pragma once

#include "engine/sim/FolderSkeleton.h"

#include <cstdint>
#include <string>

namespace vantrel::engine::sim {

std::u16string FolderName(FolderKind kind, std::uint32_t seed);

// The extension follows the file's size: small, medium (64 KiB and more) or
// large (8 MiB and more) files of a kind have extensions of their own.
std::u16string FileName(FolderKind kind, std::uint32_t seed, std::uint64_t sizeBytes);

}  // namespace vantrel::engine::sim
