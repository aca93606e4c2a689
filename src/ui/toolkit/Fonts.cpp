#include "ui/toolkit/Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QString>

namespace velmora::look {

namespace {

// Only the regular face: fonts-wine's bold Tahoma is drawn barely heavier
// than the regular one, so bold headings would not look bold. Without a bold
// face Qt emboldens the regular one, which reads as bold.
const char *const tahomaFile = "/usr/share/wine/fonts/tahoma.ttf";

}  // namespace

void loadFonts()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    if (QFile::exists(QString::fromLatin1(tahomaFile)))
        QFontDatabase::addApplicationFont(QString::fromLatin1(tahomaFile));
}

QFont screenFont()
{
    static const bool loaded = (loadFonts(), true);
    Q_UNUSED(loaded);
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

}  // namespace velmora::look
