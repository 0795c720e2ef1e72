// A growable array whose capacity grows in the program's steps: by an eighth of its
// size, at least 4 and at most 1024 elements, or straight to the requested size when
// that is larger.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// The capacity after growing from `capacity` (holding `size` elements) to make room
// for `requested` elements; `capacity` itself when it already suffices.
constexpr std::size_t GrownCapacity(std::size_t size, std::size_t capacity, std::size_t requested) {
    if (requested <= capacity) {
        return capacity;
    }
    std::size_t step = size / 8;
    step = step < 4 ? 4 : (step > 1024 ? 1024 : step);
    const std::size_t grown = capacity + step;
    return requested > grown ? requested : grown;
}

template <typename T>
class GrowableArray {
  public:
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    std::size_t capacity() const { return items_.capacity(); }

    T& operator[](std::size_t index) { return items_[index]; }
    const T& operator[](std::size_t index) const { return items_[index]; }

    iterator begin() { return items_.begin(); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

    void Add(T item) {
        Reserve(items_.size() + 1);
        items_.push_back(std::move(item));
    }

    void clear() { items_.clear(); }

  private:
    void Reserve(std::size_t requested) {
        const std::size_t target = GrownCapacity(items_.size(), items_.capacity(), requested);
        if (target != items_.capacity()) {
            items_.reserve(target);
        }
    }

    std::vector<T> items_;
};
