#include "compact/CompactFormView.h"

#include "compact/CompactClientMain.h"
#include "compact/CompactLink.h"
#include "compact/CompactViewModel.h"
#include "compact/UCommands.h"
#include "view/DisplayHelpers.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <stdexcept>

namespace quell::compact {

namespace {

QColor digitColour(DigitColour colour)
{
    switch (colour) {
    case DigitColour::Red:
        return {255, 0, 0};
    case DigitColour::Navy:
        return {0, 0, 128};
    case DigitColour::Olive:
        return {128, 128, 0};
    case DigitColour::Gray:
        return {128, 128, 128};
    }
    return {};
}

// The analog rows of the Lin group, with the number their controls carry.
const std::pair<const char*, int> kLinRows[] = {{"EMC1", 0},  {"TEMP1", 1}, {"EMC2", 2},
                                                {"TEMP2", 3}, {"REF", 5},   {"GND", 6}};

QLabel* title(const char* text, QWidget* parent)
{
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

TFormView::TFormView(TClientMain& main, QWidget* parent) : QWidget(parent), main_(main)
{
    setObjectName(QStringLiteral("FormView"));
    setWindowTitle(QStringLiteral("View"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowMinMaxButtonsHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* top = new QHBoxLayout;
    checkLin_ = new QCheckBox(QStringLiteral("Lin Enable"), this);
    checkLin_->setObjectName(QStringLiteral("CheckBoxLin"));
    checkWood_ = new QCheckBox(QStringLiteral("Wood Enable"), this);
    checkWood_->setObjectName(QStringLiteral("CheckBoxWood"));
    ledTime_ = new TVesmarLiquidIndicator(this);
    ledTime_->setObjectName(QStringLiteral("LedTime"));
    ledTime_->setSignNumber(6);
    ledTime_->setMinimumSize(90, 24);
    top->addWidget(checkLin_);
    top->addWidget(checkWood_);
    top->addStretch();
    top->addWidget(ledTime_);
    layout->addLayout(top);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->addTab(buildMeasure(), QStringLiteral("LEDMeasure"));
    pages_->addTab(buildSumarum(), QStringLiteral("Sumarum"));
    layout->addWidget(pages_, 1);
    connect(pages_, &QTabWidget::currentChanged, this, &TFormView::RefreshView);

    connect(checkLin_, &QCheckBox::toggled, groupLin_, &QWidget::setEnabled);
    connect(checkWood_, &QCheckBox::toggled, groupWood_, &QWidget::setEnabled);
    connect(checkCompTemp_, &QCheckBox::toggled, this,
            [this](bool keep) { edits_.value(QStringLiteral("CompTemp"))->setEnabled(!keep); });

    popupCal_ = new QMenu(this);
    popupCal_->setObjectName(QStringLiteral("PopupMenuCal"));
    popupCal_->addAction(QStringLiteral("Get Cal"), this, &TFormView::GetCal1Click)
        ->setObjectName(QStringLiteral("GetCal1"));
    popupWoodState_ = new QMenu(this);
    popupWoodState_->setObjectName(QStringLiteral("PopupMenuWoodState"));
    const std::pair<const char*, const char*> woodItems[] = {
        {"Pasiv1", "Pasiv"}, {"Active1", "Active"}, {"ip11", "Tip1"},
        {"ip21", "Tip2"},    {"ip31", "Tip3"},      {"ip41", "Tip4"}};
    for (int i = 0; i < 6; ++i) {
        if (i == 2)
            popupWoodState_->addSeparator();
        popupWoodState_
            ->addAction(QLatin1String(woodItems[i].second), this,
                        [this, i] { WoodStateClick(i + 1); })
            ->setObjectName(QLatin1String(woodItems[i].first));
    }
    popupStoper_ = new QMenu(this);
    popupStoper_->setObjectName(QStringLiteral("PopupMenuStoper"));
    popupStoper_->addAction(QStringLiteral("Reset"), this, &TFormView::Reset1Click)
        ->setObjectName(QStringLiteral("Reset1"));
    connect(ledTime_, &TVesmarLiquidIndicator::mouseUp, this,
            [this](TVesmarLiquidIndicator*, QMouseEvent* event) {
                if (event->button() == Qt::RightButton)
                    popupStoper_->popup(ledTime_->mapToGlobal(event->position().toPoint()));
            });

    timerStop_ = new QTimer(this);
    timerStop_->setObjectName(QStringLiteral("TimerStop"));
    timerStop_->setInterval(1000);
    connect(timerStop_, &QTimer::timeout, this, &TFormView::TimerStopTimer);
    timerStop_->start();

    connect(&main_, &TClientMain::answerApplied, this, &TFormView::RefreshView);
    connect(&main_, &TClientMain::valuesLiveChanged, this, &TFormView::showLive);
    live_ = main_.link().valuesLive();
    connect(&main_, &TClientMain::viewToggled, this, [this](bool visible) {
        checkLin_->setChecked(visible);
        checkWood_->setChecked(visible);
    });
    // FormCreate: placed by the main window, both groups enabled.
    resize(300, 280);
    main_.ReadViewPlacement(this);
    checkLin_->setChecked(true);
    checkWood_->setChecked(true);
}

QWidget* TFormView::buildMeasure()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Measure"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(2);
    const struct {
        const char* name;
        const char* hint;
        DigitColour colour;
    } leds[] = {{"LedEMC1", "Probe EMC 1", DigitColour::Navy},
                {"LedTemp1", "Probe Temperature 1", DigitColour::Red},
                {"LedEMC2", "Probe EMC 2", DigitColour::Navy},
                {"LedTemp2", "Probe Temperature 2", DigitColour::Red}};
    int at = 0;
    auto place = [&](const QString& name, const QString& hint, DigitColour colour) {
        auto* led = new TVesmarLiquidIndicator(page);
        led->setObjectName(name);
        led->setSignNumber(5);
        led->setHint(hint);
        led->setShowHint(true);
        led->setNumberForeColor(digitColour(colour));
        led->setMinimumSize(40, 20);
        grid->addWidget(led, at / 4, at % 4);
        indicators_.insert(name, led);
        ++at;
    };
    for (const auto& led : leds)
        place(QLatin1String(led.name), QLatin1String(led.hint), led.colour);
    for (int k = 1; k <= 8; ++k)
        place(QStringLiteral("LedMC%1").arg(k), QStringLiteral("Probe MC %1").arg(k),
              DigitColour::Olive);
    return page;
}

QLabel* TFormView::label(const QString& name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(28);
    labels_.insert(name, l);
    return l;
}

QLineEdit* TFormView::edit(const QString& name, std::uint8_t entry, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMinimumWidth(48);
    e->setMaximumWidth(110);
    connect(e, &QLineEdit::returnPressed, this, [this, e] { EditKeyDown(e); });
    // CalGnd, CalRef and the wood constants offer "Get Cal".
    if ((entry >= 3 && entry <= 18)) {
        e->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(e, &QWidget::customContextMenuRequested, this, [this, e, entry](const QPoint& p) {
            contextEntry_ = entry;
            popupCal_->popup(e->mapToGlobal(p));
        });
    }
    edits_.insert(name, e);
    return e;
}

QWidget* TFormView::buildSumarum()
{
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("Sumarum"));
    scroll->setWidgetResizable(true);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);

    groupLin_ = new QGroupBox(QStringLiteral("Lin"), page);
    groupLin_->setObjectName(QStringLiteral("GroupBoxLin"));
    auto* lin = new QGridLayout(groupLin_);
    lin->setSpacing(2);
    const char* linTitles[] = {"ADC",    "Error",  "Napon(mV)", "CountError", "AverageError",
                               "Done",   "Error",  "Value",     "Done",       "Error",
                               "Filter", "CalGnd", "CalRef"};
    for (int c = 0; c < 13; ++c)
        lin->addWidget(title(linTitles[c], groupLin_), 0, c + 1);
    int row = 1;
    for (const auto& [name, r] : kLinRows) {
        lin->addWidget(title(name, groupLin_), row, 0);
        const QString n = QString::number(r);
        const QString names[] = {"ADC_", "ADC_E", "U_", "U_CE", "U_AE", "U_D", "U_E"};
        for (int c = 0; c < 7; ++c)
            lin->addWidget(label(names[c] + n, groupLin_), row, c + 1);
        if (r < 4) {
            lin->addWidget(label(QStringLiteral("Val_") + n, groupLin_), row, 8);
            lin->addWidget(label(QStringLiteral("V_D") + n, groupLin_), row, 9);
            lin->addWidget(label(QStringLiteral("V_E") + n, groupLin_), row, 10);
            lin->addWidget(edit(QStringLiteral("CalG") + n, std::uint8_t(3 + r), groupLin_), row,
                           12);
            lin->addWidget(edit(QStringLiteral("CalRef") + n, std::uint8_t(7 + r), groupLin_), row,
                           13);
        }
        lin->addWidget(edit(QStringLiteral("Filt") + n, std::uint8_t(19 + r), groupLin_), row, 11);
        ++row;
    }
    auto* cal0 = new QPushButton(QStringLiteral("GetCal0"), groupLin_);
    cal0->setObjectName(QStringLiteral("ButtonCal0"));
    connect(cal0, &QPushButton::clicked, this, &TFormView::ButtonCal0Click);
    auto* cal1 = new QPushButton(QStringLiteral("GetCal1"), groupLin_);
    cal1->setObjectName(QStringLiteral("ButtonCal1"));
    connect(cal1, &QPushButton::clicked, this, &TFormView::ButtonCal1Click);
    lin->addWidget(cal0, row - 2, 12, 2, 1);
    lin->addWidget(cal1, row - 2, 13, 2, 1);
    layout->addWidget(groupLin_);

    groupWood_ = new QGroupBox(QStringLiteral("Wood"), page);
    groupWood_->setObjectName(QStringLiteral("GroupBoxWood"));
    auto* wood = new QGridLayout(groupWood_);
    wood->setSpacing(2);
    auto* topLine = new QHBoxLayout;
    auto pair = [&](const char* caption, QWidget* w) {
        topLine->addWidget(new QLabel(QLatin1String(caption), groupWood_));
        topLine->addWidget(w);
    };
    pair("ADC", label(QStringLiteral("ADC_4"), groupWood_));
    pair("Error", label(QStringLiteral("ADC_E4"), groupWood_));
    pair("Input", label(QStringLiteral("ADC_4Select"), groupWood_));
    pair("Swap", label(QStringLiteral("ADC_4Swap"), groupWood_));
    pair("CountSample", label(QStringLiteral("ADC_4Count"), groupWood_));
    QLineEdit* compTemp =
        edit(QStringLiteral("CompTemp"), CompactViewModel::kCompTempEntry, groupWood_);
    compTemp->setText(QStringLiteral("Comp Temp"));
    pair("CompTemp", compTemp);
    checkCompTemp_ = new QCheckBox(QStringLiteral("Keep zero compensation"), groupWood_);
    checkCompTemp_->setObjectName(QStringLiteral("CompTempCheckBox"));
    topLine->addWidget(checkCompTemp_);
    pair("Filter", edit(QStringLiteral("Filt4"), 23, groupWood_));
    auto* calW = new QPushButton(QStringLiteral("GetCalW"), groupWood_);
    calW->setObjectName(QStringLiteral("ButtonCalW"));
    connect(calW, &QPushButton::clicked, this, &TFormView::ButtonCalWClick);
    topLine->addWidget(calW);
    topLine->addStretch();
    wood->addLayout(topLine, 0, 0, 1, 11);
    const char* woodTitles[] = {"Napon(mV)", "AverageError", "Done",   "Error", "Value",
                                "Done",      "Error",        "Config", "Calib", "Bias"};
    for (int c = 0; c < 10; ++c)
        wood->addWidget(title(woodTitles[c], groupWood_), 1, c + 1);
    for (int k = 0; k < 8; ++k) {
        const int r = k + 2;
        const QString n = QString::number(k);
        wood->addWidget(title(QStringLiteral("MC%1").arg(k + 1).toLatin1().constData(), groupWood_),
                        r, 0);
        const QString names[] = {"U_W", "U_AW", "U_DW", "U_EW", "Val_W", "V_WD", "V_WE", "LST"};
        for (int c = 0; c < 8; ++c)
            wood->addWidget(label(names[c] + n, groupWood_), r, c + 1);
        QLabel* lst = labels_.value(QStringLiteral("LST") + n);
        lst->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(lst, &QWidget::customContextMenuRequested, this, [this, lst, k](const QPoint& p) {
            contextEntry_ = CompactViewModel::configEntry(k);
            popupWoodState_->popup(lst->mapToGlobal(p));
        });
        QLineEdit* calib = edit(QStringLiteral("CalW") + n, std::uint8_t(11 + k), groupWood_);
        calib->setText(QStringLiteral("CalWood"));
        wood->addWidget(calib, r, 9);
        wood->addWidget(label(QStringLiteral("BiasW") + n, groupWood_), r, 10);
    }
    layout->addWidget(groupWood_);
    layout->addStretch();
    scroll->setWidget(page);
    return scroll;
}

void TFormView::RefreshView()
{
    const auto s = CompactViewModel::Snapshot::of(main_.link().scheduler());
    if (pages_->currentIndex() == 0) {
        const auto shown = [this](const char* name) {
            return indicators_.value(QLatin1String(name))->indicatorString().toStdString();
        };
        for (const auto& led : CompactViewModel::measure(s, shown)) {
            TVesmarLiquidIndicator* indicator = indicators_.value(QLatin1String(led.name));
            const QColor lit = digitColour(led.colour);
            indicator->setNumberForeColor(live_ ? lit : indicator->dimmedColor(lit));
            indicator->setIndicatorString(QString::fromStdString(led.text));
        }
        return;
    }
    const auto fill = [&](const std::vector<CompactViewModel::Label>& texts,
                          const std::vector<CompactViewModel::Edit>& edits) {
        for (const auto& l : texts)
            labels_.value(QString::fromStdString(l.name))->setText(QString::fromStdString(l.text));
        // What the operator is typing stays until the edit loses the focus.
        for (const auto& e : edits) {
            QLineEdit* edit = edits_.value(QString::fromStdString(e.name));
            if (!edit->hasFocus())
                edit->setText(QString::fromStdString(s.text[e.entry]));
        }
    };
    if (groupLin_->isEnabled())
        fill(CompactViewModel::linLabels(s), CompactViewModel::linEdits());
    if (groupWood_->isEnabled()) {
        fill(CompactViewModel::woodLabels(s), CompactViewModel::woodEdits());
        // "Keep zero compensation": a board that drifts away from zero is set back each time.
        if (checkCompTemp_->isChecked() && s.value[CompactViewModel::kCompTempEntry] != 0) {
            main_.link().scheduler().editTable(
                [](TProtocol& t) { return t.ValueToText(CompactViewModel::kCompTempEntry, 0); });
            main_.WriteParameter(CompactViewModel::kCompTempEntry);
        }
    }
}

void TFormView::showLive(bool live)
{
    live_ = live;
    // Only the indicators show it; the other page refreshes when it is chosen.
    if (pages_->currentIndex() == 0)
        RefreshView();
}

bool TFormView::takeText(std::uint8_t entry, const QString& text)
{
    const std::string typed = text.toStdString();
    try {
        main_.link().scheduler().withTable(
            [&](const TProtocol& t) { return t.WriteRefusal(entry, typed); });
    } catch (const std::exception&) {
        // Not a number: nothing is written, and the next refresh puts the value back once the
        // edit loses the focus.
        return false;
    }
    // A number outside the entry's limits is refused with a message, as in the grid.
    return main_.takeTypedText(entry, typed);
}

void TFormView::EditKeyDown(QLineEdit* edit)
{
    const std::uint16_t entry = CompactViewModel::EntryOfEdit(edit->objectName().toStdString());
    if (entry < 256 && takeText(static_cast<std::uint8_t>(entry), edit->text()))
        main_.WriteParameter(static_cast<std::uint8_t>(entry));
}

void TFormView::GetCal1Click()
{
    if (contextEntry_ >= 256)
        return;
    const QString from = QString::fromStdString(CompactViewModel::voltageLabelOf(contextEntry_));
    const QLabel* voltage = labels_.value(from);
    const auto entry = static_cast<std::uint8_t>(contextEntry_);
    if (voltage && takeText(entry, voltage->text()))
        main_.WriteParameter(entry);
}

void TFormView::calibrateFrom(std::uint8_t firstTarget, std::uint8_t firstSource, int count)
{
    for (int k = 0; k < count; ++k) {
        const auto target = static_cast<std::uint8_t>(firstTarget + k);
        const auto source = static_cast<std::uint8_t>(firstSource + k);
        const bool stored = main_.link().scheduler().editTable([&](TProtocol& t) {
            return t.ValueToText(target, static_cast<std::uint16_t>(t.Commands[source].Value));
        });
        if (stored)
            main_.WriteParameter(target);
    }
}

void TFormView::ButtonCal0Click()
{
    calibrateFrom(3, 43, 4);
}

void TFormView::ButtonCal1Click()
{
    calibrateFrom(7, 43, 4);
}

void TFormView::ButtonCalWClick()
{
    calibrateFrom(11, 72, 8);
}

void TFormView::WoodStateClick(int item)
{
    if (contextEntry_ >= 256)
        return;
    const auto entry = static_cast<std::uint8_t>(contextEntry_);
    main_.SelectRow(entry);
    main_.link().scheduler().editTable([&](TProtocol& t) {
        const auto low = static_cast<std::uint8_t>(t.Commands[entry].Value & 0xFF);
        return t.ValueToText(entry, ProbeStateByte(low, static_cast<ProbeStateItem>(item)));
    });
    main_.WriteParameter(entry);
}

void TFormView::TimerStopTimer()
{
    if (stopwatch_.tick(isVisible()))
        ledTime_->setIndicatorString(QString::fromStdString(stopwatch_.text()));
}

void TFormView::Reset1Click()
{
    stopwatch_.reset();
}

} // namespace quell::compact
