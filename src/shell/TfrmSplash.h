#pragma once

#include <QSplashScreen>

namespace hw {

/// The start-up splash window: 374 x 191, no border, always on top, centred, one picture.
class TfrmSplash : public QSplashScreen {
public:
    TfrmSplash();

    /// Shows and paints the window at once.
    void showNow();
    /// The start-up wait: until the wall clock reads at least `seconds` more whole seconds.
    static void wait(int seconds);
};

} // namespace hw
