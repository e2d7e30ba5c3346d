// The database window's tests on the offscreen platform; the private PostgreSQL server some
// tests start is stopped before the program ends.

#include "tests/database/PostgresServer.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    quell::testsupport::PostgresServer::releaseShared();
    return status;
}
