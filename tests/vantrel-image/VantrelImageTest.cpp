// vantrel-image run as a maintainer runs it, on real NTFS images: what it prints
// against an independent walk of the image, its dry run against the optimization
// it predicts, the images it must refuse, and a signal in the middle of a run.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "engine/ntfs/NtfsImageVolume.h"
#include "engine/ntfs/NtfsLibrary.h"
#include "engine/ntfs/NtfsStreams.h"
#include "tests/engine-ntfs/TestImages.h"

extern char** environ;

namespace vantrel::engine::ntfs::proof {
namespace {

struct ProgramRun {
    int exitCode = -1;  // minus the signal that ended it
    std::string out;
    std::string err;
};

// vantrel-image running, its standard output and error in pipes. The error pipe
// holds one page, and all of it but `roomInErrors` bytes is taken before the
// program starts: a line it writes that does not fit waits there until Finish().
class Running {
  public:
    Running(const std::vector<std::string>& arguments, std::size_t roomInErrors = SIZE_MAX) {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0) {
            return;
        }
        if (roomInErrors != SIZE_MAX) {
            const int size = fcntl(err[1], F_SETPIPE_SZ, 4096);
            filler_ = size > 0 && static_cast<std::size_t>(size) > roomInErrors
                          ? static_cast<std::size_t>(size) - roomInErrors
                          : 0;
            const std::string taken(filler_, '.');
            if (write(err[1], taken.data(), taken.size()) != static_cast<ssize_t>(filler_)) {
                filler_ = 0;
            }
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all = {VANTREL_IMAGE_PROGRAM};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&child_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
            child_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }

    ~Running() { Finish(); }

    bool Started() const { return child_ > 0; }
    // Bytes the program wrote to its error pipe that no one has read yet.
    std::size_t ErrorsWritten() const {
        int waiting = 0;
        return ioctl(err_, FIONREAD, &waiting) == 0 && static_cast<std::size_t>(waiting) > filler_
                   ? static_cast<std::size_t>(waiting) - filler_
                   : 0;
    }
    // Whether it has ended (it is reaped only by Finish()).
    bool Ended() const {
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(child_), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
               info.si_pid == child_;
    }
    void Signal(int signal) const { kill(child_, signal); }

