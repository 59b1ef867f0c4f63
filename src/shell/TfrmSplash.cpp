#include "shell/TfrmSplash.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <ctime>
#include <thread>

static void initialiseSplashResources() { Q_INIT_RESOURCE(huewright); }

namespace hw {

TfrmSplash::TfrmSplash() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen) {
    initialiseSplashResources();
    setFixedSize(374, 191);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/splash.png")));
    picture->setAlignment(Qt::AlignCenter);
    picture->setGeometry(0, 0, 374, 191);
    if (auto* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

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
