#include "view/KalibracijaPage.h"

#include "calibration/CalibrationRuns.h"
#include "view/RadioGroup.h"

#include <QAction>
#include <QActionGroup>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace quell {

namespace {

QString numbered(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

template <typename T> T* named(T* control, const QString& name)
{
    control->setObjectName(name);
    return control;
}

// The rows of both groups: caption and name of their button after "Button" or "ButtonTest";
// calibration has the first six.
constexpr std::array<std::pair<const char*, const char*>, 7> kRows = {{
    {"Sve", "All"},
    {"Temp 1", "Temp1"},
    {"Temp 2", "Temp2"},
    {"EMC1", "EMC1"},
    {"EMC2", "EMC2"},
    {"Drvo", "Drvo"},
    {"Drvo sve", "DrvoAll"},
}};

// The button of row: its Tag tells the shared click handler which channel it runs.
QPushButton* rowButton(const char* prefix, int row, int tag, QWidget* parent)
{
    const auto& [caption, suffix] = kRows[static_cast<std::size_t>(row)];
    auto* button = named(new QPushButton(QString::fromLatin1(caption), parent),
                         QString::fromLatin1(prefix) + QString::fromLatin1(suffix));
    if (tag > 0) {
        button->setProperty("tag", tag);
    }
    return button;
}

QCheckBox* checkedBox(const QString& name, QWidget* parent)
{
    auto* box = named(new QCheckBox(parent), name);
    box->setChecked(true);
    return box;
}

// The column numbers over the point boxes: the numbers of the text are spread evenly over the
// label's width, so they stay over their columns whatever the face's widths and the window size.
class ColumnLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QStringList numbers = text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (numbers.size() < 2) {
            return;
        }
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QFontMetricsF metrics(font());
        const double first = metrics.horizontalAdvance(numbers.front()) / 2;
        const double last = width() - metrics.horizontalAdvance(numbers.back()) / 2;
        const double pitch = (last - first) / static_cast<double>(numbers.size() - 1);
        const double baseline = (height() + metrics.ascent() - metrics.descent()) / 2;
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            const double centre = first + pitch * static_cast<double>(i);
            painter.drawText(QPointF(centre - metrics.horizontalAdvance(numbers[i]) / 2, baseline),
                             numbers[i]);
        }
    }
};

// The temperature rows calibrate points 3, 5 and 7 only.
bool pointUsed(int row, int point)
{
    const bool temperature = row == 1 || row == 2;
    return !temperature || point == 3 || point == 5 || point == 7;
}

// The labels under a result chart. A category axis takes each label once, and "Drvo sve" has
// eight "1G": a repeated label gets one zero-width space more than the one before, which draws
// the same.
QStringList categories(const ResultChart& chart)
{
    QStringList labels;
    for (const ResultChartPoint& point : chart.points) {
        QString label =
            QString::fromLatin1(point.label.data(), static_cast<qsizetype>(point.label.size()));
        while (labels.contains(label))
            label += QChar(0x200B);
        labels << label;
    }
    return labels;
}

// The left axis of Line mode: every measured and expected value inside, with a little room above
// and below so that no point sits on the frame.
std::pair<double, double> lineRange(const ResultChart& chart)
{
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    for (const ResultChartPoint& point : chart.points) {
        low = std::min({low, point.measured, point.expected});
        high = std::max({high, point.measured, point.expected});
    }
    if (chart.points.empty())
        return {0.0, 1.0};
    const double room = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
    return {low - room, high + room};
}

// Ticks of the error axis: -F, -F/2, 0, F/2, F.
constexpr int kErrorTicks = 5;

} // namespace

KalibracijaPage::KalibracijaPage(QWidget* page) : QObject(page)
{
    buildCalibration(page);
    buildTools(page);
    buildTest(page);
    memoLog_ = named(new QPlainTextEdit(page), QStringLiteral("MemoLog"));
    runProgress_ = named(new QLabel(page), QStringLiteral("LabelRunProgress"));
    progressBar_ = named(new QProgressBar(page), QStringLiteral("ProgressRun"));
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    progressBar_->setFormat(QStringLiteral("%v / %m"));

    connect(rowBox(0), &QCheckBox::toggled, this, &KalibracijaPage::CheckBox0Click);
    for (int row = 1; row < kCalibrationRows; ++row) {
        connect(rowBox(row), &QCheckBox::toggled, this, [this, row] { CheckBoxN0Click(row); });
        for (int point = 1; point <= kPoints; ++point)
            connect(pointBox(row, point), &QCheckBox::toggled, this,
                    [this, row, point] { CheckBoxNxClick(row, point); });
    }
    connect(testBox(0), &QCheckBox::toggled, this, &KalibracijaPage::CheckBox100Click);
    attachTestBoxes();
}

