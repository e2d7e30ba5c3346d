#include "station/StationCommandLine.h"

#include "protocol/NumberText.h"

#include <QDir>

#include <array>
#include <stdexcept>
#include <utility>

namespace quell {

namespace {

using Method = StationCommandLine::Method;

const std::array<std::pair<const char*, Method>, 3> kMethods = {{
    {"quick", Method::Fast},
    {"normal", Method::Normal},
    {"deep", Method::Deep},
}};

QString quoted(const QString& text)
{
    return u'\'' + text + u'\'';
}

// The words joined with ", " in lines of at most width characters, each line indented.
QString wrapped(const QStringList& words, const QString& indent, qsizetype width)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString word = words[i] + (i + 1 < words.size() ? QStringLiteral(",") : QString());
        if (!current.isEmpty() && indent.size() + current.size() + 1 + word.size() > width) {
            lines << indent + current;
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!current.isEmpty())
        lines << indent + current;
    return lines.join(u'\n');
}

} // namespace

std::optional<StationCommandLine> StationCommandLine::parse(const QStringList& arguments,
                                                            const QStringList& knownSteps,
                                                            QString* error)
{
    StationCommandLine line;
    auto fail = [error](const QString& message) {
        if (error != nullptr)
            *error = message;
        return std::nullopt;
    };
    bool runGiven = false;
    bool recordGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--")) {
            line.settingsWords = arguments.mid(i + 1);
            break;
        }
        if (!word.startsWith(u'-')) {
            line.settingsWords = arguments.mid(i);
            break;
        }
        if (word == QLatin1String("--help")) {
            line.help = true;
            return line;
        }
        if (word == QLatin1String("--version")) {
            line.version = true;
            return line;
        }
        // "--name value" and "--name=value" both work.
        const qsizetype eq = word.indexOf(u'=');
        const QString name = eq < 0 ? word : word.left(eq);
        if (name != QLatin1String("--run") && name != QLatin1String("--method")
            && name != QLatin1String("--board") && name != QLatin1String("--record")
            && name != QLatin1String("--report") && name != QLatin1String("--record-in"))
            return fail(QStringLiteral("unknown option %1 (see --help)").arg(quoted(name)));
        QString value;
        if (eq >= 0) {
            value = word.mid(eq + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return fail(name + QStringLiteral(" needs a value"));
        }

        if (name == QLatin1String("--run")) {
            if (runGiven)
                return fail(QStringLiteral("--run given twice; list every step in one --run"));
            runGiven = true;
            // Every name must be known and none empty: a stray comma is a typing error, not a
            // step to skip.
            const QStringList steps = value.split(u',');
            for (const QString& step : steps) {
                if (step.isEmpty())
                    return fail(QStringLiteral("--run: empty step in %1").arg(quoted(value)));
                if (!knownSteps.contains(step))
                    return fail(QStringLiteral("--run: unknown step %1 (steps: %2)")
                                    .arg(quoted(step), knownSteps.join(QStringLiteral(", "))));
            }
            line.steps = steps;
        } else if (name == QLatin1String("--method")) {
            if (line.method)
                return fail(QStringLiteral("--method given twice"));
            for (const auto& [text, method] : kMethods) {
                if (value == QLatin1String(text))
                    line.method = method;
            }
            if (!line.method)
                return fail(
                    QStringLiteral("--method: %1 is not quick, normal or deep").arg(quoted(value)));
        } else if (name == QLatin1String("--record")) {
            if (recordGiven)
                return fail(QStringLiteral("--record given twice"));
            recordGiven = true;
            if (value.isEmpty())
                return fail(QStringLiteral("--record needs a file name"));
            // Start-up moves into the settings folder: a relative name means the folder the
            // station's script started quellcal in.
            line.record = QDir::current().absoluteFilePath(value);
        } else if (name == QLatin1String("--report") || name == QLatin1String("--record-in")) {
            QString& file = name == QLatin1String("--report") ? line.report : line.recordIn;
            if (!file.isEmpty())
                return fail(name + QStringLiteral(" given twice"));
            if (value.isEmpty())
                return fail(name + QStringLiteral(" needs a file name"));
            file = QDir::current().absoluteFilePath(value);
        } else {
            if (line.board)
                return fail(QStringLiteral("--board given twice"));
            try {
                line.board = boundedIntegerOption("--board", value.toStdString(), 0, kMaxBoard);
            } catch (const std::invalid_argument& e) {
                return fail(QString::fromStdString(e.what()));
            }
        }
    }
    // Without steps the windows wait for their user, and nobody would write the file.
    if (recordGiven && !runGiven)
        return fail(QStringLiteral("--record writes the results of --run; give the steps too"));
    if (!line.recordIn.isEmpty() && (runGiven || line.report.isEmpty()))
        return fail(QStringLiteral("--record-in makes a --report from a result file alone; give "
                                   "--report and no --run"));
    if (!line.report.isEmpty() && !runGiven && line.recordIn.isEmpty())
        return fail(QStringLiteral("--report writes the results of --run or of --record-in; give "
                                   "one of them too"));
    return line;
}

QString StationCommandLine::usage(const QStringList& knownSteps)
{
    return QStringLiteral(
               R"(Usage: quellcal [--run STEPS] [--method quick|normal|deep] [--board N] [--record FILE]
                [--report FILE] [--] [SETTINGS FILE NAME]
       quellcal --report FILE --record-in FILE [--board N] [--] [SETTINGS FILE NAME]

The calibration station. Without --run its windows wait for their user. With --run it connects,
runs the steps one after another exactly as their buttons do, closes as "Exit" does and prints a
summary of the run as one JSON line on standard output.

  --run STEPS      comma-separated steps, run in order, from
%1
                   ("calibrate" and "test" are "Sve" of their groups; a test step passes when
                   every point was measured and lies within its limit of [Calibrate])
  --method METHOD  "Metod merenja": quick, normal or deep (default: as the window has it)
  --board N        the board number, 0 to %2 (default: as the settings have it)
  --record FILE    after the steps, write the test results to FILE as "Save" does (a .rec
                   file of 1512 bytes); a file that cannot be written makes the exit status 1
  --report FILE    after the steps (also when one failed), write the board's report to FILE as
                   "Report" does (a PDF); a file that cannot be written makes the exit status 1
  --record-in FILE with --report and without --run: the report of the result file FILE alone,
                   without windows or connection; prints {"board","ok","report","verdict"} as
                   one JSON line (exit status 1 when the file cannot be read or the report
                   cannot be written)
  --help           this text
  --version        the program's name and version
  --               the end of the options: what follows is the settings file name

The words after the options are joined with blanks into the settings file name (default: the
program's file name with ".cli"). Every run log line also goes to standard error.

Exit status: 0 every step went well, 1 a step failed or was interrupted, a test found a point
outside its limits or the --record or --report file could not be written, 2 a bad command line,
3 no connection to the communication server within %3 s.
)")
        .arg(wrapped(knownSteps, QStringLiteral("                   "), 100))
        .arg(kMaxBoard)
        .arg(kConnectWaitSeconds);
}

QString StationCommandLine::methodName(Method method)
{
    for (const auto& [text, m] : kMethods) {
        if (m == method)
            return QLatin1String(text);
    }
    return {};
}

} // namespace quell
