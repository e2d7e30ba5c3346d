#include "client/AwaitedTransaction.h"
#include "client/ClientCommunications.h"
#include "client/CloseOnSignal.h"
#include "client/IniFile.h"
#include "client/LinkStatusBar.h"
#include "client/ParameterGrid.h"
#include "client/ParameterTableModel.h"
#include "tests/client/FakeGateway.h"
#include "tests/support/RecordingDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace quell {
namespace {

// Five entries of the maker's protocol: a read-write number, a read-only number, a pick list
// with four items, a write-only number and a fixed-point value.
const char* const kDescription = "PROT Kestavin\n"
                                 "SECTION Bench\n"
                                 "VAR Mode 1 0 rw 0 100 0 1 2 0 0 d\n"
                                 "VAR Serial 1 0 ro 0 9999 0 3 4 0 0 d\n"
                                 "VAR Filter 1 0 rw 0 3 0 5 6 0 0 s Off Slow Medium Fast\n"
                                 "VAR Reset 1 0 wo 0 1 0 7 8 0 0 d\n"
                                 "VAR Temp 1 1 rw -400 1250 0 9 10 0 0 f1\n";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeFile("bench.var", kDescription);
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Writes a settings file naming the description and the gateway's port.
    void writeSettings(quint16 port, bool start = false, int transmitDelay = 0)
    {
        IniFile ini(path("station.cli"));
        ini.writeString("Protocol", "File", path("bench.var"));
        ini.writeString("Socket", "Host", "127.0.0.1");
        ini.writeString("Socket", "Port", QString::number(port));
        ini.writeInteger("Comm", "TransmitDelay", transmitDelay);
        ini.writeBool("Action", "Start", start);
        ASSERT_TRUE(ini.save());
    }

    std::unique_ptr<TClientMain> makeWindow()
    {
        auto window = std::make_unique<TClientMain>();
        window->FormCreate({"quellcal", path("station.cli")});
        return window;
    }

    QAction* action(TClientMain& w, const char* name) { return w.findChild<QAction*>(name); }
    QTableView* grid(TClientMain& w) { return w.findChild<QTableView*>("ValueListEditor"); }
    QString cell(TClientMain& w, int entry)
    {
        return grid(w)->model()->index(entry - 1, 1).data().toString();
    }

    QTemporaryDir dir;
    RecordingDialogs dialogs;
};

TEST_F(MainWindowTest, FirstStartWritesEveryKeyAndCloseWritesItBack)
{
    const QString file = path("fresh.cli");
    {
        TClientMain window;
        window.FormCreate({"quellcal", file});
        EXPECT_EQ(window.SettingsFileName(), QFileInfo(file).absoluteFilePath());
        EXPECT_TRUE(QDir(path("Vals")).exists());
        // An empty description name fails like any other: the first run says so.
        EXPECT_EQ(dialogs.texts(), QStringList{"Error protocol line: 0"});
        EXPECT_FALSE(action(window, "MStartStop")->isEnabled());
        IniFile ini(file);
        for (const char* key : {"Host", "Port"})
            EXPECT_TRUE(ini.valueExists("Socket", key)) << key;
        for (const char* key : {"ViewPort", "ViewAddress", "Caption", "ColWidth"})
            EXPECT_TRUE(ini.valueExists("Config", key)) << key;
        window.findChild<QLineEdit*>("LEditHost")->setText("gateway.local");
        window.close();
    }
    IniFile after(file);
    EXPECT_EQ(after.readString("Socket", "Host", ""), "gateway.local");
    EXPECT_EQ(after.readString("Action", "Start", ""), "0");
    EXPECT_EQ(after.readString("Config", "ViewConfig", ""), "1");
    // [View] is the measurement view's own section: with no view, nothing writes it.
    EXPECT_FALSE(after.valueExists("View", "Visible"));
}

TEST_F(MainWindowTest, AHugeStoredGeometryComesUpWithinTheScreen)
{
    writeSettings(9);
    {
        IniFile ini(path("station.cli"));
        ini.writeInteger("Config", "Width", 99999999);
        ini.writeInteger("Config", "Height", 99999999);
        ASSERT_TRUE(ini.save());
    }
    auto window = makeWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->geometry()))
        << window->geometry().width() << " x " << window->geometry().height();
    EXPECT_GT(window->width(), 0);
}

