#pragma once

#include "calibration/CalibrationHost.h"
#include "calibration/CalibrationRuns.h"
#include "calibration/CalibrationStation.h"
#include "calibration/TPointResult.h"
#include "calibration/TestRuns.h"
#include "client/ViewLink.h"
#include "report/BoardReport.h"
#include "view/MeasurementViewModel.h"
#include "view/ProportionalLayout.h"
#include "view/ReferenceSelection.h"
#include "view/Stopwatch.h"
#include "view/TestResultChart.h"
#include "view/TrendChartModel.h"
#include "view/ViewEditing.h"
#include "view/ViewLayout.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QMouseEvent;
class QPushButton;
class QTimer;
class TVesmarLiquidIndicator;

namespace quell {

class DetaljiPage;
class DeviceLink;
class KalibracijaPage;
class MerenjePage;
class PageControl;
class ParameterWindow;
class RecordList;
class TFormBase;
class RunLogMemo;
class TrendChartMenu;
class ViewStrip;

// The measurement view window ("VRQ-08"): the strip and the pages "Merenje", "Detalji" and
// "Kalibracija", each made by a page object of its own. The window only applies what the view
// model computes and turns events into edits; every control carries its name as object name.
// It is the host of the calibration station, whose procedures report and read the operator's
// choices through it.
class TFormView : public QWidget, public ViewLink, public CalibrationHost {
    Q_OBJECT
public:
    // The view over a link to the board and the parameter window it works with (neither owned).
    TFormView(DeviceLink& link, ParameterWindow& window, QWidget* parent = nullptr);
    // Runs FormDestroy when FormCreate ran.
    ~TFormView() override { FormDestroy(); }

    // Start-up, once the main window knows its settings file: view settings, the run log's
    // start line, the database button's hint and the Connect caption.
    void FormCreate();
    // Program end: writes the board number into the settings and saves the run log. Errors go
    // to the error message box. Runs once; the destructor runs it when nobody did.
    void FormDestroy();
    // Reads [View] and [Calibrate] (creating what is missing): geometry, visibility, board
    // number, the stability step and the expected values of the test points.
    void LoadViewSettings();
    // "Ini": reloads the settings and redraws the test result.
    void ButtonIniClick();
    // Adds a procedure's line to the run log while "Log Active" is checked.
    void AddLogLine(const QString& line) override;
    // "Log Active": switches the log's gate and records the switch.
    void LogONClick();
    // Whether "Log Active" is checked.
    bool logActive() const { return station_.runLog() && station_.runLog()->active(); }
    // The calibration station: test points, run log, stability step, settings.
    CalibrationStation& station() { return station_; }
    // The test results; the settings fill their expected values.
    TTestPoints& TestPoints() { return station_.TestPoints; }
    const TTestPoints& testPoints() const { return station_.TestPoints; }
    // Two successive readings closer than this count as stable ([Calibrate] Different).
    std::int16_t different() const { return station_.different(); }

    // Reads the whole table and every value cell again and redraws what changed on the active
    // page (GUI thread).
    void RefreshView();
    // Mirrors a reference selector entry (4..11) from its raw value.
    void ShowSelection(std::uint16_t entry);
    // Reads the answered entries, mirrors the answered selectors and redraws what changed.
    void answerApplied(const std::vector<std::uint16_t>& answered) override;
    // The next refresh reads the whole table and every value cell, as after an answer the view
    // could not follow entry by entry.
    void tableReset() override;
    void linkStateChanged() override;
    bool isViewVisible() const override { return isVisible(); }
    void setViewVisible(bool visible) override;
    // Position of the frame and size of the client area, as [View] stores them.
    QRect viewGeometry() const;
    int boardNumber() const override;
    void setBoardNumber(int number) override;
    // Shut-down: writes [View] geometry and visibility as the window has them, then closes it.
    void closeView() override;
    // A run in progress ends as Stop ends it, cleans up, and then lets the program close.
    bool holdClose(std::function<void()> closeAgain) override;
    // Whether a close waits for the running procedure to end.
    bool closeHeld() const { return closeHeld_; }

    // ---- the group "Kalibracija" ----
    // "Sve": every channel by the method of "Metod merenja".
    void ButtonAllClick();
    // A channel button (Tag 1 "Temp 1", 2 "Temp 2", 3 "EMC1", 4 "EMC2", 5 "Drvo").
    void ButtonIndexClickK(int tag);
    // "Stop": the running point fails and its channel ends.
    void ButtonBreakClick();
    // The calibration runs and what the last one did.
    const CalibrationRuns& runs() const { return runs_; }

