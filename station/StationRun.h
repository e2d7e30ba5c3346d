#pragma once

#include "client/DeviceLink.h"
#include "station/RunReport.h"
#include "station/StationCommandLine.h"

#include <QObject>
#include <QStringList>

#include <set>
#include <vector>

class QTimer;

namespace quell {

class TClientMain;
class TFormView;

// A headless run of quellcal (--run): once the program has started up it starts the link when it
// is not started, waits for the connection, runs the steps one after another exactly as their
// buttons run them, writes the test results to the --record file and the board's report to the
// --report file, and closes the main window as "Exit" does. A close during a step (SIGTERM) ends
// the run after that step, which then counts as failed. The summary is complete once the program
// has closed and the view has written its run log. GUI thread.
class StationRun : public QObject {
    Q_OBJECT
public:
    // A run of the command line's steps over the main window and its view (neither owned). Every
    // run log line is copied to standard error from now on.
    StationRun(TClientMain& window, TFormView& view, StationCommandLine line,
               QObject* parent = nullptr);

    // The steps --run accepts, in the order the usage lists them.
    static QStringList stepNames();
    // Applies --method and --board to the view as a click on "Metod merenja" and the board's
    // up-down would; what the line leaves out stays as the window has it.
    static void applyChoices(TFormView& view, const StationCommandLine& line);

    // Starts the run on a zero timer, so it begins once the event loop runs.
    void start();
    // The summary: the steps run, and the run log file the view has written (so ask after the
    // program has closed and the view has saved its log).
    RunReport report() const;
    // The program's exit status for the run so far.
    StationExit exitStatus() const;

private:
    void begin();
    void linkStateChanged(LinkState state);
    void answersApplied(const std::vector<std::uint16_t>& answered);
    void windowClosed();
    void runSteps();
    void writeRecord();
    void writeReport();
    void finish();

    TClientMain& window_;
    TFormView& view_;
    StationCommandLine line_;
    QTimer* connectTimer_ = nullptr;
    bool connected_ = false;
    // The entries a step starts from (constants, filters, swap period) not yet read since the
    // connection: a step waits for them, or its "old" values would be the table's zeros.
    std::set<std::uint16_t> unread_;
    bool stepsStarted_ = false;
    QTimer* firstReadTimer_ = nullptr;
    bool closed_ = false;
    int board_ = 0;
    QString method_;
    std::vector<StepReport> steps_;
    bool recordWritten_ = false;
    bool reportWritten_ = false;
};

} // namespace quell
