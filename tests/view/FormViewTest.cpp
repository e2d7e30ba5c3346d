#include "client/ClientCommunications.h"
#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/ParameterTableModel.h"
#include "view/UView.h"
#include "view/ViewLayout.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quell {
namespace {

// Keeps the messages the main window would show.
class MessageLog : public Dialogs {
public:
    MessageLog() { Dialogs::use(this); }
    ~MessageLog() override { Dialogs::use(nullptr); }
    void message(Kind, const QString& text, QWidget*, QPoint) override { texts << text; }
    bool question(const QString& text, QWidget*, QPoint) override
    {
        texts << text;
        return true;
    }
    QString openFileName(const FileRequest&, QWidget*) override { return {}; }
    QString saveFileName(const FileRequest&, QWidget*) override { return {}; }
    QStringList texts;
};

class FormViewTest : public ::testing::Test {
protected:
    FormViewTest()
    {
        main.scheduler().editTable([](TProtocol& table) {
            table.Count = vrqpb::kLastViewEntry;
            for (std::uint16_t e = 1; e <= table.Count; ++e) {
                table.Commands[e].Valid = true;
            }
        });
    }
    // Stores a raw value in the table and its text in the value cell, as an answer does.
    void answer(std::uint16_t entry, std::int16_t value, const std::string& text)
    {
        main.scheduler().editTable([&](TProtocol& table) {
            table.Commands[entry].Value = value;
            table.Commands[entry].ValueText = text;
        });
        main.scheduler().setCellText(entry, text);
    }
    template <typename T> T* child(const char* name)
    {
        auto* found = view.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void showPage(int index) { child<QTabWidget>("PageControl")->setCurrentIndex(index); }

    MessageLog messages;
    TClientMain main;
    TFormView view{main.link(), main};
};

// The window with its pages made, as after its first showing.
class ShownFormViewTest : public FormViewTest {
protected:
    ShownFormViewTest() { view.ensureControls(); }
};

TEST_F(FormViewTest, EveryNamedControlExists)
{
    const char* const names[] = {
        "LedTime",     "EditOpis",  "VRQPB",      "UDPB",      "BConnect",   "UBazu",   "IzBaze",
        "LedEMC1",     "LedTemp4",  "LedMC8",     "LedDTemp4", "ADC_E0",     "ADC_E10", "U_10",
        "U_D5",        "V_E10",     "Val_3",      "Filt10",    "Cal18e",     "Cal103e", "ADC_E4",
        "ADC_4Select", "ADC_4Swap", "ADC_4Count", "CompTemp",  "EditFiltMC", "U_W7",    "U_DW7",
        "V_WE7",       "Val_W0",    "LST7",       "CalW7",     "BiasW7",     "GBKalib", "GBTools",
        "GBTest",      "RGResult",  "Chart2",     "MemoLog",   "FileListRec"};
    EXPECT_EQ(view.findChild<QWidget*>("LedEMC1"), nullptr) << "controls are made when first shown";
    view.show();
    for (const char* name : names) {
        EXPECT_NE(view.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(view.windowTitle(), "VRQ-08");
    auto* pages = child<QTabWidget>("PageControl");
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(1), "Detalji");
    EXPECT_EQ(child<QLineEdit>("Cal23e")->toolTip(), "100\u00B0C");
    EXPECT_EQ(child<QLineEdit>("CalW7")->toolTip(), "100G");
}

TEST_F(ShownFormViewTest, RefreshFillsTheActivePageFromCellsAndTable)
{
    answer(103, 0x01, "1");
    answer(105, 125, "12.5");
    answer(52, 1000, "1000");
    answer(120, 1234, "1234");
    answer(138, 0x81, "129");
    answer(84, 0x10, "16");

    showPage(0);
    view.RefreshView();
    EXPECT_EQ(child<TVesmarLiquidIndicator>("LedEMC1")->indicatorString(), "12.5");
    EXPECT_EQ(child<QLabel>("BiasW0")->text(), "-----") << "Detalji is not refreshed on Merenje";

    showPage(1);
    view.RefreshView();
    EXPECT_EQ(child<QLabel>("BiasW0")->text(), "-23.4");
    EXPECT_EQ(child<QLabel>("LST0")->text(), "P1");
    EXPECT_EQ(child<QLabel>("ADC_E4")->text(), "\u00D7");
    EXPECT_EQ(child<QLineEdit>("CalW0")->text(), "1000");
    EXPECT_EQ(child<QPushButton>("UBazu")->toolTip(), "može");
}

TEST_F(ShownFormViewTest, FocusedEditKeepsTypedText)
{
    view.show();
    QApplication::setActiveWindow(&view);
    showPage(1);
    auto* filter = child<QLineEdit>("Filt7");
    filter->setFocus();
    ASSERT_TRUE(filter->hasFocus());
    filter->setText("9");
    answer(67, 3, "3");
    answer(68, 4, "4");
    view.RefreshView();
    EXPECT_EQ(filter->text(), "9");
    EXPECT_EQ(child<QLineEdit>("Filt8")->text(), "4");
}

TEST_F(ShownFormViewTest, RefreshesWithNothingNewStillRestoreLeftEditsAndShowTheNextAnswer)
{
    view.show();
    QApplication::setActiveWindow(&view);
    showPage(1);
    answer(67, 3, "3");
    view.RefreshView();
    auto* filter = child<QLineEdit>("Filt7");
    filter->setFocus();
    ASSERT_TRUE(filter->hasFocus());
    filter->setText("9");
    view.RefreshView();
    EXPECT_EQ(filter->text(), "9");
    child<QLineEdit>("Filt8")->setFocus(); // left without Enter
    view.RefreshView();
    EXPECT_EQ(filter->text(), "3") << "the table did not change, the edit still shows its entry";

    answer(93, 812, "81.2");
    view.RefreshView();
    EXPECT_EQ(child<QLabel>("U_3")->text(), "81.2");

    showPage(0);
    answer(103, 0x01, "1");
    answer(105, 125, "12.5");
    view.RefreshView();
    view.RefreshView();
    answer(105, 130, "13.0");
    view.RefreshView();
    EXPECT_EQ(child<TVesmarLiquidIndicator>("LedEMC1")->indicatorString(), "13.0");
}

TEST_F(ShownFormViewTest, WritesGoThroughTheMainWindowAndStopWhenRefused)
{
    // The link is not started, so every write is refused with the main window's message.
    view.EditKeyDown(child<QLineEdit>("Filt0"), Qt::Key_Return);
    EXPECT_EQ(messages.texts.size(), 1);
    view.EditKeyDown(child<QLineEdit>("Filt0"), Qt::Key_A);
    EXPECT_EQ(messages.texts.size(), 1) << "other keys pass through";
    view.ButtonCalWClick();
    EXPECT_EQ(messages.texts.size(), 2) << "GetCalW stops after a refused first write";
}

TEST_F(FormViewTest, ResizePlacesEveryControlOnItsScaledDesignRectangle)
{
    using namespace viewlayout;
    view.show();
    for (const QSize size : {QSize(936, 465), QSize(1872, 930), QSize(700, 380)}) {
        view.resize(size);
        const QWidget* page = child<QTabWidget>("PageControl")->currentWidget();
        const QSize box = page->size();
        ASSERT_GT(box.height(), 0);
        EXPECT_EQ(view.font().pointSize(), FontPointSize(box.height())) << box.height();
        for (const auto& p : PagePlacements()) {
            const auto* control = child<QWidget>(p.name);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(control->isVisibleTo(control->parentWidget())) << p.name;
            const Rect r =
                ScaleControl(p.design, kPageWidth, kPageHeight, box.width(), box.height());
            EXPECT_EQ(control->geometry(), QRect(r.left, r.top, r.width, r.height))
                << p.name << " at " << box.width() << "x" << box.height();
        }
        // Inside the groups: edits on their rectangles, labels where their text starts.
        const struct {
            const char* group;
            const char* name;
            Rect design;
            int rw;
        } inner[] = {{"GroupBoxLin", "Filt10", {480, 168, 41, 16}, 912},
                     {"GroupBoxLin", "Cal18e", {528 + 48 * 7, 24, 41, 16}, 912},
                     {"GroupBoxWood", "CalW7", {528, 168, 41, 16}, 624},
                     {"GroupBoxWood", "ButtonCalW", {528, 18, 58, 20}, 624}};
        for (const auto& c : inner) {
            const QSize groupSize = child<QWidget>(c.group)->size();
            const Rect r = ScaleControl(c.design, c.rw, 193, groupSize.width(), groupSize.height());
            EXPECT_EQ(child<QWidget>(c.name)->geometry(), QRect(r.left, r.top, r.width, r.height))
                << c.name;
        }
        const QSize linSize = child<QWidget>("GroupBoxLin")->size();
        const Rect voltage =
            ScaleControl({120, 40, 20, 13}, 912, 193, linSize.width(), linSize.height());
        EXPECT_EQ(child<QLabel>("U_1")->pos(), QPoint(voltage.left, voltage.top));
    }
}

TEST_F(ShownFormViewTest, ShowSelectionMirrorsTheEntryWithoutWriting)
{
    answer(8, 5, "5");
    view.ShowSelection(8);
    EXPECT_TRUE(child<QCheckBox>("MC1_0")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("MC1_1")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("MC1_2")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("MC1_8")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("MC1_0")->styleSheet().isEmpty()) << "painted";

    answer(6, 0, "0");
    view.ShowSelection(6);
    EXPECT_TRUE(child<QRadioButton>("SlotTemp1_8")->isChecked());
    answer(6, 4, "4");
    view.ShowSelection(6);
    EXPECT_TRUE(child<QRadioButton>("SlotTemp1_2")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("SlotTemp1_8")->isChecked());
    EXPECT_TRUE(messages.texts.isEmpty()) << "displaying never writes";

    child<QRadioButton>("SlotEMC1_3")->click();
    EXPECT_EQ(messages.texts.size(), 1) << "a click writes (refused: the link is not started)";
}

} // namespace
} // namespace quell

namespace quell {
namespace {

// The main window's link for reads, with every write accepted and recorded instead of sent.
class RecordingLink : public DeviceLink {
public:
    explicit RecordingLink(DeviceLink& reads) : reads_(reads) {}
    bool WriteParameter(std::uint16_t entry, const std::string& text) override
    {
        writes.emplace_back(entry, text);
        return true;
    }
    bool ReadParameter(std::uint16_t) override { return true; }
    TSendCommand currentCommand() const override { return reads_.currentCommand(); }
    LinkState linkState() const override { return LinkState::Connected; }
    bool valuesLive() const override { return live; }
    CellMarks cellMarks(std::uint16_t entry) const override
    {
        return {unsent.count(entry) > 0, unanswered.count(entry) > 0};
    }
    void readTable(const std::function<void(const TProtocol&)>& read) const override
    {
        reads_.readTable(read);
    }
    void readTableAndCells(
        const std::function<void(const TProtocol&, const std::vector<std::string>&)>& read)
        const override
    {
        reads_.readTableAndCells(read);
    }
    void editTable(const std::function<void(TProtocol&)>& edit) override { reads_.editTable(edit); }
    WaitOutcome waitUntil(const std::function<bool()>& condition, int timeoutMs) override
    {
        return reads_.waitUntil(condition, timeoutMs);
    }

