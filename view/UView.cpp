#include "view/UView.h"

#include "client/ClientCommunications.h"
#include "client/Dialogs.h"
#include "client/UpDown.h"
#include "view/KalibracijaPage.h"
#include "view/PageControl.h"
#include "view/RecordList.h"
#include "view/TrendChart.h"
#include "view/ViewLayout.h"
#include "view/ViewSettings.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QActionGroup>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace quell {

using namespace vrqpb;

namespace {

constexpr int kMaxBoardNumber = 10000;
const QString kEmptyLabel = QStringLiteral("-----");

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

void setLabel(QLabel* label, const std::string& text)
{
    const QString shown = QString::fromStdString(text);
    if (label->text() != shown) {
        label->setText(shown);
        label->resize(label->sizeHint().width(), label->height());
    }
}

QString n(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

} // namespace

TFormView::TFormView(TClientMain& main, QWidget* parent)
    : QWidget(parent), main_(main),
      editing_([this](Entry entry, const std::string& text) { return write(entry, text); }),
      selection_([this](Entry entry, const std::string& text) { return write(entry, text); })
{
    setObjectName(QStringLiteral("FormView"));
    setWindowTitle(QStringLiteral("VRQ-08"));

    // The controls were drawn for a narrow 8 point face; a wide one clips their captions.
    QFont face = font();
    face.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    setFont(face);
    resize(900, 640);
    buildTimers();
    // Test records are kept beside the settings file; a view made before start-up named one
    // has no such folder.
    if (!main_.WorkDir().isEmpty()) {
        recordFolder_ = QDir(main_.WorkDir()).filePath(QStringLiteral("Test"));
        QDir().mkpath(recordFolder_);
    }
}

void TFormView::buildStrip(QWidget* strip)
{
    ledTime_ = new TVesmarLiquidIndicator(strip);
    ledTime_->setObjectName(QStringLiteral("LedTime"));
    editOpis_ = new QLineEdit(QStringLiteral("PB:"), strip);
    editOpis_->setObjectName(QStringLiteral("EditOpis"));
    editOpis_->setReadOnly(true);
    vrqpb_ = new QLineEdit(QStringLiteral("0"), strip);
    vrqpb_->setObjectName(QStringLiteral("VRQPB"));
    udpb_ = new UpDown(0, kMaxBoardNumber, vrqpb_, strip);
    udpb_->setObjectName(QStringLiteral("UDPB"));
    bConnect_ = new QPushButton(QStringLiteral("Connect"), strip);
    bConnect_->setObjectName(QStringLiteral("BConnect"));
    uBazu_ = new QPushButton(QStringLiteral("Upis u bazu"), strip);
    uBazu_->setObjectName(QStringLiteral("UBazu"));
    izBaze_ = new QPushButton(QStringLiteral("Čitanje iz baze"), strip);
    izBaze_->setObjectName(QStringLiteral("IzBaze"));

    connect(bConnect_, &QPushButton::clicked, this, &TFormView::BConnectClick);
    connect(udpb_, &UpDown::changing, this, &TFormView::UDPBChanging);
    connect(ledTime_, &TVesmarLiquidIndicator::mouseUp, this,
            [this](TVesmarLiquidIndicator*, QMouseEvent* event) { LedTimeMouseUp(event); });
    connect(vrqpb_, &QLineEdit::editingFinished, this, &TFormView::VRQPBExit);
}

void TFormView::ensureControls()
{
    // The pages hold some three hundred controls and nothing reads them before the window is
    // first shown; the display state lives in the model, so making them then loses nothing and
    // the program starts sooner.
    if (lin_ != nullptr) {
        return;
    }
    pageControl_ = new PageControl(this);
    pageControl_->setObjectName(QStringLiteral("PageControl"));
    for (const char* name : {"Merenje", "Detalji", "Kalibracija"}) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(name));
        pageControl_->addTab(page, QString::fromLatin1(name));
        pages_.push_back(page);
    }
    // The strip sits on the tab row, right of the tabs, so it is made after the page control.
    buildStrip(this);
    buildMerenje(pages_[0]);
    buildDetalji(pages_[1]);
    kalibracija_ = new KalibracijaPage(pages_[2]);
    connect(kalibracija_->buttonIni(), &QPushButton::clicked, this, &TFormView::ButtonIniClick);
    buildMenus();
    buildLogMemo();
    buildRecordList();
    // Last: the layout places every control made above by its name.
    buildLayout();
    applyIndicators();
    for (Entry e = kSelectorFirst; e <= kSelectorLast; ++e) {
        ShowSelection(e);
    }
    applyReadiness();
    udpb_->setPosition(boardNumber_);
    updateConnectCaption();
}

