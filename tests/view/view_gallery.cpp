// Renders the three pages of the measurement view at the size they were drawn for (page 912 by
// 393) and at twice that, for a person to review. Usage: view_gallery <output folder>

#include "ClientCommunications.h"
#include "PageFit.h"
#include "UView.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: view_gallery <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    quell::TClientMain main;
    quell::TFormView view(main);
    view.show();
    auto* pages = view.findChild<QTabWidget*>(QStringLiteral("PageControl"));
    for (int scale : {1, 2}) {
        for (int index = 0; index < pages->count(); ++index) {
            pages->setCurrentIndex(index);
            quell::testing::FitPage(view, QSize(912, 393) * scale);
            const QString name = QStringLiteral("view-%1-x%2.png")
                                     .arg(pages->widget(index)->objectName())
                                     .arg(scale);
            if (!view.grab().save(out.filePath(name))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(name)));
                return 1;
            }
        }
    }
    return 0;
}
