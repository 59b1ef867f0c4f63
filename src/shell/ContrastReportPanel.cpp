#include "shell/ContrastReportPanel.h"

#include "base/Files.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace hw {

namespace {

enum Column { Element, TextColour, Background, SizeWeight, Ratio, Lc, AA, AAA, ColumnCount };

QIcon chip(TColor c) {
    QPixmap p(14, 14);
    p.fill(QColor(redOf(c), greenOf(c), blueOf(c)));
    QPainter painter(&p);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(p);
}

QTableWidgetItem* item(const QString& text) {
    auto* i = new QTableWidgetItem(text);
    i->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return i;
}

QTableWidgetItem* verdictItem(const ContrastRow& row, bool passes) {
    if (!row.background) return item(QStringLiteral("by eye"));
    auto* i = item(passes ? QStringLiteral("pass") : QStringLiteral("fail"));
    if (!passes) {
        i->setForeground(QColor(0xB0, 0, 0));
        QFont f = i->font();
        f.setBold(true);
        i->setFont(f);
    }
    return i;
}

QString number(double v, int decimals) { return QString::number(v, 'f', decimals); }

} // namespace

ContrastReportPanel::ContrastReportPanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("frmContrastReport"));
    setWindowTitle(QStringLiteral("Contrast Report"));
    resize(760, 420);
    auto* column = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblContrastSummary"));
    m_summary->setWordWrap(true);
    column->addWidget(m_summary);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("tblContrast"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Element"), QStringLiteral("Text"), QStringLiteral("Background"),
                                        QStringLiteral("Size / weight"), QStringLiteral("Ratio"), QStringLiteral("Lc"),
                                        QStringLiteral("AA"), QStringLiteral("AAA")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setSectionResizeMode(Element, QHeaderView::Stretch);
    m_table->setWordWrap(false);
    column->addWidget(m_table, 1);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { chooseRow(row); });
    connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous && row >= 0) chooseRow(row);
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_saveCsv = new QPushButton(QStringLiteral("Save as &CSV..."), this);
    m_saveCsv->setObjectName(QStringLiteral("btnSaveCsv"));
    m_saveHtml = new QPushButton(QStringLiteral("Save as &HTML..."), this);
    m_saveHtml->setObjectName(QStringLiteral("btnSaveHtml"));
    buttons->addWidget(m_saveCsv);
    buttons->addWidget(m_saveHtml);
    column->addLayout(buttons);
    connect(m_saveCsv, &QPushButton::clicked, this, &ContrastReportPanel::saveAsCsv);
    connect(m_saveHtml, &QPushButton::clicked, this, &ContrastReportPanel::saveAsHtml);
    showNothing();
}

void ContrastReportPanel::showRows(std::vector<ContrastRow> rows, bool truncated, const QString& pageName,
                                   const QString& folder, bool keepChoice) {
    m_rows = std::move(rows);
    m_pageName = pageName;
    m_folder = folder;
    if (!keepChoice) m_chosenKey.clear();
    int aa = 0, aaa = 0, eye = 0;
    for (const ContrastRow& r : m_rows) {
        switch (standingOf(r)) {
        case ContrastStanding::FailsAA: ++aa; break;
        case ContrastStanding::FailsAAA: ++aaa; break;
        case ContrastStanding::ByEye: ++eye; break;
        case ContrastStanding::Passes: break;
        }
    }
    QString summary = QStringLiteral("<b>%1</b>: %2.").arg(pageName.toHtmlEscaped(),
                                                           QString::fromStdString(aaFailureText(aa)));
    if (aaa) summary += QStringLiteral(" %1 more pass AA but not AAA.").arg(aaa);
    if (eye) summary += QStringLiteral(" %1 over a picture: check by eye.").arg(eye);
    summary += QStringLiteral(" %1 texts in all%2.").arg(m_rows.size()).arg(truncated ? QStringLiteral(" (the first ones only)") : QString());
    m_summary->setText(summary);
    m_saveCsv->setEnabled(true);
    m_saveHtml->setEnabled(true);
    fill();
}

