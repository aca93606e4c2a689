#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velmora {

namespace {

bool fail(QString *error, const QString &path, const QString &reason)
{
    if (error)
        *error = QStringLiteral("Cannot write \"%1\": %2.").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

}  // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    if (path.isEmpty())
        return fail(error, path, QStringLiteral("no file name was given"));

    // Caught before QSaveFile so that the reason is plain and nothing is
    // created on the way.
    const QFileInfo target(path);
    if (target.isDir())
        return fail(error, path, QStringLiteral("a folder of that name is in the way"));
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists())
        return fail(error, path, QStringLiteral("the folder %1 does not exist")
                                     .arg(QDir::toNativeSeparators(folder.filePath())));
    if (!folder.isDir())
        return fail(error, path, QStringLiteral("%1 is a file, not a folder")
                                     .arg(QDir::toNativeSeparators(folder.filePath())));

    QSaveFile file(path);
    // A writable file in a folder that takes no new files is written in place.
    file.setDirectWriteFallback(true);
    // Unbuffered, so every write reports its own failure: a buffered write
    // that fails only when commit() flushes it (a full disk) is not reported
    // by QSaveFile, which would then put a cut-short file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(error, path, file.errorString());
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();  // the temporary file goes; the old file stays
            return fail(error, path, reason);
        }
        done += written;
    }
    if (!file.commit())
        return fail(error, path, file.errorString());
    return true;
}

}  // namespace velmora
