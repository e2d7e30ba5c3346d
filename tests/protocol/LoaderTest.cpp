// Description-file loader, tokenizer, comment lines, FindKeyword and Clear.
#include "protocol/ConvertError.h"
#include "protocol/UCommands.h"
#include "tests/protocol/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quell {
namespace {

using test::loadText;
using test::makeProtocol;
using test::TempVarFile;

const char* const kDeviceFile = "// VRQ-08 test description\n"
                                "PROT Kestavin\n"
                                "SECTION VRQ08\n"
                                "\n"
                                "VAR Temp 1,1,rw,-400,1500,200,$10,0x20,5,0,f1\n"
                                "VAR Mode 0,3,ro,0,2,1,16,32,6,-2,s,Off,On,'Auto, slow',Extra\n"
                                "var lower 1,1,rw,0,1,0,1,2,3,0,d\n"
                                "   VAR Hex 1,0,we,0,100,0,3,4,5,0,h\n"
                                "VARIABLE x 1,1,rw,0,1,0,1,2,3,0,d\n"
                                "  // VAR Commented 1,1,rw,0,1,0,1,2,3,0,d\n";

TEST(Loader, ReadsHeaderAndEveryFieldOfTheVarLines)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, kDeviceFile));
    EXPECT_EQ(p->Kind, kKindKestavin);
    EXPECT_EQ(p->ProtocolName, "Kestavin");
    EXPECT_EQ(p->Section, "VRQ08");
    EXPECT_EQ(p->Count, 3); // "var", "VARIABLE" and the comment are not entries
    EXPECT_EQ(p->LineCount, 10u);

    const TCommands& temp = p->Commands[1];
    EXPECT_EQ(temp.Name, "Temp");
    EXPECT_TRUE(temp.Enabled);
    EXPECT_EQ(temp.PollRate, 1);
    EXPECT_EQ(temp.Access, kAccessReadWrite);
    EXPECT_FALSE(temp.FixedAddress);
    EXPECT_EQ(temp.Min, -400);
    EXPECT_EQ(temp.Max, 1500);
    EXPECT_EQ(temp.Default, 200);
    EXPECT_EQ(temp.Code1, 0x10);
    EXPECT_EQ(temp.Code2, 0x20);
    EXPECT_EQ(temp.Code3, 5);
    EXPECT_EQ(temp.TypeCode, kTypeFixed);
    EXPECT_EQ(temp.Decimals, 1);
    EXPECT_FALSE(temp.Valid);
    EXPECT_EQ(temp.ValueText, "");

    const TCommands& mode = p->Commands[2];
    EXPECT_FALSE(mode.Enabled);
    EXPECT_EQ(mode.PollRate, 3);
    EXPECT_EQ(mode.Access, kAccessReadOnly);
    EXPECT_EQ(mode.Offset, -2);
    EXPECT_EQ(mode.TypeCode, kTypePickList);
    EXPECT_EQ(mode.PickList[0], "Off");
    EXPECT_EQ(mode.PickList[1], "On");
    EXPECT_EQ(mode.PickList[2], "Auto, slow"); // quoted: blank and comma kept
    EXPECT_EQ(mode.PickList[3], "");           // Max+1 items only; "Extra" is ignored

    const TCommands& hex = p->Commands[3]; // leading blanks before VAR are fine
    EXPECT_EQ(hex.Name, "Hex");
    EXPECT_EQ(hex.Access, kAccessWriteOnly);
    EXPECT_TRUE(hex.FixedAddress);
    EXPECT_TRUE(hex.Valid);
    EXPECT_EQ(hex.ValueText, "00");
    EXPECT_EQ(hex.TypeCode, kTypeHex);
}

TEST(Loader, NumericFieldsKeepOnlyTheirLowBits)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, "PROT Kestavin\nVAR t 7,258,rw,70000,$FFFF,-1,0x110,511,-1,200,d\n"));
    const TCommands& e = p->Commands[1];
    EXPECT_TRUE(e.Enabled);
    EXPECT_EQ(e.PollRate, 2);
    EXPECT_EQ(e.Min, 4464);
    EXPECT_EQ(e.Max, -1);
    EXPECT_EQ(e.Default, -1);
    EXPECT_EQ(e.Code1, 0x10);
    EXPECT_EQ(e.Code2, 0xFF);
    EXPECT_EQ(e.Code3, 0xFF);
    EXPECT_EQ(e.Offset, -56);
}