    // ---- the group "Testiranje" ----
    // "Sve": the six tests in order, each followed by its result's chart.
    void ButtonTestAllClick();
    // A test button (Tag 6 "Temp 1", 7 "Temp 2", 8 "EMC1", 9 "EMC2", 10 "Drvo", 11 "Drvo sve").
    void ButtonIndexClick(int tag);
    // The tests and what the last one did.
    const TestRuns& testRuns() const { return testRuns_; }
    // An item of "Rezultat" became the checked one: draws its chart.
    void RGResultClick(int index);
    // Redraws the chart of the checked item of "Rezultat" ("Temp1" when none is checked).
    void RefreshResult();
    // "Line" or "Error" of the chart's popup: the chart's mode follows the checked item and the
    // chart is drawn again.
    void PMTLineClick();
    // The result chart's mode and the rows of "Rezultat".
    const TestResultChart& resultChart() const { return resultChart_; }
    // "Save": a result file in the settings folder, named after the board and the time.
    void ButtonSaveClick();
    // "Load": a result file chosen in the settings folder; the record list then shows its folder.
    void ButtonLoadClick();
    // "Report": the board's report as a PDF in the folder Test, named after the board and the
    // time; an error message when it cannot be written.
    void ButtonReportClick();
    // What the window holds for the board's report: the board and EditOpis, the last calibration
    // of each channel in this run of the program, the test results and where they came from.
    ReportInputs reportInputs() const;
    // Brings a page to the front: 0 "Merenje", 1 "Detalji", 2 "Kalibracija".
    void showPage(int index);
    // Chooses the method in "Metod merenja" as a click does.
    void setMethod(Method method);
    // The run log file written at the end (empty before, or when it could not be written).
    QString savedLogPath() const;
    // Mirrors each line added to the run log (for a headless station's standard error).
    void setLogEcho(std::function<void(const QString&)> echo) { logEcho_ = std::move(echo); }

    // The calibration host: point boxes, channel boxes, method and "Swap period" of the page
    // "Kalibracija" (made first when they are not yet).
    void paintPoint(int row, int point, PointPaint paint) override;
    bool pointChecked(int row, int point) const override;
    bool channelChecked(int tag) const override;
    Method method() const override;
    bool swapPeriod() const override;
    bool testFilter() const override;
    // Checks item index of "Rezultat" from code (also while the controls are locked) and draws
    // its chart, also when it was checked already.
    void selectResult(int index) override;
    void beginProcedure() override;
    void endProcedure() override;
    void showProgress(const RunProgress& progress) override;

    // A key in an entry edit: Enter writes the edit's text to its entry.
    void EditKeyDown(QLineEdit* edit, int key);
    // Right click on a Cal or CalW edit: remembers its entry for "Get Cal".
    void Cal13eContextPopup(QLineEdit* edit);
    // "Get Cal": the channel's shown voltage becomes the remembered calibration entry's value.
    void GetCal1Click();
    // "GetCalW": the eight wood voltages become the eight wood constants.
    void ButtonCalWClick();
    // Right click on LST0..LST7: remembers the probe entry for the probe state popup.
    void LST0ContextPopup(int woodChannel);
    // A probe state item on the remembered probe entry.
    void TipStanjeSondeClick(ProbeStateItem item);
    // "Keep zero compensation": CompTemp is editable exactly while the box is clear.
    void CompTempCheckBoxClick();
    // "Connect"/"STOP": starts or stops the link of the main window.
    void BConnectClick();
    // The database window the two database buttons show (not owned; none: they do nothing).
    void setFormBase(TFormBase* base);
    TFormBase* formBase() const { return formBase_; }
    // "Upis u bazu": the database window for saving this board's record.
    void UBazuClick();
    // "Čitanje iz baze": the database window for loading this board's record.
    void IzBazeClick();
    // The text of "PB:" (EditOpis), which a saved test record carries.
    QString opisText() const;
    // The board number is about to change or was typed: no value of the old board stays shown.
    void UDPBChanging();
    // The board number edit lost the focus.
    void VRQPBExit();
    // Makes the controls of the pages; the first showing does it.
    void ensureControls();
    // Fits every control of the page box to the window's size (run on every resize).
    void FormResize();
    // "Select All" of the check-box group whose popup opened last.
    void SelectAll1Click();
    // The controls of the page "Kalibracija" (null before the controls are made).
    KalibracijaPage* kalibracijaPage() const { return kalibracija_; }
    // The entry the last popup was opened for (256: none).
    std::uint16_t contextEntry() const { return contextEntry_; }

    // How many answer lines the view was refreshed for.
    int refreshCount() const { return refreshCount_; }

    // Makes the controls before the first showing.
    void setVisible(bool visible) override;

