// The page "Kalibracija" as the procedures find it: names, captions, tags and initial states.

#include "view/KalibracijaPage.h"
#include "client/ClientCommunications.h"
#include "view/RadioGroup.h"
#include "view/UView.h"

#include <QAbstractButton>
#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace quell {
namespace {

class KalibracijaPageTest : public ::testing::Test {
protected:
    KalibracijaPageTest() { view.ensureControls(); }
    template <typename T> T* child(const QString& name)
    {
        auto* found = view.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    TClientMain main;
    TFormView view{main.link(), main};
};

TEST_F(KalibracijaPageTest, BoxesStartCheckedAndTemperaturePointsOtherThan357Disabled)
{
    const std::set<QString> disabled = {"CheckBox11", "CheckBox12", "CheckBox14", "CheckBox16",
                                        "CheckBox18", "CheckBox21", "CheckBox22", "CheckBox24",
                                        "CheckBox26", "CheckBox28"};
    std::vector<QString> names = {"CheckBox0"};
    for (int row = 1; row <= 5; ++row) {
        names.push_back(QStringLiteral("CheckBox%1").arg(10 * row));
        for (int point = 1; point <= 8; ++point) {
            names.push_back(QStringLiteral("CheckBox%1%2").arg(row).arg(point));
        }
    }
    for (int row = 0; row <= 6; ++row) {
        names.push_back(QStringLiteral("CheckBox%1").arg(100 + 10 * row));
    }
    for (const QString& name : names) {
        const auto* box = child<QCheckBox>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked()) << name.toStdString();
        EXPECT_EQ(box->isEnabled(), disabled.count(name) == 0) << name.toStdString();
    }
    EXPECT_EQ(names.size(), 53u);
    const auto* page = view.kalibracijaPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->pointBox(2, 6)->objectName(), "CheckBox26");
    EXPECT_EQ(page->rowBox(0)->objectName(), "CheckBox0");
    EXPECT_EQ(page->testBox(6)->objectName(), "CheckBox160");

    for (const char* option : {"CBTestFilter", "CBTestSwap"}) {
        EXPECT_FALSE(child<QCheckBox>(QString::fromLatin1(option))->isChecked()) << option;
    }
    EXPECT_EQ(child<QCheckBox>("CBTestFilter")->text(), "Filter za merenje");
    EXPECT_EQ(child<QCheckBox>("CBTestSwap")->text(), "Swap period");
}

TEST_F(KalibracijaPageTest, ButtonsCarryTheirCaptionsTagsAndStates)
{
    const struct {
        const char* name;
        const char* caption;
        int tag; // 0: none
        bool enabled;
    } buttons[] = {
        {"ButtonAll", "Sve", 0, true},
        {"ButtonTemp1", "Temp 1", 1, true},
        {"ButtonTemp2", "Temp 2", 2, true},
        {"ButtonEMC1", "EMC1", 3, true},
        {"ButtonEMC2", "EMC2", 4, true},
        {"ButtonDrvo", "Drvo", 5, true},
        {"ButtonTestAll", "Sve", 0, true},
        {"ButtonTestTemp1", "Temp 1", 6, true},
        {"ButtonTestTemp2", "Temp 2", 7, true},
        {"ButtonTestEMC1", "EMC1", 8, true},
        {"ButtonTestEMC2", "EMC2", 9, true},
        {"ButtonTestDrvo", "Drvo", 10, true},
        {"ButtonTestDrvoAll", "Drvo sve", 11, true},
        {"ButtonBreak", "Stop", 0, false},
        {"ButtonLoad", "Load", 0, true},
        {"ButtonIni", "Ini", 0, true},
        {"ButtonSave", "Save", 0, true},
        {"ButtonReport", "Report", 0, true},
    };
    for (const auto& b : buttons) {
        const auto* button = child<QPushButton>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(b.caption)) << b.name;
        EXPECT_EQ(button->property("tag").toInt(), b.tag) << b.name;
        EXPECT_EQ(button->isEnabled(), b.enabled) << b.name;
    }
    EXPECT_EQ(view.kalibracijaPage()->testButton(6)->objectName(), "ButtonTestDrvoAll");
}

