#pragma once

#include "calibration/TPointResult.h"
#include "database/BaseSettings.h"
#include "database/ProductDatabase.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace quell {

class DeviceLink;
class ParameterWindow;

// The transfers between a board's record in the production database and the program: the
// parameter window's value cells to and from the product table, the test points to and from the
// test table. The database window shows it; the headless steps use it directly. GUI thread.
class ProductRecords {
public:
    // Over the parameter window's cells, the link's table (for the entries' conversions) and the
    // test points; none owned.
    ProductRecords(ParameterWindow& window, const DeviceLink& link, TTestPoints& points);
    ~ProductRecords();

    // [Base] of the settings file, written with its defaults where keys are missing; false
    // (nothing read) when the settings file does not exist.
    bool readSettings(QString& error);
    const BaseSettings& settings() const { return settings_; }
    void setPath(const QString& path) { settings_.path = path; }

    // Opens the database of settings().path.
    bool connect(QString& error);
    void close();
    ProductDatabase& database() { return database_; }
    const ProductDatabase& database() const { return database_; }
    ParameterWindow& parameterWindow() const { return window_; }

    // Opens one table (creating it when missing) and puts it on the board's record; false with
    // error when that fails, and the table is then not open.
    bool openTable(records::TableKind kind, int board, QString& error);
    // The open table of a kind; null when it is not open.
    RecordTable* table(records::TableKind kind) const;

    // The parameter window's values into the current product record (or a new one for the
    // board). False with error when nothing was written.
    bool SaveProductRecord(bool& appended, QString& error);
    // The test points, board number, description, time, tester and station into the current test
    // record, in one transaction.
    bool SaveTestRecord(const QString& opis, bool& appended, QString& error);
    // The current product record into the parameter window's cells (not sent to the board).
    bool LoadProductRecord(QString& error);
    // The current test record's measured and expected values into the test points.
    bool LoadTestRecord(QString& error);

    // The clock of the saves (tests set their own).
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

private:
    QString valueText(int entry, int raw) const;
    std::optional<long long> rawOfText(int entry, const QString& text) const;

    ParameterWindow& window_;
    const DeviceLink& link_;
    TTestPoints& points_;
    BaseSettings settings_;
    ProductDatabase database_;
    std::unique_ptr<RecordTable> product_;
    std::unique_ptr<RecordTable> test_;
    std::function<QDateTime()> now_;
};

// What a headless database step did, as the run's summary shows it.
struct RecordStepOutcome {
    bool ok = false;
    QString database; // the file or URI, without a password
    QString table;
    int board = 0;
    bool appended = false;
    QString error;
};

// The headless database steps: read [Base], connect, open the step's table on the board's record
// and save or load it, without questions.
enum class RecordStep { SaveProduct, SaveTest, LoadProduct, LoadTest };
RecordStepOutcome RunRecordStep(ProductRecords& records, RecordStep step, int board,
                                const QString& opis);

} // namespace quell