void TFormView::applyReadiness()
{
    // Until the first answer there is nothing to write to the database.
    if (!databaseReady_) {
        uBazu_->setToolTip(QStringLiteral("nema podataka za upis"));
        uBazu_->setCursor(Qt::BusyCursor);
        return;
    }
    // Set only when different: a refresh runs after every answer, and setting sends events.
    const QString hint = *databaseReady_ ? QStringLiteral("može") : QStringLiteral("još čitam");
    const Qt::CursorShape shape = *databaseReady_ ? Qt::ArrowCursor : Qt::BusyCursor;
    if (uBazu_->toolTip() != hint) {
        uBazu_->setToolTip(hint);
    }
    if (uBazu_->cursor().shape() != shape) {
        uBazu_->setCursor(shape);
    }
}

void TFormView::setVisible(bool visible)
{
    // Made before showing, so that showing the window shows them too.
    if (visible) {
        ensureControls();
    }
    QWidget::setVisible(visible);
}

void TFormView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormResize();
}

void TFormView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TFormView::FormResize()
{
    using namespace viewlayout;
    if (pageControl_ == nullptr) {
        return;
    }
    const int clientHeight = height();
    pageControl_->setGeometry(0, RoundHalfEven(clientHeight / 100.0), width(),
                              RoundHalfEven(clientHeight * 99 / 100.0));
    pageControl_->setTabHeight(TabHeight(pageControl_->height()));
    // The strip stands on the tab row, right of the tabs, and is taller than the tabs; the
    // pages start a little below the pane's edge, so it stays off their captions.
    pageControl_->setPageRoom(StripRoom(pageControl_->height()));
    // All pages have one size, but the page control resizes only the current one; the others
    // take it now, so their contents are laid out for the size they will be shown at.
    const QSize pageSize = pageControl_->currentWidget()->size();
    for (QWidget* page : pages_) {
        page->resize(pageSize);
    }
    // The window's font follows the page height.
    const int points = FontPointSize(pageSize.height());
    if (points > 0 && font().pointSize() != points) {
        QFont scaled = font();
        scaled.setPointSize(points);
        setFont(scaled);
        // A chart draws its legend in a scene, which does not take the widget's font.
        if (kalibracija_ != nullptr) {
            kalibracija_->chart2()->chart()->legend()->setFont(scaled);
        }
    }
    layout_.apply();
}

void TFormView::buildLayout()
{
    using namespace viewlayout;
    // The named controls come from the layout's table; the rows of Lin and Wood, many of them
    // unnamed labels, from their builders. Their labels size themselves to their text.
    const auto addGroup = [this](const std::vector<Placed>& placed, const QWidget* box, int rw) {
        for (const auto& [widget, design] : placed) {
            layout_.add(widget, design, box, QSize(rw, kChannelGroupHeight), true);
        }
    };
    for (const auto& step : LayoutSequence()) {
        layout_.add(findChild<QWidget*>(QString::fromStdString(step.control)), step.design,
                    findChild<QWidget*>(QString::fromStdString(step.box)),
                    QSize(step.refWidth, step.refHeight));
        if (step.control == "GroupBoxLin") {
            addGroup(linPlacements_, lin_, kLinWidth);
        } else if (step.control == "GroupBoxWood") {
            addGroup(woodPlacements_, wood_, kWoodWidth);
        }
    }
}

void TFormView::buildMenus()
{
    popupMenuCal_ = new QMenu(this);
    popupMenuCal_->setObjectName(QStringLiteral("PopupMenuCal"));
    auto* getCal =
        popupMenuCal_->addAction(QStringLiteral("Get Cal"), this, &TFormView::GetCal1Click);
    getCal->setObjectName(QStringLiteral("GetCal1"));

    popupMenuWoodState_ = new QMenu(this);
    popupMenuWoodState_->setObjectName(QStringLiteral("PopupMenuWoodState"));
    const std::pair<const char*, ProbeStateItem> items[] = {
        {"Pasiv", ProbeStateItem::Passive}, {"Active", ProbeStateItem::Active},
        {"Tip1", ProbeStateItem::Type1},    {"Tip2", ProbeStateItem::Type2},
        {"Tip3", ProbeStateItem::Type3},    {"Tip4", ProbeStateItem::Type4}};
    for (const auto& [caption, item] : items) {
        auto* action = popupMenuWoodState_->addAction(QString::fromLatin1(caption), this,
                                                      [this, item] { TipStanjeSondeClick(item); });
        action->setObjectName(QString::fromLatin1(caption));
        action->setData(static_cast<int>(item));
    }
}

void TFormView::buildMerenje(QWidget* page)
{
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        const auto& info = kIndicators[i];
        auto* led = new TVesmarLiquidIndicator(page);
        led->setObjectName(QString::fromLatin1(info.name));
        led->setSignNumber(5);
        led->setHint(QString::fromLatin1(info.hint));
        led->setShowHint(true);
        led->setNumberForeColor(digitColour(info.colour));
        indicators_[i] = led;
    }
    buildSelectors(page);
}

