#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTextDocument>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

namespace quell::testing {

// Measures captions as a Debian desktop shows them: the programs take the desktop's font, and
// fontconfig gives DejaVu Sans there, at the 9 points Qt uses when the desktop says nothing.
// Windows that choose a face of their own keep it. Make it before the windows; the application
// gets its font back when it ends.
class DesktopFont {
public:
    DesktopFont() : previous_(QApplication::font())
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(9);
        QApplication::setFont(font);
    }
    ~DesktopFont() { QApplication::setFont(previous_); }
    DesktopFont(const DesktopFont&) = delete;
    DesktopFont& operator=(const DesktopFont&) = delete;

private:
    QFont previous_;
};

// A caption the operator cannot read whole: the control, its text and how many pixels it lacks.
struct ClippedCaption {
    QString control;
    QString text;
    int shortfall = 0;
};

namespace captionfit {

// Whether widget is the viewport of a scroll area: what lies in it is seen by scrolling to it.
inline bool isViewport(const QWidget& widget)
{
    const auto* area = qobject_cast<const QAbstractScrollArea*>(widget.parentWidget());
    return area != nullptr && area->viewport() == &widget;
}

// The part of control's rectangle that can be seen on screen: what its ancestors up to window
// (or up to the scroll area it lies in) leave of it, less every visible sibling stacked above it
// or above one of those ancestors.
inline QRegion seenPart(const QWidget& control, const QWidget& window)
{
    QRegion seen(control.rect());
    const QWidget* level = &control;
    while (level != &window && level->parentWidget() != nullptr) {
        const QWidget* parent = level->parentWidget();
        if (isViewport(*parent))
            break;
        const QPoint parentOrigin = control.mapFrom(parent, QPoint(0, 0));
        seen &= QRect(parentOrigin, parent->size());
        const QObjectList& siblings = parent->children();
        for (qsizetype k = siblings.indexOf(level) + 1; k < siblings.size(); ++k) {
            const auto* above = qobject_cast<const QWidget*>(siblings[k]);
            if (above != nullptr && !above->isWindow() && above->isVisible())
                seen -= QRect(control.mapFrom(parent, above->pos()), above->size());
        }
        level = parent;
    }
    return seen;
}

// How many of a text's pixels are not seen: it is advance wide and drawn in area with the given
// horizontal alignment; what is wider than area or falls outside what is seen of the control is
// lost (measured along the middle of the text line).
inline int lostPixels(int advance, const QRect& area, Qt::Alignment alignment, const QRegion& seen)
{
    int left = area.left();
    if (alignment & Qt::AlignRight)
        left = area.right() + 1 - advance;
    else if (alignment & Qt::AlignHCenter)
        left = area.left() + (area.width() - advance) / 2;
    const QRegion line = seen.intersected(QRect(left, area.center().y(), advance, 1));
    int covered = 0;
    for (const QRect& part : line)
        covered += part.width();
    return std::max(advance - area.width(), advance - covered);
}

inline int labelAdvance(const QLabel& label)
{
    const QString text = label.text();
    if (label.textFormat() == Qt::RichText
        || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setDefaultFont(label.font());
        document.setDocumentMargin(0);
        document.setHtml(text);
        return static_cast<int>(std::ceil(document.idealWidth()));
    }
    return label.fontMetrics().size(0, text).width();
}

// The rectangle a label draws its text in: inside its frame and margin, less the indent on the
// side it is aligned to (a framed label without one indents by half an "x", as QLabel does).
inline QRect labelTextArea(const QLabel& label)
{
    QRect area = label.contentsRect().adjusted(label.margin(), label.margin(), -label.margin(),
                                               -label.margin());
    int indent = label.indent();
    if (indent < 0 && label.frameWidth() > 0)
        indent = label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    const Qt::Alignment alignment =
        QStyle::visualAlignment(label.layoutDirection(), label.alignment());
    if (indent > 0 && (alignment & Qt::AlignLeft))
        area.setLeft(area.left() + indent);
    if (indent > 0 && (alignment & Qt::AlignRight))
        area.setRight(area.right() - indent);
    return area;
}

inline int checkLabel(const QLabel& label, const QWidget& window)
{
    if (label.wordWrap())
        return 0; // it breaks its lines to its width
    return lostPixels(labelAdvance(label), labelTextArea(label),
                      QStyle::visualAlignment(label.layoutDirection(), label.alignment()),
                      seenPart(label, window));
}

inline QStyleOptionButton buttonOption(const QAbstractButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    if (button.isChecked())
        option.state |= QStyle::State_On;
    if (const auto* push = qobject_cast<const QPushButton*>(&button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->isDefault())
            option.features |= QStyleOptionButton::DefaultButton;
        if (push->isFlat())
            option.features |= QStyleOptionButton::Flat;
        if (push->menu() != nullptr)
            option.features |= QStyleOptionButton::HasMenu;
    }
    return option;
}

// A push button draws its caption centred in the style's contents rectangle (inside its bevel,
// beside its icon and menu arrow); a check box or radio button left of its indicator's side.
inline int checkButton(const QAbstractButton& button, const QWidget& window)
{
    const QStyleOptionButton option = buttonOption(button);
    const QStyle* style = button.style();
    const int advance = button.fontMetrics().size(Qt::TextShowMnemonic, button.text()).width();
    QRect area;
    Qt::Alignment alignment = Qt::AlignLeft;
    if (qobject_cast<const QCheckBox*>(&button) != nullptr) {
        area = style->subElementRect(QStyle::SE_CheckBoxContents, &option, &button);
    } else if (qobject_cast<const QRadioButton*>(&button) != nullptr) {
        area = style->subElementRect(QStyle::SE_RadioButtonContents, &option, &button);
    } else if (qobject_cast<const QPushButton*>(&button) != nullptr) {
        area = style->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
        if (option.features & QStyleOptionButton::HasMenu)
            area.setRight(area.right()
                          - style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, &button));
        if (!option.icon.isNull())
            area.setLeft(area.left() + option.iconSize.width() + 4);
        alignment = Qt::AlignHCenter;
    } else {
        // Other buttons (tool buttons) lay out icon and text themselves: their size hint is
        // what they need.
        return std::max(0, button.sizeHint().width()
                               - seenPart(button, window).boundingRect().width());
    }
    return lostPixels(advance, area, QStyle::visualAlignment(button.layoutDirection(), alignment),
                      seenPart(button, window));
}