TEST_F(KalibracijaPageTest, GroupsRadioGroupsAndLabelsAsDrawn)
{
    EXPECT_EQ(child<QGroupBox>("GBKalib")->title(), "Kalibracija");
    EXPECT_EQ(child<QGroupBox>("GBTest")->title(), "Testiranje");
    EXPECT_EQ(child<QLabel>("LabelPoints")->text(), "1   2   3   4   5   6   7   8");
    EXPECT_NE(child<QListWidget>("FileListRec"), nullptr);
    EXPECT_EQ(child<QWidget>("FileListRec")->parentWidget()->objectName(), "GBTools");

    const struct {
        const char* name;
        const char* caption;
        QStringList items;
        int index;
    } groups[] = {
        {"RGTipKalib", "Metod merenja", {"Brzo", "Normalno", "Duboko"}, 1},
        {"RGResult", "Rezultat", {"Temp1", "Temp2", "EMC1", "EMC2", "Drvo", "Drvo sve"}, -1},
    };
    for (const auto& g : groups) {
        const auto* group = child<RadioGroup>(QString::fromLatin1(g.name));
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title(), QString::fromLatin1(g.caption));
        EXPECT_EQ(group->itemIndex(), g.index) << g.name;
        ASSERT_EQ(group->count(), g.items.size());
        for (int k = 0; k < group->count(); ++k) {
            EXPECT_EQ(group->item(k)->text(), g.items[k]);
            EXPECT_EQ(group->item(k)->objectName(), QStringLiteral("%1_%2").arg(g.name).arg(k));
        }
    }
}

TEST_F(KalibracijaPageTest, ResultChartHasItsEmptySeriesAndAnExclusivePopup)
{
    const auto* chartView = child<QChartView>("Chart2");
    ASSERT_NE(chartView, nullptr);
    EXPECT_EQ(chartView->parentWidget()->objectName(), "GBTest") << "a sibling of RGResult";
    const struct {
        const char* name;
        const char* title;
        QColor colour;
    } lines[] = {{"Series17", "Temp1M", QColor(0, 128, 0)}, {"Series18", "Temp1O", Qt::red}};
    for (const auto& l : lines) {
        const auto* series =
            chartView->chart()->findChild<QLineSeries*>(QString::fromLatin1(l.name));
        ASSERT_NE(series, nullptr) << l.name;
        EXPECT_EQ(series->name(), QString::fromLatin1(l.title));
        EXPECT_EQ(series->color(), l.colour);
        EXPECT_EQ(series->count(), 0);
        EXPECT_TRUE(chartView->chart()->series().contains(series));
    }
    const auto* bars = chartView->chart()->findChild<QBarSeries*>("Series19");
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->name(), "Odstup1");
    EXPECT_TRUE(bars->isLabelsVisible()) << "value marks shown";
    ASSERT_EQ(bars->count(), 1);
    EXPECT_EQ(bars->barSets().front()->color(), QColor(Qt::yellow));
    EXPECT_EQ(bars->barSets().front()->count(), 0);

    auto* popup = child<QMenu>("PMTipGraph");
    ASSERT_NE(popup, nullptr);
    auto* line = popup->findChild<QAction*>("PMTLine");
    auto* error = popup->findChild<QAction*>("PMTError");
    ASSERT_TRUE(line && error);
    EXPECT_EQ(line->text(), "Line");
    EXPECT_EQ(error->text(), "Error");
    EXPECT_TRUE(line->isChecked());
    EXPECT_FALSE(error->isChecked());
    error->trigger();
    EXPECT_TRUE(error->isChecked());
    EXPECT_FALSE(line->isChecked()) << "the items exclude each other";
}