struct WordCase {
    const char* word;
    bool enabled;
    std::uint8_t access;
    bool fixedAddress;
    bool valid;
};

TEST(Loader, EnabledFlagAndAccessWords)
{
    const WordCase cases[] = {
        {"0", false, kAccessReadOnly, false, false},
        {"01", false, kAccessReadOnly, false, false},
        {"1", true, kAccessReadOnly, false, false},
        {"x", true, kAccessReadOnly, false, false},
    };
    for (const WordCase& c : cases) {
        auto p = makeProtocol();
        ASSERT_TRUE(loadText(*p, std::string("PROT Kestavin\nVAR e ") + c.word
                                     + ",1,ro,0,1,0,1,2,3,0,d\n"));
        EXPECT_EQ(p->Commands[1].Enabled, c.enabled) << c.word;
    }
    const WordCase access[] = {
        {"ro", true, kAccessReadOnly, false, false}, {"rw", true, kAccessReadWrite, false, false},
        {"wo", true, kAccessWriteOnly, false, true}, {"re", true, kAccessReadOnly, true, false},
        {"qe", true, kAccessReadWrite, true, false}, {"we", true, kAccessWriteOnly, true, true},
        {"RW", true, kAccessReadOnly, false, false}, {"xx", true, kAccessReadOnly, false, false},
    };
    for (const WordCase& c : access) {
        auto p = makeProtocol();
        ASSERT_TRUE(
            loadText(*p, std::string("PROT Kestavin\nVAR e 1,1,") + c.word + ",0,1,0,1,2,3,0,d\n"));
        const TCommands& e = p->Commands[1];
        EXPECT_EQ(e.Access, c.access) << c.word;
        EXPECT_EQ(e.FixedAddress, c.fixedAddress) << c.word;
        EXPECT_EQ(e.Valid, c.valid) << c.word;
        EXPECT_EQ(e.ValueText, c.valid ? "00" : "") << c.word;
    }
}

TEST(Loader, TypeWordSelectsTypeCodeAndDecimals)
{
    struct Case {
        const char* word;
        std::uint8_t type;
        std::uint8_t decimals;
    };
    const Case cases[] = {
        {"f1", kTypeFixed, 1},   {"f2", kTypeFixed, 2},  {"x1f", kTypeFixed, 1},
        {"3f", kTypeFixed, 3},   {"d", kTypeDecimal, 0}, {"s", kTypePickList, 0},
        {"u", kTypeUnsigned, 0}, {"x", kTypeBcd, 0},     {"v", kTypeBitFields, 0},
        {"a", kTypeIndex, 0},    {"c", kTypeString, 0},  {"l", kTypeLong, 0},
        {"h", kTypeHex, 0},      {"q", kTypeDecimal, 0}, {"d2", kTypeDecimal, 0},
        {"F1", kTypeDecimal, 0}, {"", kTypeDecimal, 0},
    };
    for (const Case& c : cases) {
        auto p = makeProtocol();
        std::string word = c.word;
        // One item after the word: the pick list of an "s" entry with Max 0, ignored otherwise.
        ASSERT_TRUE(loadText(*p, "PROT Kestavin\nVAR e 1,1,rw,0,0,0,1,2,3,0," + word
                                     + (word.empty() ? "" : ",item") + "\n"))
            << word;
        EXPECT_EQ(p->Commands[1].TypeCode, c.type) << word;
        EXPECT_EQ(p->Commands[1].Decimals, c.decimals) << word;
    }
}

TEST(Loader, EIBisynchCodesAreFirstCharacters)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, "PROT EI_BISYNCH\nVAR pv 1,1,rw,0,100,0,PX,V,0,0,f1\n"));
    EXPECT_EQ(p->Kind, kKindEIBisynch);
    EXPECT_EQ(p->Commands[1].Code1, 'P');
    EXPECT_EQ(p->Commands[1].Code2, 'V');
    EXPECT_EQ(p->Commands[1].Code3, '0'); // the character, not the number 0
}

