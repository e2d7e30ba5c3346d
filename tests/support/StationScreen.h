#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <unistd.h>

namespace quell {

// The offscreen platform with one screen the size of a station's monitor, for tests and galleries
// that run windows headless. The platform's own screen is 800 x 800, smaller than the view's usual
// size, and windows are fitted to the screen they open on. Make it before the QApplication; the
// description file lives as long as this object (the platform reads it when the application is
// made).
class StationScreen {
public:
    StationScreen()
        : file_(QDir::temp().filePath(QStringLiteral("quell-screen-%1.json").arg(::getpid())))
    {
        QFile json(file_);
        if (json.open(QIODevice::WriteOnly | QIODevice::Truncate))
            json.write(R"({"screens":[{"name":"station","x":0,"y":0,"width":1920,"height":1080,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})");
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(file_));
    }
    ~StationScreen() { QFile::remove(file_); }
    StationScreen(const StationScreen&) = delete;
    StationScreen& operator=(const StationScreen&) = delete;

private:
    QString file_;
};

} // namespace quell