TEST_F(MainWindowTest, LoadProtocolBuildsRowsAndReportsTheFailingLine)
{
    writeSettings(9);
    auto window = makeWindow();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(grid(*window)->model()->rowCount(), 5);
    EXPECT_EQ(window->windowTitle(), "Client[Bench]");
    for (const char* name : {"MStartStop", "MLoadValue", "MSaveValue", "MSendAll", "MRefresh"})
        EXPECT_TRUE(action(*window, name)->isEnabled()) << name;
    EXPECT_FALSE(action(*window, "MSuspendResume")->isEnabled());

    writeFile("three.var", "PROT Kestavin\nVAR a 1 0 rw 0 1 0 1 2 0 0 d\n"
                           "VAR b 1 0 rw 0 1 0 3 4 0 0 d\nVAR c 1 0 rw 0 1 0 5 6 0 0 d\n");
    dialogs.fileAnswers << path("three.var");
    window->MLoadProtocolClick();
    EXPECT_EQ(grid(*window)->model()->rowCount(), 3);
    EXPECT_EQ(IniFile(path("station.cli")).readString("Protocol", "File", ""), path("three.var"));

    // A mistyped keyword: the file loads without its line, and the window says so once.
    writeFile("typo.var", "PROT Kestavin\n// a comment\nVAR a 1 0 rw 0 1 0 1 2 0 0 d\n"
                          "VRA b 1 0 rw 0 1 0 3 4 0 0 d\nVAR c 1 0 rw 0 1 0 5 6 0 0 d\n");
    dialogs.fileAnswers << path("typo.var");
    window->MLoadProtocolClick();
    EXPECT_EQ(grid(*window)->model()->rowCount(), 2);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].first, Dialogs::Kind::Warning);
    EXPECT_TRUE(dialogs.messages[0].second.contains("line 4: 'VRA'"))
        << dialogs.messages[0].second.toStdString();
    dialogs.messages.clear();

    writeFile("broken.var", "PROT Kestavin\nVAR a 1 0 rw 0 1 0 1 2 0 0 d\n\nVAR b 1 x rw\n");
    dialogs.fileAnswers << path("broken.var");
    window->MLoadProtocolClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].second.startsWith("Error protocol line: 4\n"))
        << dialogs.messages[0].second.toStdString();
    EXPECT_TRUE(dialogs.messages[0].second.contains("'x' is not a valid integer value"));
    EXPECT_TRUE(dialogs.messages[0].second.contains("line 4, field PollRate"));
    // The rows stay as the last good load left them; the settings name the file anyway.
    EXPECT_EQ(grid(*window)->model()->rowCount(), 2);

    // Cancel changes nothing, not even the settings file.
    const QByteArray before = [&] {
        QFile f(path("station.cli"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    window->MLoadProtocolClick();
    QFile f(path("station.cli"));
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), before);
    // Messages open at the window's corner moved 20 right and 20 down.
    EXPECT_EQ(dialogs.positions[0], window->frameGeometry().topLeft() + QPoint(20, 20));
}

TEST_F(MainWindowTest, EnterAndEscInValueCells)
{
    writeSettings(9);
    auto window = makeWindow();
    auto* model = grid(*window)->model();

    // Stopped: Enter reports the missing link and keeps the typed text.
    model->setData(model->index(0, 1), "5");
    window->ValueListEditorKeyDown(0, Qt::Key_Return);
    EXPECT_EQ(dialogs.texts(), QStringList{"Client nije konektovan !!!"});
    EXPECT_EQ(cell(*window, 1), "5");

    // Esc gives any cell its device text back; Enter does so for a read-only entry.
    window->ValueListEditorKeyDown(0, Qt::Key_Escape);
    EXPECT_EQ(cell(*window, 1), "");
    model->setData(model->index(1, 1), "77");
    window->ValueListEditorKeyDown(1, Qt::Key_Return);
    EXPECT_EQ(cell(*window, 2), "");
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainWindowTest, NameCellsShowWhetherAnEntryIsPolled)
{
    writeSettings(9);
    auto window = makeWindow();
    auto* view = grid(*window);
    auto background = [&](int row) {
        return view->model()->index(row, 0).data(Qt::BackgroundRole).value<QColor>();
    };
    const QColor on = QApplication::palette().color(QPalette::Window);
    window->MEnableAllClick();
    view->setCurrentIndex(view->model()->index(1, 0));
    window->MDisableClick();
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(background(row) == on, row != 1) << row;
    window->MDisableAllClick();
    EXPECT_NE(background(0), on);
}

