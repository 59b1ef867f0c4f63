#include "editor/TfrmEditor.h"

#include "base/Folders.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QString qs(const std::string& s) { return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size())); }
std::string ss(const QString& s) { return s.toLocal8Bit().toStdString(); }

/// A sheet of paper with a folded corner and an angle-bracket mark: the dialog's picture.
QPixmap htmlPicture(int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = size / 8.0, fold = size / 4.0;
    const QRectF sheet(m, m / 2, size - 2 * m, size - m);
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - fold, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + fold);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    p.setPen(QPen(QColor(0x44, 0x55, 0x66), 1.5));
    p.setBrush(QColor(0xFF, 0xFD, 0xF5));
    p.drawPath(outline);
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    p.setBrush(QColor(0xDD, 0xE4, 0xEA));
    p.drawPath(corner);
    // Three stripes of colour, as on a page being painted.
    const QColor stripes[] = {QColor(0x33, 0x66, 0x99), QColor(0xFF, 0xCC, 0x00), QColor(0xCC, 0x33, 0x33)};
    const qreal stripeH = size / 16.0;
    for (int i = 0; i < 3; ++i) {
        p.fillRect(QRectF(sheet.left() + m / 2, sheet.top() + fold + m / 2 + i * 1.6 * stripeH,
                          sheet.width() - m - (i == 2 ? fold : 0), stripeH),
                   stripes[i]);
    }
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(size / 4);
    p.setFont(font);
    p.setPen(QColor(0x44, 0x55, 0x66));
    p.drawText(QRectF(sheet.left(), sheet.bottom() - size / 3.0, sheet.width(), size / 3.5),
               Qt::AlignCenter, QStringLiteral("</>"));
    return pixmap;
}

} // namespace

