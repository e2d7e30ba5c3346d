// Runs the view tests headless: a QApplication on the offscreen platform, with a screen the
// size of a station's.

#include "tests/support/StationScreen.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const quell::StationScreen screen;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
