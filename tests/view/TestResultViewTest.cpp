// The test results in the window: "Rezultat" and the popup draw what the chart model computes
// into the three series and the axes, with the points outside the limits marked, and "Save",
// "Load" and the record list write and read the result files byte for byte.

#include "calibration/ScoreFile.h"
#include "client/ClientCommunications.h"
#include "tests/report/ReportReadBack.h"
#include "tests/support/RecordingDialogs.h"
#include "view/KalibracijaPage.h"
#include "view/RadioGroup.h"
#include "view/UView.h"
#include "view/ViewStrip.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <memory>

namespace quell {
namespace {

// Items of "Rezultat".
constexpr int kItemTemp1 = 0;
constexpr int kItemTemp2 = 1;
constexpr int kItemEmc1 = 2;
constexpr int kItemDrvoSve = 5;

// File dialogs that take the name the program proposes, in the folder it proposes, unless the
// test says otherwise.
class ProposedNameDialogs : public RecordingDialogs {
public:
    QString saveFileName(const FileRequest& request, QWidget* parent) override
    {
        RecordingDialogs::saveFileName(request, parent);
        return saveAnswer.isEmpty() ? QDir(request.folder).filePath(request.fileName) : saveAnswer;
    }
    QString saveAnswer;
};

class TestResultViewTest : public ::testing::Test {
protected:
    TestResultViewTest() : cwd_(QDir::currentPath())
    {
        const QString settings = dir.filePath(QStringLiteral("station.cli"));
        QFile file(settings);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write("[View]\nVisible=0\n");
        file.close();
        main = std::make_unique<TClientMain>();
        main->FormCreate({QStringLiteral("quellcal"), settings});
        view = std::make_unique<TFormView>(main->link(), *main);
        view->FormCreate();
        // The legend lays its markers out only in a chart that is shown with a size.
        view->show();
        view->showPage(2);
        page = view->kalibracijaPage();
        chart = page->chart2()->chart();
        dialogs.messages.clear(); // start-up's own complaints (no description file)
    }
    ~TestResultViewTest() override
    {
        view.reset();
        main.reset();
        QDir::setCurrent(cwd_); // start-up moves into the settings folder
    }

    // Measured as expected (the settings' defaults), but for a few points.
    void measure()
    {
        TTestPoints& points = view->TestPoints();
        for (auto& row : points)
            for (TPointResult& p : row) {
                p.New = p.Expected;
                p.Done = 1;
            }
        points[0][2].New = static_cast<std::int16_t>(points[0][2].Expected * 105 / 100); // 5 %
        points[0][8].New = 9999; // far off, but not measured by the last test
        points[0][8].Done = 0;
        for (TPointResult& p : points[3])
            p.New = static_cast<std::int16_t>(p.Expected + 30); // 0.3 degrees
        points[3][0].New = static_cast<std::int16_t>(points[3][0].Expected + 80);
        points[6][3].New = static_cast<std::int16_t>(points[6][3].Expected * 96 / 100); // 4 %
        points[6][8].New = 5; // the open input of "Drvo sve", never drawn
    }

    // What the chart model makes of the window's results for an item in a mode.
    ResultChart modelChart(int item, ResultChartMode mode) const
    {
        TestResultChart model;
        model.setMode(mode);
        TTestPoints copy = view->testPoints();
        return *model.RGResultClick(item, copy, view->station().testLimits());
    }

    void choose(ResultChartMode mode)
    {
        (mode == ResultChartMode::Line ? page->lineItem() : page->errorItem())->trigger();
    }

    void click(int item)
    {
        page->result()->setItemIndex(-1);
        page->result()->item(item)->click();
    }

    QStringList categories() const
    {
        QStringList shown = page->resultAxisX()->categories();
        for (QString& label : shown)
            label.remove(QChar(0x200B)); // what makes repeated labels distinct draws nothing
        return shown;
    }

    bool legendShows(QAbstractSeries* series) const
    {
        const QList<QLegendMarker*> markers = chart->legend()->markers(series);
        return !markers.isEmpty() && markers.front()->isVisible();
    }

