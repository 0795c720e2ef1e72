// The time spent inside libntfs-3g's calls, measured in the image run's benchmark
// only: the link wraps every library function the NTFS backend calls (--wrap, the
// list in CMakeLists.txt), and each wrapper adds the time its call took. The
// backend's code is the one the program runs; nothing in it changes.
#pragma once

#include <cstdint>

namespace vantrel::bench {

struct LibraryTime {
    std::uint64_t nanoseconds = 0;
    std::uint64_t calls = 0;
};

// What the wrapped calls took since the last reset.
LibraryTime TimeInLibrary();
void ResetLibraryTime();
// Times a call that does nothing, as a wrapper times a library call.
void TimeOneEmptyCall();

}  // namespace vantrel::bench