    // Reads everything it writes until it ends.
    ProgramRun Finish() {
        if (child_ <= 0) {
            return run_;
        }
        std::string errors;
        pollfd ends[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        for (int open = 2; open > 0;) {
            if (poll(ends, 2, -1) < 0) {
                break;
            }
            for (pollfd& end : ends) {
                if (end.fd >= 0 && end.revents != 0) {
                    char buffer[4096];
                    const ssize_t got = read(end.fd, buffer, sizeof buffer);
                    if (got <= 0) {
                        close(end.fd);
                        end.fd = -1;
                        --open;
                    } else {
                        (end.fd == out_ ? run_.out : errors).append(buffer, got);
                    }
                }
            }
        }
        run_.err = errors.substr(std::min(filler_, errors.size()));
        int status = 0;
        waitpid(child_, &status, 0);
        run_.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        child_ = -1;
        return run_;
    }

  private:
    pid_t child_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::size_t filler_ = 0;
    ProgramRun run_;
};

ProgramRun RunImageTool(const std::vector<std::string>& arguments) {
    return Running(arguments).Finish();
}

// "name: value" lines, by name.
std::map<std::string, std::string> Lines(const std::string& text) {
    std::map<std::string, std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        const std::string line = text.substr(at, end - at);
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos) {
            lines[line.substr(0, colon)] = line.substr(colon + 2);
        }
        at = end + 1;
    }
    return lines;
}

std::string Percent(std::uint64_t part, std::uint64_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f%%",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return text;
}

// The figures as the run lists and the bitmap of the image say: the clusters of
// files in two or more fragments over all clusters and over those in use.
std::map<std::string, std::string> FiguresOf(const MftWalk& walk) {
    std::uint64_t files = 0;
    std::uint64_t directories = 0;
    std::uint64_t fragmented = 0;
    std::uint64_t fragmentedClusters = 0;
    for (const ListedFile& file : ListedFiles(walk)) {
        ++(file.directory ? directories : files);
        if (file.fragments >= 2) {
            ++fragmented;
            fragmentedClusters += file.storedClusters;
        }
    }
    return {{"files", std::to_string(files)},
            {"directories", std::to_string(directories)},
            {"fragmented files", std::to_string(fragmented)},
            {"volume fragmentation", Percent(fragmentedClusters, walk.totalClusters)},
            {"data fragmentation", Percent(fragmentedClusters, UsedClusters(walk))}};
}

std::map<std::string, std::string> WithoutNotMoved(std::map<std::string, std::string> lines) {
    lines.erase("not moved");
    return lines;
}

double PercentOf(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

TEST(VantrelImage, PrintsTheImagesFiguresAndItsDryRunPredictsTheOptimizationExactly) {
    std::string error;
    const std::string fragmented = FragmentedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::string crowded = CrowdedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    for (const std::string& original : {fragmented, crowded}) {
        SCOPED_TRACE(original);
        const std::string image = CopyOf(original, "tool.img");

        const ProgramRun analysis = RunImageTool({"analyze", image});
        ASSERT_EQ(analysis.exitCode, 0) << analysis.err;
        const std::map<std::string, std::string> before = Lines(analysis.out);
        EXPECT_EQ(before, FiguresOf(WalkImage(image)));
        EXPECT_TRUE(SameBytes(image, original));

        const ProgramRun dryRun = RunImageTool({"optimize", "--dry-run", image});
        ASSERT_EQ(dryRun.exitCode, 0) << dryRun.err;
        EXPECT_TRUE(SameBytes(image, original));

        const ProgramRun optimization = RunImageTool({"optimize", image});
        ASSERT_EQ(optimization.exitCode, 0) << optimization.err;
        EXPECT_TRUE(Intact(image, original));
        const std::map<std::string, std::string> after = Lines(optimization.out);
        EXPECT_EQ(WithoutNotMoved(after), FiguresOf(WalkImage(image)));
        // Every file the passes left behind is still fragmented, and no other is.
        EXPECT_EQ(after.at("not moved").substr(0, after.at("not moved").find(' ')),
                  after.at("fragmented files"));
        EXPECT_LT(std::stoull(after.at("fragmented files")),
                  std::stoull(before.at("fragmented files")) / 2);
        EXPECT_LT(PercentOf(after.at("volume fragmentation")),
                  PercentOf(before.at("volume fragmentation")));
        EXPECT_LT(PercentOf(after.at("data fragmentation")),
                  PercentOf(before.at("data fragmentation")));

        // The copy of the layout the dry run works on is exact, and so are the moves
        // over it: the same figures, the same files not moved.
        EXPECT_EQ(dryRun.out, optimization.out);
    }
}

TEST(VantrelImage, RefusesAnImageItMustNotTouchAndLeavesItAsItWas) {
    std::string error;
    const std::string small = SmallImage(error);
    ASSERT_TRUE(error.empty()) << error;

    struct Refused {
        std::string image;
        std::string why;
    };
    std::vector<Refused> refused;
    const std::string zeros = ScratchPath("tool-zeros.img");
    std::ofstream(zeros) << std::string(1 << 20, '\0');
    refused.push_back({zeros, zeros + " holds no NTFS file system."});

    const std::string cut = CopyOf(small, "tool-cut-short.img");
    ASSERT_EQ(truncate(cut.c_str(), 1 << 20), 0);
    refused.push_back({cut, cut + " is damaged: its NTFS structures cannot be read."});

    const std::string dirty = CopyOf(small, "tool-dirty.img");
    {
        ntfs_volume* volume = ntfs_mount(dirty.c_str(), 0);
        ASSERT_NE(volume, nullptr);
        ASSERT_EQ(
            ntfs_volume_write_flags(volume, static_cast<le16>(volume->flags | VOLUME_IS_DIRTY)), 0);
        ntfs_umount(volume, FALSE);
    }
    refused.push_back({dirty, dirty + " is marked dirty"});

    // The library mounts it, but a file's cluster is free in the bitmap: a move
    // into it would overwrite the file.
    const std::string freed = CopyOf(small, "tool-freed-cluster.img");
    std::int64_t lcn = -1;
    for (const auto& [number, file] : WalkImage(small).files) {
        const RawStream* stream = file.ClusterStream();
        if (number >= FILE_first_user && stream && !stream->runs.empty() &&
            stream->runs.back().lcn != kHoleLcn) {
            lcn = stream->runs.back().lcn + stream->runs.back().length - 1;
        }
    }
    ASSERT_GE(lcn, 0);
    {
        ntfs_volume* volume = ntfs_mount(freed.c_str(), 0);
        ASSERT_NE(volume, nullptr);
        ASSERT_EQ(ntfs_bitmap_clear_run(volume->lcnbmp_na, lcn, 1), 0);
        ntfs_umount(volume, FALSE);
    }
    refused.push_back(
        {freed, freed + " is damaged: cluster " + std::to_string(lcn) + " of record"});

    // Two files own the same clusters: the first run of one is pointed at another's.
    const std::string shared = CopyOf(small, "tool-shared-clusters.img");
    const RawFile* owner = nullptr;
    const RawFile* intruder = nullptr;
    const MftWalk walk = WalkImage(small);
    for (const auto& [number, file] : walk.files) {
        const RawStream* data = file.Find(le32_to_cpu(AT_DATA), u"");
        if (number < FILE_first_user || file.directory || !data || data->runs.empty() ||
            data->flags != 0 || data->runs.front().lcn == kHoleLcn) {
            continue;
        }
        const RawStream* ownerData = owner ? owner->Find(le32_to_cpu(AT_DATA), u"") : nullptr;
        if (!owner || data->runs.front().length > ownerData->runs.front().length) {
            owner = &file;
        } else if (!intruder) {
            intruder = &file;
        }
    }
    ASSERT_TRUE(owner && intruder);
    const Lcn ownerLcn = static_cast<Lcn>(owner->Find(le32_to_cpu(AT_DATA), u"")->runs.front().lcn);
    {
        ntfs_volume* volume = ntfs_mount(shared.c_str(), 0);
        ASSERT_NE(volume, nullptr);
        InodeHandle inode(ntfs_inode_open(volume, intruder->record));
        AttributeHandle data;
        std::vector<ntfs::Run> runs;
        ASSERT_TRUE(inode);
        ASSERT_EQ(OpenClusterStream(inode.get(), data), VolumeStatus::Ok);
        ASSERT_EQ(ReadRuns(data.get(), runs), VolumeStatus::Ok);
        runs.front().lcn = static_cast<std::int64_t>(ownerLcn);
        ASSERT_TRUE(InstallRuns(data.get(), runs));
        data.reset();
        ASSERT_EQ(ntfs_inode_sync(inode.get()), 0);
        inode.reset();
        ntfs_umount(volume, FALSE);
    }
    refused.push_back(
        {shared, shared + " is damaged: cluster " + std::to_string(ownerLcn) + " of record "});

    // Open for writing in this process: the library's lock keeps every other out.
    const std::string inUse = CopyOf(small, "tool-in-use.img");
    auto holder = NtfsImageVolume::Open(inUse, OpenMode::ReadWrite);
    ASSERT_TRUE(holder.volume) << holder.message;
    refused.push_back({inUse, inUse + " is in use by another program."});

    refused.push_back({"/dev/null", "/dev/null is not an image file"});
    refused.push_back({ScratchPath("missing.img"), "missing.img cannot be found"});

    for (const Refused& image : refused) {
        const std::string before = ScratchPath("tool-before.img");
        const bool regular =
            image.image.rfind("/dev/", 0) != 0 && access(image.image.c_str(), F_OK) == 0;
        if (regular) {
            ASSERT_FALSE(CopyOf(image.image, "tool-before.img").empty());
        }
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"analyze", image.image},
              std::vector<std::string>{"optimize", "--dry-run", image.image},
              std::vector<std::string>{"optimize", image.image}}) {
            SCOPED_TRACE(command.front() + " " + command[1]);
            const ProgramRun run = RunImageTool(command);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.out.empty()) << run.out;
            EXPECT_NE(run.err.find(image.why), std::string::npos) << run.err;
            if (regular) {
                EXPECT_TRUE(SameBytes(image.image, before));
            }
        }
    }
}

