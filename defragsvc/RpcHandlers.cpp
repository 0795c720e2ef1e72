#include "defragsvc/RpcHandlers.h"

#include "service/DefragRpc_s.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

namespace vantrel::defragsvc {
namespace {

std::atomic<DefragEngine*> attached{nullptr};
std::atomic<int> callsInFlight{0};

}  // namespace

// Holds the attached engine for the length of one call; detaching waits for every
// holder to let go, so an engine is never destroyed under a call.
class EngineUse {
  public:
    EngineUse() {
        ++callsInFlight;
        engine_ = attached.load();
    }
    ~EngineUse() { --callsInFlight; }
    EngineUse(const EngineUse&) = delete;
    EngineUse& operator=(const EngineUse&) = delete;
    DefragEngine* operator->() const { return engine_; }
    explicit operator bool() const { return engine_ != nullptr; }

  private:
    DefragEngine* engine_;
};

namespace {

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
    while (engine == nullptr && callsInFlight.load() != 0) {
        Sleep(1);
    }
}

}  // namespace vantrel::defragsvc

using vantrel::defragsvc::CellsIn;
using vantrel::defragsvc::EngineUse;
namespace service = vantrel::service;

namespace {

// No C++ exception leaves a server routine for the RPC runtime's frames: a
// routine that cannot finish (out of memory, no thread for a job) answers 0,
// with its out values as it had set them so far.
template <typename Body>
LONG Guarded(Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return 0;
    }
}

}  // namespace

LONG __cdecl Serve_GetJobState(LONG* state, LONG* detail) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        long currentState = service::JobState::Idle;
        long currentDetail = 0;
        if (engine) {
            engine->State(currentState, currentDetail);
        }
        *state = currentState;
        *detail = currentDetail;
        return engine ? 1 : 0;
    });
}

LONG __cdecl Serve_SendJobCommand(LONG size, unsigned char* command) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        if (!engine || command == nullptr || size != sizeof(service::JobCommand)) {
            return 0;
        }
        service::JobCommand received{};
        std::memcpy(&received, command, sizeof received);
        return engine->Command(received);
    });
}

LONG __cdecl Serve_PutVolumeMap(LONG size, unsigned char* cells) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        const std::size_t count = CellsIn(size);
        if (!engine || cells == nullptr || count == 0) {
            return 0;
        }
        // The wire buffer carries no alignment promise; copy before reading cells.
        std::vector<service::MapCell> map(count);
        std::memcpy(map.data(), cells, count * sizeof(service::MapCell));
        return engine->KeepHandedBackMap(map.data(), count);
    });
}

LONG __cdecl Serve_GetVolumeMap(LONG size, LONG* returned, unsigned char* cells) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        *returned = 0;
        const std::size_t count = CellsIn(size);
        if (!engine || cells == nullptr || count == 0) {
            return 0;
        }
        std::vector<service::MapCell> map(count);
        if (engine->CopyMap(map.data(), count) == 0) {
            return 0;
        }
        std::memcpy(cells, map.data(), count * sizeof(service::MapCell));
        *returned = size;
        return 1;
    });
}

LONG __cdecl Serve_GetJobStatistics(LONG size, LONG* returned, unsigned char* statistics) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        *returned = 0;
        if (!engine || statistics == nullptr ||
            size != static_cast<LONG>(sizeof(service::JobStatistics))) {
            return 0;
        }
        auto record = std::make_unique<service::JobStatistics>();
        engine->CopyStatistics(*record);
        std::memcpy(statistics, record.get(), sizeof *record);
        *returned = size;
        return 1;
    });
}

LONG __cdecl Serve_GetFileCount(LONG* count) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        *count = engine ? engine->FileCount() : 0;
        return engine ? 1 : 0;
    });
}

LONG __cdecl Serve_GetFileRecord(LONG index, LONG size, LONG* returned, unsigned char* record) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        *returned = 0;
        if (!engine || record == nullptr ||
            size != static_cast<LONG>(sizeof(service::FileRecord))) {
            return 0;
        }
        auto copy = std::make_unique<service::FileRecord>();
        if (engine->CopyFileRecord(index, *copy) == 0) {
            return 0;
        }
        std::memcpy(record, copy.get(), sizeof *copy);
        *returned = size;
        return 1;
    });
}

LONG __cdecl Serve_IsStatisticsBusy(LONG* busy) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        *busy = engine && engine->StatisticsBusy() ? 1 : 0;
        return engine ? 1 : 0;
    });
}

LONG __cdecl Serve_PauseJob(void) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        return engine ? engine->Pause() : 0;
    });
}

LONG __cdecl Serve_ResumeJob(void) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        return engine ? engine->Resume() : 0;
    });
}

LONG __cdecl Serve_StopJob(void) {
    return Guarded([&]() -> LONG {
        const EngineUse engine;
        return engine ? engine->Stop() : 0;
    });
}