TEST(RadioGroupTest, ItemIndexFollowsClicksAndCanBeCleared)
{
    RadioGroup group(QStringLiteral("Rezultat"), {"a", "b", "c"});
    group.setGroupName(QStringLiteral("RG"));
    QSignalSpy changes(&group, &RadioGroup::itemIndexChanged);
    EXPECT_EQ(group.itemIndex(), -1);

    group.item(2)->click();
    EXPECT_EQ(group.itemIndex(), 2);
    group.setItemIndex(0);
    EXPECT_EQ(group.itemIndex(), 0);
    EXPECT_FALSE(group.item(2)->isChecked());
    group.setItemIndex(-1);
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_FALSE(group.item(0)->isChecked());
    group.setItemIndex(7);
    EXPECT_EQ(group.itemIndex(), -1) << "an index outside the items checks none";
    ASSERT_EQ(changes.size(), 2);
    EXPECT_EQ(changes[0][0].toInt(), 2);
    EXPECT_EQ(changes[1][0].toInt(), 0);
}

TEST(RadioGroupTest, ItemsShareTheGroupBelowItsCaption)
{
    RadioGroup group(QStringLiteral("Metod merenja"), {"Brzo", "Normalno", "Duboko"});
    group.show();
    for (const QSize size : {QSize(100, 80), QSize(200, 160), QSize(60, 30)}) {
        group.resize(size);
        const QRect area = group.contentsRect();
        int top = area.top();
        for (int k = 0; k < group.count(); ++k) {
            const QRect item = group.item(k)->geometry();
            EXPECT_EQ(item.top(), top) << k << " in " << size.width() << "x" << size.height();
            EXPECT_EQ(item.width(), area.width());
            EXPECT_LE(std::abs(item.height() - area.height() / group.count()), 1);
            top = item.bottom() + 1;
        }
        EXPECT_EQ(top, area.bottom() + 1) << "the last item ends at the bottom";
    }
}

} // namespace
} // namespace quell

namespace quell {
namespace {

TEST_F(KalibracijaPageTest, TheCalibrationHostFindsEachRowsBoxesAndTheOperatorsChoices)
{
    CalibrationHost& host = view;
    // Recipe row and point, the box it is bound to (empty: none).
    const struct {
        int row;
        int point;
        const char* box;
    } points[] = {
        {0, 1, "CheckBox31"}, {1, 3, "CheckBox13"}, {2, 8, "CheckBox48"}, {3, 5, "CheckBox25"},
        {4, 2, "CheckBox52"}, {5, 2, "CheckBox52"}, {6, 2, ""},           {0, 9, ""}};
    for (const auto& p : points) {
        const QString where = QStringLiteral("row %1 point %2").arg(p.row).arg(p.point);
        if (*p.box == '\0') {
            EXPECT_TRUE(host.pointChecked(p.row, p.point)) << where.toStdString();
            host.paintPoint(p.row, p.point, CalibrationHost::PointPaint::Failed); // ignored
            continue;
        }
        auto* box = child<QCheckBox>(QString::fromLatin1(p.box));
        host.paintPoint(p.row, p.point, CalibrationHost::PointPaint::Passed);
        EXPECT_TRUE(box->styleSheet().contains("green")) << where.toStdString();
        host.paintPoint(p.row, p.point, CalibrationHost::PointPaint::Reset);
        EXPECT_TRUE(box->styleSheet().isEmpty()) << where.toStdString();
        box->setChecked(false);
        EXPECT_FALSE(host.pointChecked(p.row, p.point)) << where.toStdString();
        box->setChecked(true);
    }

    // Button Tags: 1..5 calibration (CheckBox10..50), 6..11 tests (CheckBox110..160).
    const std::pair<int, const char*> channels[] = {
        {1, "CheckBox10"}, {5, "CheckBox50"}, {6, "CheckBox110"}, {11, "CheckBox160"}};
    for (const auto& [tag, name] : channels) {
        child<QCheckBox>(QString::fromLatin1(name))->setChecked(false);
        EXPECT_FALSE(host.channelChecked(tag)) << tag;
        child<QCheckBox>(QString::fromLatin1(name))->setChecked(true);
        EXPECT_TRUE(host.channelChecked(tag)) << tag;
    }

    EXPECT_EQ(host.method(), CalibrationHost::Method::Normal);
    EXPECT_FALSE(host.swapPeriod());
    child<QCheckBox>(QStringLiteral("CBTestSwap"))->setChecked(true);
    EXPECT_TRUE(host.swapPeriod());
}

} // namespace
} // namespace quell

