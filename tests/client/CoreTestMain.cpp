// Runs the link tests with an event loop but no display: a QCoreApplication.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("USER", "operator");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
