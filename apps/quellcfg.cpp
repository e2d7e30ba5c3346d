// quellcfg: the service technicians' compact configurator. Main window first, then the view; the
// program ends when the main window closes.

#include "client/CloseOnSignal.h"
#include "compact/CompactClientMain.h"
#include "compact/CompactFormView.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("VRQ-08 new"));
    quell::compact::TClientMain window;
    window.FormCreate(QApplication::arguments());
    window.show();
    // Made after the main window, which places and shows it.
    quell::compact::TFormView view(window);
    quell::CloseOnSignal closeOnSignal(&window);
    return QApplication::exec();
}
