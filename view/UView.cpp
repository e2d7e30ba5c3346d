#include "view/UView.h"

#include "calibration/ScoreFile.h"
#include "client/DeviceLink.h"
#include "client/Dialogs.h"
#include "client/IniFile.h"
#include "client/ParameterWindow.h"
#include "client/ScreenArea.h"
#include "client/UpDown.h"
#include "database/UBase.h"
#include "report/ReportPdf.h"
#include "view/DetaljiPage.h"
#include "view/KalibracijaPage.h"
#include "view/MerenjePage.h"
#include "view/PageControl.h"
#include "view/RadioGroup.h"
#include "view/RecordList.h"
#include "view/RunLogMemo.h"
#include "view/TrendChart.h"
#include "view/TrendChartMenu.h"
#include "view/ViewLayout.h"
#include "view/ViewSettings.h"
#include "view/ViewStrip.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace quell {

using namespace vrqpb;

namespace {

constexpr int kMaxBoardNumber = 10000;
// The size the pages' captions are checked at.
constexpr int kSmallestWidth = 936;
constexpr int kSmallestHeight = 465;

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
    recordFolder_ = RecordList::makeTestFolder(window_.WorkDir());
    setRecordReader([this](const QString& path, QString* error) { return readScore(path, error); });
    setRefreshResult([this] { RefreshResult(); });
}

void TFormView::buildStrip(QWidget* parent)
{
    strip_ = new ViewStrip(parent, kMaxBoardNumber);
    connect(strip_, &ViewStrip::connectClicked, this, &TFormView::BConnectClick);
    connect(strip_, &ViewStrip::saveToDatabaseClicked, this, &TFormView::UBazuClick);
    connect(strip_, &ViewStrip::loadFromDatabaseClicked, this, &TFormView::IzBazeClick);
    connect(strip_, &ViewStrip::boardChanging, this, &TFormView::UDPBChanging);
    connect(strip_, &ViewStrip::ledTimeMouseUp, this, &TFormView::LedTimeMouseUp);
    connect(strip_, &ViewStrip::boardEditFinished, this, &TFormView::VRQPBExit);
    connect(strip_, &ViewStrip::stopwatchReset, this, &TFormView::Reset1Click);
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
    const auto pages = pageControl_->addPages({"Merenje", "Detalji", "Kalibracija"});
    // The strip sits on the tab row, right of the tabs, so it is made after the page control.
    buildStrip(this);
    merenje_ = new MerenjePage(pages[0], selection_);
    buildDetalji(pages[1]);
    kalibracija_ = new KalibracijaPage(pages[2]);
    connect(kalibracija_->buttonIni(), &QPushButton::clicked, this, &TFormView::ButtonIniClick);
    connect(kalibracija_->calibrationButton(0), &QPushButton::clicked, this,
            &TFormView::ButtonAllClick);
    for (int tag = 1; tag <= kLastCalibrationTag; ++tag) {
        connect(kalibracija_->calibrationButton(tag), &QPushButton::clicked, this,
                [this, tag] { ButtonIndexClickK(tag); });
    }
    connect(kalibracija_->buttonBreak(), &QPushButton::clicked, this, &TFormView::ButtonBreakClick);
    connect(kalibracija_->testButton(0), &QPushButton::clicked, this,
            &TFormView::ButtonTestAllClick);
    for (int row = 1; row < KalibracijaPage::kTestRows; ++row) {
        const int tag = kLastCalibrationTag + row;
        connect(kalibracija_->testButton(row), &QPushButton::clicked, this,
                [this, tag] { ButtonIndexClick(tag); });
    }
    connect(kalibracija_->result(), &RadioGroup::itemIndexChanged, this, &TFormView::RGResultClick);
    connect(kalibracija_->lineItem(), &QAction::triggered, this, &TFormView::PMTLineClick);
    connect(kalibracija_->errorItem(), &QAction::triggered, this, &TFormView::PMTLineClick);
    connect(kalibracija_->buttonSave(), &QPushButton::clicked, this, &TFormView::ButtonSaveClick);
    connect(kalibracija_->buttonReport(), &QPushButton::clicked, this,
            &TFormView::ButtonReportClick);
    connect(kalibracija_->buttonLoad(), &QPushButton::clicked, this, &TFormView::ButtonLoadClick);
    buildLogMemo();
    buildRecordList();
    // Last: the layout places every control made above by its name.
    layout_.add(*this, viewlayout::FullLayoutSequence());
    merenje_->applyIndicators(model_.indicators(), std::bitset<18>().set());
    for (Entry e = kSelectorFirst; e <= kSelectorLast; ++e) {
        ShowSelection(e);
    }
    strip_->showReadiness(databaseReady_);
    strip_->board()->setPosition(boardNumber_);
    updateConnectCaption();
    showLiveness();
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
    if (pageControl_ == nullptr) {
        return;
    }
    // The window's font follows the page height.
    const int points = viewlayout::FontPointSize(pageControl_->fit(size()).height());
    if (points > 0 && font().pointSize() != points) {
        QFont scaled = font();
        scaled.setPointSize(points);
        setFont(scaled);
        kalibracija_->setChartFont(scaled);
    }
    layout_.apply();
    kalibracija_->fitCaptions();
}

