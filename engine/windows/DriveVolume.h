// A drive's volume for one job of the service: the Windows volume of "\\.\X:", or,
// where it cannot be opened (no rights, no such drive, Wine), a volume whose every
// call answers why, so that the job ends at once with nothing counted.
#pragma once

#include "engine/Volume.h"

#include <memory>

namespace vantrel::engine::windows {

std::unique_ptr<Volume> OpenDriveVolume(wchar_t letter);

}  // namespace vantrel::engine::windows
