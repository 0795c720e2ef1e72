// The simulated volume: a backend of the volume interface exact to the cluster,
// with the failure behaviour of the Windows calls' contract:
// - the bitmap it answers is a snapshot: a move into clusters taken since fails
//   with TargetInUse;
// - clusters a move frees stay unusable until the file system's next checkpoint
//   (a move into them answers TargetInUse, though the bitmap shows them free); a
//   checkpoint is taken every so many calls, the way time passes while a volume
//   is used;
// - locked files answer FileInUse, unmovable ones CannotMove, and sparse or
//   compressed data moves only in whole compression units;
// - a writer can be switched on that allocates and frees clusters between the
//   engine's calls, and a failure can be injected from a given call on.
//
// Each extent carries the identity of the data it holds (per extent, not per
// cluster), so that a test can prove that no data went astray: the data at VCN v
// of the file in record r is always r << 32 | (v + 1).
//
// Ids are NTFS-like file references: the record number, the sequence number above
// bit 48. The root directory is record 5 and its own parent.
#pragma once

#include "engine/Volume.h"

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace vantrel::engine::sim {

inline constexpr std::uint64_t kRootRecord = 5;

enum class Mobility : std::uint8_t { Movable, Locked, Unmovable };

struct SimExtent {
    Vcn vcn = 0;
    std::uint64_t clusters = 0;
    Lcn lcn = kNoLcn;
    std::uint64_t data = 0;  // identity of the data at vcn; 0 for a hole
};

struct SimFile {
    std::uint64_t id = 0;
    std::uint64_t parentRecord = 0;
    std::uint64_t size = 0;
    std::uint32_t attributes = 0;
    std::uint32_t firstExtent = 0;
    std::uint32_t extentCount = 0;
    Mobility mobility = Mobility::Movable;
    bool exists = false;
};

struct SimOptions {
    std::u16string fileSystem = u"NTFS";
    std::uint32_t bytesPerSector = 512;
    std::uint32_t bytesPerCluster = 4096;
    std::uint64_t totalClusters = 0;
    Lcn mftStart = 0;
    Lcn mftZoneStart = 0;
    Lcn mftZoneEnd = 0;
    MediaKind media = MediaKind::Rotational;
    // Page sizes of the paged calls.
    std::uint64_t bitmapPageClusters = 1u << 18;
    std::uint32_t enumerationBatch = 512;
    std::uint32_t extentsPage = 128;
    // A checkpoint every this many calls; 0: freed clusters are free at once.
    std::uint64_t checkpointCalls = 64;
};

// A file as a test or a model lays it out: its runs in VCN order from VCN 0.
struct SimFileSpec {
    std::uint64_t record = 0;
    std::uint64_t sequence = 1;
    std::uint64_t parentRecord = kRootRecord;
    std::u16string name{};  // empty: the volume's namer makes it
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    Mobility mobility = Mobility::Movable;
    std::vector<Extent> runs{};  // vcn, clusters, lcn (kNoLcn for a hole)
};

class SimVolume final : public Volume {
  public:
    explicit SimVolume(const SimOptions& options);

    // Adds a file; answers false (and changes nothing) when its clusters lie outside
    // the volume or are taken, or its record is.
    bool AddFile(const SimFileSpec& wanted);
    // Marks clusters in use that no listed file owns (on NTFS: named streams, the
    // MFT's own bitmap, clusters a crash leaked), so that a copy of a real volume's
    // layout shows its bitmap exactly; false, changing nothing, when they lie
    // outside the volume or are taken. Nothing ever moves or frees them.
    bool ReserveClusters(Lcn lcn, std::uint64_t clusters);
    // Names of files added without one.
    void SetNamer(std::function<std::u16string(std::uint64_t record)> namer);

    VolumeStatus QueryVolumeData(VolumeData& data) override;
    VolumeStatus ReadBitmap(Lcn start, BitmapPage& page) override;
    VolumeStatus EnumerateFiles(std::uint64_t& cursor, std::vector<FileInfo>& batch) override;
    VolumeStatus ReadExtents(std::uint64_t fileId, Vcn start, std::vector<Extent>& page) override;
    VolumeStatus MoveClusters(std::uint64_t fileId, Vcn vcn, Lcn target,
                              std::uint64_t clusters) override;
    MediaKind QueryMedia() override { return options_.media; }

    // What tests steer.
    void Checkpoint();
    void SetMobility(std::uint64_t record, Mobility mobility);
    // From now on, every `everyCalls` calls the writer allocates or frees a few
    // clusters in files of its own (added to the root); 0 switches it off.
    void SetWriter(std::uint64_t seed, std::uint32_t everyCalls);
    // Every call from the `afterCalls`-th one on answers `status` (a dismounted
    // volume: VolumeChanged; a failing disk: IoError).
    void FailAfter(std::uint64_t afterCalls, VolumeStatus status);

    // What tests inspect.
    const SimOptions& Options() const { return options_; }
    std::uint64_t Calls() const { return calls_; }
    std::uint64_t FreeClusters() const { return free_; }
    std::uint64_t RecordCount() const { return files_.size(); }
    const SimFile& File(std::uint64_t record) const { return files_[record]; }
    std::span<const SimExtent> ExtentsOf(std::uint64_t record) const;
    std::u16string NameOf(std::uint64_t record) const;
    std::uint64_t ParentIdOf(std::uint64_t record) const;
    bool InUse(Lcn lcn) const { return (bitmap_[lcn >> 6] >> (lcn & 63)) & 1u; }
    // A file's data as VCN ranges (stored or hole) without their places: it must not
    // change when the file moves.
    std::vector<Extent> DataShape(std::uint64_t record) const;
    // Empty when the volume is consistent: no cluster owned twice, the bitmap and
    // the free count agree with the extents, every file's runs cover its VCNs once
    // and hold the data their VCNs say. Otherwise the first problem found.
    std::string Audit() const;

    static std::uint64_t DataAt(std::uint64_t record, Vcn vcn) { return record << 32 | (vcn + 1); }
    static std::uint64_t IdOf(std::uint64_t record, std::uint64_t sequence) {
        return record | sequence << 48;
    }

  private:
    // Counts the call and lets time pass; answers the injected failure, if any.
    VolumeStatus BeginCall();
    SimFile* Find(std::uint64_t fileId);
    bool RangeFree(Lcn lcn, std::uint64_t clusters) const;
    bool RangeUsed(Lcn lcn, std::uint64_t clusters) const;
    bool RangeHeld(Lcn lcn, std::uint64_t clusters) const;
    void SetRange(Lcn lcn, std::uint64_t clusters, bool used);
    void Release(Lcn lcn, std::uint64_t clusters);
    void StoreExtents(SimFile& file, std::vector<SimExtent> extents);
    void WriterTurn();
    Lcn FindFreeFrom(Lcn lcn) const;

    SimOptions options_;
    std::vector<std::uint64_t> bitmap_;
    std::uint64_t free_ = 0;
    std::vector<SimFile> files_;  // by record
    std::vector<SimExtent> pool_;
    std::uint64_t poolGarbage_ = 0;
    std::vector<std::u16string> names_;  // by record; empty: the namer's
    std::function<std::u16string(std::uint64_t)> namer_;
    std::map<Lcn, std::uint64_t> held_;  // freed since the last checkpoint
    std::vector<std::pair<Lcn, std::uint64_t>> reserved_;

    std::uint64_t calls_ = 0;
    std::uint64_t lastCheckpoint_ = 0;
    std::uint64_t failFrom_ = ~std::uint64_t{0};
    VolumeStatus failure_ = VolumeStatus::Ok;
    std::uint64_t writerState_ = 0;
    std::uint32_t writerEvery_ = 0;
    std::vector<std::uint64_t> writerFiles_;
};

}  // namespace vantrel::engine::sim
