#include "tests/engine-ntfs/ImageMaker.h"

#include <algorithm>
#include <random>

#include "engine/ntfs/NtfsHandles.h"
#include "engine/ntfs/NtfsLibrary.h"
#include "tests/engine-ntfs/ImageChecks.h"

namespace vantrel::engine::ntfs::proof {

namespace {

enum class Kind { Plain, Sparse, Compressed };

struct Planned {
    std::size_t directory = 0;
    std::string name;
    Kind kind = Kind::Plain;
    std::uint64_t size = 0;
    std::uint64_t chunk = 0;  // bytes per write
    bool scratch = false;
    std::string shortName;     // a DOS name to add beside the long one
    std::uint64_t record = 0;  // 0 until created
    std::uint64_t written = 0;
};

struct Directory {
    std::string name;
    std::uint64_t record = 0;
};

// Sparse files: an island of data at the start of every stride, holes between.
constexpr std::uint64_t kIslandStride = 256 * 1024;
constexpr std::uint64_t kIslandBytes = 64 * 1024;
// Compressed files are written in whole compression units (16 clusters of 4 KiB).
constexpr std::uint64_t kCompressionUnitBytes = 64 * 1024;

std::vector<ntfschar> Utf16(const std::string& ascii) {
    std::vector<ntfschar> name;
    for (char c : ascii) {
        name.push_back(static_cast<ntfschar>(cpu_to_le16(static_cast<std::uint16_t>(c))));
    }
    return name;
}

class Builder {
  public:
    Builder(ntfs_volume* volume, std::uint64_t seed) : volume_(volume), random_(seed) {}

    std::string error;

    std::uint64_t Uniform(std::uint64_t low, std::uint64_t high) {
        return std::uniform_int_distribution<std::uint64_t>(low, high)(random_);
    }

    bool MakeDirectory(Directory& directory, bool compressed) {
        InodeHandle root(ntfs_inode_open(volume_, FILE_root));
        const auto name = Utf16(directory.name);
        InodeHandle made(
            root ? ntfs_create(root.get(), 0, name.data(), static_cast<u8>(name.size()), S_IFDIR)
                 : nullptr);
        if (!made) {
            return Fail("cannot create directory " + directory.name);
        }
        if (compressed) {
            // Files created in it are compressed (with the volume's compression on).
            made->flags = static_cast<FILE_ATTR_FLAGS>(made->flags | FILE_ATTR_COMPRESSED);
            ntfs_inode_mark_dirty(made.get());
        }
        directory.record = made->mft_no;
        return true;
    }

    bool Create(Planned& file, const Directory& directory) {
        InodeHandle parent(ntfs_inode_open(volume_, directory.record));
        const auto name = Utf16(file.name);
        InodeHandle made(parent ? ntfs_create(parent.get(), 0, name.data(),
                                              static_cast<u8>(name.size()), S_IFREG)
                                : nullptr);
        if (!made) {
            return Fail("cannot create " + directory.name + "/" + file.name);
        }
        file.record = made->mft_no;
        if (!file.shortName.empty()) {
            // The library closes both inodes.
            if (ntfs_set_ntfs_dos_name(made.release(), parent.release(), file.shortName.data(),
                                       file.shortName.size(), 0) != 0) {
                return Fail("cannot give " + file.name + " a short name");
            }
        }
        return true;
    }

    bool Write(Planned& file) {
        std::uint64_t offset = file.written;
        std::uint64_t bytes = std::min(file.chunk, file.size - file.written);
        if (file.kind == Kind::Sparse) {
            bytes = std::min(bytes, kIslandBytes);  // the rest of the stride stays a hole
        }
        Fill(bytes, file.kind == Kind::Compressed);
        InodeHandle inode(ntfs_inode_open(volume_, file.record));
        AttributeHandle data(inode ? ntfs_attr_open(inode.get(), AT_DATA, AT_UNNAMED, 0) : nullptr);
        if (!data || ntfs_attr_pwrite(data.get(), static_cast<s64>(offset), static_cast<s64>(bytes),
                                      buffer_.data()) != static_cast<s64>(bytes)) {
            return Fail("cannot write " + file.name);
        }
        // A compressed stream's last unit is compressed when the write is closed.
        if (file.kind == Kind::Compressed && ntfs_attr_pclose(data.get()) != 0) {
            return Fail("cannot close " + file.name);
        }
        file.written +=
            file.kind == Kind::Sparse ? std::min(file.chunk, file.size - offset) : bytes;
        return true;
    }

    bool Delete(const Planned& file, const Directory& directory) {
        InodeHandle parent(ntfs_inode_open(volume_, directory.record));
        InodeHandle inode(ntfs_inode_open(volume_, file.record));
        const auto name = Utf16(file.name);
        const std::string path = "/" + directory.name + "/" + file.name;
        // The library closes the file's inode, whatever the outcome.
        if (!parent || !inode ||
            ntfs_delete(volume_, path.c_str(), inode.release(), parent.get(),
                        const_cast<ntfschar*>(name.data()), static_cast<u8>(name.size())) != 0) {
            return Fail("cannot delete " + path);
        }
        return true;
    }