    std::vector<std::pair<std::uint16_t, std::string>> writes;
    bool live = true;
    std::set<std::uint16_t> unanswered;
    std::set<std::uint16_t> unsent;

private:
    DeviceLink& reads_;
};

class AnsweredFormViewTest : public ::testing::Test {
public: // the steps below act on the fixture through a reference to it
    AnsweredFormViewTest()
    {
        main.scheduler().editTable([](TProtocol& table) {
            table.Count = vrqpb::kLastViewEntry;
            for (std::uint16_t e = 1; e <= table.Count; ++e) {
                table.Commands[e].Valid = true;
            }
        });
        view.ensureControls();
        view.RefreshView();
    }
    // Stores a raw value in the table and its text in the value cell, as an answer does.
    void store(std::uint16_t entry, std::int16_t value, const std::string& text)
    {
        main.scheduler().editTable([&](TProtocol& table) {
            table.Commands[entry].Value = value;
            table.Commands[entry].ValueText = text;
        });
        main.scheduler().setCellText(entry, text);
    }
    QString label(const char* name)
    {
        auto* found = view.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found != nullptr ? found->text() : QString();
    }
    void showPage(int index)
    {
        view.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(index);
    }

    TClientMain main;
    RecordingLink link{main.link()};
    TFormView view{link, main};
};

TEST_F(AnsweredFormViewTest, AnAnswerRedrawsWhatItBroughtAndAResetReadsEverything)
{
    showPage(1);
    struct Step {
        const char* what;
        std::function<void(AnsweredFormViewTest&)> act;
        const char* u0;  // U_0, entry 90
        const char* u1;  // U_1, entry 91
        const char* dev; // BiasW0: constant 52 minus voltage 120
    };
    const Step steps[] = {
        {"both answered",
         [](AnsweredFormViewTest& t) {
             t.store(90, 100, "10.0");
             t.store(91, 200, "20.0");
             t.view.answerApplied({90, 91});
         },
         "10.0", "20.0", "0.0"},
        {"only one answered",
         [](AnsweredFormViewTest& t) {
             t.store(90, 110, "11.0");
             t.store(91, 210, "21.0");
             t.view.answerApplied({90});
         },
         "11.0", "20.0", "0.0"},
        {"a typed cell is no answer",
         [](AnsweredFormViewTest& t) {
             t.main.scheduler().setCellText(91, "typed");
             t.view.answerApplied({120});
         },
         "11.0", "20.0", "0.0"},
        {"after a reset the next answer reads everything",
         [](AnsweredFormViewTest& t) {
             t.view.tableReset();
             t.view.answerApplied({120});
         },
         "11.0", "typed", "0.0"},
        {"a flag word answered redraws its labels",
         [](AnsweredFormViewTest& t) {
             t.store(120, 1234, "123.4");
             t.store(52, 1000, "100.0");
             t.view.answerApplied({120, 52});
         },
         "11.0", "typed", "-23.4"},
    };
    for (const auto& step : steps) {
        step.act(*this);
        EXPECT_EQ(label("U_0"), step.u0) << step.what;
        EXPECT_EQ(label("U_1"), step.u1) << step.what;
        EXPECT_EQ(label("BiasW0"), step.dev) << step.what;
    }
}

TEST_F(AnsweredFormViewTest, ReadOutsShowWhenTheirValuesStopArriving)
{
    auto* led =
        view.findChild<TVesmarLiquidIndicator*>(QString::fromLatin1(vrqpb::kIndicators[0].name));
    auto* u0 = view.findChild<QLabel*>(QStringLiteral("U_0"));
    ASSERT_NE(led, nullptr);
    ASSERT_NE(u0, nullptr);
    store(vrqpb::kIndicators[0].text, 123, "12.3");
    view.answerApplied({std::uint16_t(vrqpb::kIndicators[0].text)});
    const QColor lit = led->numberForeColor();
    const QColor text = u0->palette().color(QPalette::WindowText);
    const QString u0Text = u0->text();

    // One entry that stopped answering dims its own indicator only.
    link.unanswered = {std::uint16_t(vrqpb::kIndicators[0].text)};
    view.answerApplied({});
    EXPECT_NE(led->numberForeColor(), lit);
    auto* other =
        view.findChild<TVesmarLiquidIndicator*>(QString::fromLatin1(vrqpb::kIndicators[1].name));
    const QColor otherLit = other->numberForeColor();
    link.unanswered.clear();
    view.answerApplied({});
    EXPECT_EQ(led->numberForeColor(), lit);

    // No values at all: every indicator dims and the detail read-outs turn grey; the texts stay.
    link.live = false;
    view.linkStateChanged();
    EXPECT_NE(led->numberForeColor(), lit);
    EXPECT_NE(other->numberForeColor(), otherLit);
    EXPECT_NE(u0->palette().color(QPalette::WindowText), text);
    EXPECT_EQ(u0->text(), u0Text);
    link.live = true;
    view.linkStateChanged();
    EXPECT_EQ(led->numberForeColor(), lit);
    EXPECT_EQ(u0->palette().color(QPalette::WindowText), text);

    // A calibration constant loaded but not sent looks like it does in the grid, until sent.
    auto* cal = view.findChild<QLineEdit*>(QString::fromStdString(vrqpb::CalEditName(1, 1)));
    ASSERT_NE(cal, nullptr);
    const std::uint16_t calEntry = vrqpb::EntryOfEdit(vrqpb::CalEditName(1, 1));
    link.unsent = {calEntry};
    view.tableReset();
    view.answerApplied({});
    EXPECT_TRUE(cal->font().italic());
    EXPECT_EQ(cal->palette().color(QPalette::Base), ParameterTableModel::unsentColour());
    link.unsent.clear();
    view.answerApplied({calEntry});
    EXPECT_FALSE(cal->font().italic());
    EXPECT_NE(cal->palette().color(QPalette::Base), ParameterTableModel::unsentColour());
}

TEST_F(AnsweredFormViewTest, AnsweredSelectorsAreMirroredOnEveryPage)
{
    showPage(2);
    store(8, 5, "5");
    store(6, 4, "4");
    view.answerApplied({6, 8, 105});
    EXPECT_TRUE(view.findChild<QCheckBox*>(QStringLiteral("MC1_2"))->isChecked());
    EXPECT_TRUE(view.findChild<QRadioButton*>(QStringLiteral("SlotTemp1_2"))->isChecked());
    EXPECT_TRUE(link.writes.empty()) << "displaying never writes";
}

TEST_F(AnsweredFormViewTest, GetCalAndTheChartTakeWhatTheDetaljiPageShows)
{
    showPage(1);
    store(93, 812, "81.2");  // voltage of TEMP2
    store(108, 215, "21.5"); // value of TEMP2
    view.answerApplied({93, 108});
    store(93, 900, "90.0"); // in the table, but not yet shown
    main.scheduler().setCellText(108, "99.9");

    view.Cal13eContextPopup(view.findChild<QLineEdit*>(QStringLiteral("Cal43e")));
    view.GetCal1Click();
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], std::make_pair(std::uint16_t{33}, std::string("81.2")));

    view.TimerGetSampleTimer();
    const auto& temp2 = view.trendChart().points(11); // Series11 "Temp2" samples Val_3
    ASSERT_EQ(temp2.size(), 1u);
    EXPECT_EQ(temp2[0], 21.5);
}

TEST_F(AnsweredFormViewTest, TheViewsOwnWritesAreReadBackWithTheNextAnswer)
{
    showPage(1);
    view.findChild<QCheckBox*>(QStringLiteral("CompTempCheckBox"))->click();
    store(147, 5, "0.5");
    view.answerApplied({147});
    ASSERT_EQ(link.writes.size(), 1u) << "the compensation is pushed back to zero";
    view.answerApplied({120});
    EXPECT_EQ(link.writes.size(), 1u) << "the zeroed entry is read again, so no second write";
}

} // namespace
} // namespace quell
