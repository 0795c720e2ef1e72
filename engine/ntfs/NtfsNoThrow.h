// No call of the volume interface throws. The only exception the backend's calls
// can meet is a failed allocation; it answers IoError, and the handles unwinding
// on the way out close what was opened. A move that fails this way before its
// first write changes nothing; later, it leaks clusters at worst.
#pragma once

#include "engine/Volume.h"

namespace vantrel::engine::ntfs {

template <class Body>
VolumeStatus NoThrow(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return VolumeStatus::IoError;
    }
}

}  // namespace vantrel::engine::ntfs
