#include "bench/vantrel-image/LibraryTime.h"

#include <x86intrin.h>

#include <chrono>

#include "engine/ntfs/NtfsLibrary.h"

namespace vantrel::bench {

namespace {

// The time stamp counter: read in a third of the time the clock takes, which
// matters at some hundred thousand calls a run. It is converted to nanoseconds
// against the clock over the whole measurement (the machines it runs on have a
// constant-rate counter).
std::uint64_t ticks = 0;
std::uint64_t calls = 0;
std::uint64_t ticksAtReset = 0;
std::chrono::steady_clock::time_point clockAtReset;

// Adds the ticks from its making to its end to the library's.
class InLibrary {
  public:
    InLibrary() : start_(__rdtsc()) {}
    ~InLibrary() {
        ticks += __rdtsc() - start_;
        ++calls;
    }

  private:
    std::uint64_t start_;
};

}  // namespace

LibraryTime TimeInLibrary() {
    const double nanoseconds =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - clockAtReset)
            .count();
    const auto elapsedTicks = static_cast<double>(__rdtsc() - ticksAtReset);
    const double nanosecondsPerTick = elapsedTicks > 0 ? nanoseconds / elapsedTicks : 0.0;
    return {static_cast<std::uint64_t>(static_cast<double>(ticks) * nanosecondsPerTick), calls};
}

void TimeOneEmptyCall() {
    const InLibrary timing;
    asm volatile("" ::: "memory");
}

void ResetLibraryTime() {
    ticks = 0;
    calls = 0;
    clockAtReset = std::chrono::steady_clock::now();
    ticksAtReset = __rdtsc();
}

}  // namespace vantrel::bench

// One wrapper per function the backend calls, with the function's own prototype.
#define VANTREL_TIMED(result, name, parameters, arguments) \
    extern "C" result __real_##name parameters;            \
    extern "C" result __wrap_##name parameters {           \
        const vantrel::bench::InLibrary timing;            \
        return __real_##name arguments;                    \
    }

VANTREL_TIMED(ntfs_attr_search_ctx*, ntfs_attr_get_search_ctx, (ntfs_inode * ni, MFT_RECORD* mrec),
              (ni, mrec))
VANTREL_TIMED(void, ntfs_attr_put_search_ctx, (ntfs_attr_search_ctx * ctx), (ctx))
VANTREL_TIMED(int, ntfs_attr_lookup,
              (const ATTR_TYPES type, const ntfschar* name, const u32 name_len,
               const IGNORE_CASE_BOOL ic, const VCN lowest_vcn, const u8* val, const u32 val_len,
               ntfs_attr_search_ctx* ctx),
              (type, name, name_len, ic, lowest_vcn, val, val_len, ctx))
VANTREL_TIMED(ntfs_attr*, ntfs_attr_open,
              (ntfs_inode * ni, const ATTR_TYPES type, ntfschar* name, u32 name_len),
              (ni, type, name, name_len))
VANTREL_TIMED(void, ntfs_attr_close, (ntfs_attr * na), (na))
VANTREL_TIMED(s64, ntfs_attr_pread, (ntfs_attr * na, const s64 pos, s64 count, void* b),
              (na, pos, count, b))
VANTREL_TIMED(int, ntfs_attr_map_whole_runlist, (ntfs_attr * na), (na))
VANTREL_TIMED(int, ntfs_attr_update_mapping_pairs, (ntfs_attr * na, VCN from_vcn), (na, from_vcn))
VANTREL_TIMED(int, ntfs_bitmap_set_run, (ntfs_attr * na, s64 start_bit, s64 count),
              (na, start_bit, count))
VANTREL_TIMED(int, ntfs_bitmap_clear_run, (ntfs_attr * na, s64 start_bit, s64 count),
              (na, start_bit, count))
VANTREL_TIMED(int, ntfs_check_if_mounted, (const char* file, unsigned long* mnt_flags),
              (file, mnt_flags))
VANTREL_TIMED(ntfs_volume*, ntfs_device_mount, (struct ntfs_device * dev, ntfs_mount_flags flags),
              (dev, flags))
VANTREL_TIMED(int, ntfs_umount, (ntfs_volume * vol, const BOOL force), (vol, force))
VANTREL_TIMED(int, ntfs_volume_error, (int err), (err))
VANTREL_TIMED(int, ntfs_volume_get_free_space, (ntfs_volume * vol), (vol))
VANTREL_TIMED(int, ntfs_cluster_free_from_rl, (ntfs_volume * vol, runlist* rl), (vol, rl))
VANTREL_TIMED(struct ntfs_device*, ntfs_device_alloc,
              (const char* name, const long state, struct ntfs_device_operations* dops,
               void* priv_data),
              (name, state, dops, priv_data))
VANTREL_TIMED(int, ntfs_device_free, (struct ntfs_device * dev), (dev))
VANTREL_TIMED(int, ntfs_device_sync, (struct ntfs_device * dev), (dev))
VANTREL_TIMED(s64, ntfs_cluster_read,
              (const ntfs_volume* vol, const s64 lcn, const s64 count, void* b),
              (vol, lcn, count, b))
VANTREL_TIMED(s64, ntfs_cluster_write,
              (const ntfs_volume* vol, const s64 lcn, const s64 count, const void* b),
              (vol, lcn, count, b))
VANTREL_TIMED(ntfs_inode*, ntfs_inode_open, (ntfs_volume * vol, const MFT_REF mref), (vol, mref))
VANTREL_TIMED(int, ntfs_inode_close, (ntfs_inode * ni), (ni))
VANTREL_TIMED(int, ntfs_inode_sync, (ntfs_inode * ni), (ni))
VANTREL_TIMED(int, ntfs_mft_records_read,
              (const ntfs_volume* vol, const MFT_REF mref, const s64 count, MFT_RECORD* b),
              (vol, mref, count, b))