    // Stopwatch tick (every second): counts and shows h.mm.ss on LedTime and renews the
    // BConnect caption; does nothing at all while the window is hidden.
    void TimerStopTimer();
    // A mouse button released over LedTime: the right one opens the stopwatch popup there.
    void LedTimeMouseUp(QMouseEvent* event);
    // Stopwatch "Reset": back to zero, shown at the next tick.
    void Reset1Click();
    // The stopwatch's count of seconds.
    std::uint32_t stopwatchSeconds() const { return stopwatch_.seconds(); }

    // Sample tick: each checked channel of the trend chart gets its "Detalji" label's number.
    void TimerGetSampleTimer();
    // Chart "Start"/"Stop": stops sampling when it runs, else starts it.
    void StartGrafClick();
    // A period item of the chart popup (index into kSamplePeriods); keeps sampling as it was.
    void PopupMenuTimeSampleClick(int periodIndex);
    // Chart "Reset": clears every series and starts sampling.
    void Reset2Click();
    // The trend chart's points, channels and sampling state.
    const TrendChartModel& trendChart() const { return trend_; }

    // Reads a record file into the test points: true, or false with the reason in error.
    using RecordReader = std::function<bool(const QString& path, QString* error)>;
    // The reader a double click on the record list uses (at start: the result file into the
    // station's test points; none: every double click fails).
    void setRecordReader(RecordReader reader) { recordReader_ = std::move(reader); }
    // Run after a record file was read, to redraw the results (at start: RefreshResult; may be
    // empty).
    void setRefreshResult(std::function<void()> refresh) { refreshResult_ = std::move(refresh); }
    // Points the record list at another folder; the working directory stays as it is.
    void setRecordFolder(const QString& folder);
    // The folder the record list shows (Test beside the settings file at start).
    QString recordFolder() const { return recordFolder_; }
    // Double click on the record list: reads the named file, then redraws the results; an error
    // message and no change when that fails (nothing selected, the file gone, unreadable).
    void FileListRecDblClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildStrip(QWidget* parent);
    void buildDetalji(QWidget* page);
    void refresh(const std::vector<std::uint16_t>& answered);
    void updateConnectCaption();
    // A shown window is at least as big as its captions need.
    void growToReadableSize();
    // The table was reset since the entry edits' marks were last drawn.
    bool marksMayHaveChanged_ = true;
    // Read-outs whose values do not arrive now are shown as old (dimmed, greyed).
    void showLiveness();
    ViewControls controls() const;
    bool write(vrqpb::Entry entry, const std::string& text);
    void buildTimers();
    void buildRecordList();
    void applySampleTimer();

    void showError(const QString& text);
    void buildLogMemo();
    void showLogInMemo();
    QStringList memoLines() const;

    void afterProcedure();
    void rememberCalibration();
    void rememberTest();
    bool readScore(const QString& path, QString* error);

    DeviceLink& link_;
    ParameterWindow& window_;
    CalibrationStation station_;
    CalibrationRuns runs_{station_};
    TestRuns testRuns_{station_};
    TestResultChart resultChart_;
    // The last calibration of each channel in this run of the program, for the report.
    std::vector<ChannelOutcome> calibrated_;
    // Where the test results came from, for the report; empty until something filled them.
    QString testSource_;
    bool closeHeld_ = false;
    TFormBase* formBase_ = nullptr;
    std::function<void()> closeAgain_;
    std::function<void(const QString&)> logEcho_;
    RunProgress progress_;
    QTimer* progressTimer_ = nullptr;
    bool created_ = false;
    bool destroyed_ = false;
    RunLogMemo* logMemo_ = nullptr;
    MeasurementViewModel model_;
    ViewEditing editing_;
    ReferenceSelection selection_;
    ViewSnapshot snapshot_;
    int refreshCount_ = 0;
    int boardNumber_ = 0;
    std::optional<bool> databaseReady_; // none before the first refresh
    std::uint16_t contextEntry_ = 0;

    ViewStrip* strip_ = nullptr;
    PageControl* pageControl_ = nullptr;
    MerenjePage* merenje_ = nullptr;
    DetaljiPage* detalji_ = nullptr;
    KalibracijaPage* kalibracija_ = nullptr;
    ProportionalLayout layout_;

    Stopwatch stopwatch_;
    TrendChartModel trend_;
    QTimer* timerStop_ = nullptr;
    QTimer* timerGetSample_ = nullptr;
    TrendChartMenu* popupMenuTimeSample_ = nullptr;
    RecordList* recordList_ = nullptr;
    QString recordFolder_;
    RecordReader recordReader_;
    std::function<void()> refreshResult_;
};

} // namespace quell
