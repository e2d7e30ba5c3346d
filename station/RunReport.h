#pragma once

#include "calibration/CalibrationRuns.h"
#include "calibration/TestRuns.h"
#include "database/ProductRecords.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

namespace quell {

// One step of a headless run as its summary shows it: the step's name, whether it went well, the
// verdict of a step that judges the board, and whatever else its kind of step reports (its
// channels and their points).
struct StepReport {
    QString step;
    bool ok = false;
    QJsonObject details;      // the fields beside "step", "ok" and "pass"
    std::optional<bool> pass; // a test step's verdict; none for the others

    // Whether the step counts as passed for the exit status: ok, and its verdict where it has one.
    bool passed() const { return ok && pass.value_or(true); }

    // A calibration step: ok and "channels" taken one to one from what the run did.
    static StepReport calibration(const QString& step, const RunOutcome& outcome);
    // A test step: ok ("- OK" of every channel), pass (the verdict against the limits) and
    // "channels" with all nine points of each, taken one to one from what the test did.
    static StepReport test(const QString& step, const TestOutcome& outcome);
    // A database step: ok, "database" (without a password), "table", "board" and "appended".
    static StepReport record(const QString& step, const RecordStepOutcome& outcome);
};

// The summary of a headless run that quellcal prints when it has closed; scripts read it:
//   {"ok":BOOL,"board":N,"method":"quick|normal|deep","log":PATH,"steps":[STEP...]}
// and, with --report, "report":PATH when the report was written.
struct RunReport {
    bool ok = false;
    int board = 0;
    QString method; // quick, normal or deep
    QString log;    // the run log file the run left; empty when none was written
    QString report; // the board's report written after the steps; empty: none
    std::vector<StepReport> steps;

    // The summary as one compact JSON object (UTF-8), without a line end.
    QByteArray toJsonLine() const;
};

} // namespace quell
