// The production database with 10,000 boards in each table, on an SQLite file and on a private
// PostgreSQL server (started for the run when PostgreSQL is installed). Each figure against a
// baseline measured in the same run:
//   - the window "Base" shown for a board in the middle of the tables (settings read, connection
//     made, both tables read into the grids and put on the board's record, what the grids show
//     selected) against running its two queries alone ("select * from TABLE order by
//     Proizvodni_broj", every row fetched) on an open connection. Goal: at most 3;
//   - one save of a test record (every column, one statement) against one indexed update of
//     that row writing the same columns through a statement prepared once. Goal: at most 2. An
//     update of a single column is printed beside it, for scale.
#include "bench/RatioReporter.h"

#include "client/IniFile.h"
#include "database/UBase.h"
#include "tests/database/ParameterCells.h"
#include "tests/database/PostgresServer.h"

#include <QApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <iostream>
#include <memory>

namespace {

using namespace quell;

constexpr int kBoards = 10000;
constexpr int kMiddleBoard = 5000;

// A station folder whose [Base] names a database filled with kBoards records in both tables.
struct Site {
    QTemporaryDir folder;
    std::unique_ptr<testsupport::ParameterCells> cells;
    TTestPoints points{};
    std::unique_ptr<TFormBase> form;
    ProductDatabase db;
    QString path;

    bool fill(const QString& databasePath, std::string& failure)
    {
        path = databasePath;
        cells = std::make_unique<testsupport::ParameterCells>(folder.path());
        IniFile ini(cells->SettingsFileName());
        ini.writeString("Base", "Path", path);
        if (!ini.save()) {
            failure = ini.errorText().toStdString();
            return false;
        }
        form = std::make_unique<TFormBase>(*cells, cells->link, points);
        QString error;
        if (!db.connect(path, error)) {
            failure = error.toStdString();
            return false;
        }
        // The tables made as the program makes them, then filled in one transaction each.
        for (const auto kind : {records::TableKind::Product, records::TableKind::Test}) {
            const char* name =
                kind == records::TableKind::Product ? "Table_VRQ08_4" : "Table_VRQ_Test1";
            RecordTable table(kind, db.database(), name);
            if (!table.open(error)) {
                failure = error.toStdString();
                return false;
            }
            const int columns = records::requiredColumns(kind);
            QStringList marks;
            for (int c = 0; c < columns; ++c)
                marks << "?";
            QSqlQuery names(db.database());
            QStringList columnNames;
            for (const records::ColumnDef& def : records::columnDefs(kind))
                columnNames << def.name;
            db.database().transaction();
            QSqlQuery insert(db.database());
            insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(name, columnNames.join(','), marks.join(',')));
            for (int board = 1; board <= kBoards; ++board) {
                for (int c = 0; c < columns; ++c) {
                    const auto type = records::columnDefs(kind)[c].type;
                    if (c == 0)
                        insert.addBindValue(board);
                    else if (type == records::ColumnType::Integer)
                        insert.addBindValue(board + c);
                    else if (type == records::ColumnType::Timestamp)
                        insert.addBindValue(QDateTime::currentDateTime());
                    else
                        insert.addBindValue(QStringLiteral("tekst %1").arg(board));
                }
                if (!insert.exec()) {
                    failure = insert.lastError().text().toStdString();
                    return false;
                }
            }
            db.database().commit();
        }
        return true;
    }
};

std::vector<std::pair<std::string, Site*>> g_sites;

Site* siteOf(const benchmark::State& state)
{
    return g_sites[static_cast<std::size_t>(state.range(0))].second;
}

void BM_ShowPositioned(benchmark::State& state)
{
    Site* site = siteOf(state);
    site->form->setBoardNumber(kMiddleBoard);
    for (auto _ : state) {
        site->form->FormShow();
        const RecordTable* test = site->form->records().table(records::TableKind::Test);
        if (!test || test->currentBoard() != kMiddleBoard || test->onNewRecord())
            state.SkipWithError("the window did not find the board");
        site->form->FormClose();
    }
}

void BM_TwoQueriesAlone(benchmark::State& state)
{
    Site* site = siteOf(state);
    for (auto _ : state) {
        for (const char* table : {"Table_VRQ08_4", "Table_VRQ_Test1"}) {
            QSqlQuery q(site->db.database());
            q.exec(QStringLiteral("select * from %1 order by Proizvodni_broj").arg(table));
            int rows = 0;
            while (q.next())
                ++rows;
            if (rows != kBoards)
                state.SkipWithError("the query did not return every row");
        }
    }
}