TEST(Loader, HoldsAtMost1023EntriesAndNeverFillsEntryZero)
{
    std::string text = "PROT Kestavin\n";
    for (int i = 1; i <= 1025; ++i)
        text += "VAR p" + std::to_string(i) + " 1,1,rw,0,1,0,1,2,3,0,d\n";
    auto p = makeProtocol();
    EXPECT_TRUE(loadText(*p, text));
    EXPECT_EQ(p->Count, kMaxEntries);
    EXPECT_EQ(p->Commands[1023].Name, "p1023");
    EXPECT_EQ(p->Commands[0].Name, "");
}

TEST(Loader, FailedLoadsReturnFalseAndKeepOrClearAsTheirStepSays)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, kDeviceFile));

    EXPECT_FALSE(p->LoadFromFile(""));
    EXPECT_FALSE(p->LoadFromFile("/nonexistent/folder/none.var"));
    EXPECT_EQ(p->Kind, kKindKestavin);
    EXPECT_EQ(p->Count, 3);

    // Unknown protocol word (case matters): Kind 0, old entries stay.
    EXPECT_FALSE(loadText(*p, "PROT kestavin\nVAR new 1,1,rw,0,1,0,1,2,3,0,d\n"));
    EXPECT_EQ(p->Kind, kKindNone);
    EXPECT_EQ(p->Count, 3);
    EXPECT_EQ(p->Commands[1].Name, "Temp");

    // A known protocol without VAR lines empties the table.
    EXPECT_FALSE(loadText(*p, "PROT EI_BISYNCH\nSECTION Bare\n"));
    EXPECT_EQ(p->Kind, kKindEIBisynch);
    EXPECT_EQ(p->Count, 0);
    EXPECT_EQ(p->Commands[1].Name, "");
    EXPECT_EQ(p->Section, "Bare");

    // The first line holding "PROT" wins even inside a comment: "PROTOCOL" gives the word "OCOL".
    EXPECT_FALSE(loadText(*p, "// PROTOCOL v2\nPROT Kestavin\nVAR new 1,1,rw,0,1,0,1,2,3,0,d\n"));
    EXPECT_EQ(p->Kind, kKindNone);
}

TEST(Loader, WindowsLineEndsAreNotPartOfTheLastToken)
{
    std::string text = kDeviceFile;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
        text.insert(at, 1, '\r');
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, text));
    EXPECT_EQ(p->Section, "VRQ08");
    EXPECT_EQ(p->LineCount, 10u);
    EXPECT_EQ(p->Commands[3].TypeCode, kTypeHex); // "h", not "h\r"
}

// A folder is no description file: false, the table as it was, and no stream error escaping.
TEST(Loader, FolderNameIsNoFile)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, kDeviceFile));
    TempVarFile file("PROT Kestavin\n");
    const std::string folder = std::filesystem::path(file.path()).parent_path().string();
    EXPECT_FALSE(p->LoadFromFile(folder));
    EXPECT_EQ(p->Kind, kKindKestavin);
    EXPECT_EQ(p->Count, 3);
    EXPECT_EQ(TProtocol::FindKeyword(folder, "PROT"), "");
}

TEST(Loader, ReloadReplacesTheWholeTable)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, kDeviceFile));
    ASSERT_TRUE(loadText(*p, "PROT EI_BISYNCH\nVAR only 1,1,rw,0,1,0,P,V,0,0,d\n"));
    EXPECT_EQ(p->Count, 1);
    EXPECT_EQ(p->Section, "");
    EXPECT_EQ(p->Commands[1].Name, "only");
    EXPECT_EQ(p->Commands[2].Name, "");
    EXPECT_EQ(p->Commands[2].PickList[0], "");
}

