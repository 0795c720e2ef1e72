// The volume model: reproducible, internally consistent (every cluster is either
// in exactly one extent or free), and shaped like a real drive.
#include "defragsvc/VolumeModel.h"
#include "defragsvc/VolumeNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vantrel::defragsvc {
namespace {

constexpr std::uint64_t kGiB = 1ull << 30;

struct Span {
    std::uint64_t start;
    std::uint64_t end;
};

// Every extent and every free extent, sorted; they must tile the volume exactly.
void ExpectVolumeTiled(const VolumeModel& model) {
    std::vector<Span> spans;
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        for (const Extent& extent : model.ExtentsOf(i)) {
            ASSERT_GT(extent.length, 0u);
            spans.push_back({extent.lcn, extent.lcn + extent.length});
        }
    }
    for (const auto& [start, length] : model.free.Extents()) {
        spans.push_back({start, start + length});
    }
    std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.start < b.start; });
    std::uint64_t at = 0;
    for (const Span& span : spans) {
        ASSERT_EQ(span.start, at) << "gap or overlap at cluster " << at;
        at = span.end;
    }
    EXPECT_EQ(at, model.geometry.totalClusters);
}

struct VolumeCase {
    wchar_t letter;
    std::uint64_t bytes;
};

class VolumeModelShapes : public testing::TestWithParam<VolumeCase> {};

TEST_P(VolumeModelShapes, TilesTheVolumeAndAddsUp) {
    const VolumeModel model = BuildVolumeModel(GetParam().letter, GetParam().bytes, L"Data");
    ExpectVolumeTiled(model);
    std::uint64_t used = 0;
    for (const Entry& entry : model.entries) {
        used += entry.clusters;
    }
    EXPECT_EQ(model.usedClusters, used);
    EXPECT_EQ(model.usedClusters + model.free.TotalClusters(), model.geometry.totalClusters);
    EXPECT_EQ(model.fileCount + model.directoryCount, model.entries.size());
    EXPECT_LE(model.geometry.totalClusters, 0xFFFFFFFFull);
    EXPECT_GT(model.free.TotalClusters(), 0u);
}

TEST_P(VolumeModelShapes, HasARealisticShareOfFragmentedFiles) {
    const VolumeModel model = BuildVolumeModel(GetParam().letter, GetParam().bytes, L"Data");
    std::uint64_t fragmented = 0;
    std::uint32_t locked = 0;
    std::uint32_t mostFragments = 0;
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        if (model.IsFragmented(i)) {
            ++fragmented;
            mostFragments = std::max(mostFragments, model.entries[i].extentCount);
            locked += model.entries[i].mobility == Mobility::Locked ? 1 : 0;
        }
    }
    EXPECT_GE(locked, kMinLockedFragmentedFiles) << "some are always held open";
    const double share = static_cast<double>(fragmented) / static_cast<double>(model.fileCount);
    EXPECT_GT(share, 0.001);
    EXPECT_LT(share, 0.05);
    EXPECT_LE(fragmented, kMaxFragmentedFiles) << "the client reads every fragmented file's record";
    if (GetParam().bytes >= 16 * kGiB) {
        EXPECT_GE(mostFragments, 20u) << "some files should be heavily fragmented";
    }
}

INSTANTIATE_TEST_SUITE_P(Drives, VolumeModelShapes,
                         testing::Values(VolumeCase{L'C', 64 * kGiB}, VolumeCase{L'C', 16 * kGiB},
                                         VolumeCase{L'D', 32 * kGiB}, VolumeCase{L'E', 16 * kGiB},
                                         VolumeCase{L'D', 500 * kGiB}, VolumeCase{L'E', 1 * kGiB},
                                         VolumeCase{L'F', 0}, VolumeCase{L'G', 20000 * kGiB}));

TEST(VolumeModel, SameDriveGivesTheSameModel) {
    const VolumeModel first = BuildVolumeModel(L'C', 80 * kGiB, L"System");
    const VolumeModel second = BuildVolumeModel(L'C', 80 * kGiB, L"System");
    ASSERT_EQ(first.entries.size(), second.entries.size());
    ASSERT_EQ(first.extents.size(), second.extents.size());
    for (std::size_t i = 0; i < first.extents.size(); ++i) {
        ASSERT_EQ(first.extents[i].lcn, second.extents[i].lcn);
        ASSERT_EQ(first.extents[i].length, second.extents[i].length);
    }
    EXPECT_EQ(EntryPath(first, 12345), EntryPath(second, 12345));
}