TEST_F(MainWindowTest, ValueSetsSaveWithBackupAndLoadIntoCells)
{
    writeSettings(9);
    auto window = makeWindow();
    auto* model = grid(*window)->model();
    model->setData(model->index(0, 1), "12");
    model->setData(model->index(2, 1), "Fast");
    const QString file = path("Vals/a.val");
    dialogs.fileAnswers << file << file;
    window->MSaveValueClick();
    model->setData(model->index(0, 1), "13");
    window->MSaveValueClick();
    EXPECT_TRUE(QFile::exists(path("Vals/a.BAK")));
    EXPECT_EQ(IniFile(path("Vals/a.BAK")).readString("Bench", "Mode", ""), "12");
    EXPECT_EQ(IniFile(file).readString("Bench", "Mode", ""), "13");
    EXPECT_EQ(IniFile(file).readString("Bench", "Serial", "missing"), "");
    EXPECT_EQ(dialogs.texts().last(), "Vrednosti su snimljene u fajl: " + file);

    window->MClearClick();
    EXPECT_EQ(cell(*window, 1), "");
    dialogs.fileAnswers << file;
    window->MLoadValueClick();
    EXPECT_EQ(cell(*window, 1), "13");
    EXPECT_EQ(cell(*window, 3), "Fast");
    EXPECT_EQ(dialogs.texts().last(), "Vrednosti su učitane iz fajla: " + file);

    // A board number that is not a number stops the load before any cell changes.
    IniFile bad(file);
    bad.writeString("Bench", "PB", "x1");
    bad.writeString("Bench", "Mode", "99");
    ASSERT_TRUE(bad.save());
    dialogs.fileAnswers << file;
    window->MLoadValueClick();
    EXPECT_EQ(dialogs.texts().last(), "'x1' is not a valid integer value");
    EXPECT_EQ(cell(*window, 1), "13");
}

TEST_F(MainWindowTest, LoadValueWithoutSectionAsksForAProtocolFirst)
{
    writeFile("nosection.var", "PROT Kestavin\nVAR a 1 0 rw 0 1 0 1 2 0 0 d\n");
    writeSettings(9);
    IniFile ini(path("station.cli"));
    ini.writeString("Protocol", "File", path("nosection.var"));
    ASSERT_TRUE(ini.save());
    auto window = makeWindow();
    window->MLoadValueClick();
    EXPECT_EQ(dialogs.texts(), QStringList{"Prvo učitati protokol!"});
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(MainWindowTest, SettingsEditsMarkWordsAndAddressReloadsTheTable)
{
    writeSettings(9);
    auto window = makeWindow();
    auto* timeOut = window->findChild<QLineEdit*>("LEditTOut");
    timeOut->setText("abc");
    QTest::keyClick(timeOut, Qt::Key_Return);
    EXPECT_EQ(timeOut->text(), "80");
    // The next line carries the time-out word although the text was refused.
    const RequestPlan plan = window->scheduler().BuildRequestLine();
    EXPECT_EQ(plan.line, "TOUT=80 ");

    window->scheduler().editTable([](TProtocol& t) { t.Commands[1].Valid = true; });
    auto* address = window->findChild<QLineEdit*>("LEditAddr");
    address->setText("7");
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_EQ(window->scheduler().settings().deviceAddress, 7);
    EXPECT_FALSE(window->protocol().Commands[1].Valid);
}

TEST_F(MainWindowTest, ViaMcAndSiteLocksDecideWhichControlsAreEnabled)
{
    writeSettings(9);
    IniFile ini(path("station.cli"));
    ini.writeBool("Protocol", "EnableMC", true);
    ini.writeBool("Config", "ViewPort", false);
    ASSERT_TRUE(ini.save());
    auto window = makeWindow();
    EXPECT_TRUE(window->findChild<QLineEdit*>("LEditAddr")->isEnabled());
    EXPECT_TRUE(window->findChild<QLineEdit*>("LEditMCAddr")->isEnabled());
    EXPECT_FALSE(window->findChild<QLineEdit*>("LEditPort")->isEnabled());
    window->findChild<QCheckBox*>("CBViaMC")->click();
    EXPECT_TRUE(window->findChild<QLineEdit*>("LEditAddr")->isEnabled());
    EXPECT_FALSE(window->findChild<QLineEdit*>("LEditMCAddr")->isEnabled());
}

TEST_F(MainWindowTest, PickListCellsOfferExactlyTheirItems)
{
    writeSettings(9);
    auto window = makeWindow();
    window->show();
    auto* view = grid(*window);
    auto editorOf = [&](int row) {
        view->setCurrentIndex(view->model()->index(row, 1));
        view->edit(view->model()->index(row, 1));
        QWidget* editor = view->indexWidget(view->model()->index(row, 1));
        if (!editor)
            editor = view->viewport()->focusWidget();
        return view->viewport()->findChild<QComboBox*>();
    };
    QComboBox* combo = editorOf(2);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(3), "Fast");
    view->closePersistentEditor(view->model()->index(2, 1));
}

