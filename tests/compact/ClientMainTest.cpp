// The compact main window, headless: its menu and settings page, a description that does not
// load, a value typed into the grid reaching the simulated compact board through quellgw, and a
// value set saved and loaded through the menu.
#include "compact/CompactClientMain.h"
#include "compact/CompactFormView.h"

#include "compact/CompactLink.h"
#include "compact/UCommands.h"
#include "tests/support/RecordingDialogs.h"
#include "tests/support/SimulatedGateway.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace quell::compact {
namespace {

constexpr int kWaitMs = 10000;

class ClientMain : public ::testing::Test {
protected:
    // A settings file in a folder of its own naming the server and the description.
    void startUp(int port, const QString& description)
    {
        QFile file(dir.filePath(QStringLiteral("site.cli")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nMaxPacket=8\n"
                                  "TransmitDelay=0\n[Protocol]\nFile=%2\n")
                       .arg(port)
                       .arg(description)
                       .toUtf8());
        file.close();
        // quellcfg keeps "Vals" in the folder it starts in.
        QDir::setCurrent(dir.path());
        window.FormCreate({QStringLiteral("quellcfg"), file.fileName()});
    }
    QAction* action(const char* name) { return window.findChild<QAction*>(QLatin1String(name)); }
    QTableView* grid() { return window.findChild<QTableView*>(QStringLiteral("ValueListEditor")); }

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

TEST_F(ClientMain, ADescriptionThatDoesNotLoadSaysErrorProtocol)
{
    QFile bad(dir.filePath(QStringLiteral("ei.var")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("PROT EI-Bisynch\nVAR a, manual, rw, 0, 1, 0, $10, 1, 0, d\n");
    bad.close();
    startUp(9, bad.fileName());
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Error protocol")});
    EXPECT_FALSE(action("MStartStop")->isEnabled());
    EXPECT_EQ(grid()->model()->rowCount(), 0);
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

} // namespace
} // namespace quell::compact
