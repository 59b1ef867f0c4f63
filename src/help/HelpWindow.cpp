#include "help/HelpWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QVBoxLayout>

#ifndef HW_INSTALL_HELP_DIR
#define HW_INSTALL_HELP_DIR "/usr/local/share/huewright/Help"
#endif
#ifndef HW_HELP_FROM_PROGRAM
#define HW_HELP_FROM_PROGRAM "../share/huewright/Help"
#endif

namespace {

const QString kHelpFileName = QStringLiteral("Huewright.qch");
/// The manual's first topic inside the help file's virtual folder (see huewright.qhp).
const QString kStartTopic = QStringLiteral("doc/index.html");

/// A text browser that reads qthelp:// addresses from the help file and hands addresses of the
/// web to the desktop's browser.
class HelpBrowser : public QTextBrowser {
public:
    explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
        setOpenLinks(false);
        connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
            if (url.scheme() == QLatin1String("qthelp") || url.isRelative())
                setSource(url);
            else
                QDesktopServices::openUrl(url);
        });
    }
    void setEngine(QHelpEngineCore* engine) { m_engine = engine; }

protected:
    // Topics are kept under their full qthelp:// address, so that the history, the contents
    // list and the links of the next topic all see the same address.
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override {
        QUrl url = name;
        if (url.isRelative() && source().isValid()) url = source().resolved(url);
        QTextBrowser::doSetSource(url, type);
    }

public:
    QVariant loadResource(int type, const QUrl& name) override {
        if (m_engine && name.scheme() == QLatin1String("qthelp")) {
            const QByteArray data = m_engine->fileData(name);
            if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
                return QString::fromUtf8(data);
            return data;
        }
        return QTextBrowser::loadResource(type, name);
    }

private:
    QHelpEngineCore* m_engine = nullptr;
};

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Huewright Help"));
    resize(960, 680);

    // The help engine keeps its register of help files in a collection file of its own. It is
    // made afresh in a private temporary folder, because the program's folder may not be
    // writable and a collection left from an earlier run may name a help file that has moved.
    m_collectionFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/huewright-help-XXXXXX"));
    const QString collection = m_collectionFolder->isValid()
                                   ? m_collectionFolder->filePath(QStringLiteral("Huewright.qhc"))
                                   : QString();
    m_engine = new QHelpEngine(collection, this);
    m_engine->setReadOnly(false);

    auto* browser = new HelpBrowser(this);
    browser->setEngine(m_engine);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser = browser;

    m_back = new QPushButton(QStringLiteral("Back"), this);
    m_forward = new QPushButton(QStringLiteral("Forward"), this);
    m_home = new QPushButton(QStringLiteral("Contents"), this);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QPushButton::clicked, this, &HelpWindow::showStartPage);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::selectInContents);

    QHelpContentWidget* tree = m_engine->contentWidget();
    tree->setObjectName(QStringLiteral("helpContents"));
    tree->setHeaderHidden(true);
    connect(tree, &QHelpContentWidget::linkActivated, m_browser, [this](const QUrl& url) { m_browser->setSource(url); });
    // One click on a topic opens it, as a link would; the tree's own activation needs two on
    // most desktops.
    connect(tree, &QTreeView::clicked, m_browser, [this](const QModelIndex& index) {
        if (QHelpContentItem* item = m_engine->contentModel()->contentItemAt(index))
            if (item->url().isValid() && item->url() != m_browser->source()) m_browser->setSource(item->url());
    });
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, this, [this] {
        m_engine->contentWidget()->expandAll();
        selectInContents(m_browser->source());
        emit contentsReady();
    });

    auto* splitter = new QSplitter(this);
    splitter->addWidget(tree);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 720});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);
}

HelpWindow::~HelpWindow() = default;

QTreeView* HelpWindow::contents() const { return m_engine->contentWidget(); }

