// The compact main window, headless: its menu and settings page, a description that does not
// load (and what the empty grid says then), a value typed into the grid reaching the simulated
// compact board through quellgw, a value set saved and loaded through the menu, the status bar
// and the value cells' marks as the link runs, answers fail, the server goes away, and the name
// column's width.
#include "compact/CompactClientMain.h"
#include "compact/CompactFormView.h"

#include "client/GridView.h"
#include "client/LinkStatusBar.h"
#include "client/ValueCellMarks.h"
#include "compact/CompactLink.h"
#include "compact/CompactValueSet.h"
#include "compact/UCommands.h"
#include "tests/client/FakeGateway.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/SimulatedGateway.h"
#include "widgets/VesmarLiquidIndicator.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

// Failed comparisons of texts print the text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace quell::compact {
namespace {

constexpr int kWaitMs = 10000;

class ClientMain : public ::testing::Test {
protected:
    // A settings file in a folder of its own naming the server and the description, with more
    // lines (extra) at its end.
    QString writeSettings(int port, const QString& description, const QString& extra = {})
    {
        QFile file(dir.filePath(QStringLiteral("site.cli")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nMaxPacket=8\n"
                                  "TransmitDelay=0\n[Protocol]\nFile=%2\n")
                       .arg(port)
                       .arg(description)
                       .toUtf8()
                   + extra.toUtf8());
        file.close();
        // quellcfg keeps "Vals" in the folder it starts in.
        QDir::setCurrent(dir.path());
        return file.fileName();
    }
    void startUp(int port, const QString& description)
    {
        window.FormCreate({QStringLiteral("quellcfg"), writeSettings(port, description)});
    }
    QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }
    GridView* grid() { return window.findChild<GridView*>(QStringLiteral("ValueListEditor")); }
    // A status-bar label's text as it is now.
    QString label(const char* name)
    {
        window.findChild<LinkStatusBar*>(QStringLiteral("LinkStatusBar"))->refresh();
        return window.findChild<QLabel*>(QLatin1String(name))->text();
    }
    QVariant cellData(std::uint8_t entry, int role)
    {
        return grid()->model()->index(entry - 1, 1).data(role);
    }
    bool greyed(std::uint8_t entry)
    {
        return cellData(entry, Qt::ForegroundRole).value<QColor>()
               == QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    }
    bool unsent(std::uint8_t entry)
    {
        return cellData(entry, Qt::BackgroundRole).value<QColor>() == unsentCellColour()
               && cellData(entry, Qt::FontRole).value<QFont>().italic();
    }

    QTemporaryDir dir;
    RecordingDialogs dialogs;
    TClientMain window;
};

