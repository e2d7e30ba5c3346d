// quellcal: the calibration station's program. Main window first, then the measurement view, then
// the database window; the program ends when the main window closes.

#include "client/ClientCommunications.h"
#include "client/CloseOnSignal.h"
#include "database/UBase.h"
#include "view/UView.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("VRQ-08 with Calibrator"));

    quell::TClientMain mainWindow;
    // Signals close the window from the first moment; the close itself waits for the event loop.
    quell::CloseOnSignal closer(&mainWindow);
    mainWindow.FormCreate(QApplication::arguments());
    quell::TFormView view(mainWindow.link(), mainWindow);
    // The view's settings decide whether it is shown; the View item then follows it.
    view.FormCreate();
    quell::TFormBase base;
    mainWindow.setViewLink(&view);

    // Closing the main window ends the program, whatever other windows are open.
    QObject::connect(&mainWindow, &quell::TClientMain::formClosed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    mainWindow.show();
    return QApplication::exec();
}
