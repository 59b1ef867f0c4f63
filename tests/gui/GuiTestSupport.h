#pragma once

// Shared helpers of the tests that run the real main window and browser under Xvfb.

#include "shell/TfrmBackDrop.h"
#include "shell/WebBrowser.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace hw::test {

/// Copies a folder tree (a site of the corpus or the example site) into `target`.
bool copyTree(const QString& from, const QString& target);

/// Runs a script in the browser's main frame and waits for its result.
QVariant evaluate(WebBrowser* browser, const QString& script, int timeoutMs = 10000);

/// Waits until `condition` holds, processing events; false on timeout.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

/// A new main window of `size`, shown and on screen and, with `active`, the active window (the
/// keys of its menu work only then, as for the user); null when it never showed.
TfrmBackDrop* showWindow(QSize size = QSize(1000, 700), bool active = false);

/// Closes a window of showWindow, answering No to any question about unsaved work, deletes it
/// and leaves `window` null.
void closeWindow(TfrmBackDrop*& window);

/// Triggers the window's menu action named `action`; fails the test when it is missing or
/// disabled.
void trigger(TfrmBackDrop& window, const char* action);

/// Sets the painting colour as the swatch panels do (through swatchBook.js).
bool setColour(const char* hex, TColor code);

/// Waits until the change record of the page in `folder` holds `text`.
bool recordHolds(const QString& folder, const QString& text);

/// A browser of its own, outside the program (a profile of its own: no cookie, no page scheme
/// of the program), that opens a page as anyone would and keeps the script errors it meets.
/// With `pageScripts` off, what it shows is what the page's text builds. The test's scripts run
/// in a world of their own.
class PlainBrowser {
public:
    explicit PlainBrowser(bool pageScripts = true);
    ~PlainBrowser();
    bool open(const QString& path);
    QVariant js(const QString& script);
    const QStringList& errors() const;

private:
    class Page;
    QWebEngineProfile m_profile;
    Page* m_page;
    QWebEngineView m_view;
};

/// Opens a page through the command line and waits until its document is complete and the
/// page's own colours have been collected.
bool openPage(TfrmBackDrop& window, const QString& folder, const QString& fileName);

/// The names of the files in `folder` that match a wildcard pattern.
QStringList filesMatching(const QString& folder, const QString& pattern);

/// The text of the cookie store file of `folder` (empty when there is none).
QString cookieFileText(const QString& folder);

/// The value line of the cookie named `name` in the store of `folder`.
QString cookieValue(const QString& folder, const QString& name);

/// The centre of the element with id `id` in view coordinates, in the page itself or, with
/// `frame` >= 0, in that frame of a frameset; (-1, -1) when there is no such element.
QPoint elementCentre(WebBrowser* browser, const QString& id, int frame = -1);

/// Clicks the element with id `id` with real mouse events on the view, with the given button
/// and modifier keys. False when the element is not on show.
bool clickElement(WebBrowser* browser, const QString& id, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier, int frame = -1);

/// A point of the view where the page shows its body itself (no element above it), or (-1, -1).
QPoint bodyPoint(WebBrowser* browser);

} // namespace hw::test