TEST_F(ClientMain, MenuAndSettingsPageAreTheCompactOnes)
{
    startUp(9, QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    QStringList names;
    for (QAction* a : window.findChild<QMenu*>(QStringLiteral("PopupMenu"))->actions())
        names << a->objectName() + QLatin1Char('=') + a->text();
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              "MLoadProtocol=Load Protocol MLoadValue=Load Value MSaveValue=Save Value "
              "MRefresh=Refresh current MSuspendResume=Suspend MStartStop=Start MView=View "
              "MHelp=Help MExit=Exit");
    window.show();
    EXPECT_FALSE(window.findChild<QCheckBox*>(QStringLiteral("CBViaMC"))->isVisibleTo(&window));
    EXPECT_TRUE(action("MStartStop")->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ClientMain, ADescriptionThatDoesNotLoadSaysErrorProtocolAlsoInTheEmptyGrid)
{
    QFile bad(dir.filePath(QStringLiteral("ei.var")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("PROT EI-Bisynch\nVAR a, manual, rw, 0, 1, 0, $10, 1, 0, d\n");
    bad.close();
    startUp(9, bad.fileName());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Error protocol")});
    EXPECT_FALSE(action("MStartStop")->isEnabled());
    EXPECT_EQ(grid()->model()->rowCount(), 0);
    // The grid says what failed, which file, and how to load another with the menu's own words.
    const QString text = grid()->emptyText();
    for (const QString& part :
         {bad.fileName(), QStringLiteral("Error protocol: It is not a description"),
          QStringLiteral("right-click here and choose \"") + action("MLoadProtocol")->text() + "\"",
          window.SettingsFileName()})
        EXPECT_TRUE(text.contains(part)) << part.toStdString() << " in " << text.toStdString();
    // Drawn where the rows would be.
    grid()->resize(400, 300);
    const QImage said = grid()->viewport()->grab().toImage();
    grid()->setEmptyText({});
    EXPECT_NE(grid()->viewport()->grab().toImage(), said);

    // A file that is not there says so; a good one clears the text.
    dialogs.fileAnswers << dir.filePath(QStringLiteral("gone.var"));
    action("MLoadProtocol")->trigger();
    EXPECT_TRUE(grid()->emptyText().contains(QStringLiteral("The file cannot be read")));
    EXPECT_TRUE(grid()->emptyText().contains(dir.filePath(QStringLiteral("gone.var"))));
    dialogs.fileAnswers << QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var");
    action("MLoadProtocol")->trigger();
    EXPECT_GT(grid()->model()->rowCount(), 100);
    EXPECT_EQ(grid()->emptyText(), "");
}

TEST_F(ClientMain, AValueTypedInTheGridReachesTheBoardAndAValueSetComesBack)
{
    testsupport::SimulatedGateway gateway;
    ASSERT_TRUE(gateway.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-compact@1")}))
        << gateway.error().toStdString();
    startUp(gateway.port(), QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    window.show();
    action("MStartStop")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.cellText(19) == "8"; }, kWaitMs));
    EXPECT_EQ(action("MStartStop")->text(), "Stop");
    // The board's identity (row 1, read-only, read once) is shown: the selection starts on the
    // first row that can be written.
    EXPECT_EQ(window.cellText(1).size(), 4) << window.cellText(1).toStdString(); // four hex digits
    EXPECT_EQ(grid()->currentIndex().row(), 2);
    // Read-only value cells cannot be selected while the link runs.
    const QAbstractItemModel* rows = grid()->model();
    EXPECT_FALSE(rows->flags(rows->index(65, 1)) & Qt::ItemIsSelectable); // EMC1, ro
    EXPECT_TRUE(rows->flags(rows->index(18, 1)) & Qt::ItemIsSelectable);  // Filter EMC1, rw

    // Typed into Filter EMC1 and Enter: written, and read back once the row is left.
    grid()->setCurrentIndex(rows->index(18, 1));
    grid()->edit(rows->index(18, 1));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    grid()->setCurrentIndex(rows->index(0, 1));
    window.link().scheduler().editTable([](TProtocol& t) { t.Commands[19].Valid = false; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.cellText(19) == "5"; }, kWaitMs));

    // Saved, changed, loaded: the cell shows the saved text again.
    const QString file = dir.filePath(QStringLiteral("plant.val"));
    dialogs.fileAnswers << file;
    action("MSaveValue")->trigger();
    EXPECT_EQ(dialogs.texts().last(), "Values saved");
    action("MStartStop")->trigger();
    window.link().scheduler().setCellText(19, "1");
    dialogs.fileAnswers << file;
    action("MLoadValue")->trigger();
    EXPECT_EQ(dialogs.texts().last(), "Values loaded");
    EXPECT_EQ(window.cellText(19), "5");
}

TEST_F(ClientMain, ATypedValueOutsideItsLimitsIsRefusedOnEveryWayToTheBoard)
{
    startUp(9, QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    TFormView view(window);
    CompactScheduler& scheduler = window.link().scheduler();
    auto value = [&](std::uint8_t entry) {
        return scheduler.withTable([&](const TProtocol& t) { return t.Commands[entry].Value; });
    };
    struct Case {
        std::uint8_t entry;
        const char* text;
        const char* refusal; // empty: taken
    };
    const Case cases[] = {
        {11, "3000.1", "CalW MC1: 3000.1 is outside its limits 0.0 .. 3000.0; nothing was written"},
        {11, "99999", "CalW MC1: 99999 is outside its limits 0.0 .. 3000.0; nothing was written"},
        {19, "0", "Filter EMC1: 0 is outside its limits 1 .. 32; nothing was written"},
        {19, "70000", "Filter EMC1: 70000 is outside its limits 1 .. 32; nothing was written"},
        {11, "2999.9", ""},
        {19, "32", ""},
    };
    for (const bool fromView : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(fromView ? "view " : "grid ") + c.text);
            dialogs.messages.clear();
            const std::int16_t before = value(c.entry);
            bool taken = false;
            if (fromView) {
                auto* edit = view.findChild<QLineEdit*>(c.entry == 11 ? QStringLiteral("CalW0")
                                                                      : QStringLiteral("Filt0"));
                ASSERT_NE(edit, nullptr);
                edit->setText(QString::fromLatin1(c.text));
                view.EditKeyDown(edit);
                taken = dialogs.messages.empty();
            } else {
                scheduler.setCellText(c.entry, c.text);
                taken = window.takeTypedText(c.entry, c.text);
            }
            if (*c.refusal == 0) {
                EXPECT_TRUE(taken);
                EXPECT_TRUE(dialogs.messages.empty());
                continue;
            }
            EXPECT_FALSE(taken);
            EXPECT_EQ(value(c.entry), before);
            EXPECT_EQ(dialogs.texts(), QStringList{QString::fromLatin1(c.refusal)});
        }
    }
}

