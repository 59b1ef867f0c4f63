#pragma once

#include "engine/ContrastReport.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace hw {

/// View > Contrast Report: every text of the page on show with its colours, size, ratio, Lc and
/// WCAG verdicts, failures first. Choosing a row asks for that element to be outlined in the
/// page; the report can be saved as CSV or as an HTML page. It only shows what it is given: the
/// main window collects the page and refreshes it.
class ContrastReportPanel : public QWidget {
    Q_OBJECT
public:
    explicit ContrastReportPanel(QWidget* parent);

    /// Shows a fresh collection of `pageName` (the report files are offered in `folder`). With
    /// `keepChoice` the chosen element stays chosen when it is still listed (after a paint);
    /// without, nothing is chosen (a new document has no outline).
    void showRows(std::vector<ContrastRow> rows, bool truncated, const QString& pageName, const QString& folder,
                  bool keepChoice);
    /// No page on show, or none that could be read: an empty report saying so.
    void showNothing();

    const std::vector<ContrastRow>& rows() const { return m_rows; }
    QTableWidget* table() const { return m_table; }

    /// Stands in for the save dialog in tests: given the suggested path and the filter, the
    /// chosen path or empty.
    std::function<QString(const QString& suggested, const QString& filter)> saveFileOverride;
    /// Stands in for the message box of a failed save in tests.
    std::function<void(const QString&)> warningOverride;

    void saveAsCsv();
    void saveAsHtml();

signals:
    /// The user chose the element at `path` of frame `frame`; frame -1 when the choice went.
    void elementChosen(int frame, const QString& path);
    /// The report window was closed.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void fill();
    void chooseRow(int row);
    void save(const QString& suffix, const QString& filter, const std::string& text);

    std::vector<ContrastRow> m_rows;
    QString m_pageName;
    QString m_folder;
    QString m_chosenKey;
    QLabel* m_summary;
    QTableWidget* m_table;
    QPushButton* m_saveCsv;
    QPushButton* m_saveHtml;
};

} // namespace hw