  private:
    bool Fail(const std::string& what) {
        error = what + ": " + std::strerror(errno);
        return false;
    }

    // Random bytes, or text-like bytes that compress.
    void Fill(std::uint64_t bytes, bool compressible) {
        buffer_.resize(static_cast<std::size_t>(bytes));
        static const char* const kWords[] = {"cluster ", "volume ", "extent ", "bitmap ",
                                             "record ",  "index ",  "stream ", "sector "};
        for (std::size_t i = 0; i < buffer_.size();) {
            if (compressible) {
                const char* word = kWords[random_() % 8];
                for (; *word && i < buffer_.size(); ++word) {
                    buffer_[i++] = static_cast<std::uint8_t>(*word);
                }
            } else {
                const std::uint64_t value = random_();
                for (int b = 0; b < 8 && i < buffer_.size(); ++b) {
                    buffer_[i++] = static_cast<std::uint8_t>(value >> (8 * b));
                }
            }
        }
    }

    ntfs_volume* volume_;
    std::mt19937_64 random_;
    std::vector<std::uint8_t> buffer_;
};

std::string Numbered(const char* prefix, std::size_t number, const char* suffix) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%05zu%s", prefix, number, suffix);
    return name;
}

// Every file the recipe asks for, scratch files included, in no particular order.
std::vector<Planned> Plan(const ImageRecipe& recipe, Builder& builder, std::size_t plainDirectories,
                          std::size_t bigDirectory, std::size_t packedDirectory) {
    std::vector<Planned> files;
    const auto add = [&](std::size_t directory, Kind kind, std::uint64_t size,
                         std::uint64_t chunk) {
        Planned file;
        file.directory = directory;
        file.name = Numbered("f", files.size(), ".bin");
        file.kind = kind;
        file.size = size;
        file.chunk = std::max<std::uint64_t>(1, chunk);
        files.push_back(file);
        return &files.back();
    };
    const auto anyPlain = [&] { return builder.Uniform(0, plainDirectories - 1); };
    for (int i = 0; i < recipe.smallFiles; ++i) {
        const std::uint64_t size =
            builder.Uniform(0, 9) < 4 ? builder.Uniform(1, 600) : builder.Uniform(601, 12 * 1024);
        add(anyPlain(), Kind::Plain, size, size);
    }
    for (int i = 0; i < recipe.bigDirectoryFiles; ++i) {
        const std::uint64_t size = builder.Uniform(1, 2000);
        add(bigDirectory, Kind::Plain, size, size);
    }
    for (int i = 0; i < recipe.shortNamedFiles; ++i) {
        const std::uint64_t size = builder.Uniform(100, 5000);
        Planned* file = add(anyPlain(), Kind::Plain, size, size);
        file->name = Numbered("Long file name ", files.size(), ".text");
        file->shortName = Numbered("LFN", files.size(), ".TXT");
    }
    std::uint64_t dataBytes = 0;
    const auto addData = [&](Kind kind, std::uint64_t size, std::uint64_t chunk) {
        add(kind == Kind::Compressed ? packedDirectory : anyPlain(), kind, size, chunk);
        dataBytes += size;
    };
    for (int i = 0; i < recipe.mediumFiles; ++i) {
        addData(Kind::Plain, builder.Uniform(16 << 10, 256 << 10), builder.Uniform(4, 32) << 10);
    }
    for (int i = 0; i < recipe.largeFiles; ++i) {
        addData(Kind::Plain, builder.Uniform(1 << 20, 6 << 20), 64 << 10);
    }
    for (std::uint64_t size : recipe.hugeFiles) {
        addData(Kind::Plain, size, 128 << 10);
    }
    for (int i = 0; i < recipe.sparseFiles; ++i) {
        addData(Kind::Sparse, builder.Uniform(4, 24) * kIslandStride, kIslandStride);
    }
    for (int i = 0; i < recipe.compressedFiles; ++i) {
        addData(Kind::Compressed, builder.Uniform(1, 12) * kCompressionUnitBytes,
                kCompressionUnitBytes);
    }
    for (std::uint64_t scratch = 0;
         scratch < recipe.scratchShare * static_cast<double>(dataBytes);) {
        const std::uint64_t size = builder.Uniform(64 << 10, 2 << 20);
        Planned* file = add(anyPlain(), Kind::Plain, size, builder.Uniform(16, 128) << 10);
        file->name = Numbered("s", files.size(), ".tmp");
        file->scratch = true;
        scratch += size;
    }
    return files;
}

bool MakePebbles(Builder& builder, int count, const Directory& directory,
                 std::uint32_t clusterBytes) {
    std::vector<Planned> pebbles(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < pebbles.size(); ++i) {
        pebbles[i].name = Numbered("pebble", i, "");
        pebbles[i].size = pebbles[i].chunk = clusterBytes;
        if (!builder.Create(pebbles[i], directory) || !builder.Write(pebbles[i])) {
            return false;
        }
    }
    for (std::size_t i = 1; i < pebbles.size(); i += 2) {
        if (!builder.Delete(pebbles[i], directory)) {
            return false;
        }
    }
    return true;
}

}  // namespace