TEST_F(ClientMain, TheViewKeepsTypingAndHoldsTheCompensationAtZero)
{
    startUp(9, QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    TFormView view(window);
    view.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    CompactScheduler& scheduler = window.link().scheduler();
    scheduler.setCellText(19, "8");
    scheduler.setCellText(20, "9");
    auto* typing = view.findChild<QLineEdit*>(QStringLiteral("Filt0"));
    typing->setFocus();
    typing->setText(QStringLiteral("12"));
    view.RefreshView();
    EXPECT_EQ(typing->text(), "12");
    // "View" hides the view and says so; showing it again checks both groups back on.
    auto* lin = view.findChild<QCheckBox*>(QStringLiteral("CheckBoxLin"));
    action("MView")->trigger();
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(action("MView")->text(), "View");
    EXPECT_FALSE(lin->isChecked());
    action("MView")->trigger();
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(action("MView")->text(), "Hide view");
    EXPECT_TRUE(lin->isChecked());
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    typing->setFocus();
    EXPECT_EQ(view.findChild<QLineEdit*>(QStringLiteral("Filt1"))->text(), "9");

    // Checked, the compensation is written back to zero at every refresh that finds it moved.
    view.findChild<QCheckBox*>(QStringLiteral("CompTempCheckBox"))->setChecked(true);
    EXPECT_FALSE(view.findChild<QLineEdit*>(QStringLiteral("CompTemp"))->isEnabled());
    const std::string zeroWrite = "BODY=" + scheduler.withTable([](const TProtocol& t) {
        return t.BuildWriteFrame(109, 0, 0xA1);
    }) + "END ";
    for (int round = 0; round < 2; ++round) {
        scheduler.editTable([](TProtocol& t) { t.Commands[109].Value = 5; });
        view.RefreshView();
        view.RefreshView(); // now zero: nothing more to write
        const std::string line = scheduler.BuildRequestLine().line;
        EXPECT_EQ(line.rfind(zeroWrite, 0), 0u) << round;
        EXPECT_EQ(line.find(zeroWrite, zeroWrite.size()), std::string::npos) << round;
    }
}

TEST_F(ClientMain, TheStatusBarCountsTimeOutsAndSaysWhenTheServerIsGone)
{
    FakeGateway server; // every block of a device line times out
    startUp(server.port(), QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    const QString where = QStringLiteral("127.0.0.1:%1").arg(server.port());
    EXPECT_EQ(label("LinkStateLabel"), "Stopped");
    EXPECT_EQ(label("LastAnswerLabel"), "");
    EXPECT_EQ(label("AnswerCountsLabel"), "");

    action("MStartStop")->trigger();
    EXPECT_EQ(label("LinkStateLabel"), "Connecting to " + where);
    EXPECT_EQ(label("LastAnswerLabel"), "No answer yet");
    // A manual entry is read again and again while it has no value: after three time-outs in a
    // row its cell is shown as old although the link runs.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return cellData(19, Qt::ToolTipRole).toString().startsWith("No answer"); }, kWaitMs));
    EXPECT_TRUE(greyed(19));
    EXPECT_EQ(label("LinkStateLabel"), "Connected to " + where);
    EXPECT_TRUE(label("LastAnswerLabel").startsWith("Last answer "))
        << label("LastAnswerLabel").toStdString();
    const QString counts = label("AnswerCountsLabel");
    EXPECT_FALSE(counts.startsWith("Time-outs 0")) << counts.toStdString();
    EXPECT_TRUE(counts.endsWith("Errors 0")) << counts.toStdString();

    // The server goes away: the link stops, and the bar says why until the next Start.
    server.close();
    server.dropClient();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.link().started(); }, kWaitMs));
    EXPECT_EQ(label("LinkStateLabel"), "Connection to " + where + " lost");
    EXPECT_FALSE(label("AnswerCountsLabel").startsWith("Time-outs 0"));
    EXPECT_TRUE(greyed(1));
    EXPECT_TRUE(cellData(19, Qt::ToolTipRole).toString().startsWith("The link does not run"));
    action("MStartStop")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.link().started(); }, kWaitMs));
    EXPECT_EQ(label("LinkStateLabel"), where + " does not answer");
    EXPECT_EQ(label("AnswerCountsLabel"), ""); // nothing counted since this Start
}

