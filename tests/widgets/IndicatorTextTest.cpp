#include "widgets/IndicatorText.h"
#include "widgets/DotMatrixFont.h"
#include "widgets/SegmentPatterns.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A cell written the way a person reads it: its character, then "." when its point is lit.
std::vector<std::string> shown(const QString& text, int count, Vm::TVMIndicatorKind kind)
{
    std::vector<std::string> result;
    for (const IndicatorCell& cell : IndicatorText::cells(text, count, kind))
        result.push_back(QString(cell.ch).toStdString() + (cell.point ? "." : ""));
    return result;
}

} // namespace

TEST(IndicatorText, TextFillsCellsRightAlignedWithPointsJoined)
{
    struct Case {
        const char* text;
        int count;
        Vm::TVMIndicatorKind kind;
        std::vector<std::string> cells;
    };
    const std::vector<Case> cases = {
        {"12.5", 5, Vm::ik7segment, {" ", " ", "1", "2.", "5"}},
        {".5", 5, Vm::ik7segment, {" ", " ", " ", " .", "5"}},
        {"1..2", 5, Vm::ik7segment, {" ", " ", "1.", " .", "2"}},
        {"123456", 5, Vm::ik7segment, {"1", "2", "3", "4", "5"}},
        {"1.2.3.4.5.6", 5, Vm::ik7segment, {"1.", "2.", "3.", "4.", "5."}},
        {"-0,5", 4, Vm::ik7segment, {" ", "-", "0.", "5"}},
        {"", 3, Vm::ik7segment, {" ", " ", " "}},
        {"12:30", 5, Vm::ik9segment, {"1", "2", ":", "3", "0"}},
        {"7.", 3, Vm::ik9segment, {" ", " ", "7."}},
        {"1.5", 5, Vm::ik5x7matrix, {" ", " ", "1", ".", "5"}},
        {"ABCDEF", 4, Vm::ik5x7matrix, {"A", "B", "C", "D"}},
        {"12", 0, Vm::ik7segment, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shown(QString::fromLatin1(c.text), c.count, c.kind), c.cells)
            << "text \"" << c.text << "\" in " << c.count << " cells";
}

TEST(SegmentPatterns, CharactersLightTheirSegments)
{
    using namespace SegmentPatterns;
    // Segments named by letter, as a person checks a read-out.
    auto bits = [](std::string letters) {
        std::uint32_t result = 0;
        const std::string names = "EFABCDG";
        for (char letter : letters)
            result |= 1u << names.find(letter);
        return result;
    };
    struct Case {
        char ch;
        Vm::TVMIndicatorKind kind;
        std::uint32_t lit;
    };
    const std::vector<Case> cases = {
        {'1', Vm::ik7segment, bits("BC")},
        {'2', Vm::ik7segment, bits("ABDEG")},
        {'4', Vm::ik7segment, bits("BCFG")},
        {'7', Vm::ik7segment, bits("ABC")},
        {'8', Vm::ik7segment, bits("ABCDEFG")},
        {'O', Vm::ik7segment, bits("ABCDEF")},
        {'b', Vm::ik7segment, bits("CDEFG")},
        {'J', Vm::ik9segment, bits("BCDE")},
        {'-', Vm::ik7segment, bits("G")},
        {'K', Vm::ik7segment, 0},
        {' ', Vm::ik7segment, 0},
        {':', Vm::ik7segment, 0},
        {':', Vm::ik9segment, (1u << SegColonUpper) | (1u << SegColonLower)},
        {',', Vm::ik7segment, 1u << SegPoint},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pattern(QLatin1Char(c.ch), c.kind), c.lit) << "character '" << c.ch << "'";
}

TEST(DotMatrixFont, PublishedGlyphsMatchDotForDot)
{
    struct Case {
        char ch;
        const char* rows[7];
    };
    const Case cases[] = {
        {'#', {"00000", "01010", "11111", "01010", "11111", "01010", "00000"}},
        {'$', {"01110", "10101", "10100", "01110", "00101", "10101", "01110"}},
    };
    for (const Case& c : cases)
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                EXPECT_EQ(DotMatrixFont::dotLit(QLatin1Char(c.ch), row, column),
                          c.rows[row][column] == '1')
                    << c.ch << " row " << row << " column " << column;
}

TEST(DotMatrixFont, EveryPrintableCharacterHasItsOwnGlyph)
{
    std::set<DotMatrixFont::Glyph> seen;
    int count = 0;
    for (char16_t code = u'!'; code <= u'~'; ++code) {
        if (code == u'`')
            continue;
        const DotMatrixFont::Glyph glyph = DotMatrixFont::glyph(QChar(code));
        EXPECT_NE(glyph, DotMatrixFont::Glyph{}) << "blank glyph for " << char(code);
        EXPECT_TRUE(seen.insert(glyph).second) << "glyph of " << char(code) << " repeats";
        ++count;
    }
    EXPECT_EQ(count, 93);
    for (char16_t blank : {u' ', u'`', u'\t', u'\u00e9', u'\u0416'})
        EXPECT_EQ(DotMatrixFont::glyph(QChar(blank)), DotMatrixFont::Glyph{});
}
