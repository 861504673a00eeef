// main() of the GoogleTest executables: a Qt application object (offscreen) and a private
// application directory for the whole process, so parallel test processes never share files.
#include <gtest/gtest.h>

#include <QApplication>

#include "testappdir.h"

int main(int argc, char** argv)
{
    TestAppDir appDir;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
