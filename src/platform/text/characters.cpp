#include "characters.h"

#include "text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace platform {

namespace {

// Grapheme_Cluster_Break values, with Extended_Pictographic and the Indic conjunct classes folded in: the
// data gives no code point two of them. Extend and ZWJ also continue a conjunct; a Linker is an Extend that
// joins one; a Consonant is an Other that starts or ends one.
enum class GraphemeProperty : std::uint8_t {
    Other,
    CR,
    LF,
    Control,
    Extend,
    ExtendOutsideConjunct,
    Linker,
    Consonant,
    ZWJ,
    RegionalIndicator,
    Prepend,
    SpacingMark,
    L,
    V,
    T,
    LV,
    LVT,
    ExtendedPictographic,
};

struct GraphemeRange {
    char32_t first;
    char32_t last;
    GraphemeProperty property;
};

using enum GraphemeProperty;

constexpr GraphemeRange graphemeTable[] = {
#include "graphemetable.inc"
};

constexpr bool sortedAndDisjoint()
{
    for (std::size_t i = 0; i < std::size(graphemeTable); ++i) {
        if (graphemeTable[i].first > graphemeTable[i].last)
            return false;
        if (i > 0 && graphemeTable[i - 1].last >= graphemeTable[i].first)
            return false;
    }
    return true;
}
static_assert(sortedAndDisjoint(), "the binary search needs sorted, disjoint ranges");

GraphemeProperty propertyOf(char32_t codePoint)
{
    // Most answers are ASCII, where only the controls have a property.
    if (codePoint < 0x80) {
        if (codePoint == U'\r')
            return CR;
        if (codePoint == U'\n')
            return LF;
        return codePoint < 0x20 || codePoint == 0x7F ? Control : Other;
    }
    const auto range = std::lower_bound(std::begin(graphemeTable), std::end(graphemeTable), codePoint,
        [](GraphemeRange entry, char32_t value) { return entry.last < value; });
    return range != std::end(graphemeTable) && range->first <= codePoint ? range->property : Other;
}

bool isControl(GraphemeProperty property)
{
    return property == Control || property == CR || property == LF;
}

bool isExtend(GraphemeProperty property)
{
    return property == Extend || property == ExtendOutsideConjunct || property == Linker;
}

// The cluster so far, as far as the rules that look back further than one code point need it. Its start is a
// boundary, so counting from there is enough: an emoji and its Extend* ZWJ never break, nor does a consonant
// and the linkers and extends after it, and a boundary between regional indicators follows an even number of
// them.
class Cluster {
public:
    explicit Cluster(GraphemeProperty first)
        : last(first)
        , pictographicThenExtends(first == ExtendedPictographic)
        , conjunct(first == Consonant ? Conjunct::Consonant : Conjunct::None)
        , regionalIndicators(first == RegionalIndicator ? 1 : 0)
    {
    }

    // The rules in their order, each deciding when it applies.
    bool joins(GraphemeProperty next) const
    {
        if (last == CR && next == LF)
            return true;
        if (isControl(last) || isControl(next))
            return false;
        if (last == L && (next == L || next == V || next == LV || next == LVT))
            return true;
        if ((last == LV || last == V) && (next == V || next == T))
            return true;
        if ((last == LVT || last == T) && next == T)
            return true;
        if (isExtend(next) || next == ZWJ || next == SpacingMark || last == Prepend)
            return true;
        if (next == Consonant && conjunct == Conjunct::Linked)
            return true;
        if (next == ExtendedPictographic)
            return joinerAfterPictographic;
        return next == RegionalIndicator && regionalIndicators % 2 == 1;
    }

    void add(GraphemeProperty next)
    {
        joinerAfterPictographic = pictographicThenExtends && next == ZWJ;
        pictographicThenExtends = next == ExtendedPictographic || (pictographicThenExtends && isExtend(next));
        if (next == Consonant)
            conjunct = Conjunct::Consonant;
        else if (conjunct != Conjunct::None && next == Linker)
            conjunct = Conjunct::Linked;
        else if (next != Extend && next != ZWJ)
            conjunct = Conjunct::None;
        regionalIndicators = next == RegionalIndicator ? regionalIndicators + 1 : 0;
        last = next;
    }

private:
    // A consonant, then only extends and linkers: a consonant after a linker there joins the cluster.
    enum class Conjunct : std::uint8_t { None, Consonant, Linked };

    GraphemeProperty last;
    bool pictographicThenExtends;
    Conjunct conjunct;
    bool joinerAfterPictographic = false;
    int regionalIndicators;
};

} // namespace

std::size_t graphemeLength(std::u16string_view text)
{
    if (text.empty())
        return 0;
    CodePoint current = codePointAt(text, 0);
    Cluster cluster(propertyOf(current.value));
    std::size_t end = current.length;
    for (; end < text.size(); end += current.length) {
        current = codePointAt(text, end);
        const GraphemeProperty next = propertyOf(current.value);
        if (!cluster.joins(next))
            break;
        cluster.add(next);
    }
    return end;
}

std::u16string characterAt(std::u16string_view text, int position)
{
    if (position < 1)
        return {};
    for (int i = 1; i < position && !text.empty(); ++i)
        text.remove_prefix(graphemeLength(text));
    return std::u16string(text.substr(0, graphemeLength(text)));
}

} // namespace platform
