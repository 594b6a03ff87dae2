#include "GoToTarget.h"

#include <cctype>
#include <charconv>
#include <string>

#include "CallRecordBlock.h"

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::optional<std::uint64_t> Number(std::string_view s, int base) {
    if (s.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// Takes word or its first letter off the front of s, case ignored.
bool TakeWord(std::string_view& s, std::string_view word) {
    std::string lower;
    for (char c : s)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    std::size_t taken = 0;
    if (lower.starts_with(word))
        taken = word.size();
    else if (!lower.empty() && lower.front() == word.front())
        taken = 1;
    else
        return false;
    if (taken < s.size() && std::isalpha(static_cast<unsigned char>(s[taken])))
        return false;
    s = Trim(s.substr(taken));
    return true;
}

}  // namespace

std::optional<std::uint64_t> GoToTarget::Offset() const {
    switch (What) {
    case Kind::Offset:
        return Value;
    case Kind::Block:
        if (Value == 0)
            return std::nullopt;
        if (Value - 1 > UINT64_MAX / kBlockSize)
            return UINT64_MAX;
        return (Value - 1) * kBlockSize;
    case Kind::Record:
        if (Value == 0)
            return std::nullopt;
        if ((Value - 1) / kRecordsPerBlock > UINT64_MAX / kBlockSize)
            return UINT64_MAX;  // past any file's end
        return (Value - 1) / kRecordsPerBlock * kBlockSize + kHeaderSize +
               (Value - 1) % kRecordsPerBlock * kRecordSize;
    case Kind::Line:
        break;
    }
    return std::nullopt;
}

std::optional<GoToTarget> ParseGoTo(std::string_view text, bool allowLines) {
    std::string_view s = Trim(text);
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        if (const auto v = Number(s.substr(2), 16))
            return GoToTarget{GoToTarget::Kind::Offset, *v};
        return std::nullopt;
    }
    if (!s.empty() && std::isdigit(static_cast<unsigned char>(s.front()))) {
        if (const auto v = Number(s, 10))
            return GoToTarget{allowLines ? GoToTarget::Kind::Line : GoToTarget::Kind::Offset, *v};
        return std::nullopt;
    }
    GoToTarget::Kind kind;
    if (allowLines) {
        if (TakeWord(s, "line"))
            kind = GoToTarget::Kind::Line;
        else
            return std::nullopt;
    } else if (TakeWord(s, "block")) {
        kind = GoToTarget::Kind::Block;
    } else if (TakeWord(s, "record")) {
        kind = GoToTarget::Kind::Record;
    } else if (TakeWord(s, "offset")) {
        if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            if (const auto v = Number(s.substr(2), 16))
                return GoToTarget{GoToTarget::Kind::Offset, *v};
            return std::nullopt;
        }
        kind = GoToTarget::Kind::Offset;
    } else {
        return std::nullopt;
    }
    if (const auto v = Number(s, 10))
        return GoToTarget{kind, *v};
    return std::nullopt;
}
