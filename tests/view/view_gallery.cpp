// Renders quellcal's main window and the three pages of the measurement view for a person to
// review: the pages at the size they were drawn for (912 by 393) and at twice that. Given a
// settings file, it starts up as quellcal does, lets the link run for the given seconds and then
// takes the pictures, so they show live values.
// Usage: view_gallery <output folder> [<settings file> [<seconds>]]

#include "client/ClientCommunications.h"
#include "tests/support/StationScreen.h"
#include "tests/view/PageFit.h"
#include "view/UView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QDir& out, const QString& name)
{
    if (!widget.grab().save(out.filePath(name))) {
        std::fprintf(stderr, "view_gallery: cannot write %s\n", qPrintable(out.filePath(name)));
        return false;
    }
    return true;
}

void RunFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const quell::StationScreen screen;
    QApplication app(argc, argv);
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: view_gallery <output folder> [<settings file> [<seconds>]]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool live = argc >= 3;
    const int seconds = argc == 4 ? std::atoi(argv[3]) : 4;

    quell::TClientMain main;
    if (live) {
        main.FormCreate({QApplication::applicationFilePath(), QString::fromLocal8Bit(argv[2])});
    }
    quell::TFormView view(main.link(), main);
    if (live) {
        view.FormCreate();
        main.setViewLink(&view);
        main.show();
    }
    view.show();
    auto* pages = view.findChild<QTabWidget*>(QStringLiteral("PageControl"));
    if (live) {
        // The trend chart samples the labels of "Detalji", which refresh while it is shown.
        pages->setCurrentIndex(1);
        view.PopupMenuTimeSampleClick(0);
        view.StartGrafClick();
        RunFor(seconds * 1000);
        if (!main.Started()) {
            std::fprintf(stderr, "view_gallery: the link did not start; the pictures show no "
                                 "live values\n");
        }
        if (!Save(main, out, QStringLiteral("main-window.png"))) {
            return 1;
        }
    }
    for (int scale : {1, 2}) {
        for (int index = 0; index < pages->count(); ++index) {
            pages->setCurrentIndex(index);
            quell::testing::FitPage(view, QSize(912, 393) * scale);
            // A page refreshes on the next answer after it became the current one.
            RunFor(live ? 600 : 0);
            const QString name = QStringLiteral("view-%1-x%2.png")
                                     .arg(pages->widget(index)->objectName())
                                     .arg(scale);
            if (!Save(view, out, name)) {
                return 1;
            }
        }
    }
    return 0;
}
