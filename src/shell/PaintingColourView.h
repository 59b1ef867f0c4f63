#pragma once

#include <QWidget>

class QFileSystemWatcher;
class QLabel;

namespace hw {

/// The painting colour in the status bar: a small swatch with its hex code, or word that none is
/// chosen. It follows the painting colour file whoever writes it.
class PaintingColourView : public QWidget {
public:
    explicit PaintingColourView(QWidget* parent);

    static const char* const noColour;

private:
    /// Reads the painting colour file again; called whenever it or its folder changes.
    void showPaintingColour();

    QLabel* m_swatch = nullptr;
    QLabel* m_code = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;
};

} // namespace hw
