#include "decode/QrSegments.h"

#include <array>
#include <cstddef>
#include <optional>

namespace {

// Modes, by their four-bit indicators.
enum Mode : unsigned {
    kTerminator = 0b0000,
    kNumeric = 0b0001,
    kAlphanumeric = 0b0010,
    kStructuredAppend = 0b0011,
    kByte = 0b0100,
    kFnc1First = 0b0101,
    kEci = 0b0111,
    kKanji = 0b1000,
    kFnc1Second = 0b1001,
    kHanzi = 0b1101,
};

// A segment's character count takes more bits in larger versions: versions 1-9, 10-26, 27-40.
// Which group a code is in follows from how many data codewords its level leaves it: the
// most that versions 9 and 26 hold at L, M, Q and H.
constexpr std::array<std::size_t, 4> kMostCodewordsUpToVersion9{232, 182, 132, 100};
constexpr std::array<std::size_t, 4> kMostCodewordsUpToVersion26{1370, 1062, 754, 596};

std::optional<int> VersionGroup(std::size_t codewords, char ecLevel)
{
    constexpr std::array<char, 4> kLevels{'L', 'M', 'Q', 'H'};
    for (std::size_t level = 0; level < kLevels.size(); ++level) {
        if (kLevels[level] != ecLevel)
            continue;
        if (codewords <= kMostCodewordsUpToVersion9[level])
            return 0;
        return codewords <= kMostCodewordsUpToVersion26[level] ? 1 : 2;
    }
    return std::nullopt;
}

class Bits {
public:
    explicit Bits(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Left() const { return bytes_.size() * 8 - position_; }
    // The next count bits, most significant first; nullopt past the end.
    std::optional<unsigned> Take(std::size_t count)
    {
        if (count > Left())
            return std::nullopt;
        unsigned value = 0;
        for (std::size_t i = 0; i < count; ++i, ++position_)
            value = (value << 1) | ((bytes_[position_ / 8] >> (7 - position_ % 8)) & 1U);
        return value;
    }
    bool Skip(std::size_t count)
    {
        if (count > Left())
            return false;
        position_ += count;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Bits a segment's data takes for its character count.
std::size_t DataBits(unsigned mode, unsigned count)
{
    switch (mode) {
    case kNumeric: return count / 3 * 10 + (count % 3 == 0 ? 0 : count % 3 == 1 ? 4 : 7);
    case kAlphanumeric: return count / 2 * 11 + count % 2 * 6;
    case kByte: return count * 8;
    default: return 0;
    }
}

}  // namespace

bool QrNamesItsEncoding(std::span<const std::uint8_t> dataCodewords, char ecLevel)
{
    const std::optional<int> group = VersionGroup(dataCodewords.size(), ecLevel);
    if (!group)
        return false;
    // Character count bits of numeric, alphanumeric and byte segments, per version group.
    constexpr std::size_t kCountBits[3][3] = {{10, 9, 8}, {12, 11, 16}, {14, 13, 16}};
    const std::size_t* const countBits = kCountBits[*group];
    Bits bits(dataCodewords);
    // Fewer than four bits left stand for the terminator the symbol had no room for.
    while (bits.Left() >= 4) {
        const unsigned mode = *bits.Take(4);
        switch (mode) {
        case kTerminator: return false;
        case kEci:
        case kKanji:
        case kHanzi: return true;
        case kFnc1First: break;
        case kFnc1Second:
            if (!bits.Skip(8))
                return false;
            break;
        case kStructuredAppend:
            if (!bits.Skip(16))
                return false;
            break;
        case kNumeric:
        case kAlphanumeric:
        case kByte: {
            const std::size_t index = mode == kNumeric ? 0 : mode == kAlphanumeric ? 1 : 2;
            const std::optional<unsigned> count = bits.Take(countBits[index]);
            if (!count || !bits.Skip(DataBits(mode, *count)))
                return false;
            break;
        }
        default: return false;  // no mode of this standard
        }
    }
    return false;
}
