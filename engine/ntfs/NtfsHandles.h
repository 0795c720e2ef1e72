// Owning handles for the library's inodes, attributes and attribute search
// contexts: each is closed exactly once, whatever path a function leaves by.
#pragma once

#include <memory>

#include "engine/ntfs/NtfsLibrary.h"

namespace vantrel::engine::ntfs {

struct InodeCloser {
    // A failed close of an inode we did not change loses nothing; a changed one
    // is synced explicitly, and checked, before it is closed.
    void operator()(ntfs_inode* inode) const { ntfs_inode_close(inode); }
};
struct AttributeCloser {
    void operator()(ntfs_attr* attribute) const { ntfs_attr_close(attribute); }
};
struct SearchContextCloser {
    void operator()(ntfs_attr_search_ctx* context) const { ntfs_attr_put_search_ctx(context); }
};

using InodeHandle = std::unique_ptr<ntfs_inode, InodeCloser>;
using AttributeHandle = std::unique_ptr<ntfs_attr, AttributeCloser>;
using SearchContextHandle = std::unique_ptr<ntfs_attr_search_ctx, SearchContextCloser>;

}  // namespace vantrel::engine::ntfs
