// Turns the pages of an allocation bitmap into runs of used and free clusters,
// joining runs across page borders. A page that begins before the clusters
// already seen (a backend rounds its start down) is read from where they end.
#pragma once

#include "engine/Volume.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace vantrel::engine {

static_assert(std::endian::native == std::endian::little, "bitmap words are read little-endian");

class BitmapRuns {
  public:
    // Where the next page should begin.
    Lcn Next() const { return next_; }
    // The run not completed yet: it reaches up to Next().
    bool OpenUsed() const { return open_ && used_; }
    Lcn OpenStart() const { return runStart_; }

    // onRun(bool used, Lcn start, std::uint64_t length) for every run completed.
    template <typename OnRun>
    void Feed(const BitmapPage& page, OnRun&& onRun) {
        if (page.start > next_) {
            Flush(onRun);
            next_ = page.start;
        }
        const std::uint64_t first = next_ - page.start;
        const std::uint64_t count = std::min<std::uint64_t>(page.clusters, page.bits.size() * 8);
        for (std::uint64_t bit = first; bit < count;) {
            const std::uint64_t wordStart = bit & ~std::uint64_t{63};
            const std::uint64_t valid = std::min<std::uint64_t>(64, count - wordStart);
            std::uint64_t word = Load(page, wordStart / 8);
            if (!open_) {
                open_ = true;
                used_ = (word >> (bit - wordStart)) & 1u;
                runStart_ = page.start + bit;
            }
            std::uint64_t differs = used_ ? ~word : word;
            if (valid < 64) {
                differs &= (std::uint64_t{1} << valid) - 1;
            }
            differs &= ~std::uint64_t{0} << (bit - wordStart);
            if (differs == 0) {
                bit = wordStart + valid;
                continue;
            }
            const std::uint64_t at =
                wordStart + static_cast<std::uint64_t>(std::countr_zero(differs));
            onRun(used_, runStart_, page.start + at - runStart_);
            runStart_ = page.start + at;
            used_ = !used_;
            bit = at;
        }
        next_ = std::max(next_, page.start + count);
    }

    // Ends the last run.
    template <typename OnRun>
    void Flush(OnRun&& onRun) {
        if (open_ && next_ > runStart_) {
            onRun(used_, runStart_, next_ - runStart_);
        }
        open_ = false;
    }

  private:
    static std::uint64_t Load(const BitmapPage& page, std::uint64_t byte) {
        std::uint64_t word = 0;
        const std::size_t available =
            std::min<std::size_t>(8, page.bits.size() - static_cast<std::size_t>(byte));
        std::memcpy(&word, page.bits.data() + byte, available);
        return word;
    }

    Lcn next_ = 0;
    bool open_ = false;
    bool used_ = false;
    Lcn runStart_ = 0;
};

}  // namespace vantrel::engine
