#pragma once

// Helpers of the tests that run quellcal as a program: start it headless, write its settings,
// read the summary a headless run prints.

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace quell {

// quellcal started headless in a folder of its own.
inline void startQuellcal(QProcess& program, const QString& folder, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUELL_NONINTERACTIVE", "1");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(folder);
    program.start(QUELLCAL_PATH, arguments);
}

// Settings that start nothing by themselves and point the link at a port on this machine.
inline QString writeSettings(const QString& folder, int port)
{
    const QString file = QDir(folder).filePath("station.cli");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {};
    out.write(QStringLiteral("[Socket]\nHost=127.0.0.1\nPort=%1\n[Comm]\nMaxPacket=8\n"
                             "[Protocol]\nFile=%2/vrq-pb.var\nAddress=1\n[Action]\nStart=0\n")
                  .arg(port)
                  .arg(QUELL_EXAMPLES_DIR)
                  .toUtf8());
    return file;
}

// The summary a run printed: exactly one line on standard output, one JSON object.
inline QJsonObject summaryOf(const QByteArray& out)
{
    EXPECT_EQ(out.count('\n'), 1) << out.toStdString();
    EXPECT_TRUE(out.endsWith('\n'));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out.toStdString();
    return document.object();
}

} // namespace quell