namespace quell {
namespace {

TEST_F(KalibracijaPageTest, SelectionBoxesCarryEachChangeOnToTheBoxesTheyGovern)
{
    KalibracijaPage* page = view.kalibracijaPage();
    const auto rowChecked = [page](int row) {
        std::string states;
        for (int point = 1; point <= 8; ++point) {
            states += page->pointBox(row, point)->isChecked() ? '1' : '0';
        }
        return states;
    };
    // A cleared point clears its channel and "all", nothing else.
    page->pointBox(3, 4)->click();
    EXPECT_FALSE(page->rowBox(3)->isChecked());
    EXPECT_FALSE(page->rowBox(0)->isChecked());
    EXPECT_TRUE(page->rowBox(2)->isChecked());
    EXPECT_EQ(rowChecked(3), "11101111");
    // The channel checked again checks its eight points; "all" stays clear.
    page->rowBox(3)->click();
    EXPECT_EQ(rowChecked(3), "11111111");
    EXPECT_FALSE(page->rowBox(0)->isChecked());
    // A channel cleared from code clears "all" as a click would; its points stay as they are.
    page->rowBox(0)->setChecked(true);
    page->rowBox(5)->setChecked(false);
    EXPECT_FALSE(page->rowBox(0)->isChecked());
    EXPECT_EQ(rowChecked(5), "11111111");
    // "All" checks every channel and through them every point.
    page->pointBox(1, 3)->setChecked(false);
    page->pointBox(5, 8)->setChecked(false);
    page->rowBox(0)->click();
    for (int row = 1; row <= 5; ++row) {
        EXPECT_TRUE(page->rowBox(row)->isChecked()) << row;
        EXPECT_EQ(rowChecked(row), "11111111") << row;
    }
    // Clearing "all" clears nothing else.
    page->rowBox(0)->click();
    EXPECT_TRUE(page->rowBox(4)->isChecked());
}

TEST_F(KalibracijaPageTest, AProcedureLeavesOnlyStopToTheOperatorAndFreesEverythingAfter)
{
    KalibracijaPage* page = view.kalibracijaPage();
    view.beginProcedure();
    EXPECT_TRUE(page->buttonBreak()->isEnabled());
    EXPECT_FALSE(page->fileListRec()->isEnabled());
    for (QAbstractButton* button : view.findChildren<QAbstractButton*>()) {
        if (button != page->buttonBreak()) {
            EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
        }
    }
    view.endProcedure();
    EXPECT_FALSE(page->buttonBreak()->isEnabled());
    EXPECT_TRUE(page->fileListRec()->isEnabled());
    // Everything comes back, the temperature points drawn disabled included.
    EXPECT_TRUE(page->pointBox(1, 1)->isEnabled());
    EXPECT_TRUE(page->calibrationButton(0)->isEnabled());
}

} // namespace
} // namespace quell

namespace quell {
namespace {

TEST_F(KalibracijaPageTest, TestBoxesClearAllOnAnyChangeAndAllChecksEveryChannelOnce)
{
    KalibracijaPage* page = view.kalibracijaPage();
    const auto states = [page] {
        std::string s;
        for (int row = 0; row <= 6; ++row)
            s += page->testBox(row)->isChecked() ? '1' : '0';
        return s;
    };
    // Each step clicks one box; the states are "all" first, then CheckBox110..CheckBox160.
    const struct {
        int row;
        const char* after;
    } clicks[] = {
        {3, "0110111"}, // a channel cleared clears "all", nothing else
        {3, "0111111"}, // checking it again does not bring "all" back
        {0, "1111111"}, // "all" stays checked while it checks the channels
        {2, "0101111"}, {5, "0101101"},
        {0, "1111111"}, // every cleared channel checked again
        {0, "0111111"}, // clearing "all" clears nothing else
        {6, "0111110"}, {0, "1111111"},
        {6, "0111110"}, // the channels' handlers are attached again after "all"
    };
    for (const auto& c : clicks) {
        page->testBox(c.row)->click();
        EXPECT_EQ(states(), c.after) << "after clicking row " << c.row;
    }
    // The calibration boxes are a group of their own.
    EXPECT_TRUE(page->rowBox(0)->isChecked());
}

} // namespace
} // namespace quell
