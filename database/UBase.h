#pragma once

#include "database/ProductRecords.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableView;
class QToolButton;

namespace quell {

class DeviceLink;
class ParameterWindow;

// "Base": the production database's two tables, products above and tests below, and the
// transfer of one board's record between them and the program. Shown modally from the
// measurement view, for saving or for loading; every showing reads [Base] again, reconnects and
// puts both tables on the board's record (a new one when the board has none yet). The grid the
// operator entered last decides which table "Save and Close" or "Load and Close" works on. The
// transfers themselves are ProductRecords'; this window only shows them.
class TFormBase : public QDialog {
    Q_OBJECT
public:
    // Over the parameter window's cells, the link's table and the test points (none owned).
    TFormBase(ParameterWindow& window, const DeviceLink& link, TTestPoints& points,
              QWidget* parent = nullptr);
    ~TFormBase() override;

    // The board whose record the window puts the tables on.
    void setBoardNumber(int board) { board_ = board; }
    int boardNumber() const { return board_; }
    // Where the test record's description comes from (the view's "PB:" edit).
    void setDescription(std::function<QString()> opis) { opis_ = std::move(opis); }
    // Shows the window modally for saving (loading disabled) or loading (saving disabled).
    int showForSave();
    int showForLoad();

    ProductRecords& records() { return records_; }
    // A headless database step on the board's record, without questions; remembered for the
    // run's summary.
    const RecordStepOutcome& runStep(RecordStep step, int board, const QString& opis);
    const RecordStepOutcome& lastStep() const { return lastStep_; }
    // 0 none, 1 products, 2 tests.
    int activeGrid() const { return activeGrid_; }

    // Connects to settings().path; on failure tells the driver's message and asks for another
    // path until one connects (it is then stored in the settings file) or the operator cancels.
    bool ConnectDatabase();
    // The question asked for another path (tests replace it); true with the new path on OK.
    void setPathPrompt(std::function<bool(QString& path)> prompt) { prompt_ = std::move(prompt); }

    void FormShow();
    void FormClose();
    void DBGridProizvodEnter();
    void DBGridTestingEnter();
    void ButtonSaveClick();
    void ButtonLoadClick();
    // The navigation bar on the product table.
    enum class Move { First, Prior, Next, Last };
    void navigate(Move move);

signals:
    // A test record went into the test points; source says which (database, table, board).
    void testRecordLoaded(const QString& source);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTable(records::TableKind kind);
    void selectCurrent(records::TableKind kind);
    void rowChosen(records::TableKind kind, int row);
    void showRecordState(records::TableKind kind);
    void paintGrids();
    QPoint messagePoint() const;
    void tellError(const QString& text);
    QString testRecordSource() const;

    ProductRecords records_;
    int board_ = 0;
    int activeGrid_ = 0;
    std::function<QString()> opis_;
    std::function<bool(QString&)> prompt_;
    RecordStepOutcome lastStep_;
    QLabel* labelProizvod_;
    QTableView* gridProizvod_;
    QWidget* navigator_;
    QLabel* labelTesting_;
    QTableView* gridTesting_;
    QPushButton* buttonSave_;
    QPushButton* buttonLoad_;
    QPushButton* buttonCancel_;
};

} // namespace quell
