#include "flows/OptimizationRoom.h"

bool HasRoomToOptimize(const std::optional<DiskSpace>& space) {
    return space.has_value() && HasFreeSpace(*space, kOptimizeMinPercent, kOptimizeMinBytes);
}