TEST(VolumeModel, DifferentDrivesDiffer) {
    const VolumeModel c = BuildVolumeModel(L'C', 80 * kGiB, L"");
    const VolumeModel d = BuildVolumeModel(L'D', 80 * kGiB, L"");
    EXPECT_NE(c.usedClusters, d.usedClusters);
}

TEST(VolumeModel, LargeDriveHasHundredsOfThousandsOfFiles) {
    const VolumeModel model = BuildVolumeModel(L'C', 500 * kGiB, L"");
    EXPECT_GE(model.fileCount, 200000u);
    EXPECT_LE(model.fileCount, kMaxModelFiles + kSystemFileCount);
}

TEST(VolumeModel, PathsStartAtTheRootAndNameSystemFiles) {
    const VolumeModel model = BuildVolumeModel(L'C', 64 * kGiB, L"");
    EXPECT_EQ(EntryPath(model, 0), L"C:\\");
    EXPECT_EQ(EntryPath(model, 1), L"C:\\$MFT");
    EXPECT_EQ(model.entries[1].kind, EntryKind::Mft);
    bool pageFile = false;
    for (std::uint32_t i = 0; i < 8; ++i) {
        pageFile = pageFile || EntryPath(model, i) == L"C:\\pagefile.sys";
    }
    EXPECT_TRUE(pageFile);
    for (std::uint32_t i = 0; i < model.entries.size(); i += 997) {
        const std::wstring path = EntryPath(model, i);
        ASSERT_TRUE(path.starts_with(L"C:\\")) << i;
        ASSERT_LT(path.size(), 400u);
    }
    EXPECT_EQ(EntryPath(model, static_cast<std::uint32_t>(model.entries.size())), L"C:\\");
}

// Paths of files under a folder, e.g. every file below "C:\Windows\System32\".
std::vector<std::wstring> FilesUnder(const VolumeModel& model, const std::wstring& folder) {
    std::vector<std::wstring> paths;
    for (std::uint32_t i = 0; i < model.entries.size(); ++i) {
        if (model.entries[i].kind == EntryKind::File) {
            std::wstring path = EntryPath(model, i);
            if (path.starts_with(folder)) {
                paths.push_back(std::move(path));
            }
        }
    }
    return paths;
}

TEST(VolumeModel, SystemDrivePathsReadLikeWindowsAndItsUser) {
    const VolumeModel model = BuildVolumeModel(L'C', 16 * kGiB, L"");
    ASSERT_FALSE(model.userName.empty());
    const std::wstring user = L"C:\\Users\\" + model.userName + L"\\";
    struct Case {
        std::wstring folder;
        std::vector<std::wstring> extensions;  // at least one file ends with one of them
    };
    const Case cases[] = {
        {L"C:\\Windows\\System32\\", {L".dll", L".exe", L".sys", L".mui"}},
        {user + L"Documents\\", {L".docx", L".pdf", L".xlsx", L".txt"}},
        {user + L"Pictures\\", {L".jpg", L".png", L".heic"}},
        {user + L"AppData\\", {L".db", L".json", L".log", L".dat"}},
        {L"C:\\Program Files\\", {L".dll", L".exe", L".pak"}},
    };
    for (const Case& test : cases) {
        const auto paths = FilesUnder(model, test.folder);
        EXPECT_GE(paths.size(), 20u) << std::string(test.folder.begin(), test.folder.end());
        bool fitting = false;
        for (const std::wstring& path : paths) {
            for (const std::wstring& extension : test.extensions) {
                fitting = fitting || path.ends_with(extension);
            }
        }
        EXPECT_TRUE(fitting) << std::string(test.folder.begin(), test.folder.end());
    }
}

TEST(VolumeModel, DataDrivePathsHaveNoWindowsFolder) {
    const VolumeModel model = BuildVolumeModel(L'D', 16 * kGiB, L"");
    EXPECT_TRUE(FilesUnder(model, L"D:\\Windows\\").empty());
    EXPECT_FALSE(FilesUnder(model, L"D:\\Photos").empty());
    EXPECT_FALSE(FilesUnder(model, L"D:\\Backup").empty());
}

TEST(VolumeModel, OnlyTheSystemDriveHasAPageFile) {
    const VolumeModel model = BuildVolumeModel(L'D', 64 * kGiB, L"");
    for (std::uint32_t i = 0; i < 8; ++i) {
        EXPECT_NE(EntryPath(model, i), L"D:\\pagefile.sys");
    }
}

}  // namespace
}  // namespace vantrel::defragsvc