QLabel* TFormView::flagLabel(const QString& name)
{
    auto* label = new QLabel(kEmptyLabel);
    label->setObjectName(name);
    return label;
}

QLineEdit* TFormView::entryEdit(const QString& name, const QString& hint)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setToolTip(hint);
    connect(edit, &QLineEdit::returnPressed, this,
            [this, edit] { EditKeyDown(edit, Qt::Key_Return); });
    return edit;
}

QGroupBox* TFormView::buildLin()
{
    auto* box = new QGroupBox(QStringLiteral("Lin"));
    box->setObjectName(QStringLiteral("GroupBoxLin"));
    const auto label = [this, box](QLabel* l, int left, int top, int width) {
        l->setParent(box);
        linPlacements_.push_back({l, {left, top, width, 13}});
        return l;
    };
    const std::pair<const char*, int> headers[] = {
        {"Error", 88},  {"Napon(mV)", 120}, {"Done", 310},  {"Error", 350},
        {"Value", 376}, {"Done", 416},      {"Error", 448}, {"Filter", 488}};
    const int headerWidths[] = {30, 70, 40, 32, 30, 40, 30, 30};
    for (std::size_t c = 0; c < std::size(headers); ++c) {
        label(new QLabel(QString::fromLatin1(headers[c].first)), headers[c].second, 8,
              headerWidths[c]);
    }
    for (int k = 0; k < 8; ++k) {
        label(new QLabel(n("Cal ", k + 1)), 536 + 48 * k, 8, 30);
    }
    for (std::size_t r = 0; r < kLinChannels.size(); ++r) {
        const auto& ch = kLinChannels[r];
        auto& row = linRows_[r];
        const int top = 24 + 16 * static_cast<int>(r);
        const int rowNumber = static_cast<int>(r) + 1;
        label(new QLabel(QString::fromLatin1(ch.caption)), 10, top, 50);
        row.adcError = label(flagLabel(n("ADC_E", ch.channel)), 88, top, 20);
        row.voltage = label(flagLabel(n("U_", ch.channel)), 120, top, 20);
        row.voltDone = label(flagLabel(n("U_D", ch.channel)), 320, top, 20);
        row.voltError = label(flagLabel(n("U_E", ch.channel)), 352, top, 20);
        row.value = label(flagLabel(n("Val_", ch.channel)), 376, top, 35);
        row.valueDone = label(flagLabel(n("V_D", ch.channel)), 416, top, 20);
        row.valueError = label(flagLabel(n("V_E", ch.channel)), 448, top, 20);
        row.filter = entryEdit(n("Filt", ch.channel));
        row.filter->setParent(box);
        linPlacements_.push_back({row.filter, {480, top, 41, 16}});
        for (int p = 1; p <= ch.calCount; ++p) {
            auto* edit = entryEdit(QString::fromStdString(CalEditName(rowNumber, p)),
                                   QString::fromStdString(CalPointHint(ch.calCount, p)));
            edit->setParent(box);
            edit->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(edit, &QWidget::customContextMenuRequested, this,
                    [this, edit](const QPoint& pos) {
                        Cal13eContextPopup(edit);
                        popupMenuCal_->popup(edit->mapToGlobal(pos));
                    });
            row.cal.push_back(edit);
            linPlacements_.push_back({edit, {528 + 48 * (p - 1), top, 41, 16}});
        }
    }
    return box;
}

