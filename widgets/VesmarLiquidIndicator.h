#pragma once

#include "widgets/IndicatorColors.h"
#include "widgets/IndicatorOptions.h"
#include "widgets/IndicatorRenderer.h"
#include "widgets/IndicatorScene.h"
#include "widgets/IndicatorTypes.h"

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class QEnterEvent;
class QMouseEvent;

// A self-drawn liquid-crystal read-out: a short text in seven-segment, nine-segment or 5×7 dot
// cells, with bevels, colour schemes, materials, transparency, rotation and hover feedback.
// GUI thread only.
class TVesmarLiquidIndicator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(Vm::TVMColorScheme ColorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(int SignNumber READ signNumber WRITE setSignNumber)
    Q_PROPERTY(int IndicatorWidth READ indicatorWidth WRITE setIndicatorWidth)
    Q_PROPERTY(int IndicatorHeight READ indicatorHeight WRITE setIndicatorHeight)
    Q_PROPERTY(int IndicatorAngle READ indicatorAngle WRITE setIndicatorAngle)
    Q_PROPERTY(int IndicatorGap READ indicatorGap WRITE setIndicatorGap)
    Q_PROPERTY(QString Indicatorstring READ indicatorString WRITE setIndicatorString)
    Q_PROPERTY(Vm::TVMIndicatorKind IndicatorKind READ indicatorKind WRITE setIndicatorKind)
    Q_PROPERTY(Vm::TVMBevelKind InnerBevel READ innerBevel WRITE setInnerBevel)
    Q_PROPERTY(Vm::TVMBevelKind OuterBevel READ outerBevel WRITE setOuterBevel)
    Q_PROPERTY(int InnerBevelWidth READ innerBevelWidth WRITE setInnerBevelWidth)
    Q_PROPERTY(int OuterBevelWidth READ outerBevelWidth WRITE setOuterBevelWidth)
    Q_PROPERTY(QColor BevelColor READ bevelColor WRITE setBevelColor)
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor NumberForeColor READ numberForeColor WRITE setNumberForeColor)
    Q_PROPERTY(QColor NumberForeColor1 READ numberForeColor1 WRITE setNumberForeColor1)
    Q_PROPERTY(QColor NumberBackColor READ numberBackColor WRITE setNumberBackColor)
    Q_PROPERTY(Vm::TVMIndicatorStyle IndicatorStyle READ indicatorStyle WRITE setIndicatorStyle)
    Q_PROPERTY(Vm::TVMMouseAction MouseAction READ mouseAction WRITE setMouseAction)
    Q_PROPERTY(Vm::TVMTransparentMode TransparentMode READ transparentMode WRITE setTransparentMode)
    Q_PROPERTY(QImage BackMaterial READ backMaterial WRITE setBackMaterial)
    Q_PROPERTY(QImage ForeMaterial READ foreMaterial WRITE setForeMaterial)
    Q_PROPERTY(Vm::TVMMaterialShadowMode MaterialShadowMode READ materialShadowMode WRITE
                   setMaterialShadowMode)
    Q_PROPERTY(Vm::TVMMaterialMode MaterialMode READ materialMode WRITE setMaterialMode)
    Q_PROPERTY(Vm::TVMMaterialMode ForeMaterialMode READ foreMaterialMode WRITE setForeMaterialMode)
    Q_PROPERTY(QString Hint READ hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)

