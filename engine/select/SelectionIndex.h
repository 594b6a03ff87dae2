#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

// Memory from calloc, whose large blocks are fresh pages that are zero
// already: a bit per record of a 160 GiB file (350 MB) then costs no
// filling before the scan starts, and a scan stopped at once stops at once.
template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (void* p = std::calloc(n, sizeof(T)))
            return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    // Default-initialised, not value-initialised: calloc has zeroed them.
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) { return true; }
};

// The records a selection kept: one bit per record, plus a count per 4096
// records so that the k-th match is found without walking the bits.
class SelectionIndex {
public:
    SelectionIndex() = default;
    explicit SelectionIndex(std::uint64_t records);

    void Set(std::uint64_t record) { words_[record >> 6] |= std::uint64_t{1} << (record & 63); }
    bool Contains(std::uint64_t record) const { return words_[record >> 6] >> (record & 63) & 1; }
    // Records [first, first+64*n) from n words of bits, first a multiple of 64.
    std::uint64_t* Words(std::uint64_t first) { return words_.data() + (first >> 6); }

    // The 64 bits of records [first, first+64); bits past the end are 0.
    std::uint64_t Bits(std::uint64_t first) const {
        const std::size_t w = static_cast<std::size_t>(first >> 6);
        const unsigned shift = static_cast<unsigned>(first & 63);
        if (w >= words_.size())
            return 0;
        std::uint64_t bits = words_[w] >> shift;
        if (shift != 0 && w + 1 < words_.size())
            bits |= words_[w + 1] << (64 - shift);
        return bits;
    }

    // Counts the matches; call once every bit is set.
    void Finish();

    std::uint64_t Records() const { return records_; }
    std::uint64_t Count() const { return count_; }
    // The record number of match k (from 0), k < Count().
    std::uint64_t Select(std::uint64_t k) const;
    // How many matches come before record.
    std::uint64_t Rank(std::uint64_t record) const;

private:
    static constexpr std::uint64_t kWordsPerBlock = 64;
    std::uint64_t records_ = 0;
    std::uint64_t count_ = 0;
    std::vector<std::uint64_t, ZeroedAllocator<std::uint64_t>> words_;
    std::vector<std::uint64_t> before_;  // matches before each run of 64 words
};
