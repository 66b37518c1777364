#pragma once
// The storage shared by the API's value arrays (MIntArray, MPointArray, ...): a std::vector with the
// API's index-based interface. Each array class derives from ArrayStore<Element, Itself>, so it stays a
// distinct class that code can forward-declare.
#include <maya/MStatus.h>

#include <cassert>
#include <ostream>
#include <vector>

namespace kxh {

template <class T, class Derived>
class ArrayStore {
public:
    typedef T value_type;

    ArrayStore() = default;
    ArrayStore(const T src[], unsigned int count) : items_(src, src + count) {}
    explicit ArrayStore(unsigned int initialSize, const T& initialValue = T())
        : items_(initialSize, initialValue) {}

    const T& operator[](unsigned int index) const {
        assert(index < items_.size());
        return items_[index];
    }
    T& operator[](unsigned int index) {
        assert(index < items_.size());
        return items_[index];
    }

    MStatus set(const T& element, unsigned int index) {
        if (index >= items_.size()) return MStatus::kFailure;
        items_[index] = element;
        return MStatus::kSuccess;
    }
    // Grows with default elements (0, the origin, an empty string) or truncates.
    MStatus setLength(unsigned int length) {
        items_.resize(length);
        return MStatus::kSuccess;
    }
    unsigned int length() const { return static_cast<unsigned int>(items_.size()); }
    MStatus remove(unsigned int index) {
        if (index >= items_.size()) return MStatus::kFailure;
        items_.erase(items_.begin() + index);
        return MStatus::kSuccess;
    }
    // Inserts before index; index == length() appends.
    MStatus insert(const T& element, unsigned int index) {
        if (index > items_.size()) return MStatus::kFailure;
        items_.insert(items_.begin() + index, element);
        return MStatus::kSuccess;
    }
    MStatus append(const T& element) {
        items_.push_back(element);
        return MStatus::kSuccess;
    }
    MStatus copy(const Derived& source) {
        items_ = source.items_;
        return MStatus::kSuccess;
    }
    MStatus clear() {
        items_.clear();
        return MStatus::kSuccess;
    }
    MStatus get(T array[]) const {
        for (size_t i = 0; i < items_.size(); ++i) array[i] = items_[i];
        return MStatus::kSuccess;
    }
    // Growth policy hint of the API; std::vector grows geometrically, so it is only remembered.
    void setSizeIncrement(unsigned int newIncrement) { sizeIncrement_ = newIncrement; }
    unsigned int sizeIncrement() const { return sizeIncrement_; }

    // Iteration and bulk access for host code and range-for loops.
    typename std::vector<T>::iterator begin() { return items_.begin(); }
    typename std::vector<T>::iterator end() { return items_.end(); }
    typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
    typename std::vector<T>::const_iterator end() const { return items_.end(); }
    std::vector<T>& vec() { return items_; }
    const std::vector<T>& vec() const { return items_; }

    friend std::ostream& operator<<(std::ostream& os, const Derived& array) {
        os << "[";
        for (size_t i = 0; i < array.items_.size(); ++i) os << (i ? ", " : "") << array.items_[i];
        return os << "]";
    }

protected:
    std::vector<T> items_;
    unsigned int sizeIncrement_ = 0;
};

}  // namespace kxh
