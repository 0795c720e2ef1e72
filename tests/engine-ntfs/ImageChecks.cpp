#include "tests/engine-ntfs/ImageChecks.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "engine/ntfs/NtfsHandles.h"
#include "engine/ntfs/NtfsLibrary.h"

extern char** environ;

namespace vantrel::engine::ntfs::proof {

namespace {

class Sha256 {
  public:
    Sha256() : context_(EVP_MD_CTX_new()) {
        EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr);
    }
    void Add(const void* data, std::size_t bytes) { EVP_DigestUpdate(context_.get(), data, bytes); }
    Digest Finish() {
        Digest digest{};
        unsigned int length = 0;
        EVP_DigestFinal_ex(context_.get(), digest.data(), &length);
        return digest;
    }

  private:
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context_;
};

bool IsUserFile(const RawFile& file) {
    return file.record >= FILE_first_user && !file.names.empty() && !file.InExtend();
}

int CollectName(void* listing, const ntfschar* name, const int length, const int type, const s64,
                const MFT_REF reference, const unsigned) {
    std::u16string entry(static_cast<std::size_t>(length), u'\0');
    std::memcpy(entry.data(), name, entry.size() * 2);
    entry += u'/' + std::u16string(1, static_cast<char16_t>(type)) +
             std::u16string(reinterpret_cast<const char16_t*>(&reference), 4);
    static_cast<std::vector<std::u16string>*>(listing)->push_back(std::move(entry));
    return 0;
}

bool HashListing(ntfs_inode* directory, Sha256& hash) {
    std::vector<std::u16string> names;
    s64 position = 0;
    if (ntfs_readdir(directory, &position, &names, CollectName) != 0) {
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const std::u16string& name : names) {
        hash.Add(name.data(), name.size() * 2 + 2);  // with the terminator
    }
    return true;
}

bool HashData(ntfs_inode* inode, Sha256& hash) {
    AttributeHandle data(ntfs_attr_open(inode, AT_DATA, AT_UNNAMED, 0));
    if (!data) {
        return errno == ENOENT;  // no data at all
    }
    std::vector<std::uint8_t> buffer(1 << 20);
    for (s64 at = 0; at < data->data_size;) {
        const s64 want = std::min<s64>(static_cast<s64>(buffer.size()), data->data_size - at);
        if (ntfs_attr_pread(data.get(), at, want, buffer.data()) != want) {
            return false;
        }
        hash.Add(buffer.data(), static_cast<std::size_t>(want));
        at += want;
    }
    return true;
}

}  // namespace

ImageMount::ImageMount(const std::string& image)
    : volume(ntfs_mount(image.c_str(), NTFS_MNT_RDONLY)) {}

ImageMount::~ImageMount() {
    if (volume != nullptr) {
        ntfs_umount(volume, FALSE);
    }
}

MftWalk WalkImage(const std::string& image) {
    ImageMount mount(image);
    return mount.volume ? WalkMft(mount.volume) : MftWalk{};
}

std::map<std::uint64_t, Digest> HashEveryFile(const std::string& image,
                                              std::vector<std::string>& problems) {
    std::map<std::uint64_t, Digest> hashes;
    ImageMount mount(image);
    if (mount.volume == nullptr) {
        problems.push_back(image + " cannot be mounted");
        return hashes;
    }
    const MftWalk walk = WalkMft(mount.volume);
    problems.insert(problems.end(), walk.problems.begin(), walk.problems.end());
    for (const auto& [number, file] : walk.files) {
        if (!IsUserFile(file)) {
            continue;
        }
        InodeHandle inode(ntfs_inode_open(mount.volume, number));
        Sha256 hash;
        if (!inode ||
            !(file.directory ? HashListing(inode.get(), hash) : HashData(inode.get(), hash))) {
            problems.push_back("record " + std::to_string(number) + " cannot be read");
            continue;
        }
        hashes[number] = hash.Finish();
    }
    return hashes;
}

std::vector<std::string> CheckClusterAccounting(const std::string& image, bool leaksAllowed) {
    std::vector<std::string> problems;
    std::size_t unlisted = 0;
    const auto report = [&](std::string problem) {
        if (problems.size() < 20) {
            problems.push_back(std::move(problem));
        } else {
            ++unlisted;
        }
    };
    ImageMount mount(image);
    if (mount.volume == nullptr) {
        return {image + " cannot be mounted"};
    }
    const MftWalk walk = WalkMft(mount.volume);
    for (const std::string& problem : walk.problems) {
        report(problem);
    }
    const auto total = static_cast<std::int64_t>(walk.totalClusters);
    std::vector<std::int64_t> owner(static_cast<std::size_t>(total), -1);
    for (const auto& [number, file] : walk.files) {
        for (const RawStream& stream : file.streams) {
            for (const Run& run : stream.runs) {
                if (run.lcn == kHoleLcn) {
                    continue;
                }
                if (run.lcn + run.length > total) {
                    report("record " + std::to_string(number) + " owns clusters past the volume");
                    continue;
                }
                for (std::int64_t lcn = run.lcn; lcn < run.lcn + run.length; ++lcn) {
                    std::int64_t& first = owner[static_cast<std::size_t>(lcn)];
                    if (first != -1) {
                        report("cluster " + std::to_string(lcn) + " is owned by records " +
                               std::to_string(first) + " and " + std::to_string(number));
                    }
                    first = static_cast<std::int64_t>(number);
                }
            }
        }
    }
    for (std::int64_t lcn = 0; lcn < total; ++lcn) {
        const bool used = (walk.bitmap[static_cast<std::size_t>(lcn / 8)] >> (lcn % 8)) & 1u;
        const std::int64_t by = owner[static_cast<std::size_t>(lcn)];
        if (by != -1 && !used) {
            report("cluster " + std::to_string(lcn) + " of record " + std::to_string(by) +
                   " is free in the bitmap");
        } else if (by == -1 && used && !leaksAllowed) {
            report("cluster " + std::to_string(lcn) + " is in use but owned by nothing");
        }
    }
    if (unlisted != 0) {
        problems.push_back("and " + std::to_string(unlisted) + " more");
    }
    return problems;
}

ToolRun RunTool(const std::vector<std::string>& arguments) {
    ToolRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeEnds[0]);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
}

ToolRun RunNtfsresizeInfo(const std::string& image) {
    return RunTool({"/sbin/ntfsresize", "--info", "--force", "--no-progress-bar", image});
}

std::map<std::uint64_t, std::size_t> FragmentsByFile(const std::string& image) {
    std::map<std::uint64_t, std::size_t> fragments;
    for (const auto& [number, file] : WalkImage(image).files) {
        if (IsUserFile(file)) {
            const RawStream* stream = file.ClusterStream();
            fragments[file.Reference()] = stream ? CountFragments(stream->runs) : 0;
        }
    }
    return fragments;
}

bool SameBytes(const std::string& a, const std::string& b) {
    return RunTool({"/usr/bin/cmp", "--silent", a, b}).exitCode == 0;
}

}  // namespace vantrel::engine::ntfs::proof
