// libntfs-3g's C headers, made fit for C++. The headers rely on a config.h they do
// not install: the standard headers they expect are included first (sys/stat.h
// before all of them, or the inode types are incomplete), and the min/max macros
// they define are removed again so that std::min and std::max keep working.
// Include this instead of any <ntfs-3g/...> header.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern "C" {
#include <ntfs-3g/types.h>
#include <ntfs-3g/layout.h>
#include <ntfs-3g/volume.h>
#include <ntfs-3g/device.h>
#include <ntfs-3g/device_io.h>
#include <ntfs-3g/inode.h>
#include <ntfs-3g/attrib.h>
#include <ntfs-3g/runlist.h>
#include <ntfs-3g/bitmap.h>
#include <ntfs-3g/lcnalloc.h>
#include <ntfs-3g/mft.h>
#include <ntfs-3g/dir.h>
}

#undef min
#undef max
