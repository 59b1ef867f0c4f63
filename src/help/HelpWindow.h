#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <memory>

class QHelpEngine;
class QPushButton;
class QTemporaryDir;
class QTextBrowser;
class QTreeView;

/// The program's help window: the compiled manual (Help/Huewright.qch) with its contents on
/// the left and the topic on the right, opening at the manual's first topic.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    /// Opens the compiled manual and shows its first topic. Returns false, with `errorText()`
    /// saying why, when the file is missing or is no help file.
    bool load(const QString& helpFile);
    QString errorText() const { return m_error; }

    /// The manual's first topic, as a qthelp:// address; empty before a successful load.
    QUrl startPage() const { return m_startPage; }
    QTextBrowser* browser() const { return m_browser; }
    /// The contents list; it is filled in the background after `load`, and
    /// `contentsReady` is sent once it is there.
    QTreeView* contents() const;

    /// The places the manual is looked for, in order: the running program's folder +
    /// "/Help/Huewright.qch", the data folder of an installation beside it
    /// (by default "../share/huewright/Help"), then `installedFolder` (the installed data folder).
    static QStringList helpFileCandidates(const QString& programFolder, const QString& installedFolder);
    /// The first of the candidates that exists, or empty.
    static QString helpFilePath(const QString& programFolder, const QString& installedFolder);
    /// helpFilePath for the running executable and the configured installation folder; it does
    /// not depend on the current directory.
    static QString helpFilePath();
    /// The folder the manual is installed to: <prefix>/share/huewright/Help.
    static QString installedHelpFolder();

public slots:
    void showStartPage();

signals:
    void contentsReady();

private:
    void selectInContents(const QUrl& url);

    std::unique_ptr<QTemporaryDir> m_collectionFolder;
    QHelpEngine* m_engine = nullptr;
    QTextBrowser* m_browser = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QPushButton* m_home = nullptr;
    QUrl m_startPage;
    QString m_error;
};

/// Help > Help Topics (F1): shows the one help window at the manual's first topic, or a message
/// box captioned "Huewright" when the manual cannot be found or opened.
void showHelpTopics(QWidget* parent);
