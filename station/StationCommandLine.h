#pragma once

#include "calibration/CalibrationHost.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quell {

// quellcal's exit statuses; station scripts test them.
enum class StationExit {
    Ok = 0,             // every step went well (or no steps were asked for)
    StepFailed = 1,     // a step failed or was interrupted by a close
    BadCommandLine = 2, // nothing was started
    NoConnection = 3,   // the link did not connect in time; no step ran
};

// quellcal's command line: options first, then the words of the settings file name.
//   quellcal [--run STEPS] [--method quick|normal|deep] [--board N] [--record FILE]
//            [--report FILE] [--] [SETTINGS FILE NAME]
//   quellcal --report FILE --record-in FILE [--board N] [--] [SETTINGS FILE NAME]
// The first word that is not an option (or everything after "--") starts the settings file name;
// the words from there on are the name's, as the shell split it. Qt Core only.
struct StationCommandLine {
    using Method = CalibrationHost::Method;
    // The board number's range, as the board's up-down has it.
    static constexpr int kMaxBoard = 10000;
    // How long a run waits for the link to connect before it gives up (StationExit::NoConnection).
    static constexpr int kConnectWaitSeconds = 10;

    QStringList steps;            // --run, in order; empty: the windows wait for their user
    std::optional<Method> method; // --method; none: what the window has
    std::optional<int> board;     // --board; none: what the settings have
    QString record; // --record, absolute: the result file written after the steps; empty: none
    // --report, absolute: the board's report (PDF) written after the steps, or from --record-in;
    // empty: none
    QString report;
    // --record-in, absolute: a result file the report is made from, without windows or link
    QString recordIn;
    QStringList settingsWords; // joined with blanks into the settings file name
    bool help = false;         // --help: print the usage, nothing else
    bool version = false;      // --version: print the version, nothing else

    // Reads the arguments after the program name; --run accepts the names in knownSteps,
    // --record only comes with --run, --report with --run or --record-in, and --record-in only
    // with --report and without --run. The line, or nothing with a message in error that names
    // the bad argument.
    static std::optional<StationCommandLine> parse(const QStringList& arguments,
                                                   const QStringList& knownSteps, QString* error);
    // The --help text, with the steps --run accepts.
    static QString usage(const QStringList& knownSteps);
    // The method's name on the command line and in the run summary: quick, normal, deep.
    static QString methodName(Method method);
};

} // namespace quell
