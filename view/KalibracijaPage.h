#pragma once

#include "calibration/CalibrationHost.h"
#include "view/ResultChartDrawing.h"
#include "view/TestResultChart.h"

#include <QMetaObject>
#include <QObject>

#include <array>
#include <chrono>

class QAction;
class QBarCategoryAxis;
class QBarSeries;
class QBarSet;
class QChartView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineSeries;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QValueAxis;
class QWidget;

namespace quell {

class RadioGroup;

// The controls of the page "Kalibracija": the calibration group with its channel and point
// boxes, the tools (method, Stop, record files), the test group with its result chart, the run's
// progress and the run log. It makes them in their initial states, keeps the selection boxes
// consistent ("all" checks the channels, a channel its points, an unchecked point clears its
// channel and "all"; the same for the test boxes, one level deep) and draws the result charts the
// chart model computes; the procedures add the rest. Every control carries its name as object
// name; the page owns them (and this object).
class KalibracijaPage : public QObject {
    Q_OBJECT
public:
    // Rows of the calibration group: "Sve" and the five channels.
    static constexpr int kCalibrationRows = 6;
    // Rows of the test group: "Sve" and the six tests.
    static constexpr int kTestRows = 7;
    // Points of a calibration row.
    static constexpr int kPoints = 8;

    // Makes the controls on page.
    explicit KalibracijaPage(QWidget* page);

    // The calibration button of row (0 "Sve", 1..5 the channels; Tag = row).
    QPushButton* calibrationButton(int row) const;
    // The box of row: 0 the "all" box CheckBox0, 1..5 CheckBox10..CheckBox50.
    QCheckBox* rowBox(int row) const;
    // Point box CheckBox<row><point> (row 1..5, point 1..8).
    QCheckBox* pointBox(int row, int point) const;
    // The box a calibration point is bound to, by recipe row (0..6) and point (1..8): Temp 1 on
    // button row 1, Temp 2 on 2, EMC 1 on 3, EMC 2 on 4, both wood rows on 5; null for "Drvo sve".
    QCheckBox* calPointBox(int recipeRow, int point) const;
    // Paints a calibration point's box to show progress (rows without boxes are ignored).
    void paintPoint(int recipeRow, int point, CalibrationHost::PointPaint paint);
    // Whether a calibration point's box is checked (rows without boxes: true).
    bool pointChecked(int recipeRow, int point) const;
    // Whether the box beside the button with this Tag is checked: 1..5 CheckBox10..CheckBox50,
    // 6..11 CheckBox110..CheckBox160.
    bool channelChecked(int tag) const;
    // The method chosen in "Metod merenja".
    CalibrationHost::Method method() const;
    // The test button of row (0 "Sve", 1..6 the tests; Tag = 5 + row).
    QPushButton* testButton(int row) const;
    // The box of test row: 0 the "all" box CheckBox100, 1..6 CheckBox110..CheckBox160.
    QCheckBox* testBox(int row) const;

