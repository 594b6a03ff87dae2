#include "TextSearch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "CodeTable.h"
#include "FileSource.h"

std::array<std::uint8_t, 256> CaseFoldTable(TextEncoding encoding) {
    std::array<std::uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = static_cast<std::uint8_t>(c + 32);
    if (encoding == TextEncoding::Windows1251) {
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

const std::uint8_t* FindBytes(const std::uint8_t* haystack, std::size_t n,
                              const std::uint8_t* needle, std::size_t m) {
    const std::uint8_t* const end = haystack + n;
    if (m == 0)
        return haystack;
    if (m > n)
        return end;
    if (m == 1) {
        const void* p = std::memchr(haystack, needle[0], n);
        return p ? static_cast<const std::uint8_t*>(p) : end;
    }
    std::size_t i = 0;
    const std::size_t last = n - m;  // greatest start
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(static_cast<char>(needle[0]));
    const __m128i final = _mm_set1_epi8(static_cast<char>(needle[m - 1]));
    for (; i + 16 <= last + 1; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(haystack + i + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final))));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (std::memcmp(haystack + i + bit + 1, needle + 1, m - 2) == 0)
                return haystack + i + bit;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= last; ++i)
        if (haystack[i] == needle[0] && std::memcmp(haystack + i + 1, needle + 1, m - 1) == 0)
            return haystack + i;
    return end;
}

std::optional<std::uint64_t> FindInFile(const FileSource& source, const SearchPattern& pattern,
                                        std::uint64_t from, bool backward,
                                        BackgroundJob::Control& control, std::size_t chunk) {
    const std::uint64_t size = source.Size();
    const std::size_t m = pattern.Bytes.size();
    if (m == 0 || m > chunk)
        return std::nullopt;
    const CodeTable fold = CaseFoldTable(pattern.Encoding);
    static const TranslateKernel::Fn translate = TranslateKernels().front().Translate;
    std::vector<std::uint8_t> needle(pattern.Bytes.begin(), pattern.Bytes.end());
    if (!pattern.MatchCase)
        for (auto& b : needle)
            b = fold[b];
    // Room to fold in whole steps of 64 past what was read.
    std::vector<std::uint8_t> buffer((chunk + 63) / 64 * 64);
    // Reads [start, start + want), folded when case does not matter; returns how many came.
    const auto load = [&](std::uint64_t start, std::size_t want) {
        const std::size_t got = source.Read(start, buffer.data(), want);
        if (!pattern.MatchCase)
            translate(buffer.data(), (got + 63) / 64 * 64, fold);
        return got;
    };
    control.Total = backward ? std::min(from, size) : size - std::min(from, size);
    control.Done = 0;
    if (!backward) {
        std::uint64_t start = from;
        while (start + m <= size && !control.Stopped()) {
            const std::size_t got = load(start, static_cast<std::size_t>(std::min<std::uint64_t>(chunk, size - start)));
            if (got < m)
                break;
            const std::uint8_t* hit = FindBytes(buffer.data(), got, needle.data(), m);
            if (hit != buffer.data() + got)
                return start + static_cast<std::uint64_t>(hit - buffer.data());
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
        const std::uint8_t* p = buffer.data();
        const std::uint8_t* end = buffer.data() + got;
        while (p < end) {
            const std::uint8_t* hit = FindBytes(p, static_cast<std::size_t>(end - p), needle.data(), m);
            if (hit == end || start + static_cast<std::uint64_t>(hit - buffer.data()) >= limit)
                break;
            lastHit = start + static_cast<std::uint64_t>(hit - buffer.data());
            p = hit + 1;
        }
        if (lastHit)
            return lastHit;
        control.Done = std::min(from, size) - start;
        limit = start;
    }
    return std::nullopt;
}
