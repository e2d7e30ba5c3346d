#include "view/MerenjePage.h"

#include "view/ReferenceSelection.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QMenu>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quell {

using namespace vrqpb;

namespace {

QColor digitColour(IndicatorColour colour)
{
    switch (colour) {
    case IndicatorColour::Navy:
        return QColor(0, 0, 128);
    case IndicatorColour::Red:
        return QColor(255, 0, 0);
    case IndicatorColour::Olive:
        return QColor(128, 128, 0);
    case IndicatorColour::Grey:
        return QColor(128, 128, 128);
    }
    return {};
}

} // namespace

MerenjePage::MerenjePage(QWidget* page, ReferenceSelection& selection)
    : QObject(page), selection_(selection)
{
    buildIndicators(page);
    buildSelectors(page);
}

void MerenjePage::buildIndicators(QWidget* page)
{
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        const auto& info = kIndicators[i];
        auto* led = new TVesmarLiquidIndicator(page);
        led->setObjectName(QString::fromLatin1(info.name));
        led->setSignNumber(5);
        led->setHint(QString::fromLatin1(info.hint));
        led->setShowHint(true);
        colours_[i] = digitColour(info.colour);
        led->setNumberForeColor(colours_[i]);
        indicators_[i] = led;
    }
}

void MerenjePage::applyIndicators(const std::array<IndicatorState, 18>& states,
                                  const std::bitset<18>& changed)
{
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (changed.test(i)) {
            colours_[i] = digitColour(states[i].colour);
            paintIndicator(i);
            indicators_[i]->setIndicatorString(QString::fromStdString(states[i].text));
        }
    }
}

void MerenjePage::showStale(const std::bitset<18>& stale)
{
    const std::bitset<18> changed = stale ^ stale_;
    stale_ = stale;
    for (std::size_t i = 0; i < indicators_.size(); ++i)
        if (changed.test(i))
            paintIndicator(i);
}

void MerenjePage::paintIndicator(std::size_t i)
{
    indicators_[i]->setNumberForeColor(stale_.test(i) ? indicators_[i]->dimmedColor(colours_[i])
                                                      : colours_[i]);
}

void MerenjePage::buildSelectors(QWidget* page)
{
    struct GroupInfo {
        const char* name;
        const char* caption;
        const char* boxPrefix; // check-box groups only
        std::array<const char*, 9> items;
    };
    static constexpr std::array<const char*, 9> kResistors = {
        "  10 K", "100 K", "    1 M", "  10 M", "100 M", "    1 G", "  10 G", "100 G", " open"};
    static constexpr std::array<const char*, 9> kTemperatures = {
        "   KS",       " -25\u00B0C", "    0\u00B0C", "  25\u00B0C", "  50\u00B0C",
        "  75\u00B0C", "100\u00B0C",  "150\u00B0C",   " open"};
    const std::array<GroupInfo, 8> groups = {{
        {"SlotEMC1", "EMC 1", nullptr, kResistors},
        {"SlotEMC2", "EMC 2", nullptr, kResistors},
        {"SlotTemp1", "Temp 1", nullptr, kTemperatures},
        {"SlotTemp2", "Temp 2", nullptr, kTemperatures},
        {"SlotMC1",
         "MC-R",
         "MC1_",
         {"10 K", "100 K", "1 M", "10 M", "100 M", "1 G", "10 G", "100 G", " open"}},
        {"SlotMC2",
         "MC-S",
         "MC2_",
         {"1 G", "1 G", "1 G", "1 G", "1 G", "1 G", "1 G", "1 G", " open"}},
        {"SlotMC3",
         "SELECT",
         nullptr,
         {"MC 1", "MC 2", "MC 3", "MC 4", "MC 5", "MC 6", "MC 7", "MC 8", "open"}},
        {"SlotMC4", "MC-R", nullptr, kResistors},
    }};
    popupMenuGroupBoxCheckAll_ = new QMenu(page);
    popupMenuGroupBoxCheckAll_->setObjectName(QStringLiteral("PopupMenuGroupBoxCheckAll"));
    auto* selectAllItem = popupMenuGroupBoxCheckAll_->addAction(QStringLiteral("Select All"), this,
                                                                [this] { selectAll(); });
    selectAllItem->setObjectName(QStringLiteral("SelectAll1"));

    for (int g = 0; g < 8; ++g) {
        const auto& info = groups[static_cast<std::size_t>(g)];
        auto* box = new QGroupBox(QString::fromUtf8(info.caption), page);
        box->setObjectName(QString::fromLatin1(info.name));
        // The MC check groups place their boxes proportionally with the rest of the view.
        auto* column = info.boxPrefix == nullptr ? new QVBoxLayout(box) : nullptr;
        if (column != nullptr) {
            // The groups are narrow; the style's default margins would clip the captions.
            column->setContentsMargins(2, 0, 0, 0);
            column->setSpacing(0);
        }
        for (int k = 0; k < 9; ++k) {
            const QString caption = QString::fromUtf8(info.items[static_cast<std::size_t>(k)]);
            QAbstractButton* button = nullptr;
            if (info.boxPrefix != nullptr) {
                button = new QCheckBox(caption, box);
                button->setObjectName(QString::fromLatin1(info.boxPrefix) + QString::number(k));
            } else {
                button = new QRadioButton(caption, box);
                button->setObjectName(QString::fromLatin1(info.name) + QLatin1Char('_')
                                      + QString::number(k));
            }
            // Only a click by the operator writes; ShowSelection sets states without clicks.
            connect(button, &QAbstractButton::clicked, this,
                    [this, g, k] { selectorClicked(g, k); });
            selectorItems_[static_cast<std::size_t>(g)][static_cast<std::size_t>(k)] = button;
            if (column != nullptr) {
                column->addWidget(button);
            }
        }
        if (info.boxPrefix != nullptr) {
            box->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(box, &QWidget::customContextMenuRequested, this,
                    [this, g, box](const QPoint& p) {
                        selectAllGroup_ = g;
                        popupMenuGroupBoxCheckAll_->popup(box->mapToGlobal(p));
                    });
            box->installEventFilter(this);
        }
    }
}