TEST_F(ClientMain, CellsAndIndicatorsAreShownAsOldWhileValuesDoNotArrive)
{
    testsupport::SimulatedGateway gateway;
    ASSERT_TRUE(gateway.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-compact@1")}))
        << gateway.error().toStdString();
    startUp(gateway.port(), QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    const QString where = QStringLiteral("127.0.0.1:%1").arg(gateway.port());
    TFormView view(window);
    auto* led = view.findChild<TVesmarLiquidIndicator*>(QStringLiteral("LedEMC1"));
    const QList<QColor> litColours = {QColor(255, 0, 0), QColor(0, 0, 128), QColor(128, 128, 0),
                                      QColor(128, 128, 128)};
    const auto lit = [&] { return litColours.contains(led->numberForeColor()); };

    action("MStartStop")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.cellText(19) == "8"; }, kWaitMs));
    EXPECT_FALSE(greyed(19));
    EXPECT_TRUE(lit());
    EXPECT_EQ(cellData(19, Qt::ToolTipRole), QVariant());
    // The write-only "Save settings" is read once and confirmed without a value: no error.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.cellText(31) == "no_error"; }, kWaitMs));
    EXPECT_EQ(label("AnswerCountsLabel"), QStringLiteral("Time-outs 0 \u00B7 Errors 0"));

    action("MSuspendResume")->trigger();
    EXPECT_EQ(label("LinkStateLabel"), "Connected to " + where + ", reading paused");
    EXPECT_TRUE(greyed(19));
    EXPECT_FALSE(lit());
    action("MSuspendResume")->trigger();
    EXPECT_FALSE(greyed(19));
    EXPECT_TRUE(lit());

    ASSERT_TRUE(gateway.stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.link().started(); }, kWaitMs));
    EXPECT_EQ(label("LinkStateLabel"), "Connection to " + where + " lost");
    EXPECT_TRUE(greyed(19));
    EXPECT_EQ(window.cellText(19), "8"); // still readable
    EXPECT_FALSE(lit());
}

