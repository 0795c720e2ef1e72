#include "service/JobCommandSender.h"

#include "service/DefragClient.h"

namespace vantrel::service {

int SendJobCommand(ServiceRecord& record, CellCountSource& cells, std::int32_t code,
                   wchar_t driveLetter, std::int32_t flag) {
    const JobCommand command = MakeJobCommand(code, driveLetter, cells.GetCellCount(), flag);
    if (!record.OpenDefragService() || !record.EnsureServiceRunning()) {
        return 0;
    }
    SendJobCommandRecord(command);
    return 1;
}

}  // namespace vantrel::service
