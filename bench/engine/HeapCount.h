// Counts the heap a benchmark uses: every operator new and delete of the program
// goes through here, so that a job's peak memory is the peak of the bytes it held.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace vantrel::bench {

inline std::atomic<std::size_t> heapNow{0};
inline std::atomic<std::size_t> heapPeak{0};

// Starts a new peak from what the heap holds now.
inline std::size_t ResetHeapPeak() {
    heapPeak = heapNow.load();
    return heapNow.load();
}

}  // namespace vantrel::bench

namespace {

constexpr std::size_t kHeapHeader = alignof(std::max_align_t);

void* CountedAllocate(std::size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeapHeader));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::size_t now = vantrel::bench::heapNow += size;
    std::size_t peak = vantrel::bench::heapPeak.load();
    while (now > peak && !vantrel::bench::heapPeak.compare_exchange_weak(peak, now)) {
    }
    return block + kHeapHeader;
}

void CountedFree(void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    auto* block = static_cast<unsigned char*>(pointer) - kHeapHeader;
    vantrel::bench::heapNow -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return CountedAllocate(size);
}
void* operator new[](std::size_t size) {
    return CountedAllocate(size);
}
void operator delete(void* pointer) noexcept {
    CountedFree(pointer);
}
void operator delete[](void* pointer) noexcept {
    CountedFree(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    CountedFree(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    CountedFree(pointer);
}