QGroupBox* TFormView::buildWood()
{
    auto* box = new QGroupBox(QStringLiteral("Wood"));
    box->setObjectName(QStringLiteral("GroupBoxWood"));
    const auto place = [this, box](auto* w, int left, int top, int width, int height) {
        w->setParent(box);
        woodPlacements_.push_back({w, {left, top, width, height}});
        return w;
    };
    const auto text = [&place](const char* caption, int left, int top, int width) {
        place(new QLabel(QString::fromLatin1(caption)), left, top, width, 13);
    };
    text("Error", 88, 8, 30);
    text("Input", 120, 8, 35);
    text("Swap", 152, 8, 35);
    text("CountSample", 184, 8, 70);
    text("CompTemp", 256, 8, 70);
    text("Filter", 488, 8, 30);
    beep_ = place(new QCheckBox(QStringLiteral("Beep")), 328, 8, 100, 17);
    beep_->setObjectName(QStringLiteral("Beep"));
    adcE4_ = place(flagLabel(QStringLiteral("ADC_E4")), 88, 24, 20, 13);
    select_ = place(flagLabel(QStringLiteral("ADC_4Select")), 120, 24, 20, 13);
    swap_ = place(flagLabel(QStringLiteral("ADC_4Swap")), 152, 24, 20, 13);
    count_ = place(flagLabel(QStringLiteral("ADC_4Count")), 184, 24, 20, 13);
    compTemp_ = place(entryEdit(QStringLiteral("CompTemp")), 256, 24, 42, 16);
    keepZero_ = place(new QCheckBox(QStringLiteral("Keep zero compensation")), 300, 24, 140, 17);
    keepZero_->setObjectName(QStringLiteral("CompTempCheckBox"));
    filtMC_ = place(entryEdit(QStringLiteral("EditFiltMC")), 480, 24, 50, 16);
    auto* getCalW = place(new QPushButton(QStringLiteral("GetCalW")), 528, 18, 45, 20);
    getCalW->setObjectName(QStringLiteral("ButtonCalW"));
    connect(keepZero_, &QCheckBox::clicked, this, &TFormView::CompTempCheckBoxClick);
    connect(getCalW, &QPushButton::clicked, this, &TFormView::ButtonCalWClick);

    text("Napon(mV)", 120, 40, 70);
    text("Done", 312, 40, 35);
    text("Error", 344, 40, 30);
    text("Value", 376, 40, 35);
    text("Done", 408, 40, 35);
    text("Error", 440, 40, 30);
    text("Config", 480, 40, 40);
    text("Calib", 528, 40, 35);
    text("Deviat", 576, 40, 40);
    static const char* const hints[] = {"10K", "100K", "1M", "10M", "100M", "1G", "10G", "100G"};
    for (int i = 0; i < kWoodChannels; ++i) {
        auto& row = woodRows_[static_cast<std::size_t>(i)];
        const int top = 56 + 16 * i;
        place(new QLabel(n("MC", i + 1)), 10, top, 40, 13);
        row.voltage = place(flagLabel(n("U_W", i)), 120, top, 20, 13);
        row.voltDone = place(flagLabel(n("U_DW", i)), 320, top, 20, 13);
        row.voltError = place(flagLabel(n("U_EW", i)), 352, top, 20, 13);
        row.value = place(flagLabel(n("Val_W", i)), 376, top, 20, 13);
        row.valueDone = place(flagLabel(n("V_WD", i)), 416, top, 20, 13);
        row.valueError = place(flagLabel(n("V_WE", i)), 448, top, 20, 13);
        row.config = place(flagLabel(n("LST", i)), 480, top, 20, 13);
        row.calib = place(entryEdit(n("CalW", i), QString::fromLatin1(hints[i])), 528, top, 41, 16);
        row.deviation = place(flagLabel(n("BiasW", i)), 576, top, 20, 13);
        row.config->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row.config, &QWidget::customContextMenuRequested, this,
                [this, i](const QPoint& pos) {
                    LST0ContextPopup(i);
                    popupMenuWoodState_->popup(
                        woodRows_[static_cast<std::size_t>(i)].config->mapToGlobal(pos));
                });
        row.calib->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row.calib, &QWidget::customContextMenuRequested, this,
                [this, i](const QPoint& pos) {
                    auto* edit = woodRows_[static_cast<std::size_t>(i)].calib;
                    Cal13eContextPopup(edit);
                    popupMenuCal_->popup(edit->mapToGlobal(pos));
                });
    }
    return box;
}

void TFormView::buildDetalji(QWidget* page)
{
    lin_ = buildLin();
    lin_->setParent(page);
    wood_ = buildWood();
    wood_->setParent(page);
    chart1_ = new TrendChart(page);
    chart1_->setObjectName(QStringLiteral("Chart1"));
    chart1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart1_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenuTimeSample_->popup(chart1_->mapToGlobal(pos)); });
}

ViewControls TFormView::controls() const
{
    ViewControls c;
    if (lin_ == nullptr) {
        return c; // the first page is the one a first showing opens
    }
    c.page = static_cast<ViewPage>(std::clamp(pageControl_->currentIndex(), 0, 2));
    c.linEnabled = lin_->isEnabled();
    c.woodEnabled = wood_->isEnabled();
    c.beepChecked = beep_->isChecked();
    c.keepZeroChecked = keepZero_->isChecked();
    c.compTempFocused = compTemp_->hasFocus();
    c.focused = QApplication::focusWidget();
    return c;
}

