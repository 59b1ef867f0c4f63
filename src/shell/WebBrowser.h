#pragma once

#include "colour/VisionSimulation.h"

#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>
#include <memory>

class QPrinter;

namespace hw {

class PageSchemeHandler;
class ProgramPage;

/// The embedded browser `WebBrowser1`. It shows working copies through the program's page
/// scheme, gives every frame the cookie bridge, and raises `commandStateChange` after each
/// cookie a page writes (the program's signal that the page may have been painted).
class WebBrowser : public QWebEngineView {
    Q_OBJECT
public:
    explicit WebBrowser(QWidget* parent = nullptr);
    ~WebBrowser() override;

    /// Shows a local file (a working copy) or "about:blank".
    void Navigate(const QString& pathOrBlank);
    /// Shows a page of the program's own (its start page), given as text.
    void showText(const QString& html);
    /// The local path of the document on show, or empty.
    QString currentPath() const;

    /// Runs a script in the page's main frame; `done` gets its result.
    void runScript(const QString& script, const std::function<void(const QVariant&)>& done = {});

    /// Shows every document from now on (page view, scheme view, each frame, after loads and
    /// refreshes) as the given colour vision sees it, until normal vision is set again. The
    /// filter is a style sheet the browser adds outside the document's content, so nothing of
    /// it reaches a file, and clicks still reach the element under the pointer.
    void setVision(VisionKind kind);
    VisionKind vision() const { return m_vision; }

    /// The print dialog for the page on show.
    void printPage();
    /// The page setup dialog.
    void pageSetup();

    PageSchemeHandler* schemeHandler() const { return m_handler; }

signals:
    /// The main frame has finished loading a document.
    void documentComplete();
    /// A page has changed its cookie (painting, undo, a picture pick).
    void commandStateChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QPrinter* printer();
    QWidget* m_filtered = nullptr;
    VisionKind m_vision = VisionKind::Normal;

    PageSchemeHandler* m_handler;
    ProgramPage* m_page;
    std::unique_ptr<QPrinter> m_printer; // kept, so the page setup applies to the next print
};

} // namespace hw
