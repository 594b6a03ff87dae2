#include "ByteRowLayout.h"

#include <algorithm>

#include "CallRecordBlock.h"

namespace {

std::uint64_t PlainRows(std::uint64_t bytes) {
    return (bytes + ByteRowLayout::kPlainRowBytes - 1) / ByteRowLayout::kPlainRowBytes;
}

}  // namespace

ByteRowLayout::ByteRowLayout(Kind kind, std::uint64_t fileSize)
    : kind_(kind), size_(fileSize), blocks_(kind == Kind::Records ? fileSize / kBlockSize : 0) {
    rows_ = kind == Kind::Records ? blocks_ * kRowsPerBlock + PlainRows(size_ - blocks_ * kBlockSize)
                                  : PlainRows(size_);
}

ByteRowLayout::Kind ByteRowLayout::DefaultFor(std::uint64_t fileSize) {
    return fileSize >= kBlockSize ? Kind::Records : Kind::Plain;
}

ByteRowLayout::Row ByteRowLayout::RowAt(std::uint64_t row) const {
    const auto plain = [this](RowKind rowKind, std::uint64_t offset) {
        const auto length =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(kPlainRowBytes, size_ - std::min(size_, offset)));
        return Row{rowKind, offset, length, 0, 0};
    };
    if (kind_ == Kind::Plain)
        return plain(RowKind::Plain, row * kPlainRowBytes);
    const std::uint64_t block = row / kRowsPerBlock;
    if (block >= blocks_) {
        const std::uint64_t tail = row - blocks_ * kRowsPerBlock;
        return plain(RowKind::Trailing, blocks_ * kBlockSize + tail * kPlainRowBytes);
    }
    const auto slot = static_cast<std::uint32_t>(row % kRowsPerBlock);
    const std::uint64_t base = block * kBlockSize;
    if (slot == 0)
        return Row{RowKind::BlockHeader, base, kHeaderSize, block + 1, 0};
    return Row{RowKind::Record, base + kHeaderSize + (slot - 1) * kRecordSize, kRecordSize,
               block + 1, slot};
}

std::uint64_t ByteRowLayout::RowOf(std::uint64_t offset) const {
    if (rows_ == 0)
        return 0;
    if (offset >= size_)
        return rows_ - 1;
    if (kind_ == Kind::Plain)
        return offset / kPlainRowBytes;
    const std::uint64_t block = offset / kBlockSize;
    if (block >= blocks_)
        return blocks_ * kRowsPerBlock + (offset - blocks_ * kBlockSize) / kPlainRowBytes;
    const std::uint64_t within = offset % kBlockSize;
    const std::uint64_t slot = within < kHeaderSize ? 0 : 1 + (within - kHeaderSize) / kRecordSize;
    return block * kRowsPerBlock + slot;
}
