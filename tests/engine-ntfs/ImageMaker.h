// Test images: an empty NTFS image made with mkntfs on a sparse file, and one
// fragmented through libntfs-3g by interleaved writes, creations and deletions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::engine::ntfs::proof {

struct ImageRecipe {
    std::uint64_t imageBytes = 256ull << 20;
    std::uint64_t seed = 17;
    int directories = 8;
    int bigDirectoryFiles = 500;  // one directory whose index spans many blocks
    int smallFiles = 2000;        // 1 byte to 12 KiB, many of them stored in the MFT
    int mediumFiles = 160;        // 16 to 256 KiB
    int largeFiles = 10;          // 1 to 6 MiB
    std::vector<std::uint64_t> hugeFiles = {20ull << 20, 12ull << 20};
    // One-cluster files in a directory of their own, every other one deleted again:
    // scattered one-cluster holes, and an index in pieces over two MFT records.
    int pebbles = 3000;
    int sparseFiles = 12;      // data islands with holes between them
    int compressedFiles = 20;  // in a directory marked compressed
    int shortNamedFiles = 8;   // a long name with a DOS short name beside it
    // Scratch files written among the others and deleted again, as a share of the
    // data above: they leave the free space in pieces.
    double scratchShare = 0.4;
};

// A small image for tests that copy it many times.
ImageRecipe SmallRecipe();
// An image with little free space, most of it in small gaps between small files: a
// first optimization pass leaves files without room, and the second pass makes room
// by moving small files aside.
ImageRecipe CrowdedRecipe();

// Both return an empty string when the image was made, else what failed.
std::string MakeEmptyImage(const std::string& path, std::uint64_t bytes);
std::string MakeFragmentedImage(const std::string& path, const ImageRecipe& recipe);

// Copies an image, keeping it sparse.
bool CopyImage(const std::string& from, const std::string& to);

}  // namespace vantrel::engine::ntfs::proof