    QTemporaryDir dir;
    ProposedNameDialogs dialogs;
    std::unique_ptr<TClientMain> main;
    std::unique_ptr<TFormView> view;
    KalibracijaPage* page = nullptr;
    QChart* chart = nullptr;

private:
    QString cwd_;
};

TEST_F(TestResultViewTest, DeviationsAllZeroAreDrawnOnAnAxisOfOnePercentNotTheLastOne)
{
    for (TPointResult& point : view->TestPoints()[1]) {
        point.Expected = 2500;
        point.New = 2500;
        point.Done = 1;
    }
    choose(ResultChartMode::Line);
    click(kItemTemp1);
    ASSERT_GT(page->resultAxisY()->max(), 1.0); // the lines' own range
    choose(ResultChartMode::Error);
    click(kItemTemp1);
    EXPECT_EQ(modelChart(kItemTemp1, ResultChartMode::Error).axisRange, 0.0);
    EXPECT_DOUBLE_EQ(page->resultAxisY()->min(), -1.0);
    EXPECT_DOUBLE_EQ(page->resultAxisY()->max(), 1.0);
}

TEST_F(TestResultViewTest, EachItemAndModeDrawsWhatTheModelComputesAndMarksTheOutsidePoints)
{
    measure();
    const struct {
        int item;
        ResultChartMode mode;
        int drawn;
        QList<int> outside; // indexes of the drawn points outside their limits
    } cases[] = {
        {kItemEmc1, ResultChartMode::Line, 9, {2}},
        {kItemEmc1, ResultChartMode::Error, 9, {2}},
        {kItemTemp2, ResultChartMode::Line, 9, {0}},
        {kItemTemp2, ResultChartMode::Error, 9, {0}},
        {kItemDrvoSve, ResultChartMode::Line, 8, {3}},
        {kItemDrvoSve, ResultChartMode::Error, 8, {3}},
        {kItemTemp1, ResultChartMode::Line, 9, {}},
    };
    for (const auto& c : cases) {
        const std::string where =
            std::to_string(c.item) + (c.mode == ResultChartMode::Line ? " Line" : " Error");
        choose(c.mode);
        click(c.item);
        const ResultChart want = modelChart(c.item, c.mode);
        ASSERT_EQ(static_cast<int>(want.points.size()), c.drawn) << where;
        QStringList labels;
        for (const ResultChartPoint& p : want.points)
            labels << QString::fromLatin1(p.label.data(), static_cast<qsizetype>(p.label.size()));
        EXPECT_EQ(categories(), labels) << where;

        if (c.mode == ResultChartMode::Line) {
            ASSERT_EQ(page->measured()->count(), c.drawn) << where;
            ASSERT_EQ(page->expected()->count(), c.drawn) << where;
            EXPECT_EQ(page->deviationSet()->count(), 0) << where;
            QList<QPointF> outside;
            for (int i = 0; i < c.drawn; ++i) {
                const ResultChartPoint& p = want.points[static_cast<std::size_t>(i)];
                EXPECT_EQ(page->measured()->at(i), QPointF(i, p.measured)) << where << " " << i;
                EXPECT_EQ(page->expected()->at(i), QPointF(i, p.expected)) << where << " " << i;
                for (const double value : {p.measured, p.expected}) {
                    EXPECT_GE(value, page->resultAxisY()->min()) << where << " " << i;
                    EXPECT_LE(value, page->resultAxisY()->max()) << where << " " << i;
                }
                if (c.outside.contains(i))
                    outside.append(QPointF(i, p.measured));
            }
            EXPECT_EQ(page->outsidePoints()->points(), outside) << where;
            EXPECT_TRUE(legendShows(page->measured()) && legendShows(page->expected())) << where;
            EXPECT_EQ(legendShows(page->outsidePoints()), !c.outside.isEmpty()) << where;
            EXPECT_FALSE(legendShows(page->deviation())) << where;
        } else {
            EXPECT_EQ(page->measured()->count(), 0) << where;
            EXPECT_EQ(page->expected()->count(), 0) << where;
            EXPECT_EQ(page->outsidePoints()->count(), 0) << where;
            ASSERT_EQ(page->deviationSet()->count(), c.drawn) << where;
            for (int i = 0; i < c.drawn; ++i)
                EXPECT_DOUBLE_EQ(page->deviationSet()->at(i),
                                 want.points[static_cast<std::size_t>(i)].deviation)
                    << where << " " << i;
            EXPECT_EQ(page->deviationSet()->selectedBars(), c.outside) << where;
            EXPECT_DOUBLE_EQ(page->resultAxisY()->min(), -want.axisRange) << where;
            EXPECT_DOUBLE_EQ(page->resultAxisY()->max(), want.axisRange) << where;
            ASSERT_GT(want.axisRange, 0.0) << where;
            EXPECT_TRUE(legendShows(page->deviation())) << where;
            EXPECT_EQ(legendShows(page->outsidePoints()), !c.outside.isEmpty()) << where;
            EXPECT_FALSE(legendShows(page->measured())) << where;
        }
    }
}

TEST_F(TestResultViewTest, ThePopupRedrawsTheChosenItemAndWithoutOneTemp1)
{
    measure();
    // Nothing chosen yet: "Temp1" is drawn.
    choose(ResultChartMode::Error);
    EXPECT_EQ(page->result()->itemIndex(), -1);
    EXPECT_EQ(categories().value(0), "ks");
    EXPECT_EQ(page->deviationSet()->count(), 9);

    choose(ResultChartMode::Line);
    click(kItemDrvoSve);
    ASSERT_EQ(page->measured()->count(), 8);
    choose(ResultChartMode::Error);
    EXPECT_EQ(page->measured()->count(), 0);
    EXPECT_EQ(page->deviationSet()->count(), 8);
    choose(ResultChartMode::Line);
    EXPECT_EQ(page->deviationSet()->count(), 0);
    EXPECT_EQ(page->measured()->count(), 8);

    // A test selects its result from code, also the item already chosen, and the chart follows.
    view->TestPoints()[6][0].New = 4321;
    view->selectResult(kItemDrvoSve);
    EXPECT_DOUBLE_EQ(page->measured()->at(0).y(), 43.21);
    view->beginProcedure();
    view->selectResult(kItemEmc1);
    view->endProcedure();
    EXPECT_EQ(page->result()->itemIndex(), kItemEmc1);
    EXPECT_EQ(page->measured()->count(), 9);
}

TEST_F(TestResultViewTest, TheTestGroupsCaptionsAreNotCutOffAtAnyWindowSize)
{
    const QStyle* style = view->style();
    const int box = style->pixelMetric(QStyle::PM_IndicatorWidth)
                    + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    const int radio = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                      + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    for (const QSize size :
         {QSize(900, 640), QSize(1590, 900), QSize(1900, 600), QSize(1024, 768)}) {
        view->resize(size);
        QCoreApplication::processEvents();
        const std::string where =
            std::to_string(size.width()) + "x" + std::to_string(size.height());
        for (QCheckBox* option : {page->testFilter(), page->testSwap()})
            EXPECT_LE(QFontMetrics(option->font()).horizontalAdvance(option->text()) + box,
                      option->width())
                << where << " " << option->text().toStdString();
        // The chart covers the right part of "Rezultat".
        const int room = page->chart2()->geometry().left() - page->result()->geometry().left()
                         - page->result()->contentsRect().left();
        for (int k = 0; k < page->result()->count(); ++k) {
            const QRadioButton* item = page->result()->item(k);
            EXPECT_LE(QFontMetrics(item->font()).horizontalAdvance(item->text()) + radio, room)
                << where << " " << item->text().toStdString();
        }
    }
}

// Results in every row, the untested one too, and reserved bytes that are not zero: what a file
// written elsewhere may hold.
QByteArray handMadeFile(TTestPoints& points)
{
    ScoreImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (int row = 0; row < kRecipeRows; ++row)
        for (int k = 0; k < kTestPointsPerRow; ++k) {
            TPointResult& p = points[static_cast<std::size_t>(row)][static_cast<std::size_t>(k)];
            p.Old = static_cast<std::int16_t>(k % 3);
            p.New = static_cast<std::int16_t>(100 * row - 37 * k);
            p.Expected = static_cast<std::int16_t>(1000 + row * 10 + k);
            p.Deviation = row - 0.25 * k;
            p.Done = static_cast<std::uint8_t>((row + k) % 2);
        }
    const ScoreImage bytes = EncodeScore(points, image);
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray recordBytes(TFormView& view)
{
    const ScoreImage& bytes = view.station().TestRecordBytes;
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

TEST_F(TestResultViewTest, SaveWritesTheProposedFileAndLoadAndTheListReadItBackByteForByte)
{
    TTestPoints given{};
    const QByteArray file = handMadeFile(given);
    const QString testFolder = view->recordFolder();
    ASSERT_EQ(testFolder, QDir(dir.path()).filePath("Test"));
    ASSERT_TRUE(writeFile(QDir(testFolder).filePath("given.rec"), file));

    // A double click on the list reads the file, reserved bytes and untested row included.
    auto* list = page->fileListRec();
    // The list follows its folder.
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->count() == 1; }, 5000));
    const QList<QListWidgetItem*> found = list->findItems("given.rec", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found.front());
    view->FileListRecDblClick();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(view->testPoints(), given);
    EXPECT_EQ(recordBytes(*view), file);

