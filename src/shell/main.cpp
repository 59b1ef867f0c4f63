// Huewright: paint colour schemes onto your own web pages.

#include "base/Folders.h"
#include "blender/MagickLibrary.h"
#include "shell/Application.h"
#include "shell/TfrmBackDrop.h"
#include "shell/TfrmSplash.h"

#include <QStringList>

#include <memory>

int main(int argc, char** argv) {
    hw::Application::prepareBrowserEnvironment();
    hw::Application app(argc, argv);
    hw::ensureFolders();
    const hw::MagickLibrary magick; // the picture library, for the life of the program

    QStringList args = app.arguments().mid(1);
    const bool splash = !args.removeAll(QStringLiteral("--no-splash")) && qEnvironmentVariableIsEmpty("HUEWRIGHT_NO_SPLASH");

    std::unique_ptr<hw::TfrmSplash> frmSplash;
    if (splash) {
        frmSplash = std::make_unique<hw::TfrmSplash>();
        frmSplash->showNow();
        hw::TfrmSplash::wait(3);
        frmSplash->hide();
    }

    hw::TfrmBackDrop frmBackDrop;
    frmBackDrop.showMaximized();
    frmBackDrop.recogniseCommandLine(args.isEmpty() ? QString() : args.first());
    frmSplash.reset();

    return app.exec();
}
