#include "widgets/VesmarLiquidIndicator.h"
#include "widgets/IndicatorColors.h"
#include "widgets/IndicatorGeometry.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMetaProperty>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Seg = SegmentPatterns::Segment;

const QColor fore(200, 20, 30);
const QColor unlit(120, 130, 140);
const QColor hoverFore(10, 40, 220);

// The measurement view's read-out: five cells, 100 × 40, shown (so loaded) on the offscreen
// screen.
std::unique_ptr<TVesmarLiquidIndicator> readout(const QString& text, int angle = 0)
{
    auto indicator = std::make_unique<TVesmarLiquidIndicator>();
    indicator->setSignNumber(5);
    indicator->setIndicatorWidth(100);
    indicator->setIndicatorHeight(40);
    indicator->setIndicatorAngle(angle);
    indicator->setNumberForeColor(fore);
    indicator->setNumberBackColor(unlit);
    indicator->setNumberForeColor1(hoverFore);
    indicator->setIndicatorString(text);
    indicator->show();
    return indicator;
}

QImage picture(TVesmarLiquidIndicator& indicator)
{
    return indicator.grab().toImage();
}

// Centre of a segment of a cell, on screen, for an unturned read-out.
QPoint centre(const TVesmarLiquidIndicator& indicator, int cell, Seg segment)
{
    const IndicatorOptions& options = indicator.options();
    const QRectF rect = IndicatorGeometry::cellRect(options, cell);
    const double t = IndicatorGeometry::segmentThickness(rect.size(), options.indicatorStyle,
                                                         indicator.isHovered());
    const auto polygons = IndicatorGeometry::segmentPolygons(rect, options.indicatorKind, t);
    return polygons[segment].boundingRect().center().toPoint();
}

int countColor(const QImage& image, const QColor& color, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == color ? 1 : 0;
    return count;
}

void hover(TVesmarLiquidIndicator& indicator, bool inside)
{
    if (inside) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&indicator, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&indicator, &leave);
    }
}

} // namespace

TEST(VesmarLiquidIndicator, SegmentsShowLitAndUnlitColours)
{
    struct Case {
        const char* text;
        int cell;
        Seg segment;
        bool lit;
    };
    const std::vector<Case> cases = {
        {"12.5", 3, Seg::SegB, true},     {"12.5", 3, Seg::SegC, false},
        {"12.5", 3, Seg::SegPoint, true}, {"12.5", 4, Seg::SegPoint, false},
        {"12.5", 0, Seg::SegG, false},    {"K", 4, Seg::SegA, false},
        {"K", 4, Seg::SegG, false},       {".5", 3, Seg::SegPoint, true},
        {".5", 3, Seg::SegD, false},      {"8", 4, Seg::SegE, true},
    };
    for (const Case& c : cases) {
        auto indicator = readout(QString::fromLatin1(c.text));
        const QColor seen = picture(*indicator).pixelColor(centre(*indicator, c.cell, c.segment));
        EXPECT_EQ(seen, c.lit ? fore : unlit)
            << "\"" << c.text << "\" cell " << c.cell << " segment " << c.segment;
    }
}

TEST(VesmarLiquidIndicator, HoverRecoloursAndThickensAfterTheEnterEvent)
{
    struct Case {
        Vm::TVMMouseAction action;
        bool recolours, thickens;
    };
    const std::vector<Case> cases = {{Vm::maNone, false, false},
                                     {Vm::maColor, true, false},
                                     {Vm::maWidth, false, true},
                                     {Vm::maBoth, true, true}};
    for (const Case& c : cases) {
        auto indicator = readout("8");
        indicator->setMouseAction(c.action);
        const QRect area = indicator->rect();
        const int plainArea = countColor(picture(*indicator), fore, area);
        bool hoveredInSignal = false;
        QObject::connect(indicator.get(), &TVesmarLiquidIndicator::onMouseEnter,
                         [&](TVesmarLiquidIndicator* sender) {
                             hoveredInSignal = sender == indicator.get() && sender->isHovered();
                         });
        hover(*indicator, true);
        EXPECT_TRUE(hoveredInSignal);
        const QImage hovered = picture(*indicator);
        const QColor litColor = c.recolours ? hoverFore : fore;
        EXPECT_EQ(hovered.pixelColor(centre(*indicator, 4, Seg::SegG)), litColor) << c.action;
        const int hoveredArea = countColor(hovered, litColor, area);
        if (c.thickens)
            EXPECT_GT(hoveredArea, plainArea * 21 / 20) << c.action;
        else
            EXPECT_EQ(hoveredArea, plainArea) << c.action;
        hover(*indicator, false);
        EXPECT_EQ(countColor(picture(*indicator), fore, area), plainArea) << c.action;
    }
}

