#include "database/UBase.h"

#include "client/IniFile.h"
#include "tests/database/ParameterCells.h"
#include "tests/support/RecordingDialogs.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

namespace quell {
namespace {

using records::TableKind;
using testsupport::ParameterCells;

class FormBaseTest : public ::testing::Test {
protected:
    FormBaseTest() : cells(folder.path()), form(cells, cells.link, points)
    {
        form.setPathPrompt([this](QString& path) {
            prompts << path;
            if (promptAnswers.isEmpty())
                return false;
            path = promptAnswers.takeFirst();
            return true;
        });
    }

    void writeSettings(const QString& text)
    {
        QFile f(cells.SettingsFileName());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    template <typename W> W* child(const char* name) const
    {
        W* w = form.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // Rows of a table in the database file, counted on a connection of the test's own.
    int rowsIn(const QString& table)
    {
        ProductDatabase db;
        QString error;
        EXPECT_TRUE(db.connect(folder.filePath("BORAN.db"), error)) << error.toStdString();
        QSqlQuery q(db.database());
        if (!q.exec("SELECT count(*) FROM " + table) || !q.next())
            return -1;
        return q.value(0).toInt();
    }

    QTemporaryDir folder;
    ParameterCells cells;
    TTestPoints points{};
    RecordingDialogs dialogs;
    TFormBase form;
    QStringList prompts;
    QStringList promptAnswers;
};

TEST_F(FormBaseTest, ControlsCarryTheirNamesAndTexts)
{
    EXPECT_EQ(form.windowTitle(), "Base");
    EXPECT_EQ(child<QPushButton>("ButtonSave")->text(), "Save and Close");
    EXPECT_EQ(child<QPushButton>("ButtonLoad")->text(), "Load and Close");
    EXPECT_EQ(child<QPushButton>("ButtonCancel")->text(), "Exit without save/load");
    EXPECT_FALSE(child<QPushButton>("ButtonSave")->isEnabled());
    EXPECT_FALSE(child<QPushButton>("ButtonLoad")->isEnabled());
    child<QTableView>("DBGridProizvod");
    child<QTableView>("DBGridTesting");
    for (const char* move :
         {"DBNavigatorFirst", "DBNavigatorPrior", "DBNavigatorNext", "DBNavigatorLast"})
        child<QToolButton>(move);
}

TEST_F(FormBaseTest, ShowingWithoutBaseWritesItsDefaultsAndOpensBothTables)
{
    writeSettings("[Socket]\nHost=127.0.0.1\n");
    form.setBoardNumber(12);
    form.FormShow();
    const IniFile ini(cells.SettingsFileName());
    EXPECT_EQ(ini.readString("Base", "Path", {}), folder.filePath("BORAN.db"));
    EXPECT_EQ(ini.readString("Base", "Tabela", {}), "Table_VRQ08_4");
    EXPECT_EQ(ini.readString("Base", "Testing", {}), "Table_VRQ_Test1");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join("\n").toStdString();
    ASSERT_NE(form.records().table(TableKind::Product), nullptr);
    ASSERT_NE(form.records().table(TableKind::Test), nullptr);
    EXPECT_NE(child<QTableView>("DBGridProizvod")->model(), nullptr);
    EXPECT_TRUE(child<QPushButton>("ButtonSave")->isEnabled());
    EXPECT_EQ(form.activeGrid(), 0);
    // A board without a record: the window says a save adds one.
    EXPECT_TRUE(child<QLabel>("LabelProizvod")->text().contains("ploča 12 nema zapis"))
        << child<QLabel>("LabelProizvod")->text().toStdString();
}

TEST_F(FormBaseTest, EnteredGridIsPaintedActive)
{
    writeSettings("");
    form.FormShow();
    auto* products = child<QTableView>("DBGridProizvod");
    auto* tests = child<QTableView>("DBGridTesting");
    const QColor inactive = products->palette().color(QPalette::Base);
    EXPECT_EQ(tests->palette().color(QPalette::Base), inactive);
    form.DBGridProizvodEnter();
    EXPECT_EQ(form.activeGrid(), 1);
    EXPECT_EQ(products->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
    EXPECT_EQ(tests->palette().color(QPalette::Base), inactive);
    form.DBGridTestingEnter();
    EXPECT_EQ(form.activeGrid(), 2);
    EXPECT_EQ(products->palette().color(QPalette::Base), inactive);
    form.FormShow();
    EXPECT_EQ(form.activeGrid(), 0);
}

TEST_F(FormBaseTest, NoToTheQuestionKeepsTheWindowOpenAndWritesNothing)
{
    writeSettings("");
    cells.setCellText(12, "-12.5");
    form.setBoardNumber(4);
    form.show();
    form.DBGridProizvodEnter();
    dialogs.questionAnswers = {false};
    form.ButtonSaveClick();
    EXPECT_EQ(dialogs.questions, QStringList{"Upis uspešan "});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(rowsIn("Table_VRQ08_4"), 0);
    // Pressing again asks again; Yes writes and closes.
    form.ButtonSaveClick();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(rowsIn("Table_VRQ08_4"), 1);
}

TEST_F(FormBaseTest, TestGridSavesWithoutAQuestionAndLoadsBack)
{
    writeSettings("");
    points[2][4].New = 1234;
    points[2][4].Expected = 1200;
    form.setBoardNumber(6);
    form.setDescription([] { return QStringLiteral("PB: 6"); });
    form.show();
    form.DBGridTestingEnter();
    form.ButtonSaveClick();
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(rowsIn("Table_VRQ_Test1"), 1);

    points = TTestPoints{};
    form.show(); // shown again: reconnects and finds the board's record
    EXPECT_TRUE(child<QLabel>("LabelTesting")->text().contains("zapis 1, ploča 6"))
        << child<QLabel>("LabelTesting")->text().toStdString();
    form.DBGridTestingEnter();
    dialogs.questionAnswers = {false};
    QSignalSpy loaded(&form, &TFormBase::testRecordLoaded);
    form.ButtonLoadClick();
    // The view's report says where the test results came from.
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded[0][0].toString(),
              "baza " + folder.filePath("BORAN.db") + ", tabela Table_VRQ_Test1, ploča 6");
    EXPECT_EQ(dialogs.questions, QStringList{"Čitanje uspešno "});
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(points[2][4].New, 1234);
    EXPECT_EQ(points[2][4].Expected, 1200);
    form.ButtonLoadClick();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FormBaseTest, FailedConnectionAsksForAnotherDatabaseUntilOneOpens)
{
    writeSettings("[Base]\nPath=" + folder.filePath("missing/folder/x.db") + "\n");
    promptAnswers = {folder.filePath("no/such/y.db"), folder.filePath("line.db")};
    form.FormShow();
    ASSERT_EQ(dialogs.messages.size(), 2u) << dialogs.texts().join("\n").toStdString();
    for (const auto& [kind, text] : dialogs.messages) {
        EXPECT_EQ(kind, Dialogs::Kind::Error);
        EXPECT_TRUE(text.startsWith("Pojavila se greska prilikom konekcije na bazu. Greska:\r\n"))
            << text.toStdString();
    }
    EXPECT_EQ(prompts.size(), 2);
    EXPECT_TRUE(QFile::exists(folder.filePath("line.db")));
    EXPECT_EQ(IniFile(cells.SettingsFileName()).readString("Base", "Path", {}),
              folder.filePath("line.db"));
    EXPECT_NE(form.records().table(TableKind::Test), nullptr);

    // Cancelling the prompt leaves the window with empty grids, usable only for leaving.
    writeSettings("[Base]\nPath=" + folder.filePath("missing/folder/x.db") + "\n");
    form.FormShow();
    EXPECT_EQ(form.records().table(TableKind::Product), nullptr);
    EXPECT_EQ(child<QTableView>("DBGridProizvod")->model(), nullptr);
}

TEST_F(FormBaseTest, BadTableIsReportedAndTheOtherStillOpens)
{
    writeSettings("[Base]\nTabela=bad name\n");
    form.FormShow();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        dialogs.messages[0].second.startsWith("Nastupila je neka greska u tabeli bad name !!!"))
        << dialogs.messages[0].second.toStdString();
    EXPECT_EQ(form.records().table(TableKind::Product), nullptr);
    EXPECT_NE(form.records().table(TableKind::Test), nullptr);
}

TEST_F(FormBaseTest, NavigatorMovesTheProductRecord)
{
    writeSettings("");
    for (const int board : {30, 10, 20}) {
        const RecordStepOutcome o = form.runStep(RecordStep::SaveProduct, board, {});
        ASSERT_TRUE(o.ok) << o.error.toStdString();
    }
    form.setBoardNumber(20);
    form.FormShow();
    RecordTable* table = form.records().table(TableKind::Product);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->currentRow(), 1);
    const struct {
        const char* button;
        int row;
    } moves[] = {{"DBNavigatorNext", 2},  {"DBNavigatorNext", 2}, {"DBNavigatorFirst", 0},
                 {"DBNavigatorPrior", 0}, {"DBNavigatorLast", 2}, {"DBNavigatorPrior", 1}};
    for (const auto& m : moves) {
        child<QToolButton>(m.button)->click();
        EXPECT_EQ(table->currentRow(), m.row) << m.button;
        EXPECT_EQ(child<QTableView>("DBGridProizvod")->currentIndex().row(), m.row) << m.button;
    }
    // On another board's record the window says whose data a save puts there.
    EXPECT_FALSE(child<QLabel>("LabelProizvod")->text().contains("u ovaj zapis"));
    child<QToolButton>("DBNavigatorFirst")->click();
    EXPECT_TRUE(child<QLabel>("LabelProizvod")->text().contains("podatke ploče 20 u ovaj zapis"))
        << child<QLabel>("LabelProizvod")->text().toStdString();
    // A board without a record starts on the new record; Prior goes to the last one.
    form.setBoardNumber(15);
    form.FormShow();
    table = form.records().table(TableKind::Product);
    EXPECT_TRUE(table->onNewRecord());
    child<QToolButton>("DBNavigatorPrior")->click();
    EXPECT_EQ(table->currentRow(), 2);
}

} // namespace
} // namespace quell
