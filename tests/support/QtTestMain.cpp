// Entry point of the test programs that drive windows: a headless Hungarian
// application whose settings live in a temporary folder.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "widgets/Application.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    NyilvexApplication app(argc, argv);
    SetupApplication(app);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