ImageRecipe SmallRecipe() {
    ImageRecipe recipe;
    recipe.imageBytes = 32ull << 20;
    recipe.directories = 2;
    recipe.bigDirectoryFiles = 60;
    recipe.smallFiles = 60;
    recipe.mediumFiles = 12;
    recipe.largeFiles = 1;
    recipe.hugeFiles = {};
    recipe.pebbles = 200;
    recipe.sparseFiles = 2;
    recipe.compressedFiles = 2;
    recipe.shortNamedFiles = 2;
    return recipe;
}

ImageRecipe CrowdedRecipe() {
    ImageRecipe recipe;
    recipe.imageBytes = 96ull << 20;
    recipe.bigDirectoryFiles = 200;
    recipe.smallFiles = 800;
    recipe.mediumFiles = 60;
    recipe.largeFiles = 4;
    recipe.hugeFiles = {8ull << 20};
    return recipe;
}

std::string MakeEmptyImage(const std::string& path, std::uint64_t bytes) {
    // A sparse file: the image costs only what mkntfs and the files write.
    const ToolRun size = RunTool({"/usr/bin/truncate", "--size=" + std::to_string(bytes), path});
    const ToolRun format = RunTool({"/sbin/mkntfs", "-F", "-Q", "-q", path});
    if (size.exitCode != 0 || format.exitCode != 0) {
        return "the empty image was not made: " + size.output + format.output;
    }
    return {};
}

std::string MakeFragmentedImage(const std::string& path, const ImageRecipe& recipe) {
    if (std::string error = MakeEmptyImage(path, recipe.imageBytes); !error.empty()) {
        return error;
    }
    ntfs_volume* volume = ntfs_mount(path.c_str(), 0);
    if (volume == nullptr) {
        return path + ": cannot be mounted: " + std::strerror(errno);
    }
    NVolSetCompression(volume);
    Builder builder(volume, recipe.seed);
    std::vector<Directory> directories;
    for (int i = 0; i < recipe.directories; ++i) {
        directories.push_back({Numbered("d", static_cast<std::size_t>(i), ""), 0});
    }
    const std::size_t plain = directories.size();
    directories.push_back({"many", 0});
    directories.push_back({"packed", 0});
    bool made = true;
    for (std::size_t i = 0; made && i < directories.size(); ++i) {
        made = builder.MakeDirectory(directories[i], directories[i].name == "packed");
    }
    directories.push_back({"pebbles", 0});
    made = made && builder.MakeDirectory(directories.back(), false) &&
           MakePebbles(builder, recipe.pebbles, directories.back(), volume->cluster_size);

    std::vector<Planned> files = Plan(recipe, builder, plain, plain, plain + 1);
    std::vector<std::size_t> pending(files.size());
    for (std::size_t i = 0; i < pending.size(); ++i) {
        pending[i] = i;
    }
    std::vector<std::size_t> writtenScratch;
    const auto remove = [&](std::size_t scratchSlot) {
        const Planned& file = files[writtenScratch[scratchSlot]];
        writtenScratch[scratchSlot] = writtenScratch.back();
        writtenScratch.pop_back();
        return builder.Delete(file, directories[file.directory]);
    };
    // Every step creates or extends a file picked at random, so that files,
    // indexes and free space interleave; now and then a written scratch file goes.
    while (made && !pending.empty()) {
        const std::size_t slot = builder.Uniform(0, pending.size() - 1);
        Planned& file = files[pending[slot]];
        if (file.record == 0) {
            made = builder.Create(file, directories[file.directory]);
        }
        if (made && file.written < file.size) {
            made = builder.Write(file);
        }
        if (made && file.written >= file.size) {
            if (file.scratch) {
                writtenScratch.push_back(pending[slot]);
            }
            pending[slot] = pending.back();
            pending.pop_back();
        }
        if (made && !writtenScratch.empty() && builder.Uniform(0, 3) == 0) {
            made = remove(builder.Uniform(0, writtenScratch.size() - 1));
        }
    }
    while (made && !writtenScratch.empty()) {
        made = remove(writtenScratch.size() - 1);
    }
    const bool unmounted = ntfs_umount(volume, FALSE) == 0;
    if (!made) {
        return builder.error;
    }
    return unmounted ? std::string() : path + ": cannot be unmounted";
}

bool CopyImage(const std::string& from, const std::string& to) {
    return RunTool({"/bin/cp", "--sparse=always", from, to}).exitCode == 0;
}

}  // namespace vantrel::engine::ntfs::proof