void TFormView::buildDetalji(QWidget* page)
{
    detalji_ = new DetaljiPage(page);
    connect(detalji_, &DetaljiPage::entryEditReturn, this,
            [this](QLineEdit* edit) { EditKeyDown(edit, Qt::Key_Return); });
    connect(detalji_, &DetaljiPage::calEditMenu, this, &TFormView::Cal13eContextPopup);
    connect(detalji_, &DetaljiPage::getCalChosen, this, &TFormView::GetCal1Click);
    connect(detalji_, &DetaljiPage::probeMenu, this, &TFormView::LST0ContextPopup);
    connect(detalji_, &DetaljiPage::probeStateChosen, this, &TFormView::TipStanjeSondeClick);
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
    detalji_->readControls(c);
    c.focused = QApplication::focusWidget();
    return c;
}

void TFormView::RefreshView()
{
    snapshot_.readAllNext();
    refresh({});
}

void TFormView::answerApplied(const std::vector<std::uint16_t>& answered)
{
    refresh(answered);
}

void TFormView::tableReset()
{
    snapshot_.readAllNext();
    marksMayHaveChanged_ = true;
    // A value set or a description loaded while no answers come would otherwise show only
    // after the next answer; a window nobody sees waits for it.
    if (isVisible()) {
        refresh({});
    }
}

void TFormView::refresh(const std::vector<std::uint16_t>& answered)
{
    ++refreshCount_;
    // One lock for the table and the cells: the worker waits for this refresh anyway.
    link_.readTableAndCells([&](const TProtocol& table, const std::vector<std::string>& cells) {
        snapshot_.readAnswered(table, cells, answered);
    });
    // The selectors follow every answer for them, whatever page is shown.
    if (merenje_ != nullptr) {
        merenje_->showAnswered(snapshot_, answered);
    }
    const ViewRefresh out = model_.refresh(snapshot_, controls());
    databaseReady_ = out.databaseReady;
    if (detalji_ == nullptr) {
        return; // not shown yet: the model keeps the page's texts for the first showing
    }
    strip_->showReadiness(databaseReady_);
    if (out.indicatorsUpdated) {
        merenje_->applyIndicators(model_.indicators(), out.indicatorsChanged);
    }
    detalji_->apply(out);
    showLiveness();
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
    snapshot_.readAlso(entry);
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

void TFormView::setFormBase(TFormBase* base)
{
    formBase_ = base;
    // A report says where the test results it prints came from.
    if (base)
        connect(base, &TFormBase::testRecordLoaded, this,
                [this](const QString& source) { testSource_ = source; });
}

void TFormView::UBazuClick()
{
    if (!formBase_)
        return;
    formBase_->setBoardNumber(boardNumber());
    formBase_->setDescription([this] { return opisText(); });
    formBase_->showForSave();
}

void TFormView::IzBazeClick()
{
    if (!formBase_)
        return;
    formBase_->setBoardNumber(boardNumber());
    formBase_->setDescription([this] { return opisText(); });
    formBase_->showForLoad();
}

QString TFormView::opisText() const
{
    return strip_->editOpis()->text();
}

void TFormView::linkStateChanged()
{
    updateConnectCaption();
    showLiveness();
}

void TFormView::showLiveness()
{
    if (merenje_ == nullptr) {
        return;
    }
    const bool live = link_.valuesLive();
    std::bitset<18> stale;
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        stale[i] = !live || link_.cellMarks(kIndicators[i].text).unanswered;
    }
    merenje_->showStale(stale);
    detalji_->showLive(live);
    // A mark comes only with a value set, the database or typing (each resets the table); it
    // goes with an answer or a write. Without one shown and no reset, answers need not ask.
    if (marksMayHaveChanged_ || detalji_->showsUnsent()) {
        detalji_->showUnsent([this](Entry entry) { return link_.cellMarks(entry).unsent; });
        marksMayHaveChanged_ = false;
    }
}