void KalibracijaPage::attachTestBoxes()
{
    for (int row = 1; row < kTestRows; ++row)
        testBoxHandlers_[static_cast<std::size_t>(row - 1)] = connect(
            testBox(row), &QCheckBox::toggled, this, [this, row] { CheckBox1x0Click(row); });
}

void KalibracijaPage::detachTestBoxes()
{
    for (QMetaObject::Connection& handler : testBoxHandlers_)
        disconnect(handler);
}

void KalibracijaPage::CheckBox100Click()
{
    if (!testBox(0)->isChecked())
        return;
    // Checking the channels from here must not clear "all" again through their own handler.
    detachTestBoxes();
    for (int row = 1; row < kTestRows; ++row)
        testBox(row)->setChecked(true);
    attachTestBoxes();
}

void KalibracijaPage::CheckBox1x0Click([[maybe_unused]] int row)
{
    testBox(0)->setChecked(false);
}

void KalibracijaPage::CheckBox0Click()
{
    if (!rowBox(0)->isChecked())
        return;
    for (int row = 1; row < kCalibrationRows; ++row)
        rowBox(row)->setChecked(true);
}

void KalibracijaPage::CheckBoxN0Click(int row)
{
    if (rowBox(row)->isChecked()) {
        for (int point = 1; point <= kPoints; ++point)
            pointBox(row, point)->setChecked(true);
    } else {
        rowBox(0)->setChecked(false);
    }
}

void KalibracijaPage::CheckBoxNxClick(int row, int point)
{
    if (!pointBox(row, point)->isChecked())
        rowBox(row)->setChecked(false);
}

void KalibracijaPage::showProgress(const RunProgress& progress,
                                   std::chrono::steady_clock::time_point now)
{
    const QString elapsed = CalibrationRuns::elapsedText(now - progress.started);
    progressBar_->setRange(0, std::max(1, progress.pointsPlanned));
    progressBar_->setValue(std::min(progress.pointsDone, std::max(1, progress.pointsPlanned)));
    if (!progress.running) {
        QString text = QStringLiteral("Završeno: %1 od %2 tačaka")
                           .arg(progress.pointsDone)
                           .arg(progress.pointsPlanned);
        if (progress.pointsFailed > 0)
            text += QStringLiteral(", %1 neuspešno").arg(progress.pointsFailed);
        runProgress_->setText(text + QStringLiteral(", ") + elapsed);
        return;
    }
    QString text = progress.channel.isEmpty() ? QStringLiteral("Priprema") : progress.channel;
    if (progress.point > 0)
        text += QStringLiteral(", tačka %1").arg(progress.point);
    if (progress.reading > 0)
        text += QStringLiteral(", čitanje %1").arg(progress.reading);
    runProgress_->setText(text + QStringLiteral(" – ") + elapsed);
}

QGroupBox* KalibracijaPage::buildCalibration(QWidget* page)
{
    auto* box =
        named(new QGroupBox(QStringLiteral("Kalibracija"), page), QStringLiteral("GBKalib"));
    for (int row = 0; row < kCalibrationRows; ++row) {
        calibrationButtons_[static_cast<std::size_t>(row)] = rowButton("Button", row, row, box);
        rowBoxes_[static_cast<std::size_t>(row)] = checkedBox(numbered("CheckBox", 10 * row), box);
        for (int point = 1; row > 0 && point <= kPoints; ++point) {
            auto* pointBox = checkedBox(numbered("CheckBox", 10 * row + point), box);
            pointBox->setEnabled(pointUsed(row, point));
            pointBoxes_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(point - 1)] =
                pointBox;
        }
    }
    named(new ColumnLabel(QStringLiteral("1   2   3   4   5   6   7   8"), box),
          QStringLiteral("LabelPoints"));
    return box;
}

QGroupBox* KalibracijaPage::buildTools(QWidget* page)
{
    auto* box = named(new QGroupBox(page), QStringLiteral("GBTools"));
    tipKalib_ = new RadioGroup(
        QStringLiteral("Metod merenja"),
        {QStringLiteral("Brzo"), QStringLiteral("Normalno"), QStringLiteral("Duboko")}, box);
    tipKalib_->setGroupName(QStringLiteral("RGTipKalib"));
    tipKalib_->setItemIndex(1);
    buttonBreak_ =
        named(new QPushButton(QStringLiteral("Stop"), box), QStringLiteral("ButtonBreak"));
    buttonBreak_->setEnabled(false); // enabled while a procedure runs
    buttonLoad_ = named(new QPushButton(QStringLiteral("Load"), box), QStringLiteral("ButtonLoad"));
    buttonIni_ = named(new QPushButton(QStringLiteral("Ini"), box), QStringLiteral("ButtonIni"));
    buttonSave_ = named(new QPushButton(QStringLiteral("Save"), box), QStringLiteral("ButtonSave"));
    fileListRec_ = named(new QListWidget(box), QStringLiteral("FileListRec"));
    return box;
}

