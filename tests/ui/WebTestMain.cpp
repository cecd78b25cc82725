// main of the tests that show web pages: Qt WebEngine wants shared OpenGL contexts before the
// application object exists.
#include "TestHome.h"

#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleMock(&argc, argv);
    TestHome home;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
