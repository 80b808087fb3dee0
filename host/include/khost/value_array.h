#pragma once
// Storage and element access shared by the embedded host's value arrays
// (MPointArray, MColorArray, MIntArray, ...). Not host API: the plug-in only
// ever names the array classes themselves.
//
// The elements live in a std::vector. clear() and shrinking setLength() keep
// the vector's capacity, so an array that is cleared and refilled every frame
// reuses its storage instead of reallocating. Copies (copy constructor,
// operator=, copy()) are deep. Element access is inline and unchecked in
// release builds (asserted in debug builds), as cheap as indexing the vector.
#include <maya/MStatus.h>

#include <cassert>
#include <vector>

namespace khost {
namespace detail {

// Derived: the array class; E: the element type; ConstRef: what the const
// operator[] returns (a const reference, or a value for the arrays whose
// host counterpart returns elements by value).
template <class Derived, class E, class ConstRef = const E&>
class ValueArray {
public:
    typedef typename std::vector<E>::iterator iterator;
    typedef typename std::vector<E>::const_iterator const_iterator;

    ConstRef operator[](unsigned int index) const {
        assert(index < elements_.size());
        return elements_[index];
    }
    E& operator[](unsigned int index) {
        assert(index < elements_.size());
        return elements_[index];
    }

    unsigned int length() const { return static_cast<unsigned int>(elements_.size()); }

    MStatus append(const E& element) {
        elements_.push_back(element);
        return MStatus();
    }
    // Empties the array; the storage is kept for the next fill.
    MStatus clear() {
        elements_.clear();
        return MStatus();
    }
    // New elements are default-constructed; shrinking keeps the storage.
    MStatus setLength(unsigned int length) {
        elements_.resize(length);
        return MStatus();
    }
    MStatus set(const E& element, unsigned int index) {
        if (index >= elements_.size()) {
            return MStatus(MStatus::kFailure);
        }
        elements_[index] = element;
        return MStatus();
    }
    MStatus remove(unsigned int index) {
        if (index >= elements_.size()) {
            return MStatus(MStatus::kFailure);
        }
        elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(index));
        return MStatus();
    }
    // Inserts before `index`; index == length() appends.
    MStatus insert(const E& element, unsigned int index) {
        if (index > elements_.size()) {
            return MStatus(MStatus::kFailure);
        }
        elements_.insert(elements_.begin() + static_cast<std::ptrdiff_t>(index), element);
        return MStatus();
    }
    MStatus copy(const Derived& source) {
        const ValueArray& from = source;
        if (&from != this) {
            elements_ = from.elements_;
        }
        return MStatus();
    }

    iterator begin() { return elements_.begin(); }
    iterator end() { return elements_.end(); }
    const_iterator begin() const { return elements_.begin(); }
    const_iterator end() const { return elements_.end(); }

protected:
    ValueArray() = default;
    ValueArray(unsigned int initialSize, const E& initialValue) : elements_(initialSize, initialValue) {}
    ValueArray(const E* source, unsigned int count) {
        if (source != nullptr) {
            elements_.assign(source, source + count);
        }
    }
    ValueArray(const ValueArray&) = default;
    ValueArray& operator=(const ValueArray&) = default;
    ~ValueArray() = default;

    std::vector<E> elements_;
};

}  // namespace detail
}  // namespace khost
