// The window tests share one application object, created before and destroyed after all tests.

#include "ui/GermanTranslation.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // As in the program: Qt's own texts in German; the window walk fails when they are missing.
    pf::InstallGermanTranslation(application);
    return RUN_ALL_TESTS();
}
