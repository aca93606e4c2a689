#include "ui/app/SplashScreen.h"

#include "ui/toolkit/Fonts.h"
#include "ui/toolkit/Twips.h"
#include "ui/app/Navigator.h"

#include <QCloseEvent>
#include <QImageReader>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QWindow>

// The picture lives in a resource of a static library, which must be
// initialised by name outside any namespace.
static void initSplashResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora {

namespace {

// Read by Qt's own BMP reader. Naming the format, and only it, keeps Qt from
// loading every image plugin on the system to ask whether it knows the file.
// Converted to the screen's pixel format here, so that the pixmap made from
// it on the GUI thread is not copied again.
QImage readSplashPicture()
{
    QImageReader reader(QStringLiteral(":/splash.bmp"), "bmp");
    reader.setAutoDetectImageFormat(false);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

SplashScreen::SplashScreen(Navigator &navigator)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      progressBar(nullptr),
      timer(new QTimer(this)),
      picture(new QLabel(this)),
      m_navigator(navigator)
{
    initSplashResources();
    setFixedSize(twipsSize(6465, 4965));
    // It has no caption; a screen reader names it after the program.
    setWindowTitle(QStringLiteral("Velmora"));
    setAccessibleName(QStringLiteral("Velmora"));

    picture->setGeometry(twipsRect(0, 0, 6465, 4965));
    // Read on a second thread while the window is made and mapped; the label
    // gets it before the first frame is drawn (eventFilter).
    m_picture = std::async(std::launch::async, readSplashPicture);

    // Created after the picture so that it is drawn above it.
    progressBar = new QProgressBar(this);
    progressBar->setGeometry(twipsRect(2040, 120, 1455, 135));
    progressBar->setTextVisible(false);

    // Does not fire until the load step sets its interval.
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &SplashScreen::tick);
}

void SplashScreen::load()
{
    // The wait cursor comes once the picture is on the screen (eventFilter).
    progressBar->setValue(progressBar->minimum());
    progressBar->setVisible(true);
    progressBar->setRange(0, 100);
    // Enabled here; it runs from the moment the picture is on the screen, so
    // the twenty ticks never give less than two seconds of splash.
    timer->setInterval(100);
    m_timerArmed = true;
}

void SplashScreen::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (QWindow *window = windowHandle())
        window->installEventFilter(this);
}

bool SplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && m_picture.valid())
        picture->setPixmap(QPixmap::fromImage(m_picture.get()));
    if (event->type() == QEvent::Expose && watched == windowHandle() && m_timerArmed
        && windowHandle()->isExposed()) {
        m_timerArmed = false;
        timer->start();
        // The window paints its first frame and hands it to the display
        // while it handles this event; the wait cursor, slower to load from
        // the cursor theme than that frame is to draw, comes right after.
        watched->event(event);
        setCursor(Qt::WaitCursor);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashScreen::tick()
{
    // The screens' fonts are set up while the splash shows, not before it:
    // finding Tahoma makes Qt read every font on the system.
    if (progressBar->value() == progressBar->minimum())
        look::loadFonts();
    progressBar->setValue(progressBar->value() + 5);
    if (progressBar->maximum() > progressBar->value())
        return;
    progressBar->hide();
    m_timerArmed = false;
    timer->stop();
    unsetCursor();
    finish();
}

void SplashScreen::finish()
{
    hide();
    // Never shown again: the window stays, its picture need not.
    picture->clear();
    m_navigator.show(ScreenId::Main);
}

void SplashScreen::closeEvent(QCloseEvent *event)
{
    // It cannot be closed or skipped; only the end of the program closes it.
    if (m_navigator.isEnding())
        event->accept();
    else
        event->ignore();
}

}  // namespace velmora
