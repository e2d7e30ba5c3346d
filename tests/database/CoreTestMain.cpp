// The database tests without a display: Qt SQL loads its drivers through the application object.
// The private PostgreSQL server some tests start is stopped before the program ends.

#include "tests/database/PostgresServer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    quell::testsupport::PostgresServer::releaseShared();
    return status;
}
