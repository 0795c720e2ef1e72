#include "tests/engine-ntfs/TestImages.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace vantrel::engine::ntfs::proof {

namespace {

const std::string kPrefix = "vantrel-ntfs-";

// Memory-backed where the machine has it: a move syncs the image three times, and
// on a loaded disk those syncs, not the work, would make the tests slow.
std::string ScratchFolder() {
    static const std::string folder = [] {
        const char* configured = std::getenv("VANTREL_NTFS_SCRATCH");
        std::error_code error;
        const std::filesystem::path root = configured ? configured
                                           : std::filesystem::is_directory("/dev/shm", error)
                                               ? "/dev/shm"
                                               : std::filesystem::temp_directory_path();
        // A run that crashed left its folder behind: it goes now, its process being gone.
        for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(kPrefix, 0) == 0 &&
                kill(static_cast<pid_t>(std::atol(name.c_str() + kPrefix.size())), 0) != 0 &&
                errno == ESRCH) {
                std::filesystem::remove_all(entry.path(), error);
            }
        }
        const std::filesystem::path path = root / (kPrefix + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return folder;
}

// The images go when the program ends; VANTREL_NTFS_KEEP=1 keeps those of a failed run.
class ScratchCleanup : public ::testing::Environment {
  public:
    void TearDown() override {
        if (!::testing::UnitTest::GetInstance()->Passed() && std::getenv("VANTREL_NTFS_KEEP")) {
            std::printf("The images are kept in %s\n", ScratchFolder().c_str());
            return;
        }
        std::error_code ignored;
        std::filesystem::remove_all(ScratchFolder(), ignored);
    }
};
[[maybe_unused]] const auto* const kCleanup =
    ::testing::AddGlobalTestEnvironment(new ScratchCleanup);

std::string Made(const char* name, const ImageRecipe& recipe, std::string& error) {
    struct Result {
        std::string path;
        std::string error;
    };
    static std::map<std::string, Result> made;
    auto found = made.find(name);
    if (found == made.end()) {
        Result result{ScratchPath(name), {}};
        result.error = MakeFragmentedImage(result.path, recipe);
        found = made.emplace(name, result).first;
    }
    error = found->second.error;
    return error.empty() ? found->second.path : std::string();
}

}  // namespace

std::string FragmentedImage(std::string& error) {
    return Made("fragmented.img", ImageRecipe{}, error);
}

std::string SmallImage(std::string& error) {
    return Made("small.img", SmallRecipe(), error);
}

std::string CrowdedImage(std::string& error) {
    return Made("crowded.img", CrowdedRecipe(), error);
}

const std::map<std::uint64_t, Digest>& HashesOf(const std::string& image) {
    static std::map<std::string, std::map<std::uint64_t, Digest>> hashes;
    auto found = hashes.find(image);
    if (found == hashes.end()) {
        std::vector<std::string> problems;
        found = hashes.emplace(image, HashEveryFile(image, problems)).first;
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
    return found->second;
}

::testing::AssertionResult Intact(const std::string& image, const std::string& original) {
    std::vector<std::string> problems;
    const auto hashes = HashEveryFile(image, problems);
    if (!problems.empty()) {
        return ::testing::AssertionFailure() << problems.front();
    }
    const auto& before = HashesOf(original);
    for (const auto& [record, digest] : before) {
        const auto after = hashes.find(record);
        if (after == hashes.end() || after->second != digest) {
            return ::testing::AssertionFailure() << "record " << record << " changed";
        }
    }
    if (hashes.size() != before.size()) {
        return ::testing::AssertionFailure() << "the image holds other files now";
    }
    problems = CheckClusterAccounting(image);
    if (!problems.empty()) {
        return ::testing::AssertionFailure() << problems.front();
    }
    const ToolRun resize = RunNtfsresizeInfo(image);
    if (resize.exitCode != 0) {
        return ::testing::AssertionFailure() << "ntfsresize: " << resize.output;
    }
    return ::testing::AssertionSuccess();
}

std::string ScratchPath(const std::string& name) {
    return (std::filesystem::path(ScratchFolder()) / name).string();
}

std::string CopyOf(const std::string& image, const std::string& name) {
    const std::string copy = ScratchPath(name);
    return CopyImage(image, copy) ? copy : std::string();
}

}  // namespace vantrel::engine::ntfs::proof
