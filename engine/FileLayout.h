// A file's runs as the engine reads and judges them: all pages of its extents in
// VCN order, and the facts that follow from them (fragments, clusters stored).
#pragma once

#include "engine/Volume.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vantrel::engine {

struct LayoutFacts {
    // Runs of clusters contiguous on the volume. Sparse runs are no fragments, and
    // a break between runs that continue each other on the volume is none either.
    std::uint32_t fragments = 0;
    std::uint64_t storedClusters = 0;  // clusters the file takes on the volume
    Vcn vcnEnd = 0;                    // VCNs the runs cover
    bool sparse = false;               // some run has no clusters
};

LayoutFacts FactsOf(std::span<const Extent> extents);

// Reads every page of a file's extents into `extents`, in VCN order without
// overlaps (a page may begin with a run that started before the VCN asked for).
// A backend that answers a page which does not advance gets IoError, never a loop.
VolumeStatus ReadAllExtents(Volume& volume, std::uint64_t fileId, std::vector<Extent>& extents);

// Whether a status means the volume is gone or broken: the job cannot go on.
bool IsVolumeFailure(VolumeStatus status);

}  // namespace vantrel::engine
