#pragma once

#include <QImage>
#include <QWidget>

#include <future>

class QLabel;
class QProgressBar;
class QTimer;

namespace velmora {

class Navigator;
// The start-up picture with its progress bar. It takes no input: twenty ticks
// of 100 ms fill the bar, then it hides and the main screen is shown.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(Navigator &navigator);

    void load();
    // One step of the bar; the timer calls it every 100 ms, and the last of
    // twenty hands over to the main screen.
    void tick();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QProgressBar *progressBar;
    QTimer *timer;
    QLabel *picture;

    void finish();

    Navigator &m_navigator;
    std::future<QImage> m_picture;
    bool m_timerArmed = false;
};

}  // namespace velmora
