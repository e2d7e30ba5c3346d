#include "client/ClientCommunications.h"
#include "tests/support/RecordingDialogs.h"
#include "view/TrendChart.h"
#include "view/UView.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace quell {
namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

QStringList listed(const QListWidget* list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        names << list->item(row)->text();
    }
    return names;
}

class FormViewTimeTest : public ::testing::Test {
protected:
    FormViewTimeTest() { view.ensureControls(); }
    template <typename T> T* child(const char* name)
    {
        auto* found = view.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* menuItem(const char* menu, const QString& text)
    {
        for (QAction* action : child<QMenu>(menu)->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    }

    RecordingDialogs dialogs;
    TClientMain main;
    TFormView view{main.link(), main};
};

TEST_F(FormViewTimeTest, StopwatchCountsOnlyWhileTheViewIsShown)
{
    auto* timer = child<QTimer>("TimerStop");
    auto* led = child<TVesmarLiquidIndicator>("LedTime");
    auto* connectButton = child<QPushButton>("BConnect");
    EXPECT_TRUE(timer->isActive()) << "runs from creation, also while hidden";
    EXPECT_EQ(timer->interval(), 1000);
    connectButton->setText("stale");
    view.TimerStopTimer();
    EXPECT_EQ(view.stopwatchSeconds(), 0u);
    EXPECT_EQ(connectButton->text(), "stale") << "a hidden view's tick touches nothing";

    view.setViewVisible(true);
    EXPECT_TRUE(timer->isActive());
    view.TimerStopTimer();
    view.TimerStopTimer();
    EXPECT_EQ(led->indicatorString(), "00.00.02");
    EXPECT_EQ(connectButton->text(), "Connect");

    view.setViewVisible(false);
    EXPECT_FALSE(timer->isActive());
    view.TimerStopTimer();
    view.setViewVisible(true);
    view.TimerStopTimer();
    EXPECT_EQ(led->indicatorString(), "00.00.03") << "resumes from the same count";

    menuItem("PopupMenuStoper", "Reset")->trigger();
    EXPECT_EQ(view.stopwatchSeconds(), 0u);
    EXPECT_EQ(led->indicatorString(), "00.00.03") << "shown at the next tick";
}

TEST_F(FormViewTimeTest, ChartMenuHasItsItemsAndDrivesTheSampleTimer)
{
    QStringList texts;
    QStringList checked;
    for (const QAction* action : child<QMenu>("PopupMenuTimeSample")->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (action->isChecked()) {
            checked << action->text();
        }
    }
    const QStringList channels = {"MC1",    "MC2",    "MC3",    "MC4",   "MC5",   "MC6",
                                  "MC7",    "MC8",    "EMC1",   "EMC2",  "Temp1", "Temp2",
                                  "DTemp1", "DTemp2", "DTemp3", "DTemp4"};
    EXPECT_EQ(texts, QStringList({"Start", "-", "1 sec", "5 sec", "10 sec", "1 min", "5 min",
                                  "10 min", "30 min", "-"})
                         + channels + QStringList({"-", "Reset"}));
    EXPECT_EQ(checked, QStringList("1 min") + channels);

    auto* timer = child<QTimer>("TimerGetSample");
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 60000);
    menuItem("PopupMenuTimeSample", "5 sec")->trigger();
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 5000);
    EXPECT_TRUE(menuItem("PopupMenuTimeSample", "5 sec")->isChecked());
    EXPECT_FALSE(menuItem("PopupMenuTimeSample", "1 min")->isChecked());
    menuItem("PopupMenuTimeSample", "Start")->trigger();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(child<QAction>("StartGraf")->text(), "Stop");
    menuItem("PopupMenuTimeSample", "Stop")->trigger();
    menuItem("PopupMenuTimeSample", "Reset")->trigger();
    EXPECT_TRUE(timer->isActive()) << "reset starts a stopped chart";

    // Each channel item switches its own channel, though menu and series orders differ.
    for (const QString& title : channels) {
        menuItem("PopupMenuTimeSample", title)->trigger();
        for (std::size_t c = 0; c < kTrendChannels.size(); ++c) {
            EXPECT_EQ(view.trendChart().channelChecked(static_cast<int>(c)),
                      kTrendChannels[c].title != title)
                << title.toStdString();
        }
        menuItem("PopupMenuTimeSample", title)->trigger();
    }
}