// ---- the link against a gateway on loopback ----

bool waitFor(const std::function<bool()>& condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}

// A value answer of the maker's protocol for a read request frame.
QByteArray valueAnswer(const QByteArray& request, int value)
{
    QByteArray answer = request.left(6);
    for (int shift = 12; shift >= 0; shift -= 4)
        answer += char(0x30 + ((value >> shift) & 0xF));
    return answer + "00\x04";
}

// Answers every read block with the value `value`.
QByteArray answerReads(const QByteArray& line, int value)
{
    if (!line.startsWith("BODY="))
        return line;
    QByteArray out;
    for (qsizetype at = line.indexOf("BODY="); at >= 0; at = line.indexOf("BODY=", at + 1)) {
        const QByteArray frame = line.mid(at + 5, line.indexOf("END", at) - at - 5);
        out += "BODY=" + frame + "END ANSWER=" + valueAnswer(frame, value) + "END ";
    }
    return out;
}

TEST_F(MainWindowTest, LinkSendsSettingsThenEntryOneAndShowsAnswers)
{
    FakeGateway gateway;
    gateway.answer = [](const QByteArray& line) { return answerReads(line, 42); };
    writeSettings(gateway.port());
    auto window = makeWindow();
    window->MEnableAllClick();
    window->MStartStopClick();
    ASSERT_TRUE(window->Started());
    EXPECT_FALSE(action(*window, "MLoadProtocol")->isEnabled());
    EXPECT_EQ(action(*window, "MStartStop")->text(), "Stop");
    ASSERT_TRUE(waitFor([&] { return gateway.lines.size() >= 2; }));
    EXPECT_EQ(gateway.lines[0],
              "USER=operator BAUD=57600 PARITY=Even DATAB=8 STOPB=1 TOUT=80 RET=3 ");
    // Entry 1, read code 1, parameter code 0, at address 0xA1.
    EXPECT_EQ(gateway.lines[1], QByteArray("BODY=\x01\xA1"
                                           "010001\x04"
                                           "END ",
                                           18));
    ASSERT_TRUE(waitFor([&] { return cell(*window, 5) == "4.2"; }));
    EXPECT_EQ(cell(*window, 1), "42");

    ASSERT_TRUE(window->WriteParameter(1, "7"));
    ASSERT_TRUE(waitFor([&] { return window->currentCommand().State == TSendCommand::kAnswered; }));
    window->MStartStopClick();
    EXPECT_FALSE(window->Started());
    EXPECT_TRUE(action(*window, "MLoadProtocol")->isEnabled());
}