QGroupBox* KalibracijaPage::buildTest(QWidget* page)
{
    auto* box = named(new QGroupBox(QStringLiteral("Testiranje"), page), QStringLiteral("GBTest"));
    testFilter_ = named(new QCheckBox(QStringLiteral("Filter za merenje"), box),
                        QStringLiteral("CBTestFilter"));
    testSwap_ =
        named(new QCheckBox(QStringLiteral("Swap period"), box), QStringLiteral("CBTestSwap"));
    for (int row = 0; row < kTestRows; ++row) {
        testButtons_[static_cast<std::size_t>(row)] =
            rowButton("ButtonTest", row, row > 0 ? 5 + row : 0, box);
        testBoxes_[static_cast<std::size_t>(row)] =
            checkedBox(numbered("CheckBox", 100 + 10 * row), box);
    }
    result_ =
        new RadioGroup(QStringLiteral("Rezultat"),
                       {QStringLiteral("Temp1"), QStringLiteral("Temp2"), QStringLiteral("EMC1"),
                        QStringLiteral("EMC2"), QStringLiteral("Drvo"), QStringLiteral("Drvo sve")},
                       box);
    result_->setGroupName(QStringLiteral("RGResult"));
    // The chart covers the right part of the result group, so it is made after it.
    buildChart(box);
    return box;
}

void KalibracijaPage::buildChart(QGroupBox* test)
{
    auto* chart = new QChart;
    const auto line = [chart](const char* name, const char* title, QColor colour) {
        auto* series = named(new QLineSeries(chart), QString::fromLatin1(name));
        series->setName(QString::fromLatin1(title));
        series->setColor(colour);
        chart->addSeries(series);
        return series;
    };
    series17_ = line("Series17", "Temp1M", QColor(0, 128, 0));
    series18_ = line("Series18", "Temp1O", QColor(255, 0, 0));
    series19_ = named(new QBarSeries(chart), QStringLiteral("Series19"));
    series19_->setName(QStringLiteral("Odstup1"));
    series19_->setLabelsVisible(true);
    deviationSet_ = new QBarSet(QStringLiteral("Odstup1"), series19_);
    deviationSet_->setColor(QColor(255, 255, 0));
    series19_->append(deviationSet_);
    chart->addSeries(series19_);
    // Ours, not one of the page's own series: the points an operator must look at again.
    outside_ = named(new QScatterSeries(chart), QStringLiteral("SeriesOutside"));
    outside_->setName(QStringLiteral("Van granica"));
    outside_->setColor(QColor(255, 0, 0));
    outside_->setBorderColor(QColor(128, 0, 0));
    outside_->setMarkerSize(9);
    chart->addSeries(outside_);
    deviationSet_->setSelectedColor(QColor(255, 0, 0));

    axisX_ = named(new QBarCategoryAxis(chart), QStringLiteral("Chart2AxisX"));
    axisY_ = named(new QValueAxis(chart), QStringLiteral("Chart2AxisY"));
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
    chart->setMargins({});
    chart2_ = named(new QChartView(chart, test), QStringLiteral("Chart2"));

    pmTipGraph_ = named(new QMenu(chart2_), QStringLiteral("PMTipGraph"));
    auto* kinds = new QActionGroup(pmTipGraph_);
    pmtLine_ = named(pmTipGraph_->addAction(QStringLiteral("Line")), QStringLiteral("PMTLine"));
    pmtError_ = named(pmTipGraph_->addAction(QStringLiteral("Error")), QStringLiteral("PMTError"));
    for (auto* item : {pmtLine_, pmtError_}) {
        item->setCheckable(true);
        kinds->addAction(item);
    }
    pmtLine_->setChecked(true);
    chart2_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart2_, &QWidget::customContextMenuRequested, pmTipGraph_,
            [this](const QPoint& pos) { pmTipGraph_->popup(chart2_->mapToGlobal(pos)); });
}

QPushButton* KalibracijaPage::calibrationButton(int row) const
{
    return calibrationButtons_.at(static_cast<std::size_t>(row));
}

