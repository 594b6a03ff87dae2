#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

// Bytes that start on a page boundary, for large reads: the kernel copies
// into such a buffer several times faster than into one a few bytes off
// the boundary, as new[] and std::vector give.
class AlignedBuffer {
public:
    explicit AlignedBuffer(std::size_t size)
        : bytes_(static_cast<std::uint8_t*>(::operator new[](size, kAlignment))), size_(size) {}

    std::uint8_t* Data() { return bytes_.get(); }
    const std::uint8_t* Data() const { return bytes_.get(); }
    std::size_t Size() const { return size_; }

private:
    static constexpr std::align_val_t kAlignment{4096};
    struct Free {
        void operator()(std::uint8_t* bytes) const { ::operator delete[](bytes, kAlignment); }
    };
    std::unique_ptr<std::uint8_t, Free> bytes_;
    std::size_t size_;
};
