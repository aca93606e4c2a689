#include "ui/help/HelpWindow.h"

#include "core/help/HelpFile.h"
#include "core/text/BoundedFile.h"
#include "ui/toolkit/Placement.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

namespace velmora {

HelpBrowser::HelpBrowser(QWidget *parent) : QTextBrowser(parent) {}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    QUrl url = name;
    if (url.isRelative()) {
        const QUrl page = source().isValid() && source().isLocalFile()
                              ? source()
                              : QUrl::fromLocalFile(m_folder + QLatin1Char('/'));
        url = page.resolved(name);
    }
    std::optional<QByteArray> bytes;
    if (url.isLocalFile() && !m_folder.isEmpty())
        bytes = readHelpResource(m_folder, url.toLocalFile());
    // What is refused is answered all the same: for an answer of nothing,
    // Qt would open the name itself.
    switch (type) {
    case QTextDocument::ImageResource: {
        QImage picture = bytes ? QImage::fromData(*bytes) : QImage();
        if (picture.isNull()) {
            picture = QImage(1, 1, QImage::Format_ARGB32);
            picture.fill(Qt::transparent);
        }
        return picture;
    }
    case QTextDocument::HtmlResource:
        if (bytes)
            return *bytes;
        return tr("<p>This page is not part of Velmora's help.</p>");
    default:
        return bytes ? *bytes : QByteArray("");
    }
}

HelpWindow::HelpWindow(QWidget *owner)
    : QWidget(owner, Qt::Window), m_browser(new HelpBrowser(this))
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
    const BoundedFile file = readBoundedFile(helpFilePath, maxHelpFileBytes);
    const QString shownPath = QDir::toNativeSeparators(helpFilePath).toHtmlEscaped();
    const QString notAvailable = tr("<h3>Help is not available</h3>");
    switch (file.outcome) {
    case BoundedFile::Outcome::Read:
        m_browser->setHelpFolder(QFileInfo(helpFilePath).absolutePath());
        m_browser->setHtml(QString::fromUtf8(file.bytes));
        break;
    case BoundedFile::Outcome::Missing:
        m_browser->setHtml(notAvailable
                           + tr("<p>Velmora cannot find its help file:</p>"
                                "<p><tt>%1</tt></p><p>It belongs in the folder of the program. "
                                "Reinstalling Velmora puts it back.</p>")
                                 .arg(shownPath));
        break;
    case BoundedFile::Outcome::TooLarge:
        m_browser->setHtml(notAvailable
                           + tr("<p>Velmora's help file is too large to show: %1, where a help "
                                "file has at most %2.</p><p><tt>%3</tt></p><p>Reinstalling "
                                "Velmora puts the right one back.</p>")
                                 .arg(QLocale().formattedDataSize(file.size),
                                      QLocale().formattedDataSize(maxHelpFileBytes), shownPath));
        break;
    case BoundedFile::Outcome::NotAFile:
    case BoundedFile::Outcome::Unreadable:
        m_browser->setHtml(notAvailable
                           + tr("<p>Velmora cannot read its help file%1:</p><p><tt>%2</tt></p>"
                                "<p>Reinstalling Velmora puts it back.</p>")
                                 .arg(file.outcome == BoundedFile::Outcome::NotAFile
                                          ? tr(", which is not a regular file")
                                          : QStringLiteral(" (%1)").arg(file.reason.toHtmlEscaped()),
                                      shownPath));
        break;
    }
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->ensureCursorVisible();
    if (!isVisible()) {
        // Over the main window, and never past the screen's edge: on a small
        // screen the window is made smaller to fit.
        if (const QScreen *screen = this->screen()) {
            const QSize room = screen->availableGeometry().size() - QSize(40, 60);
            resize(size().boundedTo(room));
        }
        if (QWidget *owner = parentWidget()) {
            QRect r = geometry();
            r.moveCenter(owner->frameGeometry().center());
            move(r.topLeft());
        }
        look::keepOnScreen(this);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace velmora
