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

namespace hw::test {

/// Copies a folder tree (a site of the corpus or the example site) into `target`.
bool copyTree(const QString& from, const QString& target);

/// Runs a script in the browser's main frame and waits for its result.
QVariant evaluate(WebBrowser* browser, const QString& script, int timeoutMs = 10000);

/// Waits until `condition` holds, processing events; false on timeout.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 20000);

/// Opens a page through the command line and waits until its document is complete and the
/// page's own colours have been collected.
bool openPage(TfrmBackDrop& window, const QString& folder, const QString& fileName);

/// The names of the files in `folder` that match a wildcard pattern.
QStringList filesMatching(const QString& folder, const QString& pattern);

/// The text of the cookie store file of `folder` (empty when there is none).
QString cookieFileText(const QString& folder);

/// The value line of the cookie named `name` in the store of `folder`.
QString cookieValue(const QString& folder, const QString& name);

} // namespace hw::test
