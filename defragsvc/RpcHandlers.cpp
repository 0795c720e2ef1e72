#include "defragsvc/RpcHandlers.h"

#include "service/DefragRpc_s.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

namespace vantrel::defragsvc {
namespace {

std::atomic<DefragEngine*> attached{nullptr};

DefragEngine* Engine() {
    return attached.load();
}

// A map buffer's byte size must be a positive whole number of cells, within the limit.
std::size_t CellsIn(LONG size) {
    if (size <= 0 || size % static_cast<LONG>(sizeof(service::MapCell)) != 0) {
        return 0;
    }
    const auto cells = static_cast<std::size_t>(size) / sizeof(service::MapCell);
    return cells <= kMaxMapCells ? cells : 0;
}

}  // namespace

void AttachEngine(DefragEngine* engine) {
    attached.store(engine);
}

}  // namespace vantrel::defragsvc

using vantrel::defragsvc::CellsIn;
using vantrel::defragsvc::Engine;
namespace service = vantrel::service;

LONG __cdecl Serve_GetJobState(LONG* state, LONG* detail) {
    long currentState = service::JobState::Idle;
    long currentDetail = 0;
    if (Engine() != nullptr) {
        Engine()->State(currentState, currentDetail);
    }
    *state = currentState;
    *detail = currentDetail;
    return Engine() != nullptr ? 1 : 0;
}

LONG __cdecl Serve_SendJobCommand(LONG size, unsigned char* command) {
    if (Engine() == nullptr || command == nullptr || size != sizeof(service::JobCommand)) {
        return 0;
    }
    service::JobCommand received{};
    std::memcpy(&received, command, sizeof received);
    return Engine()->Command(received);
}

LONG __cdecl Serve_PutVolumeMap(LONG size, unsigned char* cells) {
    const std::size_t count = CellsIn(size);
    if (Engine() == nullptr || cells == nullptr || count == 0) {
        return 0;
    }
    // The wire buffer carries no alignment promise; copy before reading cells.
    std::vector<service::MapCell> map(count);
    std::memcpy(map.data(), cells, count * sizeof(service::MapCell));
    return Engine()->KeepHandedBackMap(map.data(), count);
}

LONG __cdecl Serve_GetVolumeMap(LONG size, LONG* returned, unsigned char* cells) {
    *returned = 0;
    const std::size_t count = CellsIn(size);
    if (Engine() == nullptr || cells == nullptr || count == 0) {
        return 0;
    }
    std::vector<service::MapCell> map(count);
    if (Engine()->CopyMap(map.data(), count) == 0) {
        return 0;
    }
    std::memcpy(cells, map.data(), count * sizeof(service::MapCell));
    *returned = size;
    return 1;
}

LONG __cdecl Serve_GetJobStatistics(LONG size, LONG* returned, unsigned char* statistics) {
    *returned = 0;
    if (Engine() == nullptr || statistics == nullptr ||
        size != static_cast<LONG>(sizeof(service::JobStatistics))) {
        return 0;
    }
    auto record = std::make_unique<service::JobStatistics>();
    Engine()->CopyStatistics(*record);
    std::memcpy(statistics, record.get(), sizeof *record);
    *returned = size;
    return 1;
}

LONG __cdecl Serve_GetFileCount(LONG* count) {
    *count = Engine() != nullptr ? Engine()->FileCount() : 0;
    return Engine() != nullptr ? 1 : 0;
}

LONG __cdecl Serve_GetFileRecord(LONG index, LONG size, LONG* returned, unsigned char* record) {
    *returned = 0;
    if (Engine() == nullptr || record == nullptr ||
        size != static_cast<LONG>(sizeof(service::FileRecord))) {
        return 0;
    }
    auto copy = std::make_unique<service::FileRecord>();
    if (Engine()->CopyFileRecord(index, *copy) == 0) {
        return 0;
    }
    std::memcpy(record, copy.get(), sizeof *copy);
    *returned = size;
    return 1;
}

LONG __cdecl Serve_IsStatisticsBusy(LONG* busy) {
    *busy = Engine() != nullptr && Engine()->StatisticsBusy() ? 1 : 0;
    return Engine() != nullptr ? 1 : 0;
}

LONG __cdecl Serve_PauseJob(void) {
    return Engine() != nullptr ? Engine()->Pause() : 0;
}

LONG __cdecl Serve_ResumeJob(void) {
    return Engine() != nullptr ? Engine()->Resume() : 0;
}

LONG __cdecl Serve_StopJob(void) {
    return Engine() != nullptr ? Engine()->Stop() : 0;
}
