#include "TestHome.h"

#include <QCoreApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef FERROWYN_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
using TestApplication = QCoreApplication;
#endif

int main(int argc, char* argv[])
{
    ::testing::InitGoogleMock(&argc, argv);
    TestHome home;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
