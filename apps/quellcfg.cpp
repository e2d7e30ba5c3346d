// quellcfg: the service technicians' compact configurator. Main window first, then the view; the
// program ends when the main window closes.

#include "client/CloseOnSignal.h"
#include "compact/CompactClientMain.h"
#include "compact/CompactFormView.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "Usage: quellcfg [SETTINGS FILE NAME]\n"
    "\n"
    "The compact configurator of VRQ-08 instruments: connects to the site's communication server\n"
    "(quellgw), shows and edits the board's parameters, keeps value sets and shows a small live\n"
    "view where filters and calibration constants are set by hand.\n"
    "\n"
    "The settings file (default: the program's name with \".cli\"; a name without a folder is\n"
    "taken in the folder the program starts in) says where the server is and which description\n"
    "file to load; a missing file is made with defaults. Value sets are kept in the folder Vals\n"
    "of that folder.\n"
    "\n"
    "  --help      this text\n"
    "  --version   the version\n";

} // namespace

int main(int argc, char* argv[])
{
    // Answered before Qt starts, so they need no display.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("quellcfg " QUELL_VERSION "\n", stdout);
        return 0;
    }
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
