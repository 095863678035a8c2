// Entry point of the data-aware control tests: a headless application in the
// program's Hungarian locale.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Hungarian));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
