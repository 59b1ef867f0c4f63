#pragma once

#include "colour/TColor.h"

#include <QCursor>
#include <QFrame>
#include <QString>

#include <functional>

class QLabel;
class QToolButton;

namespace hw {

class Magnifier;

/// The image blender tool panel: a magnifier of the screen around the pointer while the repaint
/// button is dragged, the picked ("old") picture colour and the new colour the picture is to
/// take. The main window owns the recolouring: it answers newColourWanted with the current
/// colour and handles dropped.
class ImageBlenderPanel : public QFrame {
    Q_OBJECT
public:
    explicit ImageBlenderPanel(QWidget* parent = nullptr);

    TColor oldColour() const { return m_oldColour; }
    TColor newColour() const { return m_newColour; }
    QString oldHexCode() const;
    QString newHexCode() const;

    /// Sets the new colour; an empty hex code leaves the panel without one.
    void takeNewColour(TColor colour, const QString& hexCode);
    /// Sets the old colour as a pick of that colour would.
    void takeOldColour(TColor colour);
    /// The main window's fill cursor, shown over the new colour while it has a colour to take.
    void setFillCursor(const QCursor& cursor);
    /// Where plain notices go; a message box captioned "Huewright" unless replaced (tests).
    void setNotifier(std::function<void(const QString&)> notify);

    /// Reads the screen pixel at `globalPos` into the old colour and shows the enlarged
    /// neighbourhood in the magnifier.
    void pickAt(const QPoint& globalPos);

    void IBpnlNewColorClick();
    /// Returns false (and picks nothing) when there is no new colour yet.
    bool IBtbnRepaintMouseDown(const QPoint& globalPos);
    void IBtbnRepaintMouseMove(const QPoint& globalPos);
    void IBtbnRepaintMouseUp(const QPoint& globalPos);

signals:
    /// A click on the new colour: the main window answers with takeNewColour(current colour).
    void newColourWanted();
    /// The repaint drag ended at `globalPos` (screen pixels).
    void dropped(QPoint globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* m_IBpnlHeaderStrip;
    QToolButton* m_IBtbnRepaint;
    QFrame* m_IBpnlBlenderScreen;
    Magnifier* m_IBimgMagnifier;
    QFrame* m_IBpnlOldColor;
    QLabel* m_IBlblOldColorCaption;
    QFrame* m_IBpnlNewColor;
    QLabel* m_IBlblNewColorCaption;

    TColor m_oldColour = clWhite;
    TColor m_newColour = clWhite;
    bool m_dragging = false;
    QCursor m_fillCursor{Qt::PointingHandCursor};
    std::function<void(const QString&)> m_notify;
};

} // namespace hw
