#include "view/ViewSnapshot.h"
#include "protocol/UCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quell {
namespace {

// A table with its value cells, changed behind the snapshot's back as answers change them.
struct Table {
    explicit Table(std::uint16_t count) : table(std::make_unique<TProtocol>()), cells(count + 1u)
    {
        table->Count = count;
        for (std::uint16_t e = 1; e <= count; ++e) {
            table->Commands[e].Valid = true;
        }
    }
    void set(std::uint16_t entry, std::int16_t value, std::string text)
    {
        table->Commands[entry].Value = value;
        cells[entry] = std::move(text);
    }
    std::unique_ptr<TProtocol> table;
    std::vector<std::string> cells;
};

TEST(ViewSnapshot, ReadsOnlyTheAnsweredEntriesAndStampsWhatDiffers)
{
    Table t(vrqpb::kLastViewEntry);
    ViewSnapshot s;
    s.readTable(*t.table);
    s.readCells(t.cells);
    const std::uint64_t drawn = ViewSnapshot::latestStamp();

    struct Step {
        const char* what;
        std::vector<std::uint16_t> answered;
        std::uint16_t entry; // the entry looked at
        bool changed;        // stamped after drawn
        std::int16_t value;  // what the snapshot holds for it
        const char* text;
    };
    t.set(105, 125, "12.5"); // answered below
    t.set(106, 7, "0.7");    // changed in the table, never answered
    t.set(107, 0, "");       // answered with what the snapshot already holds
    const Step steps[] = {
        {"an answered change", {105, 107}, 105, true, 125, "12.5"},
        {"an answer bringing nothing new", {105, 107}, 107, false, 0, ""},
        {"a change nobody answered", {105, 107}, 106, false, 0, ""},
        {"an entry beyond the map", {105, 300}, 147, false, 0, ""},
    };
    for (const auto& step : steps) {
        s.readEntries(*t.table, t.cells, step.answered);
        EXPECT_EQ(s.changedSince(step.entry, drawn), step.changed) << step.what;
        EXPECT_EQ(s.value(step.entry), step.value) << step.what;
        EXPECT_EQ(s.text(step.entry), step.text) << step.what;
    }

    // A full read takes what no answer brought.
    s.readTable(*t.table);
    s.readCells(t.cells);
    EXPECT_TRUE(s.changedSince(106, drawn));
    EXPECT_EQ(s.text(106), "0.7");
}

TEST(ViewSnapshot, ReadinessIsScannedWholeAndAnotherTableSizeReadsEverything)
{
    Table t(20);
    ViewSnapshot s;
    s.readTable(*t.table);
    s.readCells(t.cells);
    EXPECT_TRUE(s.allValid());
    EXPECT_FALSE(s.has(21));

    // Validity changes without answers (a reconnect clears it): it is read on every refresh.
    t.table->Commands[3].Valid = false;
    s.readEntries(*t.table, t.cells, std::vector<std::uint16_t>{5});
    EXPECT_FALSE(s.allValid());

    // A longer description: entries that came are read although only one was answered.
    Table longer(vrqpb::kLastViewEntry);
    longer.set(130, 321, "32.1");
    const std::uint64_t drawn = ViewSnapshot::latestStamp();
    s.readEntries(*longer.table, longer.cells, std::vector<std::uint16_t>{5});
    EXPECT_TRUE(s.has(130));
    EXPECT_EQ(s.text(130), "32.1");
    EXPECT_TRUE(s.changedSince(140, drawn)) << "an entry that appeared counts as changed";
}

TEST(ViewSnapshot, ANewSnapshotCountsAsChangedForWhateverWasDrawnBefore)
{
    ViewSnapshot old;
    const std::uint64_t drawn = ViewSnapshot::latestStamp();
    EXPECT_FALSE(old.changedSince(105, drawn));
    ViewSnapshot fresh;
    EXPECT_TRUE(fresh.changedSince(105, drawn));
}

} // namespace
} // namespace quell
