// The program walks the image several times (the layout check, then each pass's
// survey), and every walk builds tables of its own that go when it ends. The C
// library would give that memory back to the system after each walk and fault it
// in again for the next: on a virtual machine that costs as much as a good part
// of the engine's own work. The program keeps it instead, until it ends.
#pragma once

namespace vantrel::image {

// Call before the first walk.
void KeepFreedMemory();

}  // namespace vantrel::image