TEST(Loader, ClearResetsEntriesButKeepsTheDocumentedFields)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, kDeviceFile));
    for (std::uint16_t i : {std::uint16_t{0}, std::uint16_t{2}, std::uint16_t{1023}}) {
        TCommands& e = p->Commands[i];
        e.Min = -5;
        e.Default = 9;
        e.Access = kAccessWriteOnly;
        e.LongValue = 123456;
        e.FixedAddress = true;
        e.Max = 7;
        e.TypeCode = kTypePickList;
        e.Decimals = 2;
        e.Offset = 3;
        e.PickList[20] = "z";
        e.PollRate = 4;
        e.Valid = true;
        e.PollCounter = 6;
        e.Value = 11;
        e.FloatValue = 1.5;
        e.ValueText = "v";
        e.Enabled = true;
        e.Code1 = e.Code2 = e.Code3 = 1;
    }
    p->Clear();
    EXPECT_EQ(p->Count, 0);
    EXPECT_EQ(p->ProtocolName, "");
    EXPECT_EQ(p->Section, "");
    for (std::uint16_t i : {std::uint16_t{0}, std::uint16_t{2}, std::uint16_t{1023}}) {
        const TCommands& e = p->Commands[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.Min, -5);
        EXPECT_EQ(e.Default, 9);
        EXPECT_EQ(e.Access, kAccessWriteOnly);
        EXPECT_EQ(e.LongValue, 123456);
        EXPECT_TRUE(e.FixedAddress);
        EXPECT_EQ(e.Name, "");
        EXPECT_EQ(e.Max, 0);
        EXPECT_EQ(e.TypeCode, kTypeDecimal);
        EXPECT_EQ(e.Decimals, 0);
        EXPECT_EQ(e.Offset, 0);
        EXPECT_EQ(e.PickList[20], "");
        EXPECT_EQ(e.PollRate, 0);
        EXPECT_FALSE(e.Valid);
        EXPECT_EQ(e.PollCounter, 0);
        EXPECT_EQ(e.Value, 0);
        EXPECT_EQ(e.FloatValue, 0.0);
        EXPECT_EQ(e.ValueText, "");
        EXPECT_FALSE(e.Enabled);
        EXPECT_EQ(e.Code1 | e.Code2 | e.Code3, 0);
    }
}

TEST(Loader, SetAllEnabledTouchesOnlyLoadedEntries)
{
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, kDeviceFile));
    p->SetAllEnabled(true);
    EXPECT_TRUE(p->Commands[2].Enabled);
    EXPECT_FALSE(p->Commands[4].Enabled);
    p->SetAllEnabled(false);
    EXPECT_FALSE(p->Commands[1].Enabled);
    EXPECT_FALSE(p->Commands[3].Enabled);
}

// ---- load errors ----

TEST(LoaderErrors, BadNumberNamesLineAndFieldAndKeepsEarlierEntries)
{
    const std::vector<std::string> good = {"1", "1", "rw", "0", "10", "0", "1", "2", "3", "0", "d"};
    struct Case {
        std::size_t index; // into good
        const char* field;
    };
    const Case cases[] = {{1, "PollRate"}, {3, "Min"},   {4, "Max"},   {5, "Default"},
                          {6, "Code1"},    {7, "Code2"}, {8, "Code3"}, {9, "Offset"}};
    for (const Case& c : cases) {
        std::vector<std::string> fields = good;
        fields[c.index] = "1x";
        std::string bad = "VAR bad";
        for (std::size_t i = 0; i < fields.size(); ++i)
            bad += (i == 0 ? " " : ",") + fields[i];
        auto p = makeProtocol();
        try {
            loadText(*p, "PROT Kestavin\nVAR first 1,1,rw,0,10,0,1,2,3,0,d\n\n// VAR no\n" + bad
                             + "\nVAR after 1,1,rw,0,10,0,1,2,3,0,d\n");
            ADD_FAILURE() << "no error for field " << c.field;
        } catch (const ELoadError& e) {
            EXPECT_STREQ(e.what(), "'1x' is not a valid integer value") << c.field;
            EXPECT_EQ(e.line(), 5u) << c.field;
            EXPECT_EQ(e.field(), c.field);
            EXPECT_TRUE(e.isConversion()) << c.field;
        }
        EXPECT_EQ(p->Count, 2) << c.field;
        EXPECT_EQ(p->Commands[1].Name, "first");
        EXPECT_EQ(p->Commands[2].Name, "bad");
        EXPECT_EQ(p->Commands[3].Name, "");
        EXPECT_EQ(p->Kind, kKindKestavin);
    }
}

