// The proportional layout of a real window: where every control lands at the size the view was
// drawn for and at twice it, the tab row, and the font that follows the page height.

#include "client/ClientCommunications.h"
#include "tests/view/PageFit.h"
#include "view/UView.h"
#include "view/ViewLayout.h"

#include <QTabBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quell {
namespace {

using quell::testing::FitPage;
using viewlayout::Rect;

const QSize kDesignPage(viewlayout::kPageWidth, viewlayout::kPageHeight);

QRect rect(const Rect& r)
{
    return {r.left, r.top, r.width, r.height};
}

class FormLayoutTest : public ::testing::Test {
protected:
    FormLayoutTest() { view.show(); }
    QWidget* named(const std::string& name)
    {
        return view.findChild<QWidget*>(QString::fromStdString(name));
    }
    QTabWidget* pages() { return view.findChild<QTabWidget*>(QStringLiteral("PageControl")); }

    TClientMain main;
    TFormView view{main.link(), main};
};

TEST_F(FormLayoutTest, DesignSizeKeepsEveryRectangleAndTwiceTheSizeDoublesIt)
{
    // Worked values for boxes whose contents were drawn in units other than the box's own size.
    const std::map<std::string, QRect> worked[] = {
        {{"MC1_0", {8, 27, 57, 17}},
         {"MC2_8", {8, 356, 57, 17}},
         {"RGTipKalib", {5, 10, 100, 83}},
         {"FileListRec", {5, 192, 100, 83}},
         {"ButtonTestDrvoAll", {8, 239, 76, 26}},
         {"RGResult", {121, 0, 404, 280}},
         {"Chart2", {197, 11, 326, 267}}},
        {{"MC1_0", {16, 55, 114, 33}},
         {"MC2_8", {16, 712, 114, 33}},
         {"RGTipKalib", {10, 21, 200, 166}},
         {"FileListRec", {10, 384, 200, 166}},
         {"ButtonTestDrvoAll", {16, 477, 151, 52}},
         {"RGResult", {242, 0, 808, 560}},
         {"Chart2", {394, 22, 653, 534}}},
    };
    for (int scale : {1, 2}) {
        ASSERT_EQ(FitPage(view, kDesignPage * scale), kDesignPage * scale);
        EXPECT_EQ(view.font().pointSize(), 8 * scale);
        int checked = 0;
        for (const auto& step : viewlayout::LayoutSequence()) {
            const QWidget* control = named(step.control);
            const QWidget* box = named(step.box);
            ASSERT_NE(control, nullptr) << step.control;
            ASSERT_NE(box, nullptr) << step.box;
            const QRect scaled = rect(viewlayout::ScaleControl(
                step.design, step.refWidth, step.refHeight, box->width(), box->height()));
            EXPECT_EQ(control->geometry(), scaled) << step.control << " x" << scale;
            // The page box and GBKalib were drawn at their reference sizes.
            if (step.box == "Kalibracija" || step.box == "GBKalib") {
                EXPECT_EQ(control->geometry(), QRect(rect(step.design).topLeft() * scale,
                                                     rect(step.design).size() * scale))
                    << step.control << " x" << scale;
            }
            const auto& known = worked[scale - 1];
            if (const auto it = known.find(step.control); it != known.end()) {
                EXPECT_EQ(control->geometry(), it->second) << step.control << " x" << scale;
                ++checked;
            }
        }
        EXPECT_EQ(checked, static_cast<int>(worked[scale - 1].size()));
    }
}

TEST_F(FormLayoutTest, TabsAreFourPercentOfThePageControlAndThePagesStartBelowTheStrip)
{
    for (const QSize page : {kDesignPage, kDesignPage * 2, QSize(700, 300)}) {
        FitPage(view, page);
        const QTabWidget* control = pages();
        EXPECT_EQ(control->geometry(), QRect(0, qRound(view.height() / 100.0), view.width(),
                                             qRound(view.height() * 99 / 100.0)));
        EXPECT_EQ(control->tabBar()->tabRect(0).height(), qRound(control->height() * 4 / 100.0))
            << control->height();
        // The strip stands on the tab row and must not hide the pages' captions.
        const int pageTop = control->currentWidget()->mapTo(&view, QPoint()).y();
        for (const char* strip : {"BConnect", "UBazu", "IzBaze", "EditOpis", "VRQPB", "LedTime"}) {
            EXPECT_LE(named(strip)->geometry().bottom(), pageTop) << strip;
        }
    }
}

TEST_F(FormLayoutTest, FontIsTwoPercentOfThePageHeightHalvesToEven)
{
    const std::pair<int, int> cases[] = {{393, 8}, {786, 16}, {375, 8}, {325, 6}, {350, 7}};
    for (const auto& [height, points] : cases) {
        ASSERT_EQ(FitPage(view, QSize(912, height)).height(), height);
        EXPECT_EQ(view.font().pointSize(), points) << height;
        EXPECT_EQ(named("ButtonTestAll")->font().pointSize(), points) << "controls follow";
        EXPECT_EQ(pages()->tabBar()->font().pointSize(), points) << "the tabs follow";
    }
}

TEST_F(FormLayoutTest, PagesNotShownAreLaidOutForTheSameSize)
{
    pages()->setCurrentIndex(0);
    FitPage(view, kDesignPage * 2);
    // Kalibracija was not shown at this size; its controls are placed for it all the same.
    EXPECT_EQ(named("MemoLog")->geometry(), QRect(0, 566, 1824, 220));
    EXPECT_EQ(named("GroupBoxWood")->geometry(), QRect(0, 400, 1248, 386));
}

} // namespace
} // namespace quell