TfrmEditor::TfrmEditor(QWidget* parent, const QString& settingsFolder)
    : QDialog(parent),
      m_list(settingsFolder.isEmpty() ? hw::settingsFolder() : ss(settingsFolder)) {
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(QStringLiteral("Choose HTML Code Editor"));
    setModal(false);
    setWindowModality(Qt::NonModal);
    setFixedSize(426, 149);

    imgHtml = new QLabel(this);
    imgHtml->setObjectName(QStringLiteral("imgHtml"));
    imgHtml->setPixmap(htmlPicture(48, devicePixelRatioF()));
    imgHtml->setFixedSize(48, 48);

    Label1 = new QLabel(QStringLiteral("Select an html editor or text editor from the list below or add a "
                                       "new editor from your computer to the list."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    lblEditor = new QLabel(QStringLiteral("HTML Editor:"), this);
    lblEditor->setObjectName(QStringLiteral("lblEditor"));

    comboEditor = new QComboBox(this);
    comboEditor->setObjectName(QStringLiteral("comboEditor"));
    comboEditor->setEditable(false);
    // Long program paths must not widen the fixed-size dialog.
    comboEditor->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comboEditor->setMinimumContentsLength(20);
    lblEditor->setBuddy(comboEditor);

    btnAdd = new QPushButton(QStringLiteral("Add"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnRemove = new QPushButton(QStringLiteral("Remove"), this);
    btnRemove->setObjectName(QStringLiteral("btnRemove"));
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* right = new QVBoxLayout;
    right->addWidget(Label1);
    auto* row = new QHBoxLayout;
    row->addWidget(lblEditor);
    row->addWidget(comboEditor, 1);
    right->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnAdd);
    buttons->addWidget(btnRemove);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    right->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(imgHtml, 0, Qt::AlignTop);
    top->addLayout(right, 1);

    // The chooser lists only programs: directories to move through and executable files.
    dlgChooseEditor = new QFileDialog(this, QStringLiteral("Choose HTML Code Editor"));
    dlgChooseEditor->setObjectName(QStringLiteral("dlgChooseEditor"));
    dlgChooseEditor->setOption(QFileDialog::DontUseNativeDialog, true);
    dlgChooseEditor->setAcceptMode(QFileDialog::AcceptOpen);
    dlgChooseEditor->setFileMode(QFileDialog::ExistingFile);
    dlgChooseEditor->setNameFilter(QStringLiteral("HTML Editor (*)"));
    dlgChooseEditor->setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDot);
    dlgChooseEditor->setDirectory(QStringLiteral("/usr/bin"));
    connect(dlgChooseEditor, &QFileDialog::fileSelected, this, &TfrmEditor::addEditor);

    connect(btnAdd, &QPushButton::clicked, this, &TfrmEditor::btnAddClick);
    connect(btnRemove, &QPushButton::clicked, this, &TfrmEditor::btnRemoveClick);
    connect(btnOK, &QPushButton::clicked, this, &TfrmEditor::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmEditor::btnCancelClick);
    connect(comboEditor, &QComboBox::currentIndexChanged, this, [this](int index) { m_list.select(index); });
}

QString TfrmEditor::menuCaption() const { return qs(hw::editMenuCaption(ss(m_editorName))); }

QString TfrmEditor::hint() const { return qs(hw::editHint(ss(m_editorName))); }

void TfrmEditor::setUp() {
    const hw::Status saved = m_list.setUp([] { return hw::defaultEditorPath(); });
    fillCombo();
    takeSelected();
    emit editorChanged(menuCaption(), hint());
    if (!saved) warn(QStringLiteral("The editor list could not be saved.\n") + qs(saved.error()));
}

void TfrmEditor::fillCombo() {
    const QSignalBlocker blocker(comboEditor);
    comboEditor->clear();
    for (const auto& item : m_list.items()) comboEditor->addItem(qs(item));
    comboEditor->setCurrentIndex(m_list.selected());
}

void TfrmEditor::takeSelected() {
    m_editorPath = qs(m_list.selectedPath());
    m_editorName = qs(hw::editorName(ss(m_editorPath)));
}

void TfrmEditor::startEditor() {
    if (m_editorPath.isEmpty()) {
        warn(QStringLiteral("No HTML editor has been chosen. Choose one under Edit > Options."));
        return;
    }
    const QString page = m_pageFile ? m_pageFile() : QString();
    QStringList arguments;
    // The page path is one argument, blanks and all.
    if (!page.isEmpty()) arguments << page;
    if (!QProcess::startDetached(m_editorPath, arguments))
        warn(QStringLiteral("The editor %1 could not be started.").arg(m_editorPath));
}

void TfrmEditor::showOptions() {
    if (const QScreen* screen = (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())) {
        const QRect desk = screen->availableGeometry();
        move(desk.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    activateWindow();
    comboEditor->setFocus();
}

void TfrmEditor::btnAddClick() { dlgChooseEditor->open(); }

void TfrmEditor::addEditor(const QString& path) {
    if (path.isEmpty()) return;
    const hw::Status saved = m_list.add(ss(path));
    fillCombo();
    if (!saved) warn(QStringLiteral("The editor list could not be saved.\n") + qs(saved.error()));
}

void TfrmEditor::btnRemoveClick() {
    const hw::Status saved = m_list.removeSelected();
    fillCombo();
    if (!saved) warn(QStringLiteral("The editor list could not be saved.\n") + qs(saved.error()));
}

void TfrmEditor::btnOKClick() {
    // With nothing in the list there is no editor to choose; the dialog stays open so that one
    // can be added, and the editor chosen before stays in use.
    if (m_list.items().empty()) {
        warn(QStringLiteral("The list of HTML editors is empty. Add an editor with the Add button, "
                            "then choose OK."));
        return;
    }
    hide();
    takeSelected();
    startEditor();
    emit editorChanged(menuCaption(), hint());
    if (const hw::Status saved = m_list.saveIndex(); !saved)
        warn(QStringLiteral("The chosen editor could not be saved.\n") + qs(saved.error()));
}

void TfrmEditor::btnCancelClick() { hide(); }

void TfrmEditor::reject() { btnCancelClick(); }

void TfrmEditor::warn(const QString& text) {
    QMessageBox::warning(isVisible() ? static_cast<QWidget*>(this) : parentWidget(), QStringLiteral("Huewright"), text);
}