public:
    // Created with the default look, opaque, 172 × 36, not yet loaded.
    explicit TVesmarLiquidIndicator(QWidget* parent = nullptr);
    ~TVesmarLiquidIndicator() override;

    // Ends the set-up phase (done by itself when the control is first polished, i.e. shown):
    // from now on size and angle changes resize the control. Calling it again does nothing.
    void finishLoading();
    // Whether finishLoading has run.
    bool isLoaded() const { return loaded_; }
    // Whether the pointer is over the control.
    bool isHovered() const { return hover_; }
    // Every setting that decides the look, as one value.
    const IndicatorOptions& options() const { return options_; }

    // Colour preset; assigning one always overwrites the five colours, even the same preset again.
    Vm::TVMColorScheme colorScheme() const { return scheme_; }
    void setColorScheme(Vm::TVMColorScheme scheme);
    // Number of character cells; 0 or less is ignored.
    int signNumber() const { return options_.signNumber; }
    void setSignNumber(int count);
    // Width of the unrotated display in pixels; 0 or less is ignored.
    int indicatorWidth() const { return options_.indicatorWidth; }
    void setIndicatorWidth(int width);
    // Height of the unrotated display in pixels; 0 or less is ignored.
    int indicatorHeight() const { return options_.indicatorHeight; }
    void setIndicatorHeight(int height);
    // Rotation in tenths of a degree, counter-clockwise.
    int indicatorAngle() const { return options_.indicatorAngle; }
    void setIndicatorAngle(int angle);
    // Pixels between the bevels and the character cells.
    int indicatorGap() const { return options_.indicatorGap; }
    void setIndicatorGap(int gap);
    // The text shown.
    QString indicatorString() const { return text_; }
    void setIndicatorString(const QString& text);
    // Seven-segment, nine-segment with colon, or 5×7 dot matrix.
    Vm::TVMIndicatorKind indicatorKind() const { return options_.indicatorKind; }
    void setIndicatorKind(Vm::TVMIndicatorKind kind);
    // Inner bevel kind.
    Vm::TVMBevelKind innerBevel() const { return options_.innerBevel; }
    void setInnerBevel(Vm::TVMBevelKind kind);
    // Outer bevel kind.
    Vm::TVMBevelKind outerBevel() const { return options_.outerBevel; }
    void setOuterBevel(Vm::TVMBevelKind kind);
    // Inner bevel width in pixels; 0 or less is ignored.
    int innerBevelWidth() const { return options_.innerBevelWidth; }
    void setInnerBevelWidth(int width);
    // Outer bevel width in pixels; 0 or less is ignored.
    int outerBevelWidth() const { return options_.outerBevelWidth; }
    void setOuterBevelWidth(int width);
    // Base colour of both bevels.
    QColor bevelColor() const { return options_.bevelColor; }
    void setBevelColor(const QColor& color);
    // Background colour.
    QColor backColor() const { return options_.backColor; }
    void setBackColor(const QColor& color);
    // Colour of lit segments.
    QColor numberForeColor() const { return options_.numberForeColor; }
    void setNumberForeColor(const QColor& color);
    // Colour of lit segments while the pointer is over the control (maColor, maBoth).
    QColor numberForeColor1() const { return options_.numberForeColor1; }
    void setNumberForeColor1(const QColor& color);
    // Colour of unlit segments.
    QColor numberBackColor() const { return options_.numberBackColor; }
    void setNumberBackColor(const QColor& color);
    // A lit colour taken two thirds of the way to the unlit segments: digits in it read as
    // plainly dim (a value that is not live) and stay legible.
    QColor dimmedColor(const QColor& lit) const;
    // Segment and dot thickness.
    Vm::TVMIndicatorStyle indicatorStyle() const { return options_.indicatorStyle; }
    void setIndicatorStyle(Vm::TVMIndicatorStyle style);
    // What the pointer over the control changes.
    Vm::TVMMouseAction mouseAction() const { return options_.mouseAction; }
    void setMouseAction(Vm::TVMMouseAction action);
    // Which parts let the parent show through; tmNone keeps the control opaque.
    Vm::TVMTransparentMode transparentMode() const { return options_.transparentMode; }
    void setTransparentMode(Vm::TVMTransparentMode mode);
    // Texture of background, bevels and unlit segments; a null image means plain colours.
    QImage backMaterial() const { return options_.backMaterial; }
    void setBackMaterial(const QImage& material);
    // Texture of lit segments; a null image means NumberForeColor.
    QImage foreMaterial() const { return options_.foreMaterial; }
    void setForeMaterial(const QImage& material);
    // Whether unlit segments show the background material darker, lighter or unchanged.
    Vm::TVMMaterialShadowMode materialShadowMode() const { return options_.materialShadowMode; }
    void setMaterialShadowMode(Vm::TVMMaterialShadowMode mode);
    // How BackMaterial fills: stretched over the control or tiled from its top-left corner.
    Vm::TVMMaterialMode materialMode() const { return options_.materialMode; }
    void setMaterialMode(Vm::TVMMaterialMode mode);
    // How ForeMaterial fills.
    Vm::TVMMaterialMode foreMaterialMode() const { return options_.foreMaterialMode; }
    void setForeMaterialMode(Vm::TVMMaterialMode mode);
    // Tool tip text, shown only while ShowHint is set.
    QString hint() const { return hint_; }
    void setHint(const QString& hint);
    // Whether the hint is shown.
    bool showHint() const { return showHint_; }
    void setShowHint(bool show);

    // The turned display's bounding box.
    QSize sizeHint() const override;

signals:
    // The pointer entered the control; the hover look is already requested.
    void onMouseEnter(TVesmarLiquidIndicator* sender);
    // The pointer left the control; the normal look is already requested.
    void onMouseExit(TVesmarLiquidIndicator* sender);
    // A mouse button went down on the control.
    void mouseDown(TVesmarLiquidIndicator* sender, QMouseEvent* event);
    // A mouse button went up on the control.
    void mouseUp(TVesmarLiquidIndicator* sender, QMouseEvent* event);
    // The pointer moved over the control.
    void mouseMove(TVesmarLiquidIndicator* sender, QMouseEvent* event);
    // The control was resized and has taken its new display size.
    void resized(TVesmarLiquidIndicator* sender);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void changeLook();
    void changeLayout();
    void changeSize();
    void changeText();
    void updateMask();
    void setHover(bool hover);
    bool thickened() const;
    bool hoverColor() const;
    template <typename T>
    void assign(T& field, const T& value, void (TVesmarLiquidIndicator::*change)());

    IndicatorOptions options_;
    Vm::TVMColorScheme scheme_ = Vm::csSilver;
    QString text_;
    QString hint_;
    bool showHint_ = false;
    bool loaded_ = false;
    bool hover_ = false;
    bool settingSize_ = false;
    MaterialShades shades_;
    IndicatorScene scene_;
    IndicatorRenderer renderer_;
    std::vector<std::uint64_t> lit_;
    QRegion clip_;
    bool clipped_ = false;
};