TEST(VesmarLiquidIndicator, RaisedBevelIsLitFromTheTopLeftAtEveryQuarterTurn)
{
    for (Vm::TVMBevelKind kind : {Vm::bkUP, Vm::bkDown})
        for (int angle : {0, 900, 1800, 2700}) {
            auto indicator = readout("1", angle);
            indicator->setOuterBevel(kind);
            indicator->setBevelColor(QColor(100, 100, 100));
            const QImage image = picture(*indicator);
            const QColor light(132, 132, 132), dark(68, 68, 68);
            const QColor first = kind == Vm::bkUP ? light : dark;
            const QColor second = kind == Vm::bkUP ? dark : light;
            const int w = image.width(), h = image.height();
            EXPECT_EQ(image.pixelColor(w / 2, 0), first) << kind << " top at " << angle;
            EXPECT_EQ(image.pixelColor(0, h / 2), first) << kind << " left at " << angle;
            EXPECT_EQ(image.pixelColor(w / 2, h - 1), second) << kind << " bottom at " << angle;
            EXPECT_EQ(image.pixelColor(w - 1, h / 2), second) << kind << " right at " << angle;
        }
}

TEST(VesmarLiquidIndicator, TransparentModesMaskTheDrawnParts)
{
    auto area = [](const QRegion& region) {
        long total = 0;
        for (const QRect& r : region)
            total += long(r.width()) * r.height();
        return total;
    };
    auto indicator = readout("1");
    EXPECT_TRUE(indicator->mask().isEmpty()) << "opaque and unturned: no shape";
    const QPoint litPoint = centre(*indicator, 4, Seg::SegB);
    const QPoint unlitPoint = centre(*indicator, 4, Seg::SegA);
    const QPoint insideFigure =
        (centre(*indicator, 4, Seg::SegA) + centre(*indicator, 4, Seg::SegG)) / 2;

    indicator->setTransparentMode(Vm::tmBackOnly);
    const QRegion backOnly = indicator->mask();
    EXPECT_TRUE(backOnly.contains(litPoint));
    EXPECT_TRUE(backOnly.contains(unlitPoint));
    EXPECT_TRUE(backOnly.contains(QPoint(0, 0))) << "bevels stay";
    EXPECT_FALSE(backOnly.contains(insideFigure)) << "background goes";
    EXPECT_LT(area(backOnly), 100L * 40 * 3 / 4);

    indicator->setTransparentMode(Vm::tmAll);
    const QRegion all = indicator->mask();
    EXPECT_TRUE(all.contains(litPoint));
    EXPECT_FALSE(all.contains(unlitPoint));
    EXPECT_LT(area(all), area(backOnly));
    indicator->setIndicatorString("8");
    EXPECT_TRUE(indicator->mask().contains(unlitPoint)) << "the mask follows the text";
}

TEST(VesmarLiquidIndicator, SizeAndAngleRules)
{
    TVesmarLiquidIndicator indicator;
    indicator.setIndicatorWidth(100);
    indicator.setIndicatorHeight(40);
    EXPECT_EQ(indicator.size(), QSize(172, 36)) << "not resized before loading";
    indicator.finishLoading();
    EXPECT_EQ(indicator.size(), QSize(100, 40));

    for (int ignored : {0, -3}) {
        indicator.setSignNumber(ignored);
        indicator.setIndicatorWidth(ignored);
        indicator.setInnerBevelWidth(ignored);
    }
    EXPECT_EQ(indicator.signNumber(), 10);
    EXPECT_EQ(indicator.indicatorWidth(), 100);
    EXPECT_EQ(indicator.innerBevelWidth(), 2);

    indicator.setIndicatorAngle(900);
    EXPECT_EQ(indicator.size(), QSize(40, 100));
    indicator.setIndicatorAngle(450);
    EXPECT_EQ(indicator.size(), QSize(99, 99));
    EXPECT_FALSE(indicator.mask().isEmpty()) << "a turned display shapes the control";
}

TEST(VesmarLiquidIndicator, ResizingFromOutsideFollowsTheAngle)
{
    struct Case {
        int angle;
        QSize resizeTo, displayAfter, controlAfter;
    };
    const std::vector<Case> cases = {
        {0, QSize(120, 50), QSize(120, 50), QSize(120, 50)},
        {1800, QSize(120, 50), QSize(120, 50), QSize(120, 50)},
        {900, QSize(50, 120), QSize(120, 50), QSize(50, 120)},
        {450, QSize(120, 50), QSize(100, 40), QSize(99, 99)},
    };
    for (const Case& c : cases) {
        auto indicator = readout("1", c.angle);
        indicator->resize(c.resizeTo);
        EXPECT_EQ(QSize(indicator->indicatorWidth(), indicator->indicatorHeight()), c.displayAfter)
            << c.angle;
        EXPECT_EQ(indicator->size(), c.controlAfter) << c.angle;
    }
}

