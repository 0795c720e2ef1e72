// The server side of the defrag service interface: the generated server stub
// calls the Serve_ routines, which check the caller's sizes and indexes and pass
// the request to the engine attached here.
#pragma once

#include "defragsvc/DefragEngine.h"

namespace vantrel::defragsvc {

// The engine the remote calls reach; null detaches (calls then answer 0).
void AttachEngine(DefragEngine* engine);

}  // namespace vantrel::defragsvc