    // "Save" proposes the board's file in the settings folder and writes those bytes again.
    view->setBoardNumber(17);
    const QDateTime before = QDateTime::currentDateTime();
    page->buttonSave()->click();
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_EQ(dialogs.requests.size(), 1U);
    const Dialogs::FileRequest save = dialogs.requests.back();
    EXPECT_EQ(save.folder, dir.path());
    EXPECT_EQ(save.filter, "Rezultat testiranja|*.rec|svi|*.*");
    EXPECT_EQ(save.defaultExtension, "rec");
    EXPECT_TRUE(save.fileName == ProposedScoreName(17, before)
                || save.fileName == ProposedScoreName(17, after))
        << save.fileName.toStdString();
    EXPECT_TRUE(save.fileName.startsWith("VRQ-08_Test_17_")) << save.fileName.toStdString();
    const QString saved = QDir(dir.path()).filePath(save.fileName);
    EXPECT_EQ(contents(saved), file);

    // "Load" in the settings folder brings every byte back; the list then shows that folder.
    view->TestPoints() = TTestPoints{};
    view->station().TestRecordBytes = ScoreImage{};
    dialogs.fileAnswers << saved;
    page->buttonLoad()->click();
    ASSERT_EQ(dialogs.requests.size(), 2U);
    const Dialogs::FileRequest open = dialogs.requests.back();
    EXPECT_EQ(open.folder, dir.path());
    EXPECT_EQ(open.filter, "Rezultat testiranja|*.rec|svi fajlovi|*.*");
    EXPECT_EQ(open.defaultExtension, "rec");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(view->testPoints(), given);
    EXPECT_EQ(recordBytes(*view), file);
    EXPECT_EQ(view->recordFolder(), dir.path());
    EXPECT_EQ(list->findItems(save.fileName, Qt::MatchExactly).size(), 1);
}

TEST_F(TestResultViewTest, AFileThatCannotBeReadOrWrittenIsNamedInAnErrorAndChangesNothing)
{
    measure();
    const TTestPoints before = view->testPoints();
    const QByteArray bytesBefore = recordBytes(*view);
    const QString testFolder = view->recordFolder();
    const QString shortFile = dir.filePath("short.rec");
    ASSERT_TRUE(writeFile(shortFile, QByteArray(1000, '\x11')));

    dialogs.fileAnswers << shortFile;
    page->buttonLoad()->click();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].first, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.messages[0].second.contains("short.rec"))
        << dialogs.messages[0].second.toStdString();
    EXPECT_EQ(view->testPoints(), before);
    EXPECT_EQ(recordBytes(*view), bytesBefore);
    EXPECT_EQ(view->recordFolder(), testFolder);

    // Cancel reads nothing, but the chart is drawn again ("Temp1" with nothing chosen).
    page->buttonLoad()->click();
    EXPECT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(page->measured()->count(), 9);

    dialogs.saveAnswer = dir.filePath("no such folder/x.rec");
    page->buttonSave()->click();
    ASSERT_EQ(dialogs.messages.size(), 2U);
    EXPECT_EQ(dialogs.messages[1].first, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.messages[1].second.contains("x.rec"))
        << dialogs.messages[1].second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dialogs.saveAnswer));
}