TEST_F(ClientMain, LoadedAndTypedValuesAreMarkedUntilWrittenOrAnswered)
{
    testsupport::SimulatedGateway gateway;
    ASSERT_TRUE(gateway.start(QStringLiteral(QUELLGW_PATH), {QStringLiteral("vrq-compact@1")}))
        << gateway.error().toStdString();
    startUp(gateway.port(), QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"));
    // A value set with other calibration constants than the board's (CalGnd TEMP1, CalGnd EMC2).
    const QString file = dir.filePath(QStringLiteral("plant.val"));
    QStringList cells;
    for (int row = 0; row < grid()->model()->rowCount(); ++row)
        cells << QString();
    cells[3] = QStringLiteral("111");
    cells[4] = QStringLiteral("222");
    ASSERT_EQ(window.link().scheduler().withTable(
                  [&](const TProtocol& t) { return CompactValueSet::save(file, t, cells); }),
              ValueSetFile::SaveResult::Saved);
    dialogs.fileAnswers << file;
    action("MLoadValue")->trigger();
    EXPECT_TRUE(unsent(4));
    EXPECT_TRUE(unsent(5));
    EXPECT_FALSE(unsent(1)); // read-only: nothing could send it
    EXPECT_TRUE(cellData(4, Qt::ToolTipRole).toString().startsWith("Not sent to the board yet"));
    // Typed into a cell, it waits as well.
    grid()->model()->setData(grid()->model()->index(5, 1), QStringLiteral("333"), Qt::EditRole);
    EXPECT_TRUE(unsent(6));

    // Enter queues the write (also while stopped): no longer waiting.
    window.ValueListEditorKeyDown(3, Qt::Key_Return);
    EXPECT_FALSE(unsent(4));
    EXPECT_TRUE(unsent(5));
    // Started, the board's answers replace the others; the written one comes back.
    action("MStartStop")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unsent(5) && !unsent(6); }, kWaitMs));
    EXPECT_NE(window.cellText(5), "222");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.cellText(4) == "111"; }, kWaitMs));
    action("MStartStop")->trigger();
}

TEST_F(ClientMain, TheNameColumnShowsTheLongestNameUnlessAWidthWasKept)
{
    struct Case {
        std::optional<int> stored; // ColWidth in the file
        int expected;              // 0: wide enough for the longest name
    };
    const Case cases[] = {{std::nullopt, 0}, {150, 150}, {999999, 2000}, {-5, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or(-1));
        const QString extra =
            c.stored ? QStringLiteral("[Config]\nColWidth=%1\n").arg(*c.stored) : QString();
        TClientMain main;
        main.FormCreate(
            {QStringLiteral("quellcfg"),
             writeSettings(9, QStringLiteral(QUELL_EXAMPLES_DIR "/vrq-compact.var"), extra)});
        auto* names = main.findChild<GridView*>(QStringLiteral("ValueListEditor"));
        const QAbstractItemModel* rows = names->model();
        int longest = 0;
        for (int row = 0; row < rows->rowCount(); ++row)
            longest = std::max(longest, names->fontMetrics().horizontalAdvance(
                                            rows->index(row, 0).data().toString()));
        if (c.expected == 0)
            EXPECT_GE(names->columnWidth(0), longest);
        else
            EXPECT_EQ(names->columnWidth(0), c.expected);
        // Whatever the width, a name shows whole in its tool tip.
        EXPECT_EQ(rows->index(18, 0).data(Qt::ToolTipRole), rows->index(18, 0).data());
    }
}

} // namespace
} // namespace quell::compact