TEST(LoaderErrors, MissingFieldIsAnEmptyNumber)
{
    auto p = makeProtocol();
    try {
        loadText(*p, "PROT Kestavin\nVAR short 1,1,rw,0\n");
        ADD_FAILURE() << "no error";
    } catch (const ELoadError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
        EXPECT_EQ(e.line(), 2u);
        EXPECT_EQ(e.field(), "Max");
    }
    EXPECT_EQ(p->Count, 1);
}

TEST(LoaderErrors, PickListLongerThanTheTableIsRefused)
{
    std::string items;
    for (int i = 0; i <= 21; ++i)
        items += ",i" + std::to_string(i);
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, "PROT Kestavin\nVAR ok 1,1,rw,0,20,0,1,2,3,0,s" + items + "\n"));
    EXPECT_EQ(p->Commands[1].PickList[20], "i20");
    try {
        loadText(*p, "PROT Kestavin\nVAR ok 1,1,rw,0,20,0,1,2,3,0,s" + items
                         + "\nVAR big 1,1,rw,0,21,0,1,2,3,0,s" + items + "\n");
        ADD_FAILURE() << "Max 21 accepted";
    } catch (const ELoadError& e) {
        EXPECT_EQ(e.line(), 3u);
        EXPECT_EQ(e.field(), "Max");
        EXPECT_FALSE(e.isConversion());
    }
}

TEST(LoaderErrors, EmptyEIBisynchCodeIsRefused)
{
    const struct {
        const char* codes;
        const char* field;
    } cases[] = {{"'',V,0,0,d", "Code1"},
                 {"P,'',0,0,d", "Code2"},
                 {"P,V,'',0,d", "Code3"},
                 {"P,V", "Code3"}};
    for (const auto& c : cases) {
        auto p = makeProtocol();
        try {
            loadText(*p, std::string("PROT EI_BISYNCH\n\nVAR pv 1,1,rw,0,100,0,") + c.codes + "\n");
            ADD_FAILURE() << c.codes;
        } catch (const ELoadError& e) {
            EXPECT_EQ(e.line(), 3u) << c.codes;
            EXPECT_EQ(e.field(), c.field) << c.codes;
        }
    }
}

TEST(LoaderErrors, OnlyTheFirst255ColumnsOfALineAreRead)
{
    // "VAR " + 246-character name ends at column 250; "1,3," fill columns 252..255, so the access
    // word and everything after it lie beyond the reachable part of the line.
    const std::string name(246, 'n');
    auto p = makeProtocol();
    try {
        loadText(*p, "PROT Kestavin\nVAR " + name + " 1,3,rw,0,10,0,1,2,3,0,d\n");
        ADD_FAILURE() << "fields beyond column 255 were read";
    } catch (const ELoadError& e) {
        EXPECT_STREQ(e.what(), "'' is not a valid integer value");
        EXPECT_EQ(e.field(), "Min");
        EXPECT_EQ(e.line(), 2u);
    }
    EXPECT_EQ(p->Commands[1].Name, name);
    EXPECT_EQ(p->Commands[1].PollRate, 3);
    EXPECT_EQ(p->Commands[1].Access, kAccessReadOnly);
}

// ---- character set ----

TEST(LoaderEncoding, Windows1250FileIsConvertedUtf8FileIsKept)
{
    // Octal escapes: Windows-1250 \350 c-caron, \232 s-caron, \212 S-caron, \236 z-caron; their
    // UTF-8 forms \304\215, \305\241, \305\240, \305\276.
    auto p = makeProtocol();
    ASSERT_TRUE(loadText(*p, "PROT Kestavin\nSECTION Pe\350\nVAR Temperatura\232 1,1,rw,0,1,0,1,2,"
                             "3,0,s,\212a,'\236ut'\n"));
    EXPECT_EQ(p->Section, "Pe\304\215");
    EXPECT_EQ(p->Commands[1].Name, "Temperatura\305\241");
    EXPECT_EQ(p->Commands[1].PickList[0], "\305\240a");
    EXPECT_EQ(p->Commands[1].PickList[1], "\305\276ut");

    ASSERT_TRUE(loadText(*p, "PROT Kestavin\nSECTION Pe\304\215\nVAR Vla\305\276nost 1,1,rw,0,1,0,"
                             "1,2,3,0,d\n"));
    EXPECT_EQ(p->Section, "Pe\304\215");
    EXPECT_EQ(p->Commands[1].Name, "Vla\305\276nost");
}