void TFormView::RefreshView()
{
    ++refreshCount_;
    const ViewControls c = controls();
    // One lock for the table and all cells: the worker waits for this refresh anyway.
    main_.scheduler().withTableAndCells(
        [this, &c](const TProtocol& table, const std::vector<std::string>& cells) {
            snapshot_.readTable(table);
            if (MeasurementViewModel::needsCells(c)) {
                snapshot_.readCells(cells);
            }
        });
    const ViewRefresh out = model_.refresh(snapshot_, c);

    databaseReady_ = out.databaseReady;
    if (lin_ == nullptr) {
        return; // not shown yet: the model keeps the indicator texts for the first showing
    }
    applyReadiness();
    if (out.indicatorsUpdated) {
        applyIndicators();
    }
    if (out.lin) {
        applyLin(*out.lin);
    }
    if (out.beep) {
        QApplication::beep();
    }
    if (out.woodHeader && out.wood) {
        applyWood(*out.woodHeader, *out.wood);
    }
    if (out.zeroCompensation) {
        main_.scheduler().editTable([](TProtocol& table) { ZeroCompensation(table); });
        write(kCompTemp, "0");
    }
}

void TFormView::applyIndicators()
{
    const auto& states = model_.indicators();
    for (std::size_t i = 0; i < states.size(); ++i) {
        auto* led = indicators_[i];
        const QColor colour = digitColour(states[i].colour);
        if (led->numberForeColor() != colour) {
            led->setNumberForeColor(colour);
        }
        const QString text = QString::fromStdString(states[i].text);
        if (led->indicatorString() != text) {
            led->setIndicatorString(text);
        }
    }
}

void TFormView::setEdit(QLineEdit* edit, const std::string& text)
{
    // What the operator is typing survives the refreshes until Enter writes it.
    if (edit->hasFocus()) {
        return;
    }
    const QString shown = QString::fromStdString(text);
    if (edit->text() != shown) {
        edit->setText(shown);
    }
}

template <typename Widgets, typename Texts>
void TFormView::applyMeasured(Widgets& w, const Texts& t)
{
    // The voltage and value columns that Lin and Wood rows have in common.
    setLabel(w.voltage, t.voltage);
    setLabel(w.voltDone, t.voltDone);
    setLabel(w.voltError, t.voltError);
    setLabel(w.value, t.value);
    setLabel(w.valueDone, t.valueDone);
    setLabel(w.valueError, t.valueError);
}

void TFormView::applyLin(const std::array<LinRowTexts, 10>& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& t = rows[r];
        auto& w = linRows_[r];
        setLabel(w.adcError, t.adcError);
        applyMeasured(w, t);
        setEdit(w.filter, t.filter);
        for (std::size_t p = 0; p < w.cal.size() && p < t.cal.size(); ++p) {
            setEdit(w.cal[p], t.cal[p]);
        }
    }
}

void TFormView::applyWood(const WoodHeaderTexts& header,
                          const std::array<WoodRowTexts, kWoodChannels>& rows)
{
    setLabel(adcE4_, header.adcError);
    setLabel(select_, header.select);
    setLabel(swap_, header.swap);
    setLabel(count_, header.count);
    if (header.compTemp) {
        setEdit(compTemp_, *header.compTemp);
    }
    setEdit(filtMC_, header.filter);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& t = rows[i];
        auto& w = woodRows_[i];
        applyMeasured(w, t);
        setEdit(w.calib, t.calib);
        setLabel(w.config, t.config);
        setLabel(w.deviation, t.deviation);
    }
}

bool TFormView::write(Entry entry, const std::string& text)
{
    return main_.WriteParameter(entry, QString::fromStdString(text));
}

QString TFormView::labelText(std::string_view name) const
{
    const auto* label =
        findChild<QLabel*>(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
    return label != nullptr ? label->text() : QString();
}

void TFormView::EditKeyDown(QLineEdit* edit, int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        editing_.enterPressed(edit->objectName().toStdString(), edit->text().toStdString());
    }
}

void TFormView::Cal13eContextPopup(QLineEdit* edit)
{
    contextEntry_ = EntryOfEdit(edit->objectName().toStdString());
}

void TFormView::GetCal1Click()
{
    editing_.getCal(contextEntry_,
                    [this](std::string_view label) { return labelText(label).toStdString(); });
}

void TFormView::ButtonCalWClick()
{
    editing_.getCalW([this](Entry e) {
        return main_.scheduler().withTable([e](const TProtocol& table) {
            const auto* command = table.entryAt(e);
            return command != nullptr ? command->ValueText : std::string();
        });
    });
}

void TFormView::LST0ContextPopup(int woodChannel)
{
    contextEntry_ = static_cast<std::uint16_t>(kProbeConfigFirst + woodChannel);
}

void TFormView::TipStanjeSondeClick(ProbeStateItem item)
{
    if (contextEntry_ >= kNoEntry) {
        return;
    }
    const Entry entry = contextEntry_;
    main_.SelectRow(entry);
    const std::string text = main_.scheduler().editTable([entry, item](TProtocol& table) {
        return ViewEditing::probeStateText(table, entry, item);
    });
    write(entry, text);
}

