// Every file and directory the analysis saw, kept compact: its id, its parent's id
// and its name, so that a path is built when a record is asked for rather than kept
// for every file. Entries and names live in fixed-size blocks, so the table never
// holds twice its size while it grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::engine {

class FileTable {
  public:
    FileTable() = default;
    FileTable(const FileTable&) = delete;
    FileTable& operator=(const FileTable&) = delete;
    FileTable(FileTable&&) = default;
    FileTable& operator=(FileTable&&) = default;

    // Names longer than this are cut (no file system has them).
    static constexpr std::size_t kMaxNameUnits = 4096;

    std::uint32_t Add(std::uint64_t id, std::uint64_t parentId, std::u16string_view name);

    std::uint32_t Size() const { return size_; }
    std::uint64_t IdOf(std::uint32_t index) const { return At(index).id; }
    std::uint64_t ParentOf(std::uint32_t index) const { return At(index).parent; }
    std::u16string_view NameOf(std::uint32_t index) const;

    // The entry with this id, if the table holds it.
    std::optional<std::uint32_t> Find(std::uint64_t id) const;
    // The path below the root, "\Windows\System32\kernel32.dll"; the root is "\". A
    // parent the table does not hold ends the walk (the path then starts there).
    std::u16string PathOf(std::uint32_t index) const;
    // The entry directly below the root on the way up from `index` (the entry itself
    // when it sits in the root); nullopt for the root and for an entry whose chain
    // does not reach it.
    std::optional<std::uint32_t> TopLevelOf(std::uint32_t index) const;

    // Completes the lookup index: from then on no lookup changes the table, so
    // threads may share it.
    void Seal() const { SortIndex(); }

    std::size_t MemoryBytes() const;

  private:
    struct Entry {
        std::uint64_t id;
        std::uint64_t parent;
        std::uint32_t nameAt;
        std::uint32_t nameLength;
    };
    static constexpr std::uint32_t kEntriesPerBlock = 4096;
    static constexpr std::uint32_t kUnitsPerBlock = 1u << 16;

    const Entry& At(std::uint32_t index) const {
        return entries_[index / kEntriesPerBlock][index % kEntriesPerBlock];
    }
    // Sorts the index over every entry added since it was last sorted.
    void SortIndex() const;

    std::vector<std::unique_ptr<Entry[]>> entries_;
    std::vector<std::unique_ptr<char16_t[]>> names_;
    std::uint32_t size_ = 0;
    std::uint32_t namesUsed_ = kUnitsPerBlock;  // in the last block
    // NTFS ids carry the record's sequence number above its number: ordered by the
    // number first, an enumeration in MFT order comes in ascending order.
    static std::uint64_t OrderOf(std::uint64_t id) { return (id << 16) | (id >> 48); }

    // Entry positions by id. Ids mostly come in ascending order; then no index is
    // needed at all.
    bool ascending_ = true;
    mutable std::vector<std::uint32_t> byId_;
};

}  // namespace vantrel::engine
