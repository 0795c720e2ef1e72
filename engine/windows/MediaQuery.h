// The medium beneath a volume, from IOCTL_STORAGE_QUERY_PROPERTY: whether it incurs
// a seek penalty, and whether it takes trim. A volume that does not answer (a
// spanned volume, a virtual drive, Wine) is Unknown, which counts as a hard disk.
#pragma once

#include "engine/Volume.h"
#include "engine/windows/VolumeCalls.h"

namespace vantrel::engine::windows {

MediaKind QueryMediaOf(VolumeCalls& calls);

// The medium of drive `letter`, asked on "\\.\X:" opened with no access rights, so
// that a program without administrator rights may ask.
MediaKind QueryDriveMedia(wchar_t letter);

}  // namespace vantrel::engine::windows