void ContrastReportPanel::showNothing() {
    m_rows.clear();
    m_chosenKey.clear();
    m_summary->setText(QStringLiteral("No texts to judge: open a web page or a web scheme to see the contrast of its "
                                      "texts."));
    m_saveCsv->setEnabled(false);
    m_saveHtml->setEnabled(false);
    fill();
}

void ContrastReportPanel::fill() {
    const QSignalBlocker block(m_table);
    // Columns are fitted once at the end: fitted after every cell, a page of thousands of
    // texts would take minutes.
    m_table->setUpdatesEnabled(false);
    m_table->clearContents();
    m_table->setRowCount(static_cast<int>(m_rows.size()));
    int chosen = -1;
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        const ContrastRow& r = m_rows[static_cast<std::size_t>(i)];
        const QString where = r.frame > 0 ? QStringLiteral("frame %1: ").arg(r.frame) : QString();
        m_table->setItem(i, Element, item(where + QString::fromStdString(r.description())));
        auto* ink = item(QString::fromStdString(hexOf(r.textColour)));
        ink->setIcon(chip(r.textColour));
        m_table->setItem(i, TextColour, ink);
        auto* back = item(r.background ? QString::fromStdString(hexOf(*r.background))
                                       : QStringLiteral("over a picture, check by eye"));
        if (r.background) back->setIcon(chip(*r.background));
        m_table->setItem(i, Background, back);
        m_table->setItem(i, SizeWeight,
                         item(QStringLiteral("%1 px / %2").arg(QLocale::c().toString(r.fontSizePx, 'g', 4)).arg(r.fontWeight)));
        m_table->setItem(i, Ratio, item(r.background ? QString::fromStdString(ratioText(r.verdict.ratio)) : QString()));
        m_table->setItem(i, Lc, item(r.background ? number(r.verdict.lc, 1) : QString()));
        m_table->setItem(i, AA, verdictItem(r, r.verdict.passesAA));
        m_table->setItem(i, AAA, verdictItem(r, r.verdict.passesAAA));
        if (!m_chosenKey.isEmpty() && QString::fromStdString(r.key()) == m_chosenKey) chosen = i;
    }
    for (int c = TextColour; c < ColumnCount; ++c) m_table->resizeColumnToContents(c);
    m_table->setUpdatesEnabled(true);
    if (chosen >= 0) m_table->selectRow(chosen);
    else if (!m_chosenKey.isEmpty()) {
        // The chosen element no longer shows text: its outline goes too.
        m_chosenKey.clear();
        emit elementChosen(-1, QString());
    }
}

void ContrastReportPanel::chooseRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    const ContrastRow& r = m_rows[static_cast<std::size_t>(row)];
    m_chosenKey = QString::fromStdString(r.key());
    emit elementChosen(r.frame, QString::fromStdString(r.path));
}

void ContrastReportPanel::saveAsCsv() {
    save(QStringLiteral("csv"), QStringLiteral("CSV Files (*.csv)"), contrastCsv(m_rows));
}

void ContrastReportPanel::saveAsHtml() {
    save(QStringLiteral("html"), QStringLiteral("HTML Files (*.html *.htm)"),
         contrastHtml(m_rows, m_pageName.toStdString()));
}

void ContrastReportPanel::save(const QString& suffix, const QString& filter, const std::string& text) {
    const QString base = QFileInfo(m_pageName).completeBaseName();
    const QString suggested =
        QDir(m_folder.isEmpty() ? QDir::homePath() : m_folder)
            .filePath((base.isEmpty() ? QStringLiteral("page") : base) + QStringLiteral("-contrast.") + suffix);
    const QString path = saveFileOverride ? saveFileOverride(suggested, filter)
                                          : QFileDialog::getSaveFileName(this, QStringLiteral("Save Contrast Report"),
                                                                         suggested, filter);
    if (path.isEmpty()) return;
    const Status written = writeFileAtomic(QFile::encodeName(path).toStdString(), text);
    if (written.ok()) return;
    const QString message = QString::fromStdString(written.error());
    if (warningOverride) warningOverride(message);
    else QMessageBox::warning(this, QStringLiteral("Huewright"), message);
}

void ContrastReportPanel::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    // The main window takes the outline off; a report opened again starts with no choice.
    m_chosenKey.clear();
    emit closed();
}

} // namespace hw
