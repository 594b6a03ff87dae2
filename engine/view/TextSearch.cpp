#include "TextSearch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "AlignedBuffer.h"
#include "FileSource.h"

std::array<std::uint8_t, 256> CaseFoldTable(Charset encoding) {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<std::uint8_t>(c + 32);
    if (encoding == Charset::Latin1) {
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7)  // the multiplication sign
                table[c] = static_cast<std::uint8_t>(c + 32);
    }
    if (encoding == Charset::Windows1251) {
        for (int c = 0xC0; c <= 0xDF; ++c)
            table[c] = static_cast<std::uint8_t>(c + 32);
        table[0xA8] = 0xB8;  // Ё
        table[0xAA] = 0xBA;  // Є
        table[0xAF] = 0xBF;  // Ї
        table[0xB2] = 0xB3;  // І
        table[0xA1] = 0xA2;  // Ў
    }
    return table;
}

namespace {

// The bytes that fold to folded: itself, and at most one other.
std::pair<std::uint8_t, std::uint8_t> Preimages(std::uint8_t folded, const std::array<std::uint8_t, 256>* fold) {
    std::uint8_t other = folded;
    if (fold)
        for (int b = 0; b < 256; ++b)
            if ((*fold)[b] == folded && b != folded)
                other = static_cast<std::uint8_t>(b);
    return {folded, other};
}

// The bytes a match can begin and end with, looked up once per search: a
// backward search looks again after every match in its chunk, and the
// look-up reads the whole fold table.
struct EndBytes {
    std::pair<std::uint8_t, std::uint8_t> First, Last;
};

EndBytes EndBytesOf(const std::uint8_t* needle, std::size_t m, const std::array<std::uint8_t, 256>* fold) {
    return {Preimages(needle[0], fold), Preimages(needle[m - 1], fold)};
}

bool SameFolded(const std::uint8_t* a, const std::uint8_t* folded, std::size_t m,
                const std::array<std::uint8_t, 256>* fold) {
    if (!fold)
        return std::memcmp(a, folded, m) == 0;
    for (std::size_t k = 0; k < m; ++k)
        if ((*fold)[a[k]] != folded[k])
            return false;
    return true;
}

// FindBytes with the needle's end bytes already looked up (m > 0).
const std::uint8_t* FindWithEnds(const std::uint8_t* haystack, std::size_t n, const std::uint8_t* needle,
                                 std::size_t m, const std::array<std::uint8_t, 256>* fold, const EndBytes& ends) {
    const std::uint8_t* const end = haystack + n;
    if (m > n)
        return end;
    if (m == 1 && !fold) {
        const void* p = std::memchr(haystack, needle[0], n);
        return p ? static_cast<const std::uint8_t*>(p) : end;
    }
    const auto [first1, first2] = ends.First;
    const auto [last1, last2] = ends.Last;
    std::size_t i = 0;
    const std::size_t last = n - m;  // greatest start
#if defined(__SSE2__)
    // Candidates: where the first and the last byte match, in either case.
    const __m128i f1 = _mm_set1_epi8(static_cast<char>(first1));
    const __m128i f2 = _mm_set1_epi8(static_cast<char>(first2));
    const __m128i l1 = _mm_set1_epi8(static_cast<char>(last1));
    const __m128i l2 = _mm_set1_epi8(static_cast<char>(last2));
    for (; i + 16 <= last + 1; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + m - 1));
        const __m128i firsts = _mm_or_si128(_mm_cmpeq_epi8(a, f1), _mm_cmpeq_epi8(a, f2));
        const __m128i lasts = _mm_or_si128(_mm_cmpeq_epi8(b, l1), _mm_cmpeq_epi8(b, l2));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(firsts, lasts)));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (m <= 2 || SameFolded(haystack + i + bit + 1, needle + 1, m - 2, fold))
                return haystack + i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= last; ++i)
        if ((haystack[i] == first1 || haystack[i] == first2) && SameFolded(haystack + i + 1, needle + 1, m - 1, fold))
            return haystack + i;
    return end;
}

}  // namespace

const std::uint8_t* FindBytes(const std::uint8_t* haystack, std::size_t n,
                              const std::uint8_t* needle, std::size_t m,
                              const std::array<std::uint8_t, 256>* fold) {
    if (m == 0)
        return haystack;
    return FindWithEnds(haystack, n, needle, m, fold, EndBytesOf(needle, m, fold));
}

std::optional<std::uint64_t> FindInFile(const FileSource& source, const SearchPattern& pattern,
                                        std::uint64_t from, bool backward,
                                        JobProgress& control, std::size_t chunk) {
    const std::uint64_t size = source.Size();
    const std::size_t m = pattern.Bytes.size();
    if (m == 0 || m > chunk)
        return std::nullopt;
    const auto fold = CaseFoldTable(pattern.Encoding);
    const std::array<std::uint8_t, 256>* folding = pattern.MatchCase ? nullptr : &fold;
    std::vector<std::uint8_t> needle(pattern.Bytes.begin(), pattern.Bytes.end());
    if (!pattern.MatchCase)
        for (auto& b : needle)
            b = fold[b];
    const EndBytes ends = EndBytesOf(needle.data(), m, folding);
    AlignedBuffer buffer(chunk);
    const auto load = [&](std::uint64_t start, std::size_t want) { return source.Read(start, buffer.Data(), want); };
    control.Total = backward ? std::min(from, size) : size - std::min(from, size);
    control.Done = 0;
    if (!backward) {
        std::uint64_t start = from;
        while (start + m <= size && !control.Stopped()) {
            const std::size_t got = load(start, static_cast<std::size_t>(std::min<std::uint64_t>(chunk, size - start)));
            if (got < m)
                break;
            const std::uint8_t* hit = FindWithEnds(buffer.Data(), got, needle.data(), m, folding, ends);
            if (hit != buffer.Data() + got)
                return start + static_cast<std::uint64_t>(hit - buffer.Data());
            // The next chunk takes the last m - 1 bytes again.
            start += got - (m - 1);
            control.Done = start - from;
        }
        return std::nullopt;
    }
    // Backward: chunks from the end down, the last match in each. A match
    // must start before from; it may end after it.
    std::uint64_t limit = std::min(from, size);  // starts below limit
    while (limit > 0 && !control.Stopped()) {
        const std::uint64_t start = limit > chunk - (m - 1) ? limit - (chunk - (m - 1)) : 0;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(limit - start + m - 1, size - start));
        const std::size_t got = load(start, want);
        std::optional<std::uint64_t> lastHit;
        const std::uint8_t* p = buffer.Data();
        const std::uint8_t* end = buffer.Data() + got;
        while (p < end) {
            const std::uint8_t* hit = FindWithEnds(p, static_cast<std::size_t>(end - p), needle.data(), m, folding, ends);
            if (hit == end || start + static_cast<std::uint64_t>(hit - buffer.Data()) >= limit)
                break;
            lastHit = start + static_cast<std::uint64_t>(hit - buffer.Data());
            p = hit + 1;
        }
        if (lastHit)
            return lastHit;
        control.Done = std::min(from, size) - start;
        limit = start;
    }
    return std::nullopt;
}
