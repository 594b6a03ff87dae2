#include "SelectionIndex.h"

#include <algorithm>
#include <bit>

SelectionIndex::SelectionIndex(std::uint64_t records)
    : records_(records), words_((records + 63) / 64) {}

void SelectionIndex::Finish() {
    before_.assign(words_.size() / kWordsPerBlock + 1, 0);
    std::uint64_t count = 0;
    for (std::size_t w = 0; w < words_.size(); ++w) {
        if (w % kWordsPerBlock == 0)
            before_[w / kWordsPerBlock] = count;
        count += static_cast<std::uint64_t>(std::popcount(words_[w]));
    }
    count_ = count;
}

std::uint64_t SelectionIndex::Select(std::uint64_t k) const {
    // The last run of words with fewer than k+1 matches before it.
    const auto run = std::upper_bound(before_.begin(), before_.end(), k) - before_.begin() - 1;
    std::uint64_t left = k - before_[static_cast<std::size_t>(run)];
    for (std::size_t w = static_cast<std::size_t>(run) * kWordsPerBlock; w < words_.size(); ++w) {
        std::uint64_t bits = words_[w];
        const auto n = static_cast<std::uint64_t>(std::popcount(bits));
        if (left < n) {
            for (; left > 0; --left)
                bits &= bits - 1;  // drops the lowest set bit
            return w * 64 + static_cast<std::uint64_t>(std::countr_zero(bits));
        }
        left -= n;
    }
    return records_;
}

std::uint64_t SelectionIndex::Rank(std::uint64_t record) const {
    record = std::min(record, records_);
    const std::size_t word = static_cast<std::size_t>(record / 64);
    std::uint64_t rank = before_[word / kWordsPerBlock];
    for (std::size_t w = word / kWordsPerBlock * kWordsPerBlock; w < word; ++w)
        rank += static_cast<std::uint64_t>(std::popcount(words_[w]));
    if (record % 64)
        rank += static_cast<std::uint64_t>(std::popcount(words_[word] & ((std::uint64_t{1} << (record % 64)) - 1)));
    return rank;
}
