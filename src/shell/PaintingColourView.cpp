#include "shell/PaintingColourView.h"

#include "base/Folders.h"
#include "colour/SwatchBookJs.h"
#include "colour/TColor.h"

#include <QColor>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>

namespace hw {

const char* const PaintingColourView::noColour = "No painting colour chosen";

PaintingColourView::PaintingColourView(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_swatch = new QLabel(this);
    m_swatch->setObjectName(QStringLiteral("lblPaintingSwatch"));
    m_swatch->setFixedSize(24, 13);
    m_code = new QLabel(this);
    m_code->setObjectName(QStringLiteral("lblPaintingColour"));
    m_code->setMinimumWidth(150);
    row->addWidget(m_swatch);
    row->addWidget(m_code);

    // Every writer replaces the file in the Temp folder, and it is removed at close: watching
    // the folder sees it come and go, watching the file sees it rewritten in place.
    m_watcher = new QFileSystemWatcher(this);
    m_watcher->addPath(QString::fromStdString(tempFolder()));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &PaintingColourView::showPaintingColour);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &PaintingColourView::showPaintingColour);
    showPaintingColour();
}

void PaintingColourView::showPaintingColour() {
    const QString path = QString::fromStdString(swatchBookJsPath());
    QFile file(path);
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromLatin1(file.read(256));
        if (!m_watcher->files().contains(path)) m_watcher->addPath(path);
    }
    // The page script reads the same two globals: hexCode ('#RRGGBB') and decCode (a TColor).
    static const QRegularExpression hexCode(QStringLiteral("hexCode='#([^']*)'"));
    static const QRegularExpression decCode(QStringLiteral("decCode='([0-9]+)'"));
    const auto hex = hexCode.match(text);
    const auto dec = decCode.match(text);
    if (!hex.hasMatch() || !dec.hasMatch()) {
        m_swatch->hide();
        m_code->setText(QString::fromLatin1(noColour));
        m_code->setToolTip(QString());
        return;
    }
    const TColor c = static_cast<TColor>(dec.captured(1).toUInt());
    const QColor colour(redOf(c), greenOf(c), blueOf(c));
    m_swatch->setStyleSheet(QStringLiteral("background:%1;border:1px solid #404040;").arg(colour.name()));
    m_swatch->show();
    m_code->setText(QStringLiteral("Painting colour #%1").arg(hex.captured(1)));
    m_code->setToolTip(QStringLiteral("A click on the page paints with this colour"));
}

} // namespace hw
