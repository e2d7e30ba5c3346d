// quellcfg: the service technicians' compact configurator. Main window first; the program ends
// when it closes.

#include "client/CloseOnSignal.h"
#include "compact/CompactClientMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("VRQ-08 new"));
    quell::compact::TClientMain window;
    window.FormCreate(QApplication::arguments());
    window.show();
    quell::CloseOnSignal closeOnSignal(&window);
    return QApplication::exec();
}
