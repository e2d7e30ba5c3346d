#include "view/MeasurementViewModel.h"
#include "protocol/UCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace quell {
namespace {

using vrqpb::IndicatorColour;

// A board table as the test fills it, with the parameter window's value cells beside it.
class Board {
public:
    explicit Board(std::uint16_t count = vrqpb::kLastViewEntry)
        : table_(std::make_unique<TProtocol>())
    {
        table_->Count = count;
        for (std::uint16_t e = 1; e <= count; ++e) {
            table_->Commands[e].Valid = true;
        }
    }
    void set(std::uint16_t entry, std::int16_t value, std::string text = {})
    {
        table_->Commands[entry].Value = value;
        cells_[entry] = text.empty() ? std::to_string(value) : text;
    }
    TProtocol& table() { return *table_; }
    ViewSnapshot snapshot() const
    {
        ViewSnapshot s;
        readInto(s);
        return s;
    }
    // Reads the table and the cells again into a snapshot kept between refreshes, as the window
    // does.
    void readInto(ViewSnapshot& s) const
    {
        s.readTable(*table_);
        std::vector<std::string> cells(table_->Count + 1u);
        for (const auto& [entry, text] : cells_) {
            if (entry < cells.size()) {
                cells[entry] = text;
            }
        }
        s.readCells(cells);
    }

private:
    std::unique_ptr<TProtocol> table_;
    std::map<std::uint16_t, std::string> cells_;
};

std::size_t indexOf(const char* name)
{
    for (std::size_t i = 0; i < vrqpb::kIndicators.size(); ++i) {
        if (std::string(vrqpb::kIndicators[i].name) == name) {
            return i;
        }
    }
    ADD_FAILURE() << "no indicator " << name;
    return 0;
}

ViewControls page(ViewPage p)
{
    ViewControls c;
    c.page = p;
    return c;
}

TEST(MeasurementViewModel, ReadinessFollowsEveryEntry)
{
    MeasurementViewModel model;
    Board empty(0);
    EXPECT_TRUE(model.refresh(empty.snapshot(), page(ViewPage::Kalibracija)).databaseReady);
    Board board;
    EXPECT_TRUE(model.refresh(board.snapshot(), page(ViewPage::Kalibracija)).databaseReady);
    board.table().Commands[vrqpb::kLastViewEntry].Valid = false;
    EXPECT_FALSE(model.refresh(board.snapshot(), page(ViewPage::Kalibracija)).databaseReady);
}

TEST(MeasurementViewModel, IndicatorTextsErrorOverDoneAndKeepWhenNeither)
{
    struct Step {
        std::int16_t done;
        std::int16_t error;
        const char* value;
        const char* expected;
    };
    // LedTemp2: text 108, flags 103/104 bit 3; LedDTemp4: text 116, flags 109/110 bit 5.
    const Step steps[] = {
        {0x08, 0x00, "21.5", "21.5"},  {0x00, 0x00, "99.9", "21.5"}, // neither: kept
        {0x08, 0x08, "22.0", "Error"}, {0x00, 0x00, "23.0", "Error"}, {0x08, 0x00, "23.0", "23.0"},
    };
    MeasurementViewModel model;
    Board board;
    for (const auto& step : steps) {
        board.set(103, step.done);
        board.set(104, step.error);
        board.set(108, 215, step.value);
        board.set(109, static_cast<std::int16_t>(step.done << 2));
        board.set(110, static_cast<std::int16_t>(step.error << 2));
        board.set(116, 1, step.value);
        const auto out = model.refresh(board.snapshot(), page(ViewPage::Merenje));
        ASSERT_TRUE(out.indicatorsUpdated);
        EXPECT_EQ(model.indicators()[indexOf("LedTemp2")].text, step.expected);
        EXPECT_EQ(model.indicators()[indexOf("LedDTemp4")].text, step.expected);
        EXPECT_EQ(model.indicators()[indexOf("LedTemp1")].text, "") << "other bits stay clear";
    }
}

TEST(MeasurementViewModel, WoodIndicatorColourFollowsProbe)
{
    struct Case {
        std::int16_t config;
        IndicatorColour colour;
    };
    const Case cases[] = {{0x80, IndicatorColour::Grey},
                          {0x81, IndicatorColour::Olive},
                          {0x00, IndicatorColour::Olive}};
    for (const auto& c : cases) {
        MeasurementViewModel model;
        Board board;
        board.set(145, c.config); // probe of MC8
        model.refresh(board.snapshot(), page(ViewPage::Merenje));
        EXPECT_EQ(model.indicators()[indexOf("LedMC8")].colour, c.colour) << c.config;
        EXPECT_EQ(model.indicators()[indexOf("LedMC1")].colour, IndicatorColour::Olive);
        EXPECT_EQ(model.indicators()[indexOf("LedEMC1")].colour, IndicatorColour::Navy);
    }
}

TEST(MeasurementViewModel, OnlyTheActivePageIsRefreshed)
{
    MeasurementViewModel model;
    Board board;
    board.set(103, 1);
    board.set(105, 10, "1.0");

    auto out = model.refresh(board.snapshot(), page(ViewPage::Detalji));
    EXPECT_FALSE(out.indicatorsUpdated);
    EXPECT_EQ(model.indicators()[0].text, "");
    EXPECT_TRUE(out.lin && out.wood && out.woodHeader);

    out = model.refresh(board.snapshot(), page(ViewPage::Kalibracija));
    EXPECT_FALSE(out.indicatorsUpdated || out.lin || out.wood || out.woodHeader);
    EXPECT_FALSE(MeasurementViewModel::needsCells(page(ViewPage::Kalibracija)));

    ViewControls woodOnly = page(ViewPage::Detalji);
    woodOnly.linEnabled = false;
    out = model.refresh(board.snapshot(), woodOnly);
    EXPECT_FALSE(out.lin);
    EXPECT_TRUE(out.wood);
}

TEST(MeasurementViewModel, LinTableTakesTextsAndFlagsOfEachChannel)
{
    MeasurementViewModel model;
    Board board;
    board.set(84, 0x04);         // ADC error of EMC2
    board.set(85, 0x20);         // ADC error of DTemp4
    board.set(89, 0x01);         // voltage error of EMC1
    board.set(95, 0x01);         // voltage done of TEMP3
    board.set(93, 812, "812");   // voltage of TEMP2
    board.set(102, 455, "455");  // voltage of DTemp4
    board.set(70, 3, "3");       // filter of DTemp4
    board.set(19, 1900, "1900"); // last EMC1 constant
    board.set(51, 5100, "5100"); // last DTemp4 constant
    const auto out = model.refresh(board.snapshot(), page(ViewPage::Detalji));
    ASSERT_TRUE(out.lin);
    const auto& rows = *out.lin;
    EXPECT_EQ(rows[2].adcError, "\u00D7");
    EXPECT_EQ(rows[0].adcError, " ");
    EXPECT_EQ(rows[9].adcError, "\u00D7");
    EXPECT_EQ(rows[0].voltError, "\u00D7");
    EXPECT_EQ(rows[4].voltDone, "\u00D7");
    EXPECT_EQ(rows[3].voltage, "812");
    EXPECT_EQ(rows[9].voltage, "455");
    EXPECT_EQ(rows[9].filter, "3");
    ASSERT_EQ(rows[0].cal.size(), 8u);
    ASSERT_EQ(rows[1].cal.size(), 3u);
    EXPECT_EQ(rows[0].cal[7], "1900");
    EXPECT_EQ(rows[9].cal[2], "5100");
}

TEST(MeasurementViewModel, WoodTableProbeLettersSwapAndDeviation)
{
    MeasurementViewModel model;
    Board board;
    board.set(52, 1000, "1000");
    board.set(120, 1234, "1234");
    board.set(145, 0x84);
    board.set(86, 1);
    board.set(118, static_cast<std::int16_t>(0x80)); // voltage error of MC8
    board.set(84, 0x10);                             // wood ADC error
    const auto out = model.refresh(board.snapshot(), page(ViewPage::Detalji));
    ASSERT_TRUE(out.wood && out.woodHeader);
    EXPECT_EQ((*out.wood)[0].deviation, "-23.4");
    EXPECT_EQ((*out.wood)[0].config, "A0");
    EXPECT_EQ((*out.wood)[7].config, "P0");
    EXPECT_EQ((*out.wood)[7].voltError, "\u00D7");
    EXPECT_EQ((*out.wood)[6].voltError, " ");
    EXPECT_EQ(out.woodHeader->swap, "+");
    EXPECT_EQ(out.woodHeader->adcError, "\u00D7");
}

TEST(MeasurementViewModel, BeepOnlyOnDetaljiWithBoxCheckedAndInputSeven)
{
    struct Case {
        ViewPage page;
        bool checked;
        std::int16_t input;
        bool beep;
    };
    const Case cases[] = {{ViewPage::Detalji, true, 7, true},
                          {ViewPage::Detalji, false, 7, false},
                          {ViewPage::Detalji, true, 6, false},
                          {ViewPage::Merenje, true, 7, false},
                          {ViewPage::Kalibracija, true, 7, false}};
    for (const auto& c : cases) {
        MeasurementViewModel model;
        Board board;
        board.set(87, c.input);
        ViewControls controls = page(c.page);
        controls.beepChecked = c.checked;
        EXPECT_EQ(model.refresh(board.snapshot(), controls).beep, c.beep)
            << static_cast<int>(c.page) << c.checked << c.input;
    }
}

TEST(MeasurementViewModel, CompensationIsPushedToZeroOncePerNonZeroAnswer)
{
    MeasurementViewModel model;
    Board board;
    ViewControls controls = page(ViewPage::Detalji);
    controls.keepZeroChecked = true;
    int writes = 0;
    const auto refresh = [&] {
        const auto out = model.refresh(board.snapshot(), controls);
        if (out.zeroCompensation) {
            ++writes;
            ZeroCompensation(board.table());
        }
        return out;
    };

    board.set(147, 0, "0");
    refresh();
    EXPECT_EQ(writes, 0) << "already zero";
    board.set(147, 5, "0.5");
    EXPECT_EQ(refresh().woodHeader->compTemp, "0.5");
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(board.table().Commands[147].Value, 0);
    EXPECT_EQ(board.table().Commands[147].ValueText, "0");
    refresh();
    EXPECT_EQ(writes, 1) << "no new answer, no new write";
    board.set(147, 3, "0.3");
    refresh();
    EXPECT_EQ(writes, 2);

    controls.compTempFocused = true; // typing in the edit: neither shown nor pushed
    board.set(147, 4, "0.4");
    EXPECT_FALSE(refresh().woodHeader->compTemp);
    EXPECT_EQ(writes, 2);
}

TEST(MeasurementViewModel, RepeatedSnapshotSkipsTextsButShowsEveryChange)
{
    // One snapshot read again before each refresh, as the window keeps it.
    struct Step {
        const char* what;
        std::function<void(Board&, ViewControls&)> change;
        bool texts; // the refresh carries the page's texts
        std::function<void(const MeasurementViewModel&, const ViewRefresh&)> check;
    };
    const auto none = [](Board&, ViewControls&) {};
    const auto skip = [](const MeasurementViewModel&, const ViewRefresh&) {};
    const Step steps[] = {
        {"first refresh", none, true, skip},
        {"nothing changed", none, false,
         [](const MeasurementViewModel&, const ViewRefresh& out) {
             EXPECT_TRUE(out.beep) << "the beep sounds on every refresh";
             EXPECT_TRUE(out.zeroCompensation) << "and the compensation is pushed on each";
         }},
        {"a cell text alone", [](Board& b, ViewControls&) { b.set(93, 812, "81.3"); }, true,
         [](const MeasurementViewModel&, const ViewRefresh& out) {
             EXPECT_EQ((*out.lin)[3].voltage, "81.3");
         }},
        {"a flag word alone", [](Board& b, ViewControls&) { b.table().Commands[89].Value = 1; },
         true,
         [](const MeasurementViewModel&, const ViewRefresh& out) {
             EXPECT_EQ((*out.lin)[0].voltError, "\u00D7");
         }},
        {"nothing again", none, false, skip},
        {"the focus moved", [](Board&, ViewControls& c) { c.focused = &c; }, true, skip},
        {"a group disabled", [](Board&, ViewControls& c) { c.linEnabled = false; }, true,
         [](const MeasurementViewModel&, const ViewRefresh& out) { EXPECT_FALSE(out.lin); }},
        {"another page", [](Board&, ViewControls& c) { c.page = ViewPage::Merenje; }, true, skip},
        {"nothing on Merenje", none, false, skip},
        {"an indicator's text", [](Board& b, ViewControls&) { b.set(105, 125, "12.5"); }, true,
         [](const MeasurementViewModel& m, const ViewRefresh&) {
             EXPECT_EQ(m.indicators()[indexOf("LedEMC1")].text, "12.5");
         }},
        {"a shorter table", [](Board& b, ViewControls&) { b.table().Count = 120; }, true,
         [](const MeasurementViewModel& m, const ViewRefresh&) {
             EXPECT_EQ(m.indicators()[indexOf("LedMC1")].colour, IndicatorColour::Olive);
         }},
    };
    MeasurementViewModel model;
    Board board;
    board.set(87, 7);
    board.set(93, 812, "81.2");
    board.set(147, 5, "0.5");
    board.set(103, 1);
    board.set(138, 0x80);
    ViewControls controls = page(ViewPage::Detalji);
    controls.beepChecked = true;
    controls.keepZeroChecked = true;
    ViewSnapshot snapshot;
    for (const auto& step : steps) {
        step.change(board, controls);
        board.readInto(snapshot);
        const auto out = model.refresh(snapshot, controls);
        const bool texts = controls.page == ViewPage::Merenje
                               ? out.indicatorsUpdated
                               : out.woodHeader.has_value() && out.wood.has_value();
        ASSERT_EQ(texts, step.texts) << step.what;
        step.check(model, out);
    }
}

TEST(MeasurementViewModel, ShortDescriptionShowsMissingRowsEmpty)
{
    MeasurementViewModel model;
    Board board(100); // no value flags of the wood channels, no probes, no compensation
    board.set(84, 0x10);
    board.set(52, 1000, "1000");
    for (auto p : {ViewPage::Merenje, ViewPage::Detalji}) {
        ViewControls controls = page(p);
        controls.keepZeroChecked = true;
        const auto out = model.refresh(board.snapshot(), controls);
        EXPECT_FALSE(out.zeroCompensation);
        if (out.wood) {
            EXPECT_EQ((*out.wood)[0].calib, "1000");
            EXPECT_EQ((*out.wood)[0].voltage, "");
            EXPECT_EQ((*out.wood)[0].deviation, "");
            EXPECT_EQ((*out.wood)[0].config, "");
            EXPECT_EQ((*out.lin)[9].value, "");
            EXPECT_EQ(out.woodHeader->adcError, "\u00D7");
        }
    }
    EXPECT_EQ(model.indicators()[indexOf("LedMC1")].text, "");
}

} // namespace
} // namespace quell