QCheckBox* KalibracijaPage::rowBox(int row) const
{
    return rowBoxes_.at(static_cast<std::size_t>(row));
}

QCheckBox* KalibracijaPage::pointBox(int row, int point) const
{
    return pointBoxes_.at(static_cast<std::size_t>(row - 1))
        .at(static_cast<std::size_t>(point - 1));
}

void KalibracijaPage::setChartFont(const QFont& font)
{
    chart2_->chart()->legend()->setFont(font);
}

void KalibracijaPage::drawResult(const ResultChart& chart)
{
    series17_->clear();
    series18_->clear();
    outside_->clear();
    deviationSet_->deselectAllBars();
    deviationSet_->remove(0, deviationSet_->count());
    axisX_->clear();
    axisX_->append(categories(chart));
    const bool line = chart.mode == ResultChartMode::Line;
    if (line) {
        QList<QPointF> measured;
        QList<QPointF> expected;
        QList<QPointF> outside;
        for (qsizetype i = 0; i < static_cast<qsizetype>(chart.points.size()); ++i) {
            const ResultChartPoint& point = chart.points[static_cast<std::size_t>(i)];
            const auto x = static_cast<double>(i);
            measured.append({x, point.measured});
            expected.append({x, point.expected});
            if (point.outside)
                outside.append({x, point.measured});
        }
        series17_->replace(measured);
        series18_->replace(expected);
        outside_->replace(outside);
        const auto [low, high] = lineRange(chart);
        axisY_->setRange(low, high);
        axisY_->applyNiceNumbers();
    } else {
        QList<qreal> deviations;
        QList<int> outside;
        for (qsizetype i = 0; i < static_cast<qsizetype>(chart.points.size()); ++i) {
            const ResultChartPoint& point = chart.points[static_cast<std::size_t>(i)];
            deviations.append(point.deviation);
            if (point.outside)
                outside.append(static_cast<int>(i));
        }
        deviationSet_->append(deviations);
        deviationSet_->selectBars(outside);
        axisY_->setTickCount(kErrorTicks);
        axisY_->setRange(-chart.axisRange, chart.axisRange);
    }
    // The legend names what is drawn: the lines or the bars, and the red marks when there are.
    QLegend* legend = chart2_->chart()->legend();
    const auto show = [legend](QAbstractSeries* series, bool visible) {
        for (QLegendMarker* marker : legend->markers(series))
            marker->setVisible(visible);
    };
    show(series17_, line);
    show(series18_, line);
    show(series19_, !line);
    show(outside_, line && outside_->count() > 0);
}

QCheckBox* KalibracijaPage::calPointBox(int recipeRow, int point) const
{
    constexpr std::array<int, 7> kButtonRow = {3, 1, 4, 2, 5, 5, 0};
    if (recipeRow < 0 || recipeRow >= static_cast<int>(kButtonRow.size()) || point < 1
        || point > 8) {
        return nullptr;
    }
    const int row = kButtonRow[static_cast<std::size_t>(recipeRow)];
    return row > 0 ? pointBox(row, point) : nullptr;
}

void KalibracijaPage::paintPoint(int recipeRow, int point, CalibrationHost::PointPaint paint)
{
    QCheckBox* box = calPointBox(recipeRow, point);
    if (box == nullptr) {
        return;
    }
    using Paint = CalibrationHost::PointPaint;
    static const QString colours[] = {
        QString(), QStringLiteral("background-color: palette(highlight)"),
        QStringLiteral("background-color: green"), QStringLiteral("background-color: red")};
    static_assert(static_cast<int>(Paint::Failed) == 3);
    box->setStyleSheet(colours[static_cast<int>(paint)]);
}

bool KalibracijaPage::pointChecked(int recipeRow, int point) const
{
    const QCheckBox* box = calPointBox(recipeRow, point);
    return box == nullptr || box->isChecked();
}

bool KalibracijaPage::channelChecked(int tag) const
{
    if (tag < 1 || tag > kCalibrationRows - 1 + kTestRows - 1) {
        return false;
    }
    return (tag < kCalibrationRows ? rowBox(tag) : testBox(tag - (kCalibrationRows - 1)))
        ->isChecked();
}

CalibrationHost::Method KalibracijaPage::method() const
{
    return static_cast<CalibrationHost::Method>(tipKalib_->itemIndex());
}

QPushButton* KalibracijaPage::testButton(int row) const
{
    return testButtons_.at(static_cast<std::size_t>(row));
}

QCheckBox* KalibracijaPage::testBox(int row) const
{
    return testBoxes_.at(static_cast<std::size_t>(row));
}

} // namespace quell