std::uint8_t MerenjePage::selectorMask(int group) const
{
    std::uint8_t mask = 0;
    for (int k = 0; k < 8; ++k) {
        if (selectorItems_[static_cast<std::size_t>(group)][static_cast<std::size_t>(k)]
                ->isChecked()) {
            mask = static_cast<std::uint8_t>(mask | ReferenceSelection::code(k));
        }
    }
    return mask;
}

void MerenjePage::selectorClicked(int group, int item)
{
    if (group == ReferenceSelection::kMcR || group == ReferenceSelection::kMcS) {
        if (item == 8) {
            for (int k = 0; k < 8; ++k) {
                selectorItems_[static_cast<std::size_t>(group)][static_cast<std::size_t>(k)]
                    ->setChecked(false);
            }
            selection_.mcCheckClear(group);
            return;
        }
        // SELECT is a radio group: its mask is the code of its one checked item.
        selection_.mcCheckClick(group, selectorMask(ReferenceSelection::kMcR),
                                selectorMask(ReferenceSelection::kMcS),
                                selectorMask(ReferenceSelection::kSelect));
        return;
    }
    selection_.slotClick(group, item, selectorMask(ReferenceSelection::kMcR),
                         selectorMask(ReferenceSelection::kMcS));
}

void MerenjePage::selectAll()
{
    selection_.selectAll(selectAllGroup_);
}

bool MerenjePage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int g : {ReferenceSelection::kMcR, ReferenceSelection::kMcS}) {
            if (watched == selectorItems_[static_cast<std::size_t>(g)][0]->parent()) {
                selection_.selectAll(g);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void MerenjePage::showAnswered(const ViewSnapshot& snapshot,
                               const std::vector<std::uint16_t>& answered)
{
    for (const std::uint16_t entry : answered) {
        if (IsSelector(entry) && snapshot.has(entry)) {
            showSelection(entry - kSelectorFirst, snapshot.value(entry));
        }
    }
}

void MerenjePage::showSelection(int group, std::int16_t value)
{
    const auto shown = ReferenceSelection::display(value);
    const auto g = static_cast<std::size_t>(group);
    const bool checkGroup = group == ReferenceSelection::kMcR || group == ReferenceSelection::kMcS;
    for (std::size_t k = 0; k < 9; ++k) {
        auto* item = selectorItems_[g][k];
        // An exclusive radio item cannot be cleared directly; checking another one clears it.
        if (shown.checked[k] || checkGroup) {
            item->setChecked(shown.checked[k]);
        }
    }
    // Painting restyles the item, which costs far more than the rest of a refresh; only the
    // items whose colour changes are painted again.
    auto& painted = painted_[g];
    for (std::size_t k = 0; k < 8; ++k) {
        const auto bit = static_cast<std::uint8_t>(1u << k);
        if (shown.red[k] != ((painted & bit) != 0)) {
            selectorItems_[g][k]->setStyleSheet(
                shown.red[k] ? QStringLiteral("background-color: red") : QString());
            painted = static_cast<std::uint8_t>(painted ^ bit);
        }
    }
}

} // namespace quell
