#include "widgets/VesmarLiquidIndicator.h"

#include "widgets/IndicatorGeometry.h"
#include "widgets/IndicatorText.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <numbers>

TVesmarLiquidIndicator::TVesmarLiquidIndicator(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(options_.indicatorWidth, options_.indicatorHeight);
    changeText();
}

TVesmarLiquidIndicator::~TVesmarLiquidIndicator() = default;

void TVesmarLiquidIndicator::finishLoading()
{
    if (loaded_)
        return;
    loaded_ = true;
    shades_ = IndicatorColors::materialShades(options_.backMaterial, options_.materialShadowMode);
    changeSize();
}

template <typename T>
void TVesmarLiquidIndicator::assign(T& field, const T& value,
                                    void (TVesmarLiquidIndicator::*change)())
{
    if (field == value)
        return;
    field = value;
    (this->*change)();
}

void TVesmarLiquidIndicator::setColorScheme(Vm::TVMColorScheme scheme)
{
    // Applied at once, loaded or not: nothing restores the five colours later, so holding the
    // preset back would lose it.
    scheme_ = scheme;
    const SchemeColors colors = IndicatorColors::scheme(scheme);
    options_.backColor = colors.backColor;
    options_.bevelColor = colors.bevelColor;
    options_.numberBackColor = colors.numberBackColor;
    options_.numberForeColor = colors.numberForeColor;
    options_.numberForeColor1 = colors.numberForeColor1;
    changeLook();
}

void TVesmarLiquidIndicator::setSignNumber(int count)
{
    if (count <= 0 || count == options_.signNumber)
        return;
    options_.signNumber = count;
    changeText();
    changeSize();
}

void TVesmarLiquidIndicator::setIndicatorWidth(int width)
{
    if (width > 0)
        assign(options_.indicatorWidth, width, &TVesmarLiquidIndicator::changeSize);
}

void TVesmarLiquidIndicator::setIndicatorHeight(int height)
{
    if (height > 0)
        assign(options_.indicatorHeight, height, &TVesmarLiquidIndicator::changeSize);
}

void TVesmarLiquidIndicator::setIndicatorAngle(int angle)
{
    assign(options_.indicatorAngle, angle, &TVesmarLiquidIndicator::changeSize);
}

