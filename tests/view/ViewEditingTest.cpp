#include "view/ViewEditing.h"
#include "protocol/UCommands.h"
#include "view/ViewChannels.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace quell {
namespace {

using Write = std::pair<vrqpb::Entry, std::string>;

// Records the writes and refuses the ones listed.
struct WriteLog {
    std::vector<Write> writes;
    std::vector<vrqpb::Entry> refused;
    ViewEditing::Writer writer()
    {
        return [this](vrqpb::Entry e, const std::string& text) {
            writes.emplace_back(e, text);
            return std::find(refused.begin(), refused.end(), e) == refused.end();
        };
    }
};

TEST(ViewChannels, EditsMapToTheirEntries)
{
    const std::pair<const char*, vrqpb::Entry> cases[] = {
        {"Filt0", 60},     {"Filt3", 63},  {"Filt5", 65},  {"Filt10", 70},  {"EditFiltMC", 64},
        {"CompTemp", 147}, {"Cal11e", 12}, {"Cal18e", 19}, {"Cal21e", 20},  {"Cal23e", 22},
        {"Cal31e", 23},    {"Cal38e", 30}, {"Cal41e", 31}, {"Cal53e", 36},  {"Cal61e", 37},
        {"Cal73e", 42},    {"Cal81e", 43}, {"Cal93e", 48}, {"Cal101e", 49}, {"Cal103e", 51},
        {"CalW0", 52},     {"CalW7", 59},  {"Filt4", 256}, {"Cal24e", 256}, {"CalW8", 256},
        {"VRQPB", 256},
    };
    for (const auto& [name, entry] : cases) {
        EXPECT_EQ(vrqpb::EntryOfEdit(name), entry) << name;
    }
}

TEST(ViewEditing, EnterWritesTheEditTextToItsEntry)
{
    WriteLog log;
    ViewEditing editing(log.writer());
    EXPECT_TRUE(editing.enterPressed("Filt7", "4"));
    EXPECT_FALSE(editing.enterPressed("VRQPB", "12"));
    log.refused = {147};
    EXPECT_FALSE(editing.enterPressed("CompTemp", "0"));
    EXPECT_EQ(log.writes, (std::vector<Write>{{67, "4"}, {147, "0"}}));
}

TEST(ViewEditing, GetCalTakesTheChannelsVoltageLabel)
{
    const std::pair<vrqpb::Entry, const char*> cases[] = {
        {12, "U_0"}, {19, "U_0"}, {20, "U_1"},  {22, "U_1"},  {23, "U_2"},
        {30, "U_2"}, {31, "U_3"}, {34, "U_5"},  {39, "U_6"},  {40, "U_7"},
        {45, "U_8"}, {46, "U_9"}, {51, "U_10"}, {52, "U_W0"}, {59, "U_W7"},
    };
    for (const auto& [entry, label] : cases) {
        WriteLog log;
        ViewEditing editing(log.writer());
        EXPECT_TRUE(
            editing.getCal(entry, [](std::string_view l) { return "v:" + std::string(l); }));
        EXPECT_EQ(log.writes, (std::vector<Write>{{entry, "v:" + std::string(label)}}));
    }
    WriteLog log;
    ViewEditing editing(log.writer());
    EXPECT_FALSE(editing.getCal(vrqpb::kNoEntry, [](std::string_view) { return "1"; }));
    EXPECT_FALSE(editing.getCal(60, [](std::string_view) { return "1"; }));
    EXPECT_TRUE(log.writes.empty());
}

TEST(ViewEditing, GetCalWCopiesWoodVoltagesAndStopsAfterARefusedFirstWrite)
{
    const auto voltage = [](vrqpb::Entry e) { return std::to_string(e * 10); };
    WriteLog log;
    ViewEditing editing(log.writer());
    EXPECT_EQ(editing.getCalW(voltage), 8);
    ASSERT_EQ(log.writes.size(), 8u);
    EXPECT_EQ(log.writes.front(), (Write{52, "1200"}));
    EXPECT_EQ(log.writes.back(), (Write{59, "1270"}));

    WriteLog refusedFirst;
    refusedFirst.refused = {52};
    ViewEditing stopped(refusedFirst.writer());
    EXPECT_EQ(stopped.getCalW(voltage), 1);
    EXPECT_EQ(refusedFirst.writes.size(), 1u);

    WriteLog refusedLater; // later refusals are not checked
    refusedLater.refused = {53};
    ViewEditing goesOn(refusedLater.writer());
    EXPECT_EQ(goesOn.getCalW(voltage), 8);
}

TEST(ViewEditing, ProbeStateStoresTheNewTextInTheEntry)
{
    auto table = std::make_unique<TProtocol>();
    table->Count = 147;
    auto& probe = table->Commands[140];
    probe.Value = 0x86;
    probe.ValueText = "134";
    const auto text = ViewEditing::probeStateText(*table, 140, ProbeStateItem::Type3);
    EXPECT_EQ(text, table->ValueToText(140, 0x83, "134"));
    EXPECT_EQ(probe.ValueText, text);
    EXPECT_EQ(ViewEditing::probeStateText(*table, 2000, ProbeStateItem::Passive), "");
}

} // namespace
} // namespace quell
