#include "app/frmSplash.h"

#include "toolkit/Look.h"
#include "toolkit/Twips.h"
#include "app/Navigator.h"

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

frmSplash::frmSplash(Navigator &navigator)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      pbTaskProgress(nullptr),
      tmrTaskTimer(new QTimer(this)),
      Image1(new QLabel(this)),
      m_navigator(navigator)
{
    initSplashResources();
    setFixedSize(twipsSize(6465, 4965));
    // It has no caption; a screen reader names it after the program.
    setWindowTitle(QStringLiteral("Velmora"));
    setAccessibleName(QStringLiteral("Velmora"));

    Image1->setGeometry(twipsRect(0, 0, 6465, 4965));
    // Read on a second thread while the window is made and mapped; the label
    // gets it before the first frame is drawn (eventFilter).
    m_picture = std::async(std::launch::async, readSplashPicture);

    // Created after the picture so that it is drawn above it.
    pbTaskProgress = new QProgressBar(this);
    pbTaskProgress->setGeometry(twipsRect(2040, 120, 1455, 135));
    pbTaskProgress->setTextVisible(false);

    // Does not fire until the load step sets its interval.
    tmrTaskTimer->setTimerType(Qt::PreciseTimer);
    connect(tmrTaskTimer, &QTimer::timeout, this, &frmSplash::tmrTaskTimer_Timer);
}

void frmSplash::Form_Load()
{
    // The wait cursor comes once the picture is on the screen (eventFilter).
    pbTaskProgress->setValue(pbTaskProgress->minimum());
    pbTaskProgress->setVisible(true);
    pbTaskProgress->setRange(0, 100);
    // Enabled here; it runs from the moment the picture is on the screen, so
    // the twenty ticks never give less than two seconds of splash.
    tmrTaskTimer->setInterval(100);
    m_timerArmed = true;
}

void frmSplash::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (QWindow *window = windowHandle())
        window->installEventFilter(this);
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && m_picture.valid())
        Image1->setPixmap(QPixmap::fromImage(m_picture.get()));
    if (event->type() == QEvent::Expose && watched == windowHandle() && m_timerArmed
        && windowHandle()->isExposed()) {
        m_timerArmed = false;
        tmrTaskTimer->start();
        // The window paints its first frame and hands it to the display
        // while it handles this event; the wait cursor, slower to load from
        // the cursor theme than that frame is to draw, comes right after.
        watched->event(event);
        setCursor(Qt::WaitCursor);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::tmrTaskTimer_Timer()
{
    // The screens' fonts are set up while the splash shows, not before it:
    // finding Tahoma makes Qt read every font on the system.
    if (pbTaskProgress->value() == pbTaskProgress->minimum())
        look::loadFonts();
    pbTaskProgress->setValue(pbTaskProgress->value() + 5);
    if (pbTaskProgress->maximum() > pbTaskProgress->value())
        return;
    pbTaskProgress->hide();
    m_timerArmed = false;
    tmrTaskTimer->stop();
    unsetCursor();
    FinishSplash();
}

void frmSplash::FinishSplash()
{
    hide();
    // Never shown again: the window stays, its picture need not.
    Image1->clear();
    m_navigator.show(ScreenId::Main);
}

void frmSplash::closeEvent(QCloseEvent *event)
{
    // It cannot be closed or skipped; only the end of the program closes it.
    if (m_navigator.isEnding())
        event->accept();
    else
        event->ignore();
}

}  // namespace velmora
