// The view's start and end as quellcal runs them: settings applied by FormCreate and "Ini", the
// board number written back and the run log saved when the view goes away.

#include "client/ClientCommunications.h"
#include "client/IniFile.h"
#include "tests/support/RecordingDialogs.h"
#include "view/UView.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <gtest/gtest.h>

#include <memory>

namespace quell {
namespace {

// Row and point indexes of the test results: EMC 1, Temp 1, EMC 2, Temp 2, Drvo, -, Drvo sve.
constexpr int kTemp1Row = 1;
constexpr int kTemp2Row = 3;
constexpr int kDrvoRow = 4;
constexpr int kDrvoSveRow = 6;

class FormViewSettingsTest : public ::testing::Test {
protected:
    FormViewSettingsTest() : cwd_(QDir::currentPath()) {}
    ~FormViewSettingsTest() override
    {
        view.reset();
        main.reset();
        QDir::setCurrent(cwd_); // start-up moves into the settings folder
    }

    QString settingsFile() const { return dir.filePath(QStringLiteral("station.cli")); }

    void writeSettings(const char* text)
    {
        QFile file(settingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write(text);
    }

    // Starts up as quellcal does.
    void start()
    {
        main = std::make_unique<TClientMain>();
        main->FormCreate({QStringLiteral("quellcal"), settingsFile()});
        view = std::make_unique<TFormView>(main->link(), *main);
        view->FormCreate();
        main->setViewLink(view.get());
    }

    // Ends the view as the program end does and forgets the main window.
    void end()
    {
        view.reset();
        main.reset();
    }

    int stored(const char* section, const char* key) const
    {
        return IniFile(settingsFile())
            .readInteger(QString::fromLatin1(section), QString::fromLatin1(key), -99999);
    }

    QStringList logFiles() const
    {
        return QDir(dir.filePath(QStringLiteral("Log"))).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir dir;
    RecordingDialogs dialogs; // the empty description's message, among others
    std::unique_ptr<TClientMain> main;
    std::unique_ptr<TFormView> view;

private:
    QString cwd_;
};

TEST_F(FormViewSettingsTest, FirstStartPlacesTheSmallHiddenWindowAndWritesItsSection)
{
    start();
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(view->viewGeometry(), QRect(150, 350, 300, 280));
    EXPECT_EQ(view->boardNumber(), 0);
    for (auto [key, value] : {std::pair{"LeftPos", 150},
                              {"TopPos", 350},
                              {"Width", 300},
                              {"Height", 280},
                              {"Visible", 0},
                              {"PB", 0}}) {
        EXPECT_EQ(stored("View", key), value) << key;
    }
    EXPECT_EQ(stored("Calibrate", "Different"), 3);

    // Opened from the menu it is big enough for its captions (or as big as the screen).
    main->MViewClick();
    ASSERT_TRUE(view->isVisible());
    const QRect screen = view->screen()->availableGeometry();
    EXPECT_EQ(view->size(), QSize(std::min(936, screen.width()), std::min(465, screen.height())));
}

TEST_F(FormViewSettingsTest, StoredSectionShowsTheViewWithItsBoardAndExpectedValues)
{
    writeSettings("[View]\nLeftPos=20\nTopPos=30\nHeight=500\nVisible=1\nPB=17\n"
                  "[Calibrate]\nDifferent=5\nTemp_Val9=40000\nMC_Val6=1500\n");
    start();
    EXPECT_TRUE(view->isVisible()) << "Visible=1 shows the view at start";
    EXPECT_EQ(view->viewGeometry(), QRect(20, 30, 936, 500)) << "missing Width takes 936";
    EXPECT_EQ(stored("View", "Width"), 936);
    EXPECT_EQ(view->boardNumber(), 17);
    EXPECT_EQ(view->findChild<QLineEdit*>(QStringLiteral("VRQPB"))->text(), "17");
    EXPECT_EQ(view->different(), 5);
    const TTestPoints& points = view->testPoints();
    EXPECT_EQ(points[kTemp1Row][8].Expected, -25536) << "low 16 bits of 40000, signed";
    EXPECT_EQ(points[kTemp2Row][8].Expected, -25536);
    EXPECT_EQ(points[kDrvoRow][5].Expected, 1500);
    for (int point = 0; point < 8; ++point) {
        EXPECT_EQ(points[kDrvoSveRow][point].Expected, 1500) << point;
    }
}

TEST_F(FormViewSettingsTest, AHugeStoredGeometryComesUpWithinTheScreen)
{
    writeSettings("[View]\nLeftPos=20\nTopPos=30\nWidth=99999999\nHeight=465\nVisible=1\n");
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(view->viewGeometry()))
        << view->viewGeometry().width() << " x " << view->viewGeometry().height();
    EXPECT_EQ(view->viewGeometry().width(), screen.width());
    EXPECT_EQ(view->viewGeometry().height(), 465);
}

TEST_F(FormViewSettingsTest, IniReloadsGeometryBoardAndExpectedThenRedrawsTheResult)
{
    writeSettings("[View]\nLeftPos=20\nTopPos=30\nWidth=936\nHeight=465\nVisible=1\nPB=3\n");
    start();
    int redraws = 0;
    view->setRefreshResult([&redraws] { ++redraws; });
    view->move(300, 300);
    view->setBoardNumber(9);
    {
        IniFile settings(settingsFile());
        settings.writeInteger(QStringLiteral("Calibrate"), QStringLiteral("MC_Val6"), 1500);
        ASSERT_TRUE(settings.save());
    }

    view->findChild<QPushButton*>(QStringLiteral("ButtonIni"))->click();

    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(view->viewGeometry().topLeft(), QPoint(20, 30));
    EXPECT_EQ(view->boardNumber(), 3);
    EXPECT_EQ(view->testPoints()[kDrvoRow][5].Expected, 1500);
    EXPECT_EQ(view->testPoints()[kDrvoSveRow][0].Expected, 1500);
}

TEST_F(FormViewSettingsTest, EndWritesTheBoardNumberAndTheLogAsTheMemoShowsIt)
{
    start();
    view->show();
    view->setBoardNumber(42);
    view->AddLogLine(QStringLiteral("Temp 1 point 3 done"));
    QAction* logOn = view->findChild<QAction*>(QStringLiteral("LogON"));
    ASSERT_NE(logOn, nullptr);
    EXPECT_TRUE(logOn->isChecked());
    logOn->trigger();
    EXPECT_FALSE(logOn->isChecked());
    EXPECT_FALSE(view->logActive());
    view->AddLogLine(QStringLiteral("not logged"));
    auto* memo = view->findChild<QPlainTextEdit*>(QStringLiteral("MemoLog"));
    ASSERT_FALSE(memo->isReadOnly()) << "the operator may add remarks";
    memo->appendPlainText(QStringLiteral("operator remark"));
    EXPECT_FALSE(memo->toPlainText().contains("not logged"));
    ASSERT_EQ(logFiles().size(), 1) << "only the journal while running";

    end();

    EXPECT_EQ(stored("View", "PB"), 42);
    const QStringList files = logFiles();
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(files[0].startsWith("VRQCalib_42_")) << files[0].toStdString();
    QFile file(QDir(dir.filePath("Log")).filePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QTextStream(&file).readAll();
    EXPECT_TRUE(text.contains(" - start VRQ kalibrator")) << text.toStdString();
    EXPECT_TRUE(text.contains("Temp 1 point 3 done"));
    EXPECT_TRUE(text.contains("operator remark"));
    EXPECT_FALSE(text.contains("not logged"));
    EXPECT_TRUE(dialogs.texts().filter("run log").isEmpty())
        << dialogs.texts().join('\n').toStdString();
}

TEST_F(FormViewSettingsTest, ALogFolderThatCannotBeMadeIsReportedAndTheBoardNumberStillSaved)
{
    QFile blocker(dir.filePath(QStringLiteral("Log"))); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start();
    view->setBoardNumber(7);

    end();

    EXPECT_EQ(stored("View", "PB"), 7);
    const QStringList errors = dialogs.texts().filter(QStringLiteral("run log"));
    ASSERT_EQ(errors.size(), 1) << dialogs.texts().join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains(QDir::toNativeSeparators(dir.filePath("Log"))))
        << errors[0].toStdString();
}

} // namespace
} // namespace quell

namespace quell {
namespace {

TEST_F(FormViewSettingsTest, ClosingTheViewWritesItsGeometryAndVisibilityInItsOwnSection)
{
    start();
    view->show();
    view->move(40, 50);
    view->resize(800, 600);
    const QRect shown = view->viewGeometry();

    view->closeView();

    EXPECT_FALSE(view->isVisible());
    const IniFile ini(settingsFile());
    EXPECT_EQ(ini.keys(QStringLiteral("View")),
              QStringList({"LeftPos", "TopPos", "Width", "Height", "Visible", "PB"}));
    EXPECT_EQ(stored("View", "LeftPos"), shown.left());
    EXPECT_EQ(stored("View", "TopPos"), shown.top());
    EXPECT_EQ(stored("View", "Width"), 800);
    EXPECT_EQ(stored("View", "Height"), 600);
    EXPECT_EQ(ini.readString(QStringLiteral("View"), QStringLiteral("Visible"), {}), "1")
        << "shown when the program ended";
}

TEST_F(FormViewSettingsTest, ConnectCaptionFollowsAStartThatFailsLater)
{
    // A port nobody listens on: the connect is refused on the link's worker, after the click.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    writeSettings(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[View]\nVisible=1\n")
                      .arg(port)
                      .toUtf8()
                      .constData());
    start();
    auto* button = view->findChild<QPushButton*>(QStringLiteral("BConnect"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Connect");
    view->BConnectClick();
    EXPECT_EQ(button->text(), "STOP") << "started, still connecting";
    // No stopwatch tick is needed: the failed start itself brings the caption back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main->Started(); }, 5000));
    EXPECT_EQ(button->text(), "Connect");
}

} // namespace
} // namespace quell
