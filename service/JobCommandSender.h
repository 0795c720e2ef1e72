// SendJobCommand as the pages use it: makes sure the defrag service is there and
// running, then hands it one JobCommand. Its answer is the service availability
// test: 0 when the service could not be opened or brought up, 1 once the command
// was handed over (whatever the remote call itself answered).
#pragma once

#include "service/CellCountSource.h"
#include "service/ServiceRecord.h"

#include <cstdint>

namespace vantrel::service {

int SendJobCommand(ServiceRecord& record, CellCountSource& cells, std::int32_t code,
                   wchar_t driveLetter, std::int32_t flag);

}  // namespace vantrel::service