TEST_F(TestResultViewTest, ReportIsProposedInTheTestFolderAndHoldsWhatTheWindowHolds)
{
    measure();
    view->setBoardNumber(17);
    view->findChild<QLineEdit*>(QStringLiteral("EditOpis"))->setText(QStringLiteral("PB: šarža 4"));
    // The results come from a file: the report says which.
    const QString saved = dir.filePath("given.rec");
    dialogs.saveAnswer = saved;
    page->buttonSave()->click();
    dialogs.fileAnswers << saved;
    page->buttonLoad()->click();
    dialogs.saveAnswer.clear();

    const QDateTime before = QDateTime::currentDateTime();
    page->buttonReport()->click();
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.texts().join('\n').toStdString();
    const Dialogs::FileRequest request = dialogs.requests.back();
    EXPECT_EQ(request.folder, QDir(dir.path()).filePath("Test"));
    EXPECT_EQ(request.defaultExtension, "pdf");
    EXPECT_TRUE(request.fileName == ProposedReportName(17, before)
                || request.fileName == ProposedReportName(17, after))
        << request.fileName.toStdString();
    const QString report = QDir(request.folder).filePath(request.fileName);
    const QString text = reporttest::pdfText(report);
    for (const QString& expected : {QStringLiteral("PB: šarža 4"), QStringLiteral("fajl ") + saved,
                                    QStringLiteral("EMC 1 – van granica (tačka 3)"),
                                    QStringLiteral("Kalibracija nije rađena u ovom radu programa"),
                                    QStringLiteral("T.Orvel"), QStringLiteral("Kalibrator 1")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.toStdString();

    // A file that cannot be written is named in an error.
    dialogs.saveAnswer = dir.filePath("no such folder/r.pdf");
    page->buttonReport()->click();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].second.contains("r.pdf"))
        << dialogs.messages[0].second.toStdString();
}

} // namespace
} // namespace quell