TEST(VesmarLiquidIndicator, TurningCounterClockwiseMovesTheLeftCellDown)
{
    struct Case {
        int angle;
        bool leftCellAtBottom;
    };
    for (const Case& c : std::vector<Case>{{900, true}, {2700, false}}) {
        auto indicator = readout("8    ", c.angle);
        const QImage image = picture(*indicator);
        const int top = countColor(image, fore, QRect(0, 0, 40, 50));
        const int bottom = countColor(image, fore, QRect(0, 50, 40, 50));
        EXPECT_EQ(bottom > top, c.leftCellAtBottom) << c.angle;
        EXPECT_GT(top + bottom, 50) << "the lit figure is drawn";
    }
}

TEST(VesmarLiquidIndicator, MaterialsFillBackgroundUnlitAndLitParts)
{
    struct Case {
        Vm::TVMMaterialShadowMode mode;
        QColor unlitSeen;
    };
    QImage back(3, 3, QImage::Format_RGB32);
    back.fill(QColor(100, 40, 240));
    QImage front(2, 2, QImage::Format_RGB32);
    front.fill(QColor(0, 160, 0));
    const std::vector<Case> cases = {{Vm::msmDark, QColor(68, 8, 208)},
                                     {Vm::msmLight, QColor(132, 72, 255)},
                                     {Vm::msmNone, QColor(100, 40, 240)}};
    for (const Case& c : cases) {
        auto indicator = readout("1");
        indicator->setMaterialMode(Vm::mmTile);
        indicator->setBackMaterial(back);
        indicator->setForeMaterial(front);
        indicator->setMaterialShadowMode(c.mode);
        indicator->setOuterBevel(Vm::bkUP);
        const QImage image = picture(*indicator);
        EXPECT_EQ(image.pixelColor(centre(*indicator, 4, Seg::SegA)), c.unlitSeen) << c.mode;
        EXPECT_EQ(image.pixelColor(centre(*indicator, 4, Seg::SegB)), QColor(0, 160, 0));
        EXPECT_EQ(image.pixelColor(50, 0), QColor(164, 104, 255)) << "lit bevel face";
        EXPECT_EQ(image.pixelColor(50, 39), QColor(36, 0, 176)) << "dark bevel face";
    }
}

TEST(VesmarLiquidIndicator, ColourSchemeOverwritesTheFiveColoursEveryTime)
{
    TVesmarLiquidIndicator indicator;
    indicator.setColorScheme(Vm::csPlasma);
    EXPECT_EQ(indicator.numberForeColor(), QColor(0xFF, 0xBF, 0x48)); // written 0x48BFFF
    EXPECT_EQ(indicator.backColor(), QColor(0x80, 0x00, 0x00));
    indicator.setNumberForeColor(Qt::green);
    indicator.setColorScheme(Vm::csPlasma);
    EXPECT_EQ(indicator.numberForeColor(), QColor(0xFF, 0xBF, 0x48));
}

TEST(VesmarLiquidIndicator, PropertiesAreWritableByTheirNames)
{
    TVesmarLiquidIndicator indicator;
    const char* names[] = {"ColorScheme",
                           "SignNumber",
                           "IndicatorWidth",
                           "IndicatorHeight",
                           "IndicatorAngle",
                           "IndicatorGap",
                           "Indicatorstring",
                           "IndicatorKind",
                           "InnerBevel",
                           "OuterBevel",
                           "InnerBevelWidth",
                           "OuterBevelWidth",
                           "BevelColor",
                           "BackColor",
                           "NumberForeColor",
                           "NumberForeColor1",
                           "NumberBackColor",
                           "IndicatorStyle",
                           "MouseAction",
                           "TransparentMode",
                           "BackMaterial",
                           "ForeMaterial",
                           "MaterialShadowMode",
                           "MaterialMode",
                           "ForeMaterialMode",
                           "Hint",
                           "ShowHint"};
    for (const char* name : names) {
        const int index = indicator.metaObject()->indexOfProperty(name);
        ASSERT_GE(index, 0) << name;
        EXPECT_TRUE(indicator.metaObject()->property(index).isWritable()) << name;
    }
    // Enumerations by their names, as a layout or settings file gives them.
    EXPECT_TRUE(indicator.setProperty("IndicatorKind", QStringLiteral("ik9segment")));
    EXPECT_EQ(indicator.indicatorKind(), Vm::ik9segment);
    EXPECT_TRUE(indicator.setProperty("SignNumber", 6));
    EXPECT_EQ(indicator.signNumber(), 6);
}
