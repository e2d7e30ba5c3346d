#include "view/DetaljiPage.h"

#include "client/ParameterTableModel.h"

#include "view/TrendChart.h"
#include "view/ViewChannels.h"
#include "view/ViewLayout.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QPushButton>

#include <utility>

namespace quell {

using namespace vrqpb;

namespace {

const QString kEmptyLabel = QStringLiteral("-----");

QString n(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

// A label takes its text's width at the place the layout gave it.
void setLabel(QLabel* label, const std::string& text)
{
    label->setText(QString::fromStdString(text));
    label->resize(label->sizeHint().width(), label->height());
}

// What the operator is typing survives the refreshes until Enter writes it.
void setEdit(QLineEdit* edit, const std::string& text)
{
    if (!edit->hasFocus()) {
        edit->setText(QString::fromStdString(text));
    }
}

// Sets the field of a change mask's bit.
template <typename Set, typename Text>
void ifChanged(unsigned mask, unsigned bit, Set set, const Text& text)
{
    if ((mask & bit) != 0) {
        set(text);
    }
}

// The voltage and value columns that Lin and Wood rows have in common; the row types name their
// change bits alike.
template <typename Texts, typename Widgets>
void applyMeasured(unsigned mask, Widgets& w, const Texts& t)
{
    using F = typename Texts::Field;
    const std::pair<unsigned, std::pair<QLabel*, const std::string*>> columns[] = {
        {F::Voltage, {w.voltage, &t.voltage}},       {F::VoltDone, {w.voltDone, &t.voltDone}},
        {F::VoltError, {w.voltError, &t.voltError}}, {F::Value, {w.value, &t.value}},
        {F::ValueDone, {w.valueDone, &t.valueDone}}, {F::ValueError, {w.valueError, &t.valueError}},
    };
    for (const auto& [bit, column] : columns) {
        if ((mask & bit) != 0) {
            setLabel(column.first, *column.second);
        }
    }
}

// The fixed captions of a group, from the layout's table.
void makeCaptions(QGroupBox* box)
{
    const std::string boxName = box->objectName().toStdString();
    for (const auto& step : viewlayout::FullLayoutSequence()) {
        if (step.box == boxName && !step.caption.empty()) {
            auto* caption = new QLabel(QString::fromStdString(step.caption), box);
            caption->setObjectName(QString::fromStdString(step.control));
        }
    }
}

} // namespace

DetaljiPage::DetaljiPage(QWidget* page) : QObject(page)
{
    buildMenus(page);
    buildLin();
    lin_->setParent(page);
    buildWood();
    wood_->setParent(page);
    chart1_ = new TrendChart(page);
    chart1_->setObjectName(QStringLiteral("Chart1"));
    chart1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart1_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { emit chartMenu(chart1_->mapToGlobal(pos)); });
}

QLabel* DetaljiPage::label(QWidget* box, const QString& name)
{
    auto* label = new QLabel(kEmptyLabel, box);
    label->setObjectName(name);
    return label;
}

QLineEdit* DetaljiPage::entryEdit(QWidget* box, const QString& name, const QString& hint)
{
    auto* edit = new QLineEdit(box);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    if (const vrqpb::Entry entry = EntryOfEdit(name.toStdString()); entry != vrqpb::kNoEntry)
        entryEdits_.emplace_back(edit, entry);
    connect(edit, &QLineEdit::returnPressed, this, [this, edit] { emit entryEditReturn(edit); });
    return edit;
}

QLineEdit* DetaljiPage::calEdit(QWidget* box, const QString& name, const QString& hint)
{
    auto* edit = entryEdit(box, name, hint);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint& pos) {
        emit calEditMenu(edit);
        popupMenuCal_->popup(edit->mapToGlobal(pos));
    });
    return edit;
}

