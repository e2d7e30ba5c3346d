#include "view/KalibracijaPage.h"

#include "calibration/CalibrationRuns.h"
#include "view/RadioGroup.h"

#include <QAction>
#include <QActionGroup>
#include <QChartView>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>
#include <vector>

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

// Captions are not made smaller than this.
constexpr double kSmallestCaptionPoints = 6.0;

// Gives buttons of one kind (check boxes or radio items) the largest size of their parent's font
// at which every caption fits beside its indicator in width; one size for all, so that they look
// alike.
void fitButtonCaptions(const std::vector<QAbstractButton*>& buttons, bool radio, int width)
{
    if (buttons.empty())
        return;
    const QStyle* style = buttons.front()->style();
    const int indicator = radio ? style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                                      + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing)
                                : style->pixelMetric(QStyle::PM_IndicatorWidth)
                                      + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    QFont font = buttons.front()->parentWidget()->font();
    for (double size = font.pointSizeF(); size > kSmallestCaptionPoints; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetricsF metrics(font);
        if (std::all_of(buttons.begin(), buttons.end(), [&](const QAbstractButton* b) {
                return metrics.horizontalAdvance(b->text()) + indicator + 2 <= width;
            }))
            break;
    }
    for (QAbstractButton* button : buttons) {
        if (button->font() != font)
            button->setFont(font);
    }
}

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
    buttonReport_ =
        named(new QPushButton(QStringLiteral("Report"), box), QStringLiteral("ButtonReport"));
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
    drawing_ = new ResultChartDrawing;
    chart2_ = named(new QChartView(drawing_->chart(), test), QStringLiteral("Chart2"));

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
    drawing_->setFont(font);
}

void KalibracijaPage::fitCaptions()
{
    fitButtonCaptions({testFilter_, testSwap_}, false,
                      std::min(testFilter_->width(), testSwap_->width()));
    // The items of "Rezultat" span the group, but the chart covers its right part. (The group
    // places its items when it is next shown, so their own widths may still be old.)
    std::vector<QAbstractButton*> items;
    items.reserve(static_cast<std::size_t>(result_->count()));
    for (int k = 0; k < result_->count(); ++k)
        items.push_back(result_->item(k));
    fitButtonCaptions(items, true,
                      chart2_->geometry().left() - result_->geometry().left()
                          - result_->contentsRect().left());
}

void KalibracijaPage::drawResult(const ResultChart& chart)
{
    drawing_->draw(chart);
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