bool HelpWindow::load(const QString& helpFile) {
    m_error.clear();
    if (helpFile.isEmpty() || !QFileInfo(helpFile).isFile()) {
        m_error = QStringLiteral("The help file %1 was not found.").arg(helpFile.isEmpty() ? kHelpFileName : helpFile);
        return false;
    }
    if (!m_collectionFolder->isValid()) {
        m_error = QStringLiteral("The help window could not make its working folder in %1.").arg(QDir::tempPath());
        return false;
    }
    const QString absolute = QFileInfo(helpFile).absoluteFilePath();
    const QString space = QHelpEngineCore::namespaceName(absolute);
    if (space.isEmpty()) {
        m_error = QStringLiteral("The file %1 is not a help file of this program.").arg(absolute);
        return false;
    }
    if (!m_engine->setupData()) {
        m_error = QStringLiteral("The help could not be opened: %1").arg(m_engine->error());
        return false;
    }
    if (m_engine->registeredDocumentations().contains(space)
        && m_engine->documentationFileName(space) != absolute)
        m_engine->unregisterDocumentation(space);
    if (!m_engine->registeredDocumentations().contains(space) && !m_engine->registerDocumentation(absolute)) {
        m_error = QStringLiteral("The help file %1 could not be opened: %2").arg(absolute, m_engine->error());
        return false;
    }
    m_startPage = QUrl(QStringLiteral("qthelp://%1/%2").arg(space, kStartTopic));
    m_engine->contentModel()->createContents(QString());
    showStartPage();
    return true;
}

void HelpWindow::showStartPage() {
    if (m_startPage.isValid()) m_browser->setSource(m_startPage);
}

void HelpWindow::selectInContents(const QUrl& url) {
    QHelpContentWidget* tree = m_engine->contentWidget();
    const QModelIndex index = tree->indexOf(url);
    if (index.isValid()) tree->setCurrentIndex(index);
}

QStringList HelpWindow::helpFileCandidates(const QString& programFolder, const QString& installedFolder) {
    const QDir program(programFolder);
    QStringList candidates{
        QDir::cleanPath(program.filePath(QStringLiteral("Help/") + kHelpFileName)),
        QDir::cleanPath(program.filePath(QStringLiteral(HW_HELP_FROM_PROGRAM "/") + kHelpFileName)),
    };
    if (!installedFolder.isEmpty()) {
        const QString installed = QDir::cleanPath(QDir(installedFolder).filePath(kHelpFileName));
        if (!candidates.contains(installed)) candidates << installed;
    }
    return candidates;
}

QString HelpWindow::helpFilePath(const QString& programFolder, const QString& installedFolder) {
    for (const QString& candidate : helpFileCandidates(programFolder, installedFolder))
        if (QFileInfo(candidate).isFile()) return candidate;
    return {};
}

QString HelpWindow::installedHelpFolder() { return QStringLiteral(HW_INSTALL_HELP_DIR); }

QString HelpWindow::helpFilePath() {
    return helpFilePath(QCoreApplication::applicationDirPath(), installedHelpFolder());
}

void showHelpTopics(QWidget* parent) {
    // One help window for the program's lifetime; it is shown again at the first topic.
    static QPointer<HelpWindow> window;
    const QString file = HelpWindow::helpFilePath();
    if (file.isEmpty()) {
        QMessageBox::warning(parent, QStringLiteral("Huewright"),
                             QStringLiteral("The help file %1 was not found. Huewright looked for it here:\n%2")
                                 .arg(kHelpFileName,
                                      HelpWindow::helpFileCandidates(QCoreApplication::applicationDirPath(),
                                                                     HelpWindow::installedHelpFolder())
                                          .join(QLatin1Char('\n'))));
        return;
    }
    if (!window) window = new HelpWindow(parent);
    if (!window->load(file)) {
        QMessageBox::warning(parent, QStringLiteral("Huewright"), window->errorText());
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}