// ---- FindKeyword, tokenizer, comment lines ----

TEST(FindKeyword, TokenAfterTheFirstLineHoldingTheKeyword)
{
    TempVarFile file("// header\nSECTION 'Dev 2, rev'\nPROT\nPROT Kestavin\nxxMODEyy zz\n");
    EXPECT_EQ(TProtocol::FindKeyword(file.path(), "SECTION"), "Dev 2, rev");
    EXPECT_EQ(TProtocol::FindKeyword(file.path(), "PROT"), ""); // first holder has no token
    EXPECT_EQ(TProtocol::FindKeyword(file.path(), "MODE"), "yy");
    EXPECT_EQ(TProtocol::FindKeyword(file.path(), "section"), "");
    EXPECT_EQ(TProtocol::FindKeyword(file.path(), "MISSING"), "");
    EXPECT_EQ(TProtocol::FindKeyword("/nonexistent/none.var", "PROT"), "");
}

TEST(Tokenizer, SplitsOnBlankAndCommaRunsAndHonoursQuotes)
{
    const struct {
        const char* line;
        std::vector<std::string> tokens;
    } cases[] = {
        {"VAR a,b  c", {"VAR", "a", "b", "c"}},
        {",,, x ,y,,", {"x", "y"}},
        {"'a b,c' d", {"a b,c", "d"}},
        {"\"it's\" x", {"it", "s\"", "x"}}, // either quote closes
        {"\"a b\" c", {"a b", "c"}},
        {"'open ended, x", {"open ended, x"}},
        {"'' x", {"", "x"}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        int position = 1;
        for (const std::string& expected : c.tokens) {
            TToken t = TProtocol::NextToken(c.line, position);
            EXPECT_TRUE(t.Found) << c.line;
            EXPECT_EQ(t.Text, expected) << c.line;
        }
        EXPECT_EQ(TProtocol::NextToken(c.line, position).Text, "") << c.line;
    }
}

TEST(Tokenizer, PositionIsAOneBasedColumnAdvancedPastTheToken)
{
    int position = 1;
    EXPECT_EQ(TProtocol::NextToken("ab cd", position).Text, "ab");
    EXPECT_EQ(position, 3);
    position = 1;
    EXPECT_EQ(TProtocol::NextToken("'a' b", position).Text, "a");
    EXPECT_EQ(position, 4);
    position = 4;
    EXPECT_EQ(TProtocol::NextToken("VAR name", position).Text, "name");
    position = 1;
    TToken empty = TProtocol::NextToken("", position);
    EXPECT_TRUE(empty.Found);
    EXPECT_EQ(empty.Text, "");
}

TEST(Tokenizer, NothingBeyondColumn255IsReachable)
{
    const std::string line = std::string(250, 'a') + " bcdefghij" + std::string(40, 'z');
    int position = 1;
    EXPECT_EQ(TProtocol::NextToken(line, position).Text, std::string(250, 'a'));
    EXPECT_EQ(TProtocol::NextToken(line, position).Text, "bcde");
    EXPECT_EQ(TProtocol::NextToken(line, position).Text, "");

    position = 255;
    EXPECT_EQ(TProtocol::NextToken(line, position).Text, "e");
    position = 256;
    EXPECT_FALSE(TProtocol::NextToken(line, position).Found);
    position = 1000;
    EXPECT_FALSE(TProtocol::NextToken(line, position).Found);

    position = 1;
    EXPECT_EQ(TProtocol::NextToken(std::string(255, ' ') + "x", position).Text, "");
}

TEST(CommentLine, FirstNonBlankCharactersAreTwoSlashes)
{
    const struct {
        const char* line;
        bool comment;
    } cases[] = {{"//x", true},   {"   // VAR", true}, {"//", true},
                 {"/ /", false},  {"/", false},        {"", false},
                 {"    ", false}, {"x //", false},     {"VAR // c", false}};
    for (const auto& c : cases)
        EXPECT_EQ(TProtocol::IsCommentLine(c.line), c.comment) << '"' << c.line << '"';
}

} // namespace
} // namespace quell
