#pragma once

#include <QApplication>

namespace hw {

/// The application object. An exception that reaches the event loop is shown in a message box
/// captioned "Huewright" and the loop goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    /// Prepares the process for the embedded browser: the page scheme, and the sandbox and GPU
    /// switches that root and Xvfb need. Call before the application object exists.
    static void prepareBrowserEnvironment();
};

/// Shows an exception's text to the user.
void showException(const char* what);

} // namespace hw