void DetaljiPage::buildMenus(QWidget* page)
{
    popupMenuCal_ = new QMenu(page);
    popupMenuCal_->setObjectName(QStringLiteral("PopupMenuCal"));
    popupMenuCal_->addAction(QStringLiteral("Get Cal"), this, &DetaljiPage::getCalChosen)
        ->setObjectName(QStringLiteral("GetCal1"));

    popupMenuWoodState_ = new QMenu(page);
    popupMenuWoodState_->setObjectName(QStringLiteral("PopupMenuWoodState"));
    const std::pair<const char*, ProbeStateItem> items[] = {
        {"Pasiv", ProbeStateItem::Passive}, {"Active", ProbeStateItem::Active},
        {"Tip1", ProbeStateItem::Type1},    {"Tip2", ProbeStateItem::Type2},
        {"Tip3", ProbeStateItem::Type3},    {"Tip4", ProbeStateItem::Type4}};
    for (const auto& choice : items) {
        const char* caption = choice.first;
        const ProbeStateItem item = choice.second;
        auto* action = popupMenuWoodState_->addAction(
            QString::fromLatin1(caption), this, [this, item] { emit probeStateChosen(item); });
        action->setObjectName(QString::fromLatin1(caption));
        action->setData(static_cast<int>(item));
    }
}

void DetaljiPage::buildLin()
{
    lin_ = new QGroupBox(QStringLiteral("Lin"));
    lin_->setObjectName(QStringLiteral("GroupBoxLin"));
    makeCaptions(lin_);
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        const auto& ch = kLinChannels[r];
        auto& row = linRows_[r];
        const int c = ch.channel;
        row.adcError = label(lin_, n("ADC_E", c));
        row.voltage = label(lin_, n("U_", c));
        row.voltDone = label(lin_, n("U_D", c));
        row.voltError = label(lin_, n("U_E", c));
        row.value = label(lin_, n("Val_", c));
        row.valueDone = label(lin_, n("V_D", c));
        row.valueError = label(lin_, n("V_E", c));
        row.filter = entryEdit(lin_, n("Filt", c));
        for (int p = 1; p <= ch.calCount; ++p) {
            row.cal.push_back(
                calEdit(lin_, QString::fromStdString(CalEditName(static_cast<int>(r) + 1, p)),
                        QString::fromStdString(CalPointHint(ch.calCount, p))));
        }
    }
}

void DetaljiPage::buildWood()
{
    wood_ = new QGroupBox(QStringLiteral("Wood"));
    wood_->setObjectName(QStringLiteral("GroupBoxWood"));
    makeCaptions(wood_);
    beep_ = new QCheckBox(QStringLiteral("Beep"), wood_);
    beep_->setObjectName(QStringLiteral("Beep"));
    adcE4_ = label(wood_, QStringLiteral("ADC_E4"));
    select_ = label(wood_, QStringLiteral("ADC_4Select"));
    swap_ = label(wood_, QStringLiteral("ADC_4Swap"));
    count_ = label(wood_, QStringLiteral("ADC_4Count"));
    compTemp_ = entryEdit(wood_, QStringLiteral("CompTemp"));
    keepZero_ = new QCheckBox(QStringLiteral("Keep zero compensation"), wood_);
    keepZero_->setObjectName(QStringLiteral("CompTempCheckBox"));
    filtMC_ = entryEdit(wood_, QStringLiteral("EditFiltMC"));
    auto* getCalW = new QPushButton(QStringLiteral("GetCalW"), wood_);
    getCalW->setObjectName(QStringLiteral("ButtonCalW"));
    connect(keepZero_, &QCheckBox::clicked, this, &DetaljiPage::keepZeroClicked);
    connect(getCalW, &QPushButton::clicked, this, &DetaljiPage::getCalWClicked);

    static const char* const hints[] = {"10K", "100K", "1M", "10M", "100M", "1G", "10G", "100G"};
    for (int i = 0; i < kWoodChannels; ++i) {
        auto& row = woodRows_[static_cast<std::size_t>(i)];
        row.voltage = label(wood_, n("U_W", i));
        row.voltDone = label(wood_, n("U_DW", i));
        row.voltError = label(wood_, n("U_EW", i));
        row.value = label(wood_, n("Val_W", i));
        row.valueDone = label(wood_, n("V_WD", i));
        row.valueError = label(wood_, n("V_WE", i));
        row.config = label(wood_, n("LST", i));
        row.calib = calEdit(wood_, n("CalW", i), QString::fromLatin1(hints[i]));
        row.deviation = label(wood_, n("BiasW", i));
        row.config->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row.config, &QWidget::customContextMenuRequested, this,
                [this, i, config = row.config](const QPoint& pos) {
                    emit probeMenu(i);
                    popupMenuWoodState_->popup(config->mapToGlobal(pos));
                });
    }
}

QLineEdit* DetaljiPage::calW(int woodChannel) const
{
    return woodRows_.at(static_cast<std::size_t>(woodChannel)).calib;
}

