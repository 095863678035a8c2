// The start of a benchmark that runs the program's windows or reports:
// offscreen unless a platform is named, a settings folder of its own that
// goes at the end, and the program's application object, set up as the
// program sets up its own.
#pragma once

#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "widgets/Application.h"

class BenchApp {
public:
    BenchApp(int& argc, char** argv)
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("XDG_CONFIG_HOME", home_.path().toUtf8());
        app_ = std::make_unique<NyilvexApplication>(argc, argv);
        SetupApplication(*app_);
    }

private:
    QTemporaryDir home_;
    std::unique_ptr<NyilvexApplication> app_;
};

// The rounds that the first argument asks for, at least one; `fallback`
// without it.
inline int BenchRounds(int argc, char** argv, int fallback)
{
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}