void BM_SaveTestRecord(benchmark::State& state)
{
    Site* site = siteOf(state);
    RecordTable table(records::TableKind::Test, site->db.database(), "Table_VRQ_Test1");
    QString error;
    table.open(error);
    table.locate(kMiddleBoard);
    int round = 0;
    for (auto _ : state) {
        TTestPoints points{};
        points[0][0].New = static_cast<std::int16_t>(++round);
        bool appended = false;
        if (!table.save(records::testColumns(kMiddleBoard, points,
                                             {"PB:", QDateTime::currentDateTime(), "T", "S"}),
                        appended, error))
            state.SkipWithError(error.toStdString().c_str());
    }
}

// One indexed update of the board's row: every column the save writes, as one prepared
// statement bound anew for each update (the database's own work for a save).
void BM_IndexedUpdate(benchmark::State& state)
{
    Site* site = siteOf(state);
    const auto defs = records::columnDefs(records::TableKind::Test);
    QStringList assignments;
    for (std::size_t c = 1; c < defs.size(); ++c)
        assignments << defs[c].name + QStringLiteral(" = ?");
    QSqlQuery update(site->db.database());
    update.prepare(QStringLiteral("UPDATE Table_VRQ_Test1 SET %1 WHERE Proizvodni_broj = ?")
                       .arg(assignments.join(", ")));
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (std::size_t c = 1; c < defs.size(); ++c) {
            const int at = static_cast<int>(c) - 1;
            if (defs[c].type == records::ColumnType::Integer)
                update.bindValue(at, round + at);
            else if (defs[c].type == records::ColumnType::Timestamp)
                update.bindValue(at, QDateTime::currentDateTime());
            else
                update.bindValue(at, QStringLiteral("tekst"));
        }
        update.bindValue(static_cast<int>(defs.size()) - 1, kMiddleBoard);
        if (!update.exec())
            state.SkipWithError(update.lastError().text().toStdString().c_str());
    }
}

// The same, one column only: what an update costs when it writes almost nothing.
void BM_IndexedUpdateOneColumn(benchmark::State& state)
{
    Site* site = siteOf(state);
    QSqlQuery update(site->db.database());
    update.prepare("UPDATE Table_VRQ_Test1 SET Temp1_T1_izmereno = ? WHERE Proizvodni_broj = ?");
    int round = 0;
    for (auto _ : state) {
        update.bindValue(0, ++round);
        update.bindValue(1, kMiddleBoard);
        if (!update.exec())
            state.SkipWithError(update.lastError().text().toStdString().c_str());
    }
}

void engines(benchmark::internal::Benchmark* b)
{
    for (std::size_t i = 0; i < g_sites.size(); ++i)
        b->Arg(static_cast<int>(i));
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    Site sqlite;
    std::string failure;
    if (!sqlite.fill(sqlite.folder.filePath("BORAN.db"), failure)) {
        std::cerr << "bench_database: SQLite: " << failure << "\n";
        return 1;
    }
    g_sites.emplace_back("SQLite", &sqlite);
    auto& server = testsupport::PostgresServer::shared();
    Site postgres;
    if (!server.ready())
        std::cerr << "bench_database: no PostgreSQL figures: " << server.error().toStdString()
                  << "\n";
    else if (!postgres.fill(server.uri(), failure))
        std::cerr << "bench_database: PostgreSQL: " << failure << "\n";
    else
        g_sites.emplace_back("PostgreSQL", &postgres);

    benchmark::RegisterBenchmark("BM_ShowPositioned", BM_ShowPositioned)->Apply(engines);
    benchmark::RegisterBenchmark("BM_TwoQueriesAlone", BM_TwoQueriesAlone)->Apply(engines);
    benchmark::RegisterBenchmark("BM_SaveTestRecord", BM_SaveTestRecord)->Apply(engines);
    benchmark::RegisterBenchmark("BM_IndexedUpdate", BM_IndexedUpdate)->Apply(engines);
    benchmark::RegisterBenchmark("BM_IndexedUpdateOneColumn", BM_IndexedUpdateOneColumn)
        ->Apply(engines);

    quell::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::vector<quell::bench::RatioReporter::Ratio> ratios;
    for (std::size_t i = 0; i < g_sites.size(); ++i) {
        const std::string arg = "/" + std::to_string(i);
        const std::string& engine = g_sites[i].first;
        ratios.push_back(
            {engine + ": window shown on board 5000 of 10,000 / its two queries (goal <= 3)",
             "BM_ShowPositioned" + arg, "BM_TwoQueriesAlone" + arg, true});
        ratios.push_back(
            {engine + ": one test record saved / one indexed update of its row (goal <= 2)",
             "BM_SaveTestRecord" + arg, "BM_IndexedUpdate" + arg, true});
        ratios.push_back({engine + ": one test record saved / an indexed update of one column",
                          "BM_SaveTestRecord" + arg, "BM_IndexedUpdateOneColumn" + arg, true});
    }
    reporter.printRatios(std::cout, ratios);
    std::cout.flush();
    g_sites.clear();
    testsupport::PostgresServer::releaseShared();
    benchmark::Shutdown();
    return 0;
}