TEST_F(FormViewTimeTest, SamplingDrawsTheDetaljiLabelsWithGaps)
{
    // The chart samples what the Detalji labels show, as the view model drew them.
    main.scheduler().editTable([](TProtocol& table) { table.Count = vrqpb::kLastViewEntry; });
    child<QTabWidget>("PageControl")->setCurrentIndex(1);
    auto* value = child<QLabel>("Val_W0");
    for (const char* text : {"10", "-----", "20", "30"}) {
        main.scheduler().setCellText(vrqpb::kWoodValueFirst, text);
        view.RefreshView();
        ASSERT_EQ(value->text(), QString::fromLatin1(text));
        view.TimerGetSampleTimer();
    }
    const auto* chart = child<TrendChart>("Chart1");
    const auto& segments = chart->segments(0);
    ASSERT_EQ(segments.size(), 2u) << "the gap splits the line";
    EXPECT_EQ(segments[0]->points(), QList<QPointF>({{0, 10}}));
    EXPECT_EQ(segments[1]->points(), QList<QPointF>({{2, 20}, {3, 30}}));
    EXPECT_TRUE(segments[0]->pointsVisible()) << "a lone value is drawn as a dot";
    EXPECT_FALSE(segments[1]->pointsVisible());
    EXPECT_EQ(segments[1]->color(), QColor(255, 0, 0));
    EXPECT_TRUE(chart->segments(1).empty()) << "a label that never showed a number";

    view.Reset2Click();
    EXPECT_TRUE(chart->segments(0).empty());
    EXPECT_TRUE(chart->chart()->series().isEmpty());
}

class RecordListViewTest : public FormViewTimeTest {
protected:
    RecordListViewTest()
    {
        touch(dir.filePath("b.rec"));
        touch(dir.filePath("A.REC"));
        touch(dir.filePath("notes.txt"));
        touch(dir.filePath("c.rec.bak"));
        QDir(dir.path()).mkdir("folder.rec");
        view.setRecordFolder(dir.path());
        view.setRecordReader([this](const QString& path, QString* error) {
            readPaths << path;
            *error = QStringLiteral("bad record");
            return readSucceeds;
        });
        view.setRefreshResult([this] { ++refreshes; });
    }

    QTemporaryDir dir;
    QStringList readPaths;
    bool readSucceeds = true;
    int refreshes = 0;
};

TEST_F(RecordListViewTest, ListsRecordFilesOnlyAndFollowsTheFolder)
{
    auto* list = child<QListWidget>("FileListRec");
    EXPECT_EQ(listed(list), QStringList({"A.REC", "b.rec"}));
    EXPECT_EQ(view.recordFolder(), QDir(dir.path()).absolutePath());

    touch(dir.filePath("new.rec"));
    EXPECT_TRUE(QTest::qWaitFor([list] { return list->count() == 3; }, 5000))
        << listed(list).join(' ').toStdString();

    const QString cwd = QDir::currentPath();
    QTemporaryDir other;
    touch(other.filePath("other.rec"));
    view.setRecordFolder(other.path());
    EXPECT_EQ(listed(list), QStringList("other.rec"));
    EXPECT_EQ(QDir::currentPath(), cwd);
}

TEST_F(RecordListViewTest, DoubleClickReadsTheSelectedFile)
{
    auto* list = child<QListWidget>("FileListRec");
    auto* name = child<QLineEdit>("EditFileRec");
    EXPECT_EQ(name->text(), "*.rec");
    view.FileListRecDblClick();
    EXPECT_TRUE(readPaths.isEmpty()) << "nothing selected: the mask names no file";
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].first, Dialogs::Kind::Error);
    EXPECT_TRUE(dialogs.messages[0].second.contains("*.rec"))
        << dialogs.messages[0].second.toStdString();
    EXPECT_EQ(refreshes, 0);

    view.resize(936, 465);
    view.show();
    child<QTabWidget>("PageControl")->setCurrentIndex(2);
    EXPECT_FALSE(name->isVisible()) << "the name edit is never shown";
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(name->text(), "b.rec");
    EXPECT_EQ(list->toolTip(), "b.rec");
    QCoreApplication::processEvents();
    EXPECT_EQ(readPaths, QStringList(QDir(dir.path()).absoluteFilePath("b.rec")));
    EXPECT_EQ(refreshes, 1);

    readSucceeds = false;
    view.FileListRecDblClick();
    EXPECT_EQ(dialogs.texts().last(), "bad record");
    EXPECT_EQ(refreshes, 1) << "a failed read redraws nothing";

    QFile::remove(dir.filePath("b.rec"));
    EXPECT_TRUE(QTest::qWaitFor([list] { return list->count() == 1; }, 5000));
    EXPECT_EQ(name->text(), "*.rec") << "the selected file went away";
}

TEST(RecordFolder, MadeBesideTheSettingsFileAtCreation)
{
    RecordingDialogs dialogs; // the empty description's message
    QTemporaryDir dir;
    const QString cwd = QDir::currentPath();
    {
        TClientMain main;
        main.FormCreate({"quellcal", dir.filePath("station.cli")});
        TFormView view(main.link(), main);
        EXPECT_TRUE(QDir(dir.filePath("Test")).exists());
        EXPECT_EQ(view.recordFolder(), QDir(dir.path()).absoluteFilePath("Test"));
    }
    QDir::setCurrent(cwd); // start-up moved into the settings folder
}

} // namespace
} // namespace quell
