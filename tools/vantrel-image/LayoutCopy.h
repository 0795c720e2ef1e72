// A copy of a volume's layout in memory, as a simulated volume: its allocation
// bitmap and every listed file with its name, attributes, size and extents. Both
// optimization passes run over the copy show what they would do to the volume,
// which is only read.
//
// Making the copy also checks what the engine relies on before it moves anything:
// no cluster is owned by two files, and none that a file owns is free in the
// bitmap (a move there would overwrite that file's data).
#pragma once

#include <memory>
#include <string>

#include "engine/Volume.h"
#include "engine/sim/SimVolume.h"

namespace vantrel::image {

struct LayoutCopy {
    std::unique_ptr<engine::sim::SimVolume> volume;  // null when not made
    // The status of a volume call that failed.
    engine::VolumeStatus failure = engine::VolumeStatus::Ok;
    // The inconsistency found, as the end of a sentence that names the volume.
    std::string damage;
};

LayoutCopy CopyLayout(engine::Volume& volume);

}  // namespace vantrel::image
