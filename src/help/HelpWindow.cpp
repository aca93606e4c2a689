#include "help/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace velmora {

namespace {
// A help file is a few dozen kilobytes; anything far larger is not ours.
constexpr qint64 maxHelpFileBytes = 4 * 1024 * 1024;
}

HelpWindow::HelpWindow(QWidget *owner)
    : QWidget(owner, Qt::Window), m_browser(new QTextBrowser(this))
{
    setWindowTitle(tr("Velmora Help"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    resize(620, 520);
}

void HelpWindow::showContents(const QString &helpFilePath)
{
    const QFileInfo info(helpFilePath);
    QFile file(helpFilePath);
    if (info.isFile() && info.size() <= maxHelpFileBytes && file.open(QIODevice::ReadOnly)) {
        m_browser->setSearchPaths({info.absolutePath()});
        m_browser->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        m_browser->setHtml(
            tr("<h3>Help is not available</h3><p>Velmora cannot find its help file:</p>"
               "<p><tt>%1</tt></p><p>It belongs in the folder of the program. "
               "Reinstalling Velmora puts it back.</p>")
                .arg(QDir::toNativeSeparators(helpFilePath).toHtmlEscaped()));
    }
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->ensureCursorVisible();
    if (!isVisible()) {
        if (QWidget *owner = parentWidget()) {
            QRect r = geometry();
            r.moveCenter(owner->frameGeometry().center());
            move(r.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
}

}  // namespace velmora
