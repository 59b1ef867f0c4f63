#pragma once

#include "editor/EditorList.h"

#include <QDialog>
#include <QString>
#include <functional>

class QComboBox;
class QFileDialog;
class QLabel;
class QPushButton;

/// "Choose HTML Code Editor": the list of external editors and the chosen one, with which the
/// page being painted is opened ("Edit with" in the Edit menu and the edit tool button).
///
/// The main window creates it once, connects `editorChanged`, hands it the page file source
/// and calls `setUp()`. Its Edit menu items call `startEditor()`; Edit > Options calls
/// `showOptions()`. The dialog never blocks the main window.
class TfrmEditor : public QDialog {
    Q_OBJECT

public:
    /// `settingsFolder` holds "edit.dat" and "editIndex.dat"; empty means hw::settingsFolder().
    explicit TfrmEditor(QWidget* parent = nullptr, const QString& settingsFolder = {});

    /// Where the page file comes from: the file the user opened (not its working copy).
    void setPageFileSource(std::function<QString()> source) { m_pageFile = std::move(source); }

    /// Reads the editor list (setting it up on a first start) and emits `editorChanged`.
    void setUp();

    QString editorPath() const { return m_editorPath; }
    QString editorName() const { return m_editorName; }
    QString menuCaption() const;
    QString hint() const;

    const hw::EditorList& list() const { return m_list; }

    QComboBox* comboEditor = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnRemove = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QFileDialog* dlgChooseEditor = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblEditor = nullptr;
    QLabel* imgHtml = nullptr;

public slots:
    /// Starts the chosen editor with the page file as its one argument, without waiting for it.
    /// A program that cannot be started is reported in a message box.
    void startEditor();
    /// Shows the dialog centred on the desktop and gives it the focus.
    void showOptions();

    void btnAddClick();
    void btnRemoveClick();
    void btnOKClick();
    void btnCancelClick();

signals:
    /// The Edit menu caption ("Edit &with " + name) and the tool button hint ("Edit with " +
    /// name) for the chosen editor; sent after set-up and after OK.
    void editorChanged(const QString& menuCaption, const QString& hint);

protected:
    void reject() override;

private:
    void addEditor(const QString& path);
    void fillCombo();
    void takeSelected();
    void warn(const QString& text);

    hw::EditorList m_list;
    std::function<QString()> m_pageFile;
    QString m_editorPath;
    QString m_editorName;
};
