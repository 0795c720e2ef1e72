#include "tools/vantrel-image/FreedMemory.h"

#include <malloc.h>

namespace vantrel::image {

void KeepFreedMemory() {
    // Large blocks come from the heap too (the most the library allows), and the
    // heap's top is never trimmed.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

}  // namespace vantrel::image
