#include "shell/TfrmSplash.h"

#include <QApplication>
#include <QPainter>

#include <ctime>
#include <thread>

static void initialiseSplashResources() { Q_INIT_RESOURCE(huewright); }

namespace hw {

namespace {

// The picture has transparent parts, which show the window's white, not the desktop.
QPixmap splashPicture() {
    initialiseSplashResources();
    QPixmap picture(374, 191);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.drawPixmap(0, 0, QPixmap(QStringLiteral(":/images/splash.png")));
    return picture;
}

} // namespace

TfrmSplash::TfrmSplash() : QSplashScreen(splashPicture(), Qt::WindowStaysOnTopHint) {}

void TfrmSplash::showNow() {
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmSplash::wait(int seconds) {
    const std::time_t start = std::time(nullptr);
    while (std::time(nullptr) < start + seconds) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

} // namespace hw