TEST(VantrelImage, SaysHowItIsUsedAndRefusesAWrongCommandLine) {
    const ProgramRun help = RunImageTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Exit codes:"), std::string::npos) << help.out;
    for (const std::vector<std::string>& wrong : {std::vector<std::string>{},
                                                  {"defragment", "x.img"},
                                                  {"analyze"},
                                                  {"analyze", "a.img", "b.img"},
                                                  {"analyze", "--dry-run", "a.img"},
                                                  {"optimize", "--fast", "a.img"},
                                                  {"--help", "a.img"}}) {
        const ProgramRun run = RunImageTool(wrong);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find("usage: vantrel-image"), std::string::npos) << run.err;
    }
}

TEST(VantrelImage, ASignalStopsAnOptimizationBetweenTwoMovesAndEveryFileIsIntact) {
    std::string error;
    const std::string original = FragmentedImage(error);
    ASSERT_TRUE(error.empty()) << error;
    const std::string image = CopyOf(original, "tool-signal.img");
    // Room for the line that says what pass 1 is about to move, not for the one of
    // pass 2: the program waits before pass 2 moves anything until the test reads
    // what it wrote, and the signal is sent before that.
    constexpr std::size_t kShortestLine =
        sizeof("vantrel-image: pass 1: 0 fragmented files, 0 to move\n") - 1;
    constexpr std::size_t kRoom = 100;
    static_assert(kRoom < 2 * kShortestLine);
    Running optimization({"optimize", image}, kRoom);
    ASSERT_TRUE(optimization.Started());
    // Until pass 1 has its plan and starts moving.
    while (optimization.ErrorsWritten() == 0 && !optimization.Ended()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    optimization.Signal(SIGINT);
    const ProgramRun run = optimization.Finish();

    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_NE(run.err.find("stopped by SIGINT during pass "), std::string::npos) << run.err;
    const std::map<std::string, std::string> after = Lines(run.out);
    EXPECT_NE(after.at("not moved").find("Stopped By User"), std::string::npos) << run.out;
    // What it printed is the image as it left it.
    EXPECT_EQ(WithoutNotMoved(after), FiguresOf(WalkImage(image)));
    EXPECT_TRUE(Intact(image, original));
}

}  // namespace
}  // namespace vantrel::engine::ntfs::proof