void TFormView::CompTempCheckBoxClick()
{
    compTemp_->setEnabled(!keepZero_->isChecked());
}

void TFormView::BConnectClick()
{
    main_.MStartStopClick();
    updateConnectCaption();
}

void TFormView::updateConnectCaption()
{
    if (bConnect_ == nullptr) {
        return;
    }
    bConnect_->setText(main_.Started() ? QStringLiteral("STOP") : QStringLiteral("Connect"));
}

void TFormView::UDPBChanging()
{
    main_.MClearClick();
}

void TFormView::VRQPBExit()
{
    udpb_->setPosition(vrqpb_->text().toInt());
    main_.MClearClick();
}

void TFormView::buildSelectors(QWidget* page)
{
    struct GroupInfo {
        const char* name;
        const char* caption;
        const char* boxPrefix; // check-box groups only
        std::array<const char*, 9> items;
    };
    static constexpr std::array<const char*, 9> resistors = {
        "  10 K", "100 K", "    1 M", "  10 M", "100 M", "    1 G", "  10 G", "100 G", " open"};
    static constexpr std::array<const char*, 9> temperatures = {
        "   KS",       " -25\u00B0C", "    0\u00B0C", "  25\u00B0C", "  50\u00B0C",
        "  75\u00B0C", "100\u00B0C",  "150\u00B0C",   " open"};
    const std::array<GroupInfo, 8> groups = {{
        {"SlotEMC1", "EMC 1", nullptr, resistors},
        {"SlotEMC2", "EMC 2", nullptr, resistors},
        {"SlotTemp1", "Temp 1", nullptr, temperatures},
        {"SlotTemp2", "Temp 2", nullptr, temperatures},
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
        {"SlotMC4", "MC-R", nullptr, resistors},
    }};
    popupMenuGroupBoxCheckAll_ = new QMenu(this);
    popupMenuGroupBoxCheckAll_->setObjectName(QStringLiteral("PopupMenuGroupBoxCheckAll"));
    auto* selectAll = popupMenuGroupBoxCheckAll_->addAction(QStringLiteral("Select All"), this,
                                                            [this] { SelectAll1Click(); });
    selectAll->setObjectName(QStringLiteral("SelectAll1"));

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

std::uint8_t TFormView::selectorMask(int group) const
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

void TFormView::selectorClicked(int group, int item)
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

void TFormView::SelectAll1Click()
{
    selection_.selectAll(selectAllGroup_);
}

bool TFormView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int g : {ReferenceSelection::kMcR, ReferenceSelection::kMcS}) {
            if (watched == selectorItems_[static_cast<std::size_t>(g)][0]->parent()) {
                selection_.selectAll(g);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormView::ShowSelection(std::uint16_t entry)
{
    if (entry < kSelectorFirst || entry > kSelectorLast || lin_ == nullptr) {
        return;
    }
    const auto value = main_.scheduler().withTable([entry](const TProtocol& table) {
        const auto* command = table.entryAt(entry);
        return command != nullptr ? command->Value : std::int16_t{0};
    });
    const auto shown = ReferenceSelection::display(value);
    const auto group = static_cast<std::size_t>(entry - kSelectorFirst);
    const bool checkGroup = group == ReferenceSelection::kMcR || group == ReferenceSelection::kMcS;
    for (std::size_t k = 0; k < 9; ++k) {
        auto* item = selectorItems_[group][k];
        // An exclusive radio item cannot be cleared directly; checking another one clears it.
        if (shown.checked[k] || checkGroup) {
            item->setChecked(shown.checked[k]);
        }
        if (k < 8) {
            item->setStyleSheet(shown.red[k] ? QStringLiteral("background-color: red") : QString());
        }
    }
}

bool TFormView::isViewVisible() const
{
    return isVisible();
}

void TFormView::setViewVisible(bool visible)
{
    setVisible(visible);
    // The stopwatch counts the time the view is on screen.
    if (visible) {
        timerStop_->start();
    } else {
        timerStop_->stop();
    }
}

QRect TFormView::viewGeometry() const
{
    // Position of the frame and size of the client area: what LoadViewSettings applies with
    // move() and resize(), so a stored geometry comes back unchanged at the next start.
    return {pos(), size()};
}

int TFormView::boardNumber() const
{
    return udpb_ != nullptr ? udpb_->position() : boardNumber_;
}

void TFormView::setBoardNumber(int number)
{
    boardNumber_ = std::clamp(number, 0, kMaxBoardNumber);
    if (udpb_ != nullptr) {
        udpb_->setPosition(boardNumber_);
    }
}

void TFormView::answerApplied(const std::vector<std::uint16_t>& answered)
{
    for (const std::uint16_t entry : answered) {
        ShowSelection(entry);
    }
    RefreshView();
}

void TFormView::tableReset()
{
}

void TFormView::closeView()
{
    close();
}

void TFormView::buildTimers()
{
    timerStop_ = new QTimer(this);
    timerStop_->setObjectName(QStringLiteral("TimerStop"));
    timerStop_->setInterval(1000);
    connect(timerStop_, &QTimer::timeout, this, &TFormView::TimerStopTimer);
    timerStop_->start();
    timerGetSample_ = new QTimer(this);
    timerGetSample_->setObjectName(QStringLiteral("TimerGetSample"));
    timerGetSample_->setInterval(trend_.periodMs());
    connect(timerGetSample_, &QTimer::timeout, this, &TFormView::TimerGetSampleTimer);

    popupMenuStoper_ = new QMenu(this);
    popupMenuStoper_->setObjectName(QStringLiteral("PopupMenuStoper"));
    popupMenuStoper_->addAction(QStringLiteral("Reset"), this, &TFormView::Reset1Click)
        ->setObjectName(QStringLiteral("Reset1"));

    popupMenuTimeSample_ = new QMenu(this);
    popupMenuTimeSample_->setObjectName(QStringLiteral("PopupMenuTimeSample"));
    startGraf_ = popupMenuTimeSample_->addAction(QString::fromStdString(trend_.startCaption()),
                                                 this, &TFormView::StartGrafClick);
    startGraf_->setObjectName(QStringLiteral("StartGraf"));
    popupMenuTimeSample_->addSeparator();
    auto* periods = new QActionGroup(popupMenuTimeSample_);
    for (int i = 0; i < static_cast<int>(kSamplePeriods.size()); ++i) {
        auto* item = popupMenuTimeSample_->addAction(
            QString::fromLatin1(kSamplePeriods[static_cast<std::size_t>(i)].caption), this,
            [this, i] { PopupMenuTimeSampleClick(i); });
        item->setCheckable(true);
        item->setChecked(i == kDefaultSamplePeriod);
        periods->addAction(item);
    }
    popupMenuTimeSample_->addSeparator();
    for (const int channel : kTrendMenuChannels) {
        auto* item = popupMenuTimeSample_->addAction(
            QString::fromLatin1(kTrendChannels[static_cast<std::size_t>(channel)].title));
        item->setCheckable(true);
        item->setChecked(trend_.channelChecked(channel));
        connect(item, &QAction::toggled, this,
                [this, channel](bool checked) { trend_.setChannelChecked(channel, checked); });
    }
    popupMenuTimeSample_->addSeparator();
    popupMenuTimeSample_->addAction(QStringLiteral("Reset"), this, &TFormView::Reset2Click)
        ->setObjectName(QStringLiteral("Reset2"));
}

void TFormView::TimerStopTimer()
{
    if (!stopwatch_.tick(isVisible())) {
        return;
    }
    ledTime_->setIndicatorString(QString::fromStdString(stopwatch_.text()));
    updateConnectCaption();
}

void TFormView::LedTimeMouseUp(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        popupMenuStoper_->popup(ledTime_->mapToGlobal(event->position().toPoint()));
    }
}

void TFormView::Reset1Click()
{
    stopwatch_.reset();
}

void TFormView::TimerGetSampleTimer()
{
    const auto sampled =
        trend_.sample([this](std::string_view label) { return labelText(label).toStdString(); });
    if (chart1_ == nullptr) {
        return;
    }
    for (const int channel : sampled) {
        chart1_->appendPoint(channel, trend_.points(channel).back());
    }
}

void TFormView::applySampleTimer()
{
    // Every menu action restarts the period, as stopping and starting a timer does.
    timerGetSample_->stop();
    timerGetSample_->setInterval(trend_.periodMs());
    if (trend_.running()) {
        timerGetSample_->start();
    }
}

void TFormView::StartGrafClick()
{
    trend_.StartGrafClick();
    startGraf_->setText(QString::fromStdString(trend_.startCaption()));
    applySampleTimer();
}

void TFormView::PopupMenuTimeSampleClick(int periodIndex)
{
    trend_.PopupMenuTimeSampleClick(periodIndex);
    applySampleTimer();
}

void TFormView::Reset2Click()
{
    trend_.Reset2Click();
    if (chart1_ != nullptr) {
        chart1_->clear();
    }
    applySampleTimer();
}

void TFormView::buildRecordList()
{
    QListWidget* list = kalibracija_->fileListRec();
    // Holds the chosen file's name for the reader; never shown or laid out.
    auto* editFileRec = new QLineEdit(this);
    editFileRec->setObjectName(QStringLiteral("EditFileRec"));
    editFileRec->hide();
    recordList_ = new RecordList(list, editFileRec, this);
    connect(recordList_, &RecordList::doubleClicked, this, &TFormView::FileListRecDblClick);
    if (!recordFolder_.isEmpty()) {
        recordList_->setFolder(recordFolder_);
    }
}

void TFormView::setRecordFolder(const QString& folder)
{
    recordFolder_ = QFileInfo(folder).absoluteFilePath();
    if (recordList_ != nullptr) {
        recordList_->setFolder(recordFolder_);
    }
}

void TFormView::FileListRecDblClick()
{
    if (recordList_ == nullptr) {
        return;
    }
    QString error;
    const QString path = recordList_->chosenFile(&error);
    bool read = false;
    if (!path.isEmpty()) {
        if (recordReader_) {
            read = recordReader_(path, &error);
        } else {
            error = QStringLiteral("Cannot read record file \"%1\".")
                        .arg(QDir::toNativeSeparators(path));
        }
    }
    if (!read) {
        Dialogs::instance().message(Dialogs::Kind::Error, error, this, {});
        return;
    }
    if (refreshResult_) {
        refreshResult_();
    }
}

TFormView::~TFormView()
{
    FormDestroy();
}

void TFormView::FormCreate()
{
    LoadViewSettings();
    runLog_ = std::make_unique<RunLog>(QDir(main_.WorkDir()).filePath(QStringLiteral("Log")));
    runLog_->start(QDateTime::currentDateTime());
    showLogInMemo();
    created_ = true;
    updateConnectCaption();
}

void TFormView::LoadViewSettings()
{
    ViewSettings settings;
    if (!settings.load(main_.SettingsFileName())) {
        showError(settings.errorText());
    }
    move(settings.left, settings.top);
    resize(settings.width, settings.height);
    setViewVisible(settings.visible);
    setBoardNumber(settings.boardNumber);
    different_ = settings.different;
    SetExpected(TestPoints, settings.expected);
    FormResize();
    // "Ini" may hide or show the window; the main window's View item follows.
    main_.ShowViewState(isVisible());
}

void TFormView::ButtonIniClick()
{
    LoadViewSettings();
    if (refreshResult_) {
        refreshResult_();
    }
}

void TFormView::FormDestroy()
{
    if (!created_ || destroyed_) {
        return;
    }
    destroyed_ = true;
    const int board = boardNumber();
    ViewSettings settings;
    if (!settings.saveBoardNumber(main_.SettingsFileName(), board)) {
        showError(settings.errorText());
    }
    if (!runLog_->finish(board, QDateTime::currentDateTime(), memoLines())) {
        showError(QStringLiteral("The run log could not be saved in %1: %2")
                      .arg(QDir::toNativeSeparators(runLog_->folder()), runLog_->errorText()));
    }
}

QStringList TFormView::memoLines() const
{
    // The memo is what the operator saw and may have added to; before the page was ever made
    // the log's own lines are the whole story.
    if (memoLog_ == nullptr) {
        return {};
    }
    return memoLog_->toPlainText().split(QLatin1Char('\n'));
}

void TFormView::buildLogMemo()
{
    memoLog_ = kalibracija_->memoLog();
    showLogInMemo();
    popupMenuLog_ = new QMenu(this);
    popupMenuLog_->setObjectName(QStringLiteral("PopupMenuLog"));
    logOn_ = popupMenuLog_->addAction(QStringLiteral("Log Active"));
    logOn_->setObjectName(QStringLiteral("LogON"));
    logOn_->setCheckable(true);
    logOn_->setChecked(!runLog_ || runLog_->active());
    connect(logOn_, &QAction::triggered, this, &TFormView::LogONClick);
    memoLog_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memoLog_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenuLog_->popup(memoLog_->mapToGlobal(at)); });
}

void TFormView::showLogInMemo()
{
    // The controls may be made before or after the log starts; whichever comes second fills
    // the memo.
    if (memoLog_ != nullptr && runLog_) {
        memoLog_->setPlainText(runLog_->lines().join(QLatin1Char('\n')));
    }
}

void TFormView::appendToMemo()
{
    if (memoLog_ != nullptr && runLog_ && !runLog_->lines().isEmpty()) {
        memoLog_->appendPlainText(runLog_->lines().back());
    }
}

void TFormView::AddLogLine(const QString& line)
{
    if (runLog_ && runLog_->AddLogLine(line)) {
        appendToMemo();
    }
}

void TFormView::LogONClick()
{
    if (!runLog_) {
        return;
    }
    runLog_->setActive(!runLog_->active(), QDateTime::currentDateTime());
    appendToMemo();
    if (logOn_ != nullptr) {
        logOn_->setChecked(runLog_->active());
    }
}

void TFormView::showError(const QString& text)
{
    Dialogs::instance().message(Dialogs::Kind::Error, text, isVisible() ? this : nullptr, {});
}

} // namespace quell