void TFormView::updateConnectCaption()
{
    if (strip_ != nullptr) {
        strip_->showStarted(window_.Started());
    }
}

void TFormView::UDPBChanging()
{
    window_.MClearClick();
}

void TFormView::VRQPBExit()
{
    strip_->board()->setPosition(strip_->boardEdit()->text().toInt());
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

void TFormView::growToReadableSize()
{
    // The page is laid out in proportion to the window, but its font follows the height only:
    // narrower than it was drawn for, the captions no longer fit. A first run stores a 300 by
    // 280 window; shown, it opens at the size the captions need (unless the screen is smaller),
    // and closing stores that size.
    const QRect screen = availableAreaAt(x(), y());
    const QSize readable(std::min(std::max(width(), kSmallestWidth), screen.width()),
                         std::min(std::max(height(), kSmallestHeight), screen.height()));
    if (readable != size()) {
        resize(readable);
    }
}

void TFormView::setViewVisible(bool visible)
{
    if (visible) {
        growToReadableSize();
    }
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
    return strip_ != nullptr ? strip_->board()->position() : boardNumber_;
}

void TFormView::setBoardNumber(int number)
{
    boardNumber_ = std::clamp(number, 0, kMaxBoardNumber);
    if (strip_ != nullptr) {
        strip_->board()->setPosition(boardNumber_);
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
    kalibracija_->paintPoint(row, point, paint);
}

bool TFormView::pointChecked(int row, int point) const
{
    // Every box starts checked; before the page is made nobody can have cleared one.
    return kalibracija_ == nullptr || kalibracija_->pointChecked(row, point);
}

bool TFormView::channelChecked(int tag) const
{
    return kalibracija_ == nullptr || kalibracija_->channelChecked(tag);
}

CalibrationHost::Method TFormView::method() const
{
    return kalibracija_ != nullptr ? kalibracija_->method() : Method::Normal;
}

bool TFormView::swapPeriod() const
{
    return kalibracija_ != nullptr && kalibracija_->testSwap()->isChecked();
}

bool TFormView::testFilter() const
{
    return kalibracija_ != nullptr && kalibracija_->testFilter()->isChecked();
}

void TFormView::buildTimers()
{
    // While a procedure runs its elapsed time moves on even while a point waits.
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(1000);
    connect(progressTimer_, &QTimer::timeout, this, [this] {
        if (kalibracija_ != nullptr && progress_.running) {
            kalibracija_->showProgress(progress_, station_.clock());
        }
    });
    timerStop_ = new QTimer(this);
    timerStop_->setObjectName(QStringLiteral("TimerStop"));
    timerStop_->setInterval(1000);
    connect(timerStop_, &QTimer::timeout, this, &TFormView::TimerStopTimer);
    timerStop_->start();
    timerGetSample_ = new QTimer(this);
    timerGetSample_->setObjectName(QStringLiteral("TimerGetSample"));
    timerGetSample_->setInterval(trend_.periodMs());
    connect(timerGetSample_, &QTimer::timeout, this, &TFormView::TimerGetSampleTimer);

    popupMenuTimeSample_ = new TrendChartMenu(trend_, this);
    connect(popupMenuTimeSample_, &TrendChartMenu::startGrafTriggered, this,
            &TFormView::StartGrafClick);
    connect(popupMenuTimeSample_, &TrendChartMenu::periodChosen, this,
            &TFormView::PopupMenuTimeSampleClick);
    connect(popupMenuTimeSample_, &TrendChartMenu::resetTriggered, this, &TFormView::Reset2Click);
}

void TFormView::TimerStopTimer()
{
    if (!stopwatch_.tick(isVisible())) {
        return;
    }
    strip_->ledTime()->setIndicatorString(QString::fromStdString(stopwatch_.text()));
    updateConnectCaption();
}

void TFormView::LedTimeMouseUp(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        strip_->popupStopwatchMenu(event->position().toPoint());
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
    popupMenuTimeSample_->setStartCaption(trend_.startCaption());
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
    recordList_ = new RecordList(kalibracija_->fileListRec(), this);
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
    QString error;
    if (recordList_ == nullptr) {
        return;
    }
    if (!recordList_->readChosen(recordReader_, &error)) {
        Dialogs::instance().message(Dialogs::Kind::Error, error, this, {});
    } else if (refreshResult_) {
        refreshResult_();
    }
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
    // Fitted to the screen: a damaged file must not make a window bigger than the screen.
    const QRect fitted = fitToScreen(settings.left, settings.top, settings.width, settings.height);
    move(fitted.topLeft());
    resize(fitted.size());
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
    return logMemo_ != nullptr ? logMemo_->lines() : QStringList();
}

void TFormView::buildLogMemo()
{
    logMemo_ = new RunLogMemo(kalibracija_->memoLog(), this);
    connect(logMemo_, &RunLogMemo::logOnTriggered, this, &TFormView::LogONClick);
    showLogInMemo();
}

void TFormView::showLogInMemo()
{
    // The controls may be made before or after the log starts; whichever comes second fills
    // the memo.
    if (logMemo_ != nullptr && station_.runLog() != nullptr) {
        logMemo_->showAll(*station_.runLog());
    }
}

void TFormView::AddLogLine(const QString& line)
{
    RunLog* log = station_.runLog();
    if (log == nullptr || !log->AddLogLine(line)) {
        return;
    }
    if (logMemo_ != nullptr) {
        logMemo_->showLast(*log);
    }
    if (logEcho_) {
        logEcho_(line);
    }
}

void TFormView::LogONClick()
{
    RunLog* log = station_.runLog();
    if (log == nullptr) {
        return;
    }
    log->setActive(!log->active(), QDateTime::currentDateTime());
    if (logMemo_ != nullptr) {
        logMemo_->showLast(*log);
        logMemo_->setActive(log->active());
    }
}

void TFormView::showError(const QString& text)
{
    Dialogs::instance().message(Dialogs::Kind::Error, text, isVisible() ? this : nullptr, {});
}

} // namespace quell

namespace quell {

void TFormView::ButtonAllClick()
{
    ensureControls();
    if (runs_.ButtonAllClick()) {
        rememberCalibration();
        afterProcedure();
    }
}

void TFormView::ButtonIndexClickK(int tag)
{
    ensureControls();
    if (runs_.ButtonIndexClickK(tag)) {
        rememberCalibration();
        afterProcedure();
    }
}

void TFormView::ButtonBreakClick()
{
    station_.ButtonBreakClick();
}

void TFormView::rememberCalibration()
{
    // Both wood rows hold the constants of the same inputs: either run replaces the other.
    const auto sameChannel = [](int a, int b) {
        const auto wood = [](int row) { return row == kRowWood || row == kRowWoodDeep; };
        return a == b || (wood(a) && wood(b));
    };
    for (const ChannelOutcome& channel : runs_.outcome().channels) {
        std::erase_if(calibrated_,
                      [&](const ChannelOutcome& c) { return sameChannel(c.row, channel.row); });
        calibrated_.push_back(channel);
    }
}

void TFormView::rememberTest()
{
    testSource_ = QStringLiteral("test u ovom radu programa, ")
                  + QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy. HH:mm:ss"));
}

void TFormView::afterProcedure()
{
    // A close asked for during the run goes ahead once the handler that ran it has returned.
    if (closeHeld_ && closeAgain_) {
        closeAgain_();
    }
}

bool TFormView::holdClose(std::function<void()> closeAgain)
{
    // Tests and calibrations share the station's procedure frame, so this holds for both.
    if (!station_.procedureRunning() || closeHeld_) {
        return false;
    }
    closeHeld_ = true;
    closeAgain_ = std::move(closeAgain);
    station_.abandonRun();
    return true;
}

void TFormView::showPage(int index)
{
    ensureControls();
    pageControl_->setCurrentIndex(index);
}

void TFormView::setMethod(Method method)
{
    ensureControls();
    kalibracija_->tipKalib()->setItemIndex(static_cast<int>(method));
}

QString TFormView::savedLogPath() const
{
    const RunLog* log = station_.runLog();
    return log != nullptr ? log->savedPath() : QString();
}

void TFormView::beginProcedure()
{
    ensureControls();
    // Only Stop stays for the operator: every button, box and radio item waits for the end.
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        button->setEnabled(false);
    }
    kalibracija_->fileListRec()->setEnabled(false);
    kalibracija_->buttonBreak()->setEnabled(true);
    progressTimer_->start();
}

void TFormView::endProcedure()
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        button->setEnabled(true);
    }
    kalibracija_->fileListRec()->setEnabled(true);
    kalibracija_->buttonBreak()->setEnabled(false);
    progressTimer_->stop();
}

