// A volume's layout as the engine relies on it before it moves anything, read and
// checked: no cluster is owned by two files, and none that a file owns is free in
// the bitmap (a move there would overwrite that file's data).
//
// The layout may also be copied into memory, as a simulated volume: its allocation
// bitmap and every listed file with its name, attributes, size and extents. Both
// optimization passes run over the copy show what they would do to the volume,
// which is only read.
#pragma once

#include <memory>
#include <string>

#include "engine/Volume.h"
#include "engine/sim/SimVolume.h"

namespace vantrel::image {

struct LayoutCopy {
    // Null when not asked for or not made.
    std::unique_ptr<engine::sim::SimVolume> volume;
    // The status of a volume call that failed.
    engine::VolumeStatus failure = engine::VolumeStatus::Ok;
    // The inconsistency found, as the end of a sentence that names the volume.
    std::string damage;

    bool Sound() const { return failure == engine::VolumeStatus::Ok && damage.empty(); }
};

LayoutCopy CheckLayout(engine::Volume& volume);
LayoutCopy CopyLayout(engine::Volume& volume);

}  // namespace vantrel::image