    // "Metod merenja": 0 "Brzo", 1 "Normalno" (the default), 2 "Duboko".
    RadioGroup* tipKalib() const { return tipKalib_; }
    // "Rezultat": the row whose test result Chart2 shows.
    RadioGroup* result() const { return result_; }
    // "Stop", enabled only while a procedure runs.
    QPushButton* buttonBreak() const { return buttonBreak_; }
    // "Load": reads a record file.
    QPushButton* buttonLoad() const { return buttonLoad_; }
    // "Ini": reads the view's settings again.
    QPushButton* buttonIni() const { return buttonIni_; }
    // "Save": writes a record file.
    QPushButton* buttonSave() const { return buttonSave_; }
    // "Report": writes the board's report as a PDF.
    QPushButton* buttonReport() const { return buttonReport_; }
    // The record files of the folder Test.
    QListWidget* fileListRec() const { return fileListRec_; }
    // "Filter za merenje", clear at start.
    QCheckBox* testFilter() const { return testFilter_; }
    // "Swap period", clear at start.
    QCheckBox* testSwap() const { return testSwap_; }
    // The result chart Chart2.
    QChartView* chart2() const { return chart2_; }
    // Gives the result chart's legend the window's font: a chart draws it in a scene, which
    // does not take the widget's font.
    void setChartFont(const QFont& font);
    // After the controls were laid out: the test group's option boxes and the items of
    // "Rezultat" take the window's font, made smaller where a caption would be cut off.
    void fitCaptions();
    // Series17 "Temp1M": the measured values (green line).
    QLineSeries* measured() const { return drawing_->measured(); }
    // Series18 "Temp1O": the expected values (red line).
    QLineSeries* expected() const { return drawing_->expected(); }
    // Series19 "Odstup1": the deviations (yellow bars with their values shown).
    QBarSeries* deviation() const { return drawing_->deviation(); }
    // The one bar set of Series19; its bars outside the limits are selected (drawn red).
    QBarSet* deviationSet() const { return drawing_->deviationSet(); }
    // "Van granica": in Line mode, the measured points outside their limits (red dots).
    QScatterSeries* outsidePoints() const { return drawing_->outsidePoints(); }
    // The result chart's axes: the point labels below, the values (or deviations) on the left.
    QBarCategoryAxis* resultAxisX() const { return drawing_->axisX(); }
    QValueAxis* resultAxisY() const { return drawing_->axisY(); }
    // Draws a result as the chart model computed it (ResultChartDrawing::draw).
    void drawResult(const ResultChart& chart);
    // The chart's popup PMTipGraph.
    QMenu* tipGraph() const { return pmTipGraph_; }
    // PMTLine "Line", checked at start; it and "Error" exclude each other.
    QAction* lineItem() const { return pmtLine_; }
    // PMTError "Error".
    QAction* errorItem() const { return pmtError_; }
    // The run log memo.
    QPlainTextEdit* memoLog() const { return memoLog_; }
    // What the running procedure does, and how far the run has come.
    QLabel* runProgressLabel() const { return runProgress_; }
    QProgressBar* runProgressBar() const { return progressBar_; }
    // Shows a procedure's progress, its elapsed time measured up to now.
    void showProgress(const RunProgress& progress, std::chrono::steady_clock::time_point now);

    // The selection boxes' handlers: each runs when its box changes, by a click or from code,
    // so that one change carries on to the boxes it governs.
    void CheckBox0Click();
    void CheckBoxN0Click(int row);
    void CheckBoxNxClick(int row, int point);
    // The test boxes' handlers: "all" (CheckBox100) checked checks the six channel boxes without
    // their handler running; any change of a channel box (CheckBox110..160, row 1..6) clears
    // "all".
    void CheckBox100Click();
    void CheckBox1x0Click(int row);

private:
    QGroupBox* buildCalibration(QWidget* page);
    QGroupBox* buildTools(QWidget* page);
    QGroupBox* buildTest(QWidget* page);
    void buildChart(QGroupBox* test);
    void attachTestBoxes();
    void detachTestBoxes();

    std::array<QPushButton*, kCalibrationRows> calibrationButtons_{};
    std::array<QCheckBox*, kCalibrationRows> rowBoxes_{};
    std::array<std::array<QCheckBox*, kPoints>, kCalibrationRows - 1> pointBoxes_{};
    std::array<QPushButton*, kTestRows> testButtons_{};
    std::array<QCheckBox*, kTestRows> testBoxes_{};
    RadioGroup* tipKalib_ = nullptr;
    RadioGroup* result_ = nullptr;
    QPushButton* buttonBreak_ = nullptr;
    QPushButton* buttonLoad_ = nullptr;
    QPushButton* buttonIni_ = nullptr;
    QPushButton* buttonSave_ = nullptr;
    QPushButton* buttonReport_ = nullptr;
    QListWidget* fileListRec_ = nullptr;
    QCheckBox* testFilter_ = nullptr;
    QCheckBox* testSwap_ = nullptr;
    QChartView* chart2_ = nullptr;
    ResultChartDrawing* drawing_ = nullptr; // goes with Chart2's chart
    std::array<QMetaObject::Connection, kTestRows - 1> testBoxHandlers_{};
    QMenu* pmTipGraph_ = nullptr;
    QAction* pmtLine_ = nullptr;
    QAction* pmtError_ = nullptr;
    QPlainTextEdit* memoLog_ = nullptr;
    QLabel* runProgress_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
};

} // namespace quell