void TVesmarLiquidIndicator::setIndicatorGap(int gap)
{
    assign(options_.indicatorGap, gap, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setIndicatorString(const QString& text)
{
    assign(text_, text, &TVesmarLiquidIndicator::changeText);
}

void TVesmarLiquidIndicator::setIndicatorKind(Vm::TVMIndicatorKind kind)
{
    if (kind == options_.indicatorKind)
        return;
    options_.indicatorKind = kind;
    changeText();
    changeLayout();
}

void TVesmarLiquidIndicator::setInnerBevel(Vm::TVMBevelKind kind)
{
    assign(options_.innerBevel, kind, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setOuterBevel(Vm::TVMBevelKind kind)
{
    assign(options_.outerBevel, kind, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setInnerBevelWidth(int width)
{
    if (width > 0)
        assign(options_.innerBevelWidth, width, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setOuterBevelWidth(int width)
{
    if (width > 0)
        assign(options_.outerBevelWidth, width, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setBevelColor(const QColor& color)
{
    assign(options_.bevelColor, color, &TVesmarLiquidIndicator::changeLook);
}

void TVesmarLiquidIndicator::setBackColor(const QColor& color)
{
    assign(options_.backColor, color, &TVesmarLiquidIndicator::changeLook);
}

void TVesmarLiquidIndicator::setNumberForeColor(const QColor& color)
{
    assign(options_.numberForeColor, color, &TVesmarLiquidIndicator::changeLook);
}

void TVesmarLiquidIndicator::setNumberForeColor1(const QColor& color)
{
    assign(options_.numberForeColor1, color, &TVesmarLiquidIndicator::changeLook);
}

void TVesmarLiquidIndicator::setNumberBackColor(const QColor& color)
{
    assign(options_.numberBackColor, color, &TVesmarLiquidIndicator::changeLook);
}

QColor TVesmarLiquidIndicator::dimmedColor(const QColor& lit) const
{
    const QColor unlit = options_.numberBackColor;
    auto toward = [](int from, int to) { return from + (to - from) * 2 / 3; };
    return {toward(lit.red(), unlit.red()), toward(lit.green(), unlit.green()),
            toward(lit.blue(), unlit.blue())};
}

void TVesmarLiquidIndicator::setIndicatorStyle(Vm::TVMIndicatorStyle style)
{
    assign(options_.indicatorStyle, style, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setMouseAction(Vm::TVMMouseAction action)
{
    assign(options_.mouseAction, action, &TVesmarLiquidIndicator::changeLayout);
}

void TVesmarLiquidIndicator::setTransparentMode(Vm::TVMTransparentMode mode)
{
    if (mode == options_.transparentMode)
        return;
    options_.transparentMode = mode;
    setAttribute(Qt::WA_OpaquePaintEvent, mode == Vm::tmNone);
    updateMask();
    update();
}

void TVesmarLiquidIndicator::setBackMaterial(const QImage& material)
{
    options_.backMaterial = material;
    shades_ = IndicatorColors::materialShades(material, options_.materialShadowMode);
    changeLook();
}

void TVesmarLiquidIndicator::setForeMaterial(const QImage& material)
{
    options_.foreMaterial = material;
    changeLook();
}

void TVesmarLiquidIndicator::setMaterialShadowMode(Vm::TVMMaterialShadowMode mode)
{
    if (mode == options_.materialShadowMode)
        return;
    options_.materialShadowMode = mode;
    shades_ = IndicatorColors::materialShades(options_.backMaterial, mode);
    changeLook();
}

void TVesmarLiquidIndicator::setMaterialMode(Vm::TVMMaterialMode mode)
{
    assign(options_.materialMode, mode, &TVesmarLiquidIndicator::changeLook);
}

void TVesmarLiquidIndicator::setForeMaterialMode(Vm::TVMMaterialMode mode)
{
    assign(options_.foreMaterialMode, mode, &TVesmarLiquidIndicator::changeLook);
}

void TVesmarLiquidIndicator::setHint(const QString& hint)
{
    hint_ = hint;
    setToolTip(showHint_ ? hint_ : QString());
}

void TVesmarLiquidIndicator::setShowHint(bool show)
{
    showHint_ = show;
    setToolTip(showHint_ ? hint_ : QString());
}

QSize TVesmarLiquidIndicator::sizeHint() const
{
    return IndicatorGeometry::rotatedBoundingBox(
        QSize(options_.indicatorWidth, options_.indicatorHeight), options_.indicatorAngle);
}

bool TVesmarLiquidIndicator::thickened() const
{
    return hover_ && (options_.mouseAction == Vm::maWidth || options_.mouseAction == Vm::maBoth);
}

bool TVesmarLiquidIndicator::hoverColor() const
{
    return hover_ && (options_.mouseAction == Vm::maColor || options_.mouseAction == Vm::maBoth);
}

void TVesmarLiquidIndicator::changeLook()
{
    renderer_.invalidate();
    update();
}

void TVesmarLiquidIndicator::changeLayout()
{
    if (!loaded_)
        return;
    scene_ = IndicatorScene(options_, thickened(), size());
    renderer_.invalidate();
    updateMask();
    update();
}

void TVesmarLiquidIndicator::changeSize()
{
    if (!loaded_)
        return;
    settingSize_ = true;
    resize(sizeHint());
    settingSize_ = false;
    changeLayout();
}

void TVesmarLiquidIndicator::changeText()
{
    const std::vector<IndicatorCell> cells =
        IndicatorText::cells(text_, options_.signNumber, options_.indicatorKind);
    lit_.resize(cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k)
        lit_[k] = IndicatorText::litElements(cells[k], options_.indicatorKind);
    // Only the fully transparent mode shapes the control after the lit segments.
    if (options_.transparentMode == Vm::tmAll)
        updateMask();
    update();
}

void TVesmarLiquidIndicator::updateMask()
{
    if (!loaded_)
        return;
    if (options_.transparentMode == Vm::tmNone) {
        clipped_ = false;
        const double a = options_.indicatorAngle / 10.0 * std::numbers::pi / 180.0;
        // Turned by a multiple of 90° the display fills its bounding box: no shape needed.
        if (std::abs(std::sin(a)) < 1e-4 || std::abs(std::cos(a)) < 1e-4)
            clearMask();
        else
            setMask(QRegion(scene_.shape().toPolygon()));
        return;
    }
    clip_ = scene_.drawnRegion(lit_, options_.transparentMode == Vm::tmBackOnly);
    clipped_ = true;
    // An empty mask would mean "no mask" to Qt; painting still honours the empty clip then.
    setMask(clip_);
}

void TVesmarLiquidIndicator::setHover(bool hover)
{
    if (hover == hover_)
        return;
    hover_ = hover;
    if (options_.mouseAction == Vm::maWidth || options_.mouseAction == Vm::maBoth)
        changeLayout();
    update();
}

bool TVesmarLiquidIndicator::event(QEvent* event)
{
    if (event->type() == QEvent::Polish)
        finishLoading();
    return QWidget::event(event);
}

void TVesmarLiquidIndicator::paintEvent(QPaintEvent*)
{
    if (scene_.controlSize() != size()) {
        // Painted before loading (or before a pending resize arrived): lay out for what is there.
        scene_ = IndicatorScene(options_, thickened(), size());
        renderer_.invalidate();
    }
    const QImage& image = renderer_.render(scene_, options_, shades_, hoverColor(), lit_);
    QPainter painter(this);
    if (clipped_)
        painter.setClipRegion(clip_);
    painter.drawImage(0, 0, image);
}

void TVesmarLiquidIndicator::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!loaded_ || settingSize_)
        return;
    const double a = options_.indicatorAngle / 10.0 * std::numbers::pi / 180.0;
    const QSize now = size();
    if (std::abs(std::sin(a)) < 1e-4) {
        if (now.width() > 0 && now.height() > 0) {
            options_.indicatorWidth = now.width();
            options_.indicatorHeight = now.height();
        }
    } else if (std::abs(std::cos(a)) < 1e-4) {
        if (now.width() > 0 && now.height() > 0) {
            options_.indicatorWidth = now.height();
            options_.indicatorHeight = now.width();
        }
    } else if (now != sizeHint()) {
        // A turned display keeps its size; the control snaps back around it.
        settingSize_ = true;
        resize(sizeHint());
        settingSize_ = false;
    }
    changeLayout();
    emit resized(this);
}

void TVesmarLiquidIndicator::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    setHover(true);
    emit onMouseEnter(this);
}

void TVesmarLiquidIndicator::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    setHover(false);
    emit onMouseExit(this);
}

void TVesmarLiquidIndicator::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(this, event);
    QWidget::mousePressEvent(event);
}

void TVesmarLiquidIndicator::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(this, event);
    QWidget::mouseReleaseEvent(event);
}

void TVesmarLiquidIndicator::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(this, event);
    QWidget::mouseMoveEvent(event);
}
