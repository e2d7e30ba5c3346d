#include "view/UView.h"

#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/IniFile.h"
#include "client/ParameterWindow.h"
#include "client/UpDown.h"
#include "view/DetaljiPage.h"
#include "view/KalibracijaPage.h"
#include "view/MerenjePage.h"
#include "view/PageControl.h"
#include "view/RadioGroup.h"
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
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLegend>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace quell {

using namespace vrqpb;

namespace {

constexpr int kMaxBoardNumber = 10000;

} // namespace

TFormView::TFormView(DeviceLink& link, ParameterWindow& window, QWidget* parent)
    : QWidget(parent), link_(link), window_(window), station_(link, *this),
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
    if (!window_.WorkDir().isEmpty()) {
        recordFolder_ = QDir(window_.WorkDir()).filePath(QStringLiteral("Test"));
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
    if (pageControl_ != nullptr) {
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
    merenje_ = new MerenjePage(pages_[0], selection_);
    buildDetalji(pages_[1]);
    kalibracija_ = new KalibracijaPage(pages_[2]);
    connect(kalibracija_->buttonIni(), &QPushButton::clicked, this, &TFormView::ButtonIniClick);
    buildMenus();
    buildLogMemo();
    buildRecordList();
    // Last: the layout places every control made above by its name.
    buildLayout();
    std::bitset<18> all;
    merenje_->applyIndicators(model_.indicators(), all.set());
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
    for (const auto& step : viewlayout::FullLayoutSequence()) {
        layout_.add(findChild<QWidget*>(QString::fromStdString(step.control)), step.design,
                    findChild<QWidget*>(QString::fromStdString(step.box)),
                    QSize(step.refWidth, step.refHeight), step.fitText);
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

void TFormView::buildDetalji(QWidget* page)
{
    detalji_ = new DetaljiPage(page);
    connect(detalji_, &DetaljiPage::entryEditReturn, this,
            [this](QLineEdit* edit) { EditKeyDown(edit, Qt::Key_Return); });
    connect(detalji_, &DetaljiPage::calEditMenu, this, [this](QLineEdit* edit, const QPoint& at) {
        Cal13eContextPopup(edit);
        popupMenuCal_->popup(at);
    });
    connect(detalji_, &DetaljiPage::probeMenu, this, [this](int channel, const QPoint& at) {
        LST0ContextPopup(channel);
        popupMenuWoodState_->popup(at);
    });
    connect(detalji_, &DetaljiPage::chartMenu, this,
            [this](const QPoint& at) { popupMenuTimeSample_->popup(at); });
    connect(detalji_, &DetaljiPage::getCalWClicked, this, &TFormView::ButtonCalWClick);
    connect(detalji_, &DetaljiPage::keepZeroClicked, this, &TFormView::CompTempCheckBoxClick);
}

ViewControls TFormView::controls() const
{
    ViewControls c;
    if (detalji_ == nullptr) {
        return c; // the first page is the one a first showing opens
    }
    c.page = static_cast<ViewPage>(std::clamp(pageControl_->currentIndex(), 0, 2));
    c.linEnabled = detalji_->lin()->isEnabled();
    c.woodEnabled = detalji_->wood()->isEnabled();
    c.beepChecked = detalji_->beep()->isChecked();
    c.keepZeroChecked = detalji_->keepZero()->isChecked();
    c.compTempFocused = detalji_->compTemp()->hasFocus();
    c.focused = QApplication::focusWidget();
    return c;
}

void TFormView::RefreshView()
{
    readAll_ = true;
    refresh({});
}

void TFormView::answerApplied(const std::vector<std::uint16_t>& answered)
{
    refresh(answered);
}

void TFormView::tableReset()
{
    readAll_ = true;
}

void TFormView::refresh(const std::vector<std::uint16_t>& answered)
{
    ++refreshCount_;
    // One lock for the table and the cells: the worker waits for this refresh anyway.
    link_.readTableAndCells([&](const TProtocol& table, const std::vector<std::string>& cells) {
        if (readAll_) {
            snapshot_.readTable(table);
            snapshot_.readCells(cells);
        } else if (written_.empty()) {
            snapshot_.readEntries(table, cells, answered);
        } else {
            written_.insert(written_.end(), answered.begin(), answered.end());
            snapshot_.readEntries(table, cells, written_);
        }
    });
    readAll_ = false;
    written_.clear();
    // The selectors follow every answer for them, whatever page is shown.
    if (merenje_ != nullptr) {
        for (const std::uint16_t entry : answered) {
            if (IsSelector(entry) && snapshot_.has(entry)) {
                merenje_->showSelection(entry - kSelectorFirst, snapshot_.value(entry));
            }
        }
    }

    const ViewRefresh out = model_.refresh(snapshot_, controls());
    databaseReady_ = out.databaseReady;
    if (detalji_ == nullptr) {
        return; // not shown yet: the model keeps the page's texts for the first showing
    }
    applyReadiness();
    if (out.indicatorsUpdated) {
        merenje_->applyIndicators(model_.indicators(), out.indicatorsChanged);
    }
    detalji_->apply(out);
    if (out.beep) {
        QApplication::beep();
    }
    if (out.zeroCompensation) {
        link_.editTable([](TProtocol& table) { ZeroCompensation(table); });
        write(kCompTemp, "0");
    }
}

bool TFormView::write(Entry entry, const std::string& text)
{
    written_.push_back(entry);
    return link_.WriteParameter(entry, text);
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
    // The voltage the label shows, as the model drew it.
    editing_.getCal(contextEntry_,
                    [this](std::string_view label) { return model_.shownText(label); });
}

void TFormView::ButtonCalWClick()
{
    editing_.getCalW([this](Entry e) { return readEntry(link_, e).text; });
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
    window_.SelectRow(entry);
    std::string text;
    link_.editTable(
        [&](TProtocol& table) { text = ViewEditing::probeStateText(table, entry, item); });
    write(entry, text);
}

void TFormView::CompTempCheckBoxClick()
{
    detalji_->compTemp()->setEnabled(!detalji_->keepZero()->isChecked());
}

void TFormView::BConnectClick()
{
    window_.MStartStopClick();
    updateConnectCaption();
}

void TFormView::updateConnectCaption()
{
    if (bConnect_ == nullptr) {
        return;
    }
    bConnect_->setText(window_.Started() ? QStringLiteral("STOP") : QStringLiteral("Connect"));
}

void TFormView::UDPBChanging()
{
    window_.MClearClick();
}

void TFormView::VRQPBExit()
{
    udpb_->setPosition(vrqpb_->text().toInt());
    window_.MClearClick();
}

void TFormView::SelectAll1Click()
{
    if (merenje_ != nullptr) {
        merenje_->selectAll();
    }
}

void TFormView::ShowSelection(std::uint16_t entry)
{
    if (!IsSelector(entry) || merenje_ == nullptr) {
        return;
    }
    merenje_->showSelection(entry - kSelectorFirst, readEntry(link_, entry).value);
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

void TFormView::closeView()
{
    // The view owns [View]: what the window is at shut-down comes back at the next start.
    if (created_ && !destroyed_) {
        ViewSettings settings;
        if (!settings.saveWindow(window_.SettingsFileName(), viewGeometry(), isVisible())) {
            showError(settings.errorText());
        }
    }
    close();
}

void TFormView::paintPoint(int row, int point, PointPaint paint)
{
    ensureControls();
    QCheckBox* box = kalibracija_->calPointBox(row, point);
    if (box == nullptr) {
        return;
    }
    switch (paint) {
    case PointPaint::Reset:
        box->setStyleSheet(QString());
        break;
    case PointPaint::Working:
        box->setStyleSheet(QStringLiteral("background-color: palette(highlight)"));
        break;
    case PointPaint::Passed:
        box->setStyleSheet(QStringLiteral("background-color: green"));
        break;
    case PointPaint::Failed:
        box->setStyleSheet(QStringLiteral("background-color: red"));
        break;
    }
}

bool TFormView::pointChecked(int row, int point) const
{
    // Every box starts checked; before the page is made nobody can have cleared one.
    const QCheckBox* box =
        kalibracija_ != nullptr ? kalibracija_->calPointBox(row, point) : nullptr;
    return box == nullptr || box->isChecked();
}

bool TFormView::channelChecked(int tag) const
{
    if (kalibracija_ == nullptr) {
        return true;
    }
    const QCheckBox* box = tag <= 5 ? kalibracija_->rowBox(tag) : kalibracija_->testBox(tag - 5);
    return box == nullptr || box->isChecked();
}

CalibrationHost::Method TFormView::method() const
{
    return kalibracija_ != nullptr ? static_cast<Method>(kalibracija_->tipKalib()->itemIndex())
                                   : Method::Normal;
}

bool TFormView::swapPeriod() const
{
    return kalibracija_ != nullptr && kalibracija_->testSwap()->isChecked();
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
    // What the "Detalji" labels show, as the model drew them.
    const auto sampled =
        trend_.sample([this](std::string_view label) { return model_.shownText(label); });
    if (detalji_ == nullptr) {
        return;
    }
    for (const int channel : sampled) {
        detalji_->chart()->appendPoint(channel, trend_.points(channel).back());
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
    if (detalji_ != nullptr) {
        detalji_->chart()->clear();
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
    station_.startLog(QDir(window_.WorkDir()).filePath(QStringLiteral("Log")),
                      QDateTime::currentDateTime());
    showLogInMemo();
    created_ = true;
    updateConnectCaption();
}

void TFormView::LoadViewSettings()
{
    // Both sections in one go: [View] is the window's, [Calibrate] the station's.
    IniFile ini(window_.SettingsFileName());
    ViewSettings settings;
    settings.load(ini);
    station_.loadSettings(ini);
    if (!ini.save()) {
        showError(ini.errorText());
    }
    move(settings.left, settings.top);
    resize(settings.width, settings.height);
    setViewVisible(settings.visible);
    setBoardNumber(settings.boardNumber);
    FormResize();
    // "Ini" may hide or show the window; the main window's View item follows.
    window_.ShowViewState(isVisible());
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
    if (!settings.saveBoardNumber(window_.SettingsFileName(), board)) {
        showError(settings.errorText());
    }
    RunLog* log = station_.runLog();
    if (!log->finish(board, QDateTime::currentDateTime(), memoLines())) {
        showError(QStringLiteral("The run log could not be saved in %1: %2")
                      .arg(QDir::toNativeSeparators(log->folder()), log->errorText()));
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
    logOn_->setChecked(logActive() || station_.runLog() == nullptr);
    connect(logOn_, &QAction::triggered, this, &TFormView::LogONClick);
    memoLog_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memoLog_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenuLog_->popup(memoLog_->mapToGlobal(at)); });
}

void TFormView::showLogInMemo()
{
    // The controls may be made before or after the log starts; whichever comes second fills
    // the memo.
    if (memoLog_ != nullptr && station_.runLog() != nullptr) {
        memoLog_->setPlainText(station_.runLog()->lines().join(QLatin1Char('\n')));
    }
}

void TFormView::appendToMemo()
{
    const RunLog* log = station_.runLog();
    if (memoLog_ != nullptr && log != nullptr && !log->lines().isEmpty()) {
        memoLog_->appendPlainText(log->lines().back());
    }
}

void TFormView::AddLogLine(const QString& line)
{
    if (station_.runLog() != nullptr && station_.runLog()->AddLogLine(line)) {
        appendToMemo();
    }
}

void TFormView::LogONClick()
{
    RunLog* log = station_.runLog();
    if (log == nullptr) {
        return;
    }
    log->setActive(!log->active(), QDateTime::currentDateTime());
    appendToMemo();
    if (logOn_ != nullptr) {
        logOn_->setChecked(log->active());
    }
}

void TFormView::showError(const QString& text)
{
    Dialogs::instance().message(Dialogs::Kind::Error, text, isVisible() ? this : nullptr, {});
}

} // namespace quell
