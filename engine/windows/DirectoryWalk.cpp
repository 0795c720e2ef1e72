#include "engine/windows/DirectoryWalk.h"

#include <algorithm>

namespace vantrel::engine::windows {
namespace {

// Deeper than any path Windows can open.
constexpr int kMaxDepth = 16384;

bool IsDirectoryToEnter(std::uint32_t attributes) {
    return (attributes & attributes::kDirectory) != 0 &&
           (attributes & attributes::kReparsePoint) == 0;
}

}  // namespace

void DirectoryWalk::Restart() {
    nodes_.clear();
    nodes_.push_back({0, std::wstring(), attributes::kDirectory, 0});
    nextToList_ = 0;
}

bool DirectoryWalk::ListNextDirectory(VolumeCalls& calls) {
    while (nextToList_ < nodes_.size() && !IsDirectoryToEnter(nodes_[nextToList_].attributes)) {
        ++nextToList_;
    }
    if (nextToList_ >= nodes_.size()) {
        return false;
    }
    const std::size_t directory = nextToList_++;
    const std::optional<std::wstring> path = PathOf(kRootId + directory);
    std::vector<DirectoryEntry> entries;
    if (!path || calls.ListDirectory(*path, entries) != ERROR_SUCCESS) {
        return true;  // passed over; the walk goes on
    }
    for (DirectoryEntry& entry : entries) {
        // A name is one path component: anything else would name another file.
        if (entry.name.empty() || entry.name.find_first_of(L"\\/:") != std::wstring::npos) {
            continue;
        }
        nodes_.push_back({static_cast<std::uint32_t>(directory), std::move(entry.name),
                          entry.attributes, entry.size});
    }
    return true;
}

VolumeStatus DirectoryWalk::Next(VolumeCalls& calls, std::uint64_t& cursor,
                                 std::vector<FileInfo>& batch, std::size_t most) {
    batch.clear();
    if (cursor == 0 || nodes_.empty()) {
        Restart();
        cursor = 0;
    }
    while (batch.size() < most) {
        if (cursor >= nodes_.size() && !ListNextDirectory(calls)) {
            return VolumeStatus::Ok;
        }
        if (cursor >= nodes_.size()) {
            continue;  // a directory that held nothing
        }
        const Node& node = nodes_[static_cast<std::size_t>(cursor)];
        FileInfo info;
        info.id = kRootId + cursor;
        info.parentId = kRootId + node.parent;
        info.name.assign(node.name.begin(), node.name.end());
        info.attributes = node.attributes;
        info.size = node.size;
        batch.push_back(std::move(info));
        ++cursor;
    }
    return VolumeStatus::MoreData;
}

std::optional<std::wstring> DirectoryWalk::PathOf(std::uint64_t id) const {
    if (id < kRootId || id - kRootId >= nodes_.size()) {
        return std::nullopt;
    }
    std::vector<std::size_t> chain;
    for (auto at = static_cast<std::size_t>(id - kRootId); at != 0; at = nodes_[at].parent) {
        if (chain.size() >= kMaxDepth) {
            return std::nullopt;
        }
        chain.push_back(at);
    }
    std::wstring path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += L'\\';
        path += nodes_[*it].name;
    }
    return path.empty() ? std::wstring(L"\\") : path;
}

std::uint32_t DirectoryWalk::AttributesOf(std::uint64_t id) const {
    return id < kRootId || id - kRootId >= nodes_.size()
               ? 0
               : nodes_[static_cast<std::size_t>(id - kRootId)].attributes;
}

}  // namespace vantrel::engine::windows
