// The server routines as the stub calls them: every malformed request gets a
// defined refusal (answer 0, nothing returned) and never reaches past a buffer.
#include "defragsvc/RpcHandlers.h"
#include "service/DefragRpc_s.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantrel::defragsvc {
namespace {

namespace JobCommandCode = service::JobCommandCode;

class ServerRoutines : public testing::Test {
  protected:
    ServerRoutines()
        : engine_({[](wchar_t) { return 4ull << 30; },
                   [](wchar_t) { return std::wstring(); },
                   [] { return 0u; },
                   {}}) {
        AttachEngine(&engine_);
    }
    ~ServerRoutines() override { AttachEngine(nullptr); }

    LONG Send(const service::JobCommand& command, LONG size = sizeof(service::JobCommand)) {
        return Serve_SendJobCommand(
            size, reinterpret_cast<unsigned char*>(const_cast<service::JobCommand*>(&command)));
    }

    void FinishAnalysis(std::int32_t cells) {
        ASSERT_EQ(Send(service::MakeJobCommand(JobCommandCode::Analyze, L'D', cells, 0)), 1);
        LONG state = 1;
        LONG detail = 0;
        for (int i = 0; i < 1000 && state != service::JobState::Finished; ++i) {
            Serve_GetJobState(&state, &detail);
            Sleep(5);
        }
        ASSERT_EQ(state, service::JobState::Finished);
    }

    DefragEngine engine_;
};

TEST_F(ServerRoutines, JobCommandOfTheWrongSizeIsRefused) {
    const auto command = service::MakeJobCommand(JobCommandCode::Analyze, L'D', 16, 0);
    for (const LONG size : {0L, 19L, 21L, -20L}) {
        EXPECT_EQ(Send(command, size), 0) << size;
    }
    EXPECT_EQ(Serve_SendJobCommand(20, nullptr), 0);
    LONG state = -1;
    LONG detail = -1;
    Serve_GetJobState(&state, &detail);
    EXPECT_EQ(state, service::JobState::Idle);
}

TEST_F(ServerRoutines, MapRequestsMustMatchTheAnnouncedCells) {
    FinishAnalysis(16);
    struct Case {
        const char* name;
        LONG size;
        LONG answer;
    };
    const Case cases[] = {
        {"announced", 16 * 40, 1},
        {"fewer cells", 15 * 40, 0},
        {"not whole cells", 16 * 40 + 1, 0},
        {"zero", 0, 0},
        {"negative", -40, 0},
    };
    for (const Case& test : cases) {
        std::vector<unsigned char> buffer(test.size > 0 ? test.size : 1, 0xAB);
        LONG returned = -1;
        EXPECT_EQ(Serve_GetVolumeMap(test.size, &returned, buffer.data()), test.answer)
            << test.name;
        EXPECT_EQ(returned, test.answer ? test.size : 0) << test.name;
    }
}

TEST_F(ServerRoutines, StatisticsAndRecordsNeedTheirExactSizes) {
    FinishAnalysis(16);
    LONG count = 0;
    Serve_GetFileCount(&count);
    ASSERT_GT(count, 0);
    auto buffer = std::make_unique<unsigned char[]>(sizeof(service::JobStatistics) + 8);
    LONG returned = -1;
    EXPECT_EQ(Serve_GetJobStatistics(sizeof(service::JobStatistics) - 8, &returned, buffer.get()),
              0);
    EXPECT_EQ(returned, 0);
    EXPECT_EQ(Serve_GetJobStatistics(sizeof(service::JobStatistics), &returned, buffer.get()), 1);
    EXPECT_EQ(returned, static_cast<LONG>(sizeof(service::JobStatistics)));

    struct Case {
        const char* name;
        LONG index;
        LONG size;
        LONG answer;
    };
    const LONG recordSize = sizeof(service::FileRecord);
    const Case cases[] = {
        {"first", 0, recordSize, 1},
        {"last", count - 1, recordSize, 1},
        {"one past the end", count, recordSize, 0},
        {"negative index", -1, recordSize, 0},
        {"short buffer", 0, recordSize - 1, 0},
        {"long buffer", 0, recordSize + 8, 0},
    };
    for (const Case& test : cases) {
        returned = -1;
        EXPECT_EQ(Serve_GetFileRecord(test.index, test.size, &returned, buffer.get()), test.answer)
            << test.name;
        EXPECT_EQ(returned, test.answer ? recordSize : 0) << test.name;
    }
}

TEST_F(ServerRoutines, HandedBackMapMustBeWholeCells) {
    std::vector<unsigned char> buffer(41 * 40);
    EXPECT_EQ(Serve_PutVolumeMap(40 * 40, buffer.data()), 1);
    EXPECT_EQ(Serve_PutVolumeMap(40 * 40 + 3, buffer.data()), 0);
    EXPECT_EQ(Serve_PutVolumeMap(0, buffer.data()), 0);
    EXPECT_EQ(Serve_PutVolumeMap(40, nullptr), 0);
    EXPECT_EQ(engine_.HandedBackMap().size(), 40u);
}

TEST(ServerRoutinesWithoutEngine, AnswerZeroAndIdle) {
    AttachEngine(nullptr);
    LONG state = -1;
    LONG detail = -1;
    EXPECT_EQ(Serve_GetJobState(&state, &detail), 0);
    EXPECT_EQ(state, service::JobState::Idle);
    LONG count = -1;
    EXPECT_EQ(Serve_GetFileCount(&count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Serve_PauseJob(), 0);
    EXPECT_EQ(Serve_StopJob(), 0);
}

}  // namespace
}  // namespace vantrel::defragsvc