QLabel* DetaljiPage::probeLabel(int woodChannel) const
{
    return woodRows_.at(static_cast<std::size_t>(woodChannel)).config;
}

void DetaljiPage::readControls(ViewControls& c) const
{
    c.linEnabled = lin_->isEnabled();
    c.woodEnabled = wood_->isEnabled();
    c.beepChecked = beep_->isChecked();
    c.keepZeroChecked = keepZero_->isChecked();
    c.compTempFocused = compTemp_->hasFocus();
}

void DetaljiPage::apply(const ViewRefresh& out)
{
    const auto text = [](QLabel* l) { return [l](const std::string& t) { setLabel(l, t); }; };
    const auto edit = [](QLineEdit* e) { return [e](const std::string& t) { setEdit(e, t); }; };
    if (out.lin) {
        using F = LinRowTexts::Field;
        for (std::size_t r = 0; r < linRows_.size(); ++r) {
            const unsigned m = out.linChanged[r];
            const auto& t = (*out.lin)[r];
            auto& w = linRows_[r];
            ifChanged(m, F::AdcError, text(w.adcError), t.adcError);
            applyMeasured(m, w, t);
            ifChanged(m, F::Filter, edit(w.filter), t.filter);
            for (std::size_t p = 0; p < w.cal.size() && p < t.cal.size(); ++p) {
                ifChanged(m, 1u << (LinRowTexts::kCalBit + p), edit(w.cal[p]), t.cal[p]);
            }
        }
    }
    if (out.woodHeader) {
        using H = WoodHeaderTexts::Field;
        const unsigned m = out.woodHeaderChanged;
        const auto& t = *out.woodHeader;
        ifChanged(m, H::AdcError, text(adcE4_), t.adcError);
        ifChanged(m, H::Select, text(select_), t.select);
        ifChanged(m, H::Swap, text(swap_), t.swap);
        ifChanged(m, H::Count, text(count_), t.count);
        if ((m & H::CompTemp) != 0 && t.compTemp) {
            setEdit(compTemp_, *t.compTemp);
        }
        ifChanged(m, H::Filter, edit(filtMC_), t.filter);
    }
    if (out.wood) {
        using F = WoodRowTexts::Field;
        for (std::size_t i = 0; i < woodRows_.size(); ++i) {
            const unsigned m = out.woodChanged[i];
            const auto& t = (*out.wood)[i];
            auto& w = woodRows_[i];
            applyMeasured(m, w, t);
            ifChanged(m, F::Calib, edit(w.calib), t.calib);
            ifChanged(m, F::Config, text(w.config), t.config);
            ifChanged(m, F::Deviation, text(w.deviation), t.deviation);
        }
    }
}

void DetaljiPage::showLive(bool live)
{
    if (live == live_)
        return;
    live_ = live;
    std::vector<QLabel*> readOuts = {adcE4_, select_, swap_, count_};
    for (const LinRowControls& row : linRows_)
        readOuts.insert(readOuts.end(), {row.adcError, row.voltage, row.voltDone, row.voltError,
                                         row.value, row.valueDone, row.valueError});
    for (const WoodRowControls& row : woodRows_)
        readOuts.insert(readOuts.end(), {row.voltage, row.voltDone, row.voltError, row.value,
                                         row.valueDone, row.valueError, row.config, row.deviation});
    // Half-way to the background: not every platform palette greys its disabled text.
    const QPalette normal = lin_->palette();
    const QColor text = normal.color(QPalette::WindowText);
    const QColor ground = normal.color(QPalette::Window);
    const QColor grey((text.red() + ground.red()) / 2, (text.green() + ground.green()) / 2,
                      (text.blue() + ground.blue()) / 2);
    for (QLabel* label : readOuts) {
        if (label == nullptr)
            continue;
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, live ? text : grey);
        label->setPalette(palette);
    }
}

void DetaljiPage::showUnsent(const std::function<bool(vrqpb::Entry)>& unsent)
{
    unsentShown_ = 0;
    for (const auto& [edit, entry] : entryEdits_) {
        const bool waiting = unsent(entry);
        unsentShown_ += waiting ? 1 : 0;
        if (edit->font().italic() == waiting)
            continue;
        QFont font = edit->font();
        font.setItalic(waiting);
        edit->setFont(font);
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, waiting ? ParameterTableModel::unsentColour()
                                                 : lin_->palette().color(QPalette::Base));
        edit->setPalette(palette);
    }
}

} // namespace quell