TEST_F(MainWindowTest, BadEchoedSettingsAreRefusedOnceAndNeverSaved)
{
    struct Case {
        QByteArray echo; // appended to every answer line
        const char* control;
        const char* key; // in [Comm]
        QString kept;    // in the control and in the file
    };
    const Case cases[] = {
        {"PARITY=" + QByteArray(5000, 'E'), "ComboBoxParity", "Parity", "Even"},
        {"BAUD=\x1b[31m9600", "ComboBoxBaud", "Baud", "57600"},
        {"DATAB=9", "ComboBoxDataB", "DataBits", "8"},
        {"STOPB=3", "ComboBoxStopB", "StopBits", "1"},
        {"TOUT=abc", "LEditTOut", "TimeOut", "80"},
        {"TOUT=5000", "LEditTOut", "TimeOut", "80"},
        {"RET=99", "LEditRet", "Retrying", "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.echo.left(20).toStdString());
        dialogs.messages.clear();
        FakeGateway gateway;
        gateway.answer = [&](const QByteArray& line) {
            return (line.startsWith("BODY=") ? answerReads(line, 42) : QByteArray()) + " " + c.echo
                   + " ";
        };
        writeSettings(gateway.port());
        auto window = makeWindow();
        window->MStartStopClick();
        // Every answer repeats the bad word.
        ASSERT_TRUE(waitFor([&] { return gateway.lines.size() >= 6; }));
        QWidget* control = window->findChild<QWidget*>(c.control);
        ASSERT_NE(control, nullptr);
        if (auto* combo = qobject_cast<QComboBox*>(control))
            EXPECT_EQ(combo->currentText(), c.kept);
        else
            EXPECT_EQ(qobject_cast<QLineEdit*>(control)->text(), c.kept);
        EXPECT_EQ(dialogs.messages.size(), 1u) << dialogs.texts().join('\n').toStdString();
        window->close();
        window.reset();
        EXPECT_EQ(IniFile(path("station.cli")).readString("Comm", c.key, ""), c.kept);
    }
}

TEST_F(MainWindowTest, ToolTipShowsLimitsWhileTheLinkRuns)
{
    FakeGateway gateway;
    writeSettings(gateway.port());
    auto window = makeWindow();
    auto* view = grid(*window);
    view->setCurrentIndex(view->model()->index(1, 1));
    EXPECT_EQ(view->toolTip(), "");
    window->MStartStopClick();
    ASSERT_TRUE(window->Started());
    const std::pair<int, const char*> cases[] = {
        {1, "read_only"}, {2, ""}, {4, "Min=-40.0; Max=125.0"}, {0, "Min=0; Max=100"}};
    for (const auto& [row, tip] : cases) {
        view->setCurrentIndex(view->model()->index(row, 1));
        EXPECT_EQ(view->toolTip(), tip) << row;
    }
    window->MStartStopClick();
}

TEST_F(MainWindowTest, SendAllWritesTheCellsOfEnabledReadWriteEntries)
{
    FakeGateway gateway;
    gateway.answer = [](const QByteArray& line) { return answerReads(line, 0); };
    writeSettings(gateway.port());
    auto window = makeWindow();
    window->MEnableAllClick();
    auto* model = grid(*window)->model();
    model->setData(model->index(0, 1), "5");
    model->setData(model->index(2, 1), "Fast");
    model->setData(model->index(4, 1), "20.5");
    window->MSendAllClick();
    ASSERT_TRUE(window->Started());
    ASSERT_TRUE(waitFor([&] { return dialogs.texts().contains("Parametri poslati u uređaj"); }));
    QList<QByteArray> writes;
    for (const QByteArray& line : gateway.lines)
        if (line.size() == 5 + 13 + 4 && line[5] == '\x01')
            writes << line.mid(7, 2);
    // Write codes of entries 1, 3 and 5; the read-only and write-only entries are skipped.
    EXPECT_EQ(writes, (QList<QByteArray>{"02", "06", "0:"}));
    window->MStartStopClick();
}

TEST_F(MainWindowTest, PauseHoldsTheLinkUntilResumed)
{
    FakeGateway gateway;
    gateway.answer = [](const QByteArray& line) { return answerReads(line, 1); };
    writeSettings(gateway.port(), false, 1);
    auto window = makeWindow();
    window->MEnableAllClick();
    window->scheduler().editTable([](TProtocol& t) { t.Commands[5].PollRate = 1; });
    window->MStartStopClick();
    ASSERT_TRUE(waitFor([&] { return gateway.lines.size() >= 4; }));
    window->MSuspendResumeClick();
    EXPECT_EQ(action(*window, "MSuspendResume")->text(), "Čitanje");
    QTest::qWait(100);
    const qsizetype paused = gateway.lines.size();
    QTest::qWait(200);
    EXPECT_LE(gateway.lines.size(), paused + 1);
    window->MSuspendResumeClick();
    EXPECT_EQ(action(*window, "MSuspendResume")->text(), "Pauza");
    ASSERT_TRUE(waitFor([&] { return gateway.lines.size() > paused + 3; }));
    window->MStartStopClick();
}

TEST_F(MainWindowTest, LinkReconnectsAfterTheServerDropsIt)
{
    FakeGateway gateway;
    gateway.answer = [](const QByteArray& line) { return answerReads(line, 1); };
    writeSettings(gateway.port(), false, 5);
    auto window = makeWindow();
    window->MStartStopClick();
    ASSERT_TRUE(waitFor([&] { return gateway.lines.size() >= 3; }));
    gateway.dropClient();
    const qsizetype before = gateway.lines.size();
    ASSERT_TRUE(waitFor([&] { return gateway.connections == 2; }, 6000));
    ASSERT_TRUE(waitFor([&] { return gateway.lines.size() > before; }));
    EXPECT_TRUE(gateway.lines[before].startsWith("USER=operator BAUD="));
    window->MStartStopClick();
}

TEST_F(MainWindowTest, StopIsPromptWhenTheServerNeverAnswers)
{
    FakeGateway gateway;
    gateway.answer = [](const QByteArray& line) {
        return line.startsWith("BODY=") ? QByteArray() : line;
    };
    writeSettings(gateway.port());
    auto window = makeWindow();
    window->MStartStopClick();
    ASSERT_TRUE(waitFor([&] { return gateway.lines.size() >= 2; }));
    QElapsedTimer timer;
    timer.start();
    window->MStartStopClick();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(window->Started());
}

TEST_F(MainWindowTest, OverLongAnswerIsDroppedAndTheLinkGoesOn)
{
    FakeGateway gateway;
    int exchanges = 0;
    gateway.answer = [&](const QByteArray& line) {
        if (!line.startsWith("BODY="))
            return line;
        return ++exchanges == 1 ? QByteArray(20000, 'x') : answerReads(line, 3);
    };
    writeSettings(gateway.port());
    auto window = makeWindow();
    window->MStartStopClick();
    ASSERT_TRUE(waitFor([&] { return cell(*window, 1) == "3"; }));
    EXPECT_EQ(gateway.connections, 1);
    window->MStartStopClick();
}

TEST_F(MainWindowTest, ConnectFailureSaysWhereAndLeavesTheLinkStopped)
{
    FakeGateway gateway;
    const quint16 port = gateway.port();
    gateway.close();
    writeSettings(port);
    auto window = makeWindow();
    window->MStartStopClick();
    // Connecting runs on the worker; the failure comes back a moment later.
    ASSERT_TRUE(waitFor([&] { return !window->Started(); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].second.startsWith("Error while connecting:\r"));
    EXPECT_TRUE(window->findChild<QLineEdit*>("LEditHost")->isEnabled());
}

TEST_F(MainWindowTest, ClosingTheWindowEndsAWaitingTransaction)
{
    writeSettings(9);
    // The window's Exit and SIGTERM (which closes the window the same way) end the wait at once.
    for (const bool bySignal : {false, true}) {
        auto window = makeWindow();
        std::unique_ptr<CloseOnSignal> closer;
        if (bySignal)
            closer = std::make_unique<CloseOnSignal>(window.get());
        QTimer::singleShot(50, window.get(), [&] {
            if (bySignal)
                std::raise(SIGTERM);
            else
                window->close();
        });
        AwaitedTransaction transaction(window->link());
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_EQ(transaction.waitUntil([] { return false; }, 5000),
                  AwaitedTransaction::Outcome::Aborted)
            << bySignal;
        EXPECT_LT(elapsed.elapsed(), 1000) << bySignal;
        EXPECT_TRUE(QFile::exists(path("station.cli")));
    }
}

// ---- what the window shows can be trusted ----

QString labelText(TClientMain& w, const char* name)
{
    auto* label = w.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("(no %1)").arg(name);
}

TEST_F(MainWindowTest, StatusBarAndValueCellsFollowTheLinkAndItsAnswers)
{
    FakeGateway gateway;
    // Entry 5 answers until told to time out; every other entry always answers.
    bool tempTimesOut = false;
    gateway.answer = [&](const QByteArray& line) {
        if (!line.startsWith("BODY="))
            return line;
        QByteArray out;
        for (qsizetype at = line.indexOf("BODY="); at >= 0; at = line.indexOf("BODY=", at + 1)) {
            const QByteArray frame = line.mid(at + 5, line.indexOf("END", at) - at - 5);
            out += "BODY=" + frame
                   + (tempTimesOut && frame.mid(2, 2) == "09"
                          ? QByteArray("END ERROR=TimeOut ")
                          : "END ANSWER=" + valueAnswer(frame, 42) + "END ");
        }
        return out;
    };
    writeSettings(gateway.port(), false, 1);
    auto window = makeWindow();
    window->MEnableAllClick();
    window->scheduler().editTable([](TProtocol& t) {
        t.Commands[1].PollRate = 1;
        t.Commands[5].PollRate = 1;
    });
    auto* model = grid(*window)->model();
    auto greyed = [&](int entry) {
        return model->index(entry - 1, 1).data(Qt::ForegroundRole).isValid();
    };
    auto* bar = window->findChild<LinkStatusBar*>("LinkStatusBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(labelText(*window, "LinkStateLabel"), "Stopped");
    EXPECT_EQ(labelText(*window, "AnswerCountsLabel"), "");

    window->MStartStopClick();
    const QString server = QStringLiteral("127.0.0.1:%1").arg(gateway.port());
    ASSERT_TRUE(waitFor([&] { return cell(*window, 5) == "4.2"; }));
    bar->refresh();
    EXPECT_EQ(labelText(*window, "LinkStateLabel"), "Connected to " + server);
    EXPECT_TRUE(labelText(*window, "LastAnswerLabel").startsWith("Last answer "));
    EXPECT_FALSE(greyed(1));
    EXPECT_FALSE(greyed(5));

    // Polls that time out: after a few the value is shown as old, and counted; still readable.
    tempTimesOut = true;
    ASSERT_TRUE(waitFor([&] { return greyed(5); }));
    EXPECT_FALSE(greyed(1));
    EXPECT_EQ(cell(*window, 5), "4.2");
    EXPECT_TRUE(model->index(4, 1).data(Qt::ToolTipRole).toString().startsWith("No answer"));
    bar->refresh();
    EXPECT_TRUE(labelText(*window, "AnswerCountsLabel").startsWith("Time-outs "));
    EXPECT_FALSE(labelText(*window, "AnswerCountsLabel").startsWith("Time-outs 0"));
    tempTimesOut = false;
    ASSERT_TRUE(waitFor([&] { return !greyed(5); }));

    // Pausing stops the values: they are shown as old until reading resumes.
    window->MSuspendResumeClick();
    EXPECT_TRUE(greyed(1));
    EXPECT_EQ(labelText(*window, "LinkStateLabel"), "Connected to " + server + ", reading paused");
    window->MSuspendResumeClick();
    EXPECT_FALSE(greyed(1));

    // The server goes away: the bar says so at once and every value is shown as old.
    gateway.close();
    gateway.dropClient();
    ASSERT_TRUE(waitFor([&] { return greyed(1); }));
    bar->refresh();
    EXPECT_TRUE(labelText(*window, "LinkStateLabel")
                    .startsWith("Connection to " + server + " lost, reconnecting in "))
        << labelText(*window, "LinkStateLabel").toStdString();
    EXPECT_EQ(cell(*window, 1), "42");
    EXPECT_TRUE(model->index(0, 1).data(Qt::ToolTipRole).toString().startsWith("The link does"));

    window->MStartStopClick();
    EXPECT_EQ(labelText(*window, "LinkStateLabel"), "Stopped");
    EXPECT_TRUE(greyed(1));
}

TEST_F(MainWindowTest, TheStatusBarFitsAnyWidthWithoutWideningTheWindow)
{
    writeSettings(9);
    for (const int width : {340, 560, 790}) {
        SCOPED_TRACE(width);
        IniFile ini(path("station.cli"));
        ini.writeInteger("Config", "Width", width);
        ASSERT_TRUE(ini.save());
        auto window = makeWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_EQ(window->width(), width);
        auto* bar = window->findChild<LinkStatusBar*>("LinkStatusBar");
        bar->refresh();
        QCoreApplication::processEvents();
        EXPECT_EQ(bar->twoLines(), width < 700);
        // The age and the counts are never cut: each label is as wide as its text.
        for (const char* name : {"LastAnswerLabel", "AnswerCountsLabel"}) {
            auto* label = window->findChild<QLabel*>(name);
            label->setText(name == QByteArray("LastAnswerLabel")
                               ? "Last answer 10.0 s ago"
                               : "Time-outs 999 \u00B7 Errors 999");
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << name;
            EXPECT_LE(label->geometry().right(), bar->contentsRect().right()) << name;
        }
    }
}

TEST_F(MainWindowTest, LoadedAndTypedValuesAreMarkedUntilSentOrAnswered)
{
    FakeGateway gateway;
    gateway.answer = [](const QByteArray& line) { return answerReads(line, 42); };
    writeSettings(gateway.port(), false, 1);
    auto window = makeWindow();
    auto* model = grid(*window)->model();
    auto unsent = [&](int entry) {
        return model->index(entry - 1, 1).data(Qt::BackgroundRole).value<QColor>()
               == ParameterTableModel::unsentColour();
    };

    // From a value set (or the database), and typed: both wait; Esc puts the board's text back.
    const QString file = path("Vals/set.val");
    IniFile set(file);
    set.writeString("Bench", "Mode", "90");
    set.writeString("Bench", "Temp", "90.0");
    ASSERT_TRUE(set.save());
    dialogs.fileAnswers << file;
    window->MLoadValueClick();
    EXPECT_TRUE(unsent(1));
    EXPECT_TRUE(unsent(5));
    EXPECT_FALSE(unsent(2));
    window->setCellText(3, "Fast");
    EXPECT_TRUE(unsent(3));
    EXPECT_TRUE(model->index(2, 1).data(Qt::ToolTipRole).toString().startsWith("Not sent"));
    window->ValueListEditorKeyDown(2, Qt::Key_Escape);
    EXPECT_FALSE(unsent(3));
    // A read-only entry's loaded text is no board value either, though nothing sends it.
    window->setCellText(2, "77");
    EXPECT_TRUE(unsent(2));
    EXPECT_TRUE(model->index(1, 1).data(Qt::ToolTipRole).toString().startsWith("Not read from"));

    // Enter sends it; an answer from the board replaces the other one.
    window->MStartStopClick();
    window->ValueListEditorKeyDown(4, Qt::Key_Return);
    EXPECT_FALSE(unsent(5));
    ASSERT_TRUE(waitFor([&] { return cell(*window, 1) == "42"; }));
    EXPECT_FALSE(unsent(1));
    window->MStartStopClick();
}

TEST_F(MainWindowTest, AFailedDescriptionSaysInTheEmptyGridWhatFailedAndHowToLoadAnother)
{
    writeSettings(9);
    IniFile ini(path("station.cli"));
    ini.writeString("Protocol", "File", path("missing.var"));
    ASSERT_TRUE(ini.save());
    auto window = makeWindow();
    auto* view = window->findChild<ParameterGrid*>("ValueListEditor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->rowCount(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString text = view->emptyText();
    for (const QString& part :
         {path("missing.var"), QStringLiteral("Error protocol line"),
          QStringLiteral("\"Load Protocol\""), QStringLiteral("right-click"), path("station.cli")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << " in " << text.toStdString();
    // The text is drawn where the rows would be.
    view->resize(400, 300);
    const QImage empty = view->viewport()->grab().toImage();
    view->setEmptyText({});
    EXPECT_NE(view->viewport()->grab().toImage(), empty);

    dialogs.fileAnswers << path("bench.var");
    window->MLoadProtocolClick();
    EXPECT_EQ(view->model()->rowCount(), 5);
    EXPECT_EQ(view->emptyText(), "");
}

TEST_F(MainWindowTest, NameColumnShowsTheLongestNameUnlessAWidthWasKept)
{
    const QString longName = QStringLiteral("Compensation temperature of the second wood input");
    writeFile("long.var", "PROT Kestavin\nVAR Mode 1 0 rw 0 100 0 1 2 0 0 d\nVAR \""
                              + longName.toUtf8() + "\" 1 0 rw 0 100 0 3 4 0 0 d\n");
    struct Case {
        std::optional<int> stored; // ColWidth in the file
        int expected;              // 0: wide enough for the long name
    };
    const Case cases[] = {{std::nullopt, 0}, {150, 150}, {999999, 2000}, {-5, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(-1));
        QFile::remove(path("station.cli"));
        writeSettings(9);
        IniFile ini(path("station.cli"));
        ini.writeString("Protocol", "File", path("long.var"));
        if (c.stored)
            ini.writeInteger("Config", "ColWidth", *c.stored);
        ASSERT_TRUE(ini.save());
        auto window = makeWindow();
        auto* view = grid(*window);
        if (c.expected == 0)
            EXPECT_GE(view->columnWidth(0), view->fontMetrics().horizontalAdvance(longName));
        else
            EXPECT_EQ(view->columnWidth(0), c.expected);
        EXPECT_EQ(view->model()->index(1, 0).data(Qt::ToolTipRole).toString(), longName);
    }
}

} // namespace
} // namespace quell
