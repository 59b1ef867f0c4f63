#include "shell/Application.h"

#include "shell/PageSchemeHandler.h"
#include "shell/UndoKeyFilter.h"

#include <QIcon>
#include <QMessageBox>

#include <exception>
#include <unistd.h>

namespace hw {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // No display name: Qt would append it to every window title, and the main window's caption
    // already starts with the program's name.
    setApplicationName(QStringLiteral("Huewright"));
    // The desktop matches the windows to the installed launcher by this id (the Wayland app id),
    // and takes the launcher's icon from there. The same icon is set on the windows too, so a
    // program run from its build folder, with nothing installed, shows it as well.
    setDesktopFileName(QStringLiteral("io.github.huewright.Huewright"));
    setWindowIcon(QIcon::fromTheme(desktopFileName(), QIcon(QStringLiteral(":/images/huewright.png"))));
    installEventFilter(new UndoKeyFilter(this));
}

void showException(const char* what) {
    QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Huewright"), QString::fromLocal8Bit(what));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e.what());
    } catch (...) {
        showException("An unexpected error occurred.");
    }
    return false;
}

void Application::prepareBrowserEnvironment() {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    for (const char* flag : {"--disable-gpu", "--disable-background-networking", "--disable-component-update"})
        if (!flags.contains(flag)) flags += QByteArray(" ") + flag;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
    PageSchemeHandler::registerScheme();
}

} // namespace hw