// The title is drawn in the style's label rectangle, which the style sizes from the text (to
// the pixel it rounds to); the title is cut where the box or what lies over it ends.
inline int checkGroupBox(const QGroupBox& box, const QWidget& window)
{
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box.alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box.isCheckable()) {
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
        option.state |= box.isChecked() ? QStyle::State_On : QStyle::State_Off;
    }
    if (box.isFlat())
        option.features |= QStyleOptionFrame::Flat;
    const QRect area =
        box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    return lostPixels(area.width(), area, Qt::AlignLeft, seenPart(box, window));
}

inline void checkTabBar(const QTabBar& bar, const QWidget& window, const QString& where,
                        std::vector<ClippedCaption>& out)
{
    const QRegion seen = seenPart(bar, window);
    for (int k = 0; k < bar.count(); ++k) {
        if (!bar.isTabVisible(k) || bar.tabText(k).isEmpty())
            continue;
        QStyleOptionTab option;
        option.initFrom(&bar);
        option.rect = bar.tabRect(k);
        option.text = bar.tabText(k);
        option.shape = bar.shape();
        option.icon = bar.tabIcon(k);
        option.iconSize = bar.iconSize();
        option.documentMode = bar.documentMode();
        const QRect area = bar.style()->subElementRect(QStyle::SE_TabBarTabText, &option, &bar);
        const int advance = bar.fontMetrics().size(Qt::TextShowMnemonic, option.text).width();
        const int lost = lostPixels(advance, area, Qt::AlignHCenter, seen);
        if (lost > 0)
            out.push_back(
                {where + QStringLiteral(" tab ") + QString::number(k), option.text, lost});
    }
}

inline QString nameOf(const QWidget& control)
{
    QString name = control.objectName();
    if (name.isEmpty())
        name = QStringLiteral("<%1 in %2>")
                   .arg(QLatin1String(control.metaObject()->className()),
                        control.parentWidget() ? control.parentWidget()->objectName() : QString());
    return name;
}

} // namespace captionfit

// Every caption of window's visible buttons, labels, group box titles and tabs that is not seen
// whole: wider than the place the style draws it in, cut by a parent or covered by a control
// stacked above it. The window is laid out as shown; controls not visible are left out.
inline std::vector<ClippedCaption> ClippedCaptions(const QWidget& window)
{
    using namespace captionfit;
    std::vector<ClippedCaption> clipped;
    auto note = [&clipped](const QWidget& control, const QString& text, int lost) {
        if (lost > 0)
            clipped.push_back({nameOf(control), text, lost});
    };
    const QList<QWidget*> all = window.findChildren<QWidget*>();
    for (const QWidget* control : all) {
        if (!control->isVisible() || control->isWindow())
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            if (!label->text().isEmpty())
                note(*label, label->text(), checkLabel(*label, window));
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            if (!button->text().isEmpty())
                note(*button, button->text(), checkButton(*button, window));
        } else if (const auto* box = qobject_cast<const QGroupBox*>(control)) {
            if (!box->title().isEmpty())
                note(*box, box->title(), checkGroupBox(*box, window));
        } else if (const auto* bar = qobject_cast<const QTabBar*>(control)) {
            checkTabBar(*bar, window, nameOf(*bar), clipped);
        }
    }
    return clipped;
}

// One line per clipped caption, for a test's failure message.
inline QString Describe(const QString& window, const std::vector<ClippedCaption>& clipped)
{
    QString lines;
    for (const auto& c : clipped)
        lines += QStringLiteral("%1: %2 \"%3\" lacks %4 px\n")
                     .arg(window, c.control, c.text, QString::number(c.shortfall));
    return lines;
}

} // namespace quell::testing
