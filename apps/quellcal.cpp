// quellcal: the calibration station's program. Main window first, then the measurement view, then
// the database window; the program ends when the main window closes. With --run it runs steps by
// itself and prints a summary when it has closed (station/StationRun); with --record-in it only
// writes the report of a result file (station/RecordReport).

#include "client/ClientCommunications.h"
#include "client/ClientSettings.h"
#include "client/CloseOnSignal.h"
#include "database/UBase.h"
#include "station/RecordReport.h"
#include "station/StationCommandLine.h"
#include "station/StationRun.h"
#include "view/UView.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <memory>

namespace {

void print(std::FILE* stream, const QByteArray& text)
{
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stream);
    std::fflush(stream);
}

// --help and --version: the answer on standard output, and the program ends.
int answer(const quell::StationCommandLine& line)
{
    if (line.help)
        print(stdout, quell::StationCommandLine::usage(quell::StationRun::stepNames()).toUtf8());
    else
        print(stdout, QByteArrayLiteral("quellcal " QUELL_VERSION "\n"));
    return static_cast<int>(quell::StationExit::Ok);
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version answer before Qt starts, so they need no display. Anything else is
    // read once Qt has taken its own options (-platform, -style...) out of the line.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const QStringList steps = quell::StationRun::stepNames();
    if (const auto early = quell::StationCommandLine::parse(words, steps, nullptr);
        early && (early->help || early->version))
        return answer(*early);

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("VRQ-08 with Calibrator"));
    QString error;
    const QStringList arguments = QApplication::arguments();
    const auto line = quell::StationCommandLine::parse(arguments.mid(1), steps, &error);
    if (!line) {
        print(stderr, (QStringLiteral("quellcal: ") + error + QStringLiteral("\n\n")
                       + quell::StationCommandLine::usage(steps))
                          .toUtf8());
        return static_cast<int>(quell::StationExit::BadCommandLine);
    }
    if (line->help || line->version)
        return answer(*line);
    // A report from a result file alone needs neither the windows nor the link.
    if (!line->recordIn.isEmpty())
        return static_cast<int>(quell::writeRecordReport(
            *line, quell::ClientSettings::settingsFileNameFor(line->settingsWords,
                                                              QApplication::applicationFilePath(),
                                                              QDir::currentPath())));

    quell::TClientMain mainWindow;
    // Signals close the window from the first moment; the close itself waits for the event loop.
    quell::CloseOnSignal closer(&mainWindow);
    mainWindow.FormCreate(QStringList{arguments.first()} + line->settingsWords);
    quell::TFormView view(mainWindow.link(), mainWindow);
    // The view's settings decide whether it is shown; the View item then follows it.
    view.FormCreate();
    quell::StationRun::applyChoices(view, *line);
    quell::TFormBase base(mainWindow, mainWindow.link(), view.TestPoints(), &view);
    view.setFormBase(&base);
    mainWindow.setViewLink(&view);

    // Closing the main window ends the program, whatever other windows are open.
    QObject::connect(&mainWindow, &quell::TClientMain::formClosed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    std::unique_ptr<quell::StationRun> run;
    if (!line->steps.isEmpty()) {
        run = std::make_unique<quell::StationRun>(mainWindow, view, *line);
        run->start();
    }
    mainWindow.show();
    const int status = QApplication::exec();
    if (!run)
        return status;
    // The view writes its run log as it goes away; the summary names that file.
    view.FormDestroy();
    print(stdout, run->report().toJsonLine() + '\n');
    return static_cast<int>(run->exitStatus());
}
