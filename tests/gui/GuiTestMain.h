#pragma once

// A main for Qt Test executables that drive the real browser: the page scheme must be
// registered before the application object exists.

#include "base/Folders.h"
#include "blender/MagickLibrary.h"
#include "shell/Application.h"

#include <QTest>

#define HW_GUI_TEST_MAIN(TestClass)                                                                                  \
    int main(int argc, char** argv) {                                                                               \
        hw::Application::prepareBrowserEnvironment();                                                              \
        hw::Application app(argc, argv);                                                                           \
        hw::ensureFolders();                                                                                        \
        const hw::MagickLibrary magick;                                                                             \
        TestClass test;                                                                                             \
        return QTest::qExec(&test, argc, argv);                                                                     \
    }