void TFormView::showProgress(const RunProgress& progress)
{
    progress_ = progress;
    if (kalibracija_ != nullptr) {
        kalibracija_->showProgress(progress_, station_.clock());
    }
}

} // namespace quell

namespace quell {

namespace {

const QString kSaveFilter = QStringLiteral("Rezultat testiranja|*.rec|svi|*.*");
const QString kOpenFilter = QStringLiteral("Rezultat testiranja|*.rec|svi fajlovi|*.*");
const QString kScoreExtension = QStringLiteral("rec");

} // namespace

void TFormView::ButtonTestAllClick()
{
    ensureControls();
    if (testRuns_.ButtonTestAllClick()) {
        rememberTest();
        afterProcedure();
    }
}

void TFormView::ButtonIndexClick(int tag)
{
    ensureControls();
    if (testRuns_.ButtonIndexClick(tag)) {
        rememberTest();
        afterProcedure();
    }
}

void TFormView::selectResult(int index)
{
    ensureControls();
    RadioGroup* result = kalibracija_->result();
    // Checking the item that is checked already fires nothing, but the chart must show what the
    // test just measured.
    if (result->itemIndex() == index) {
        RGResultClick(index);
    } else {
        result->setItemIndex(index);
    }
}

void TFormView::RGResultClick(int index)
{
    if (kalibracija_ == nullptr) {
        return;
    }
    if (const auto chart =
            resultChart_.RGResultClick(index, station_.TestPoints, station_.testLimits())) {
        kalibracija_->drawResult(*chart);
    }
}

void TFormView::RefreshResult()
{
    ensureControls();
    if (const auto chart = resultChart_.RefreshResult(kalibracija_->result()->itemIndex(),
                                                      station_.TestPoints, station_.testLimits())) {
        kalibracija_->drawResult(*chart);
    }
}

void TFormView::PMTLineClick()
{
    ensureControls();
    resultChart_.setMode(kalibracija_->errorItem()->isChecked() ? ResultChartMode::Error
                                                                : ResultChartMode::Line);
    RefreshResult();
}

bool TFormView::readScore(const QString& path, QString* error)
{
    QString text;
    const bool read = ReadScore(path, station_.TestPoints, station_.TestRecordBytes, text);
    if (read) {
        testSource_ = QStringLiteral("fajl ") + QDir::toNativeSeparators(path);
    }
    if (!read && error != nullptr) {
        *error = text;
    }
    return read;
}

void TFormView::ButtonSaveClick()
{
    ensureControls();
    Dialogs::FileRequest request;
    request.folder = window_.WorkDir();
    request.filter = kSaveFilter;
    request.defaultExtension = kScoreExtension;
    request.fileName = ProposedScoreName(boardNumber(), QDateTime::currentDateTime());
    const QString fileName = Dialogs::instance().saveFileName(request, this);
    if (fileName.isEmpty()) {
        return;
    }
    QString error;
    if (!WriteScore(fileName, station_.TestPoints, station_.TestRecordBytes, error)) {
        showError(error);
    }
    recordList_->refresh();
}

void TFormView::ButtonReportClick()
{
    ensureControls();
    Dialogs::FileRequest request;
    request.folder = RecordList::makeTestFolder(window_.WorkDir());
    request.filter = QStringLiteral("Izveštaj|*.pdf|svi|*.*");
    request.defaultExtension = QStringLiteral("pdf");
    request.fileName = ProposedReportName(boardNumber(), QDateTime::currentDateTime());
    const QString fileName = Dialogs::instance().saveFileName(request, this);
    if (fileName.isEmpty()) {
        return;
    }
    QString error;
    if (!WriteReportPdf(makeBoardReport(reportInputs()), fileName, error)) {
        showError(error);
    }
}

ReportInputs TFormView::reportInputs() const
{
    ReportInputs inputs =
        startReportInputs(window_.SettingsFileName(), boardNumber(), QDateTime::currentDateTime());
    // The strip is made with the pages; before that EditOpis would show its first text.
    inputs.description = strip_ != nullptr ? strip_->editOpis()->text() : QStringLiteral("PB:");
    inputs.calibration = calibrated_;
    inputs.testPoints = station_.TestPoints;
    inputs.limits = station_.testLimits();
    inputs.testSource = testSource_;
    return inputs;
}

void TFormView::ButtonLoadClick()
{
    ensureControls();
    Dialogs::FileRequest request;
    request.folder = window_.WorkDir();
    request.filter = kOpenFilter;
    request.defaultExtension = kScoreExtension;
    const QString fileName = Dialogs::instance().openFileName(request, this);
    if (!fileName.isEmpty()) {
        QString error;
        if (readScore(fileName, &error)) {
            setRecordFolder(QFileInfo(fileName).absolutePath());
        } else {
            showError(error);
        }
    }
    RefreshResult();
}

} // namespace quell
