// The help window on help files of any size or kind, and on pages that name
// pictures outside the help file's folder.

#include "FileTools.h"
#include "core/help/HelpFile.h"
#include "ui/help/HelpWindow.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    // The window says which of these it is; only a help file that is there
    // and is a regular file within the size limit is shown.
    void helpFilesThatCannotBeShown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("missing") << "missing" << "cannot find its help file";
        QTest::newRow("1 GB (sparse)") << "1 GB" << "too large to show: 1.00 GiB";
        QTest::newRow("one byte over the limit") << "over" << "too large to show";
        QTest::newRow("a FIFO in its place") << "fifo" << "which is not a regular file";
        QTest::newRow("at the limit: shown") << "at" << "The help at the limit";
    }

    void helpFilesThatCannotBeShown()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = dir.filePath("Velmora 1_0.HLP");
        if (kind == "1 GB" || kind == "over") {  // sparse
            QVERIFY(writeFile(path, {}) && QFile::resize(path, kind == "1 GB" ? qint64(1) << 30 : maxHelpFileBytes + 1));
        } else if (kind == "at") {
            QByteArray page = "<h1>The help at the limit</h1><!--";
            page += QByteArray(maxHelpFileBytes - page.size() - 3, 'x') + "-->";
            QCOMPARE(page.size(), maxHelpFileBytes);
            QVERIFY(writeFile(path, page));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        }
        QWidget owner;
        HelpWindow window(&owner);
        window.showContents(path);
        QVERIFY(window.isVisible());
        const QString text = window.browser()->toPlainText();
        QVERIFY2(text.contains(said), qPrintable(text));
    }

    // A help page names a picture; only a regular file inside the help
    // file's folder, once links are followed, is loaded. Anything else shows
    // as an empty spot and is never opened.
    void pagesLoadNothingFromOutside_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("a picture beside the help file") << "green.png" << true;
        QTest::newRow("a link beside it to a picture beside it") << "green-link.png" << true;
        QTest::newRow("a picture in a folder below") << "pictures/green.png" << true;
        QTest::newRow("the endless device /dev/zero") << "/dev/zero" << false;
        QTest::newRow("/dev/zero as a URL") << "file:///dev/zero" << false;
        QTest::newRow("a FIFO beside the help file") << "pipe.png" << false;
        QTest::newRow("a FIFO beside it, by its full path") << "HELP/pipe.png" << false;
        QTest::newRow("a picture in the folder above") << "../red.png" << false;
        QTest::newRow("a link beside it leading out") << "red-link.png" << false;
    }

    void pagesLoadNothingFromOutside()
    {
        QFETCH(QString, source);
        QFETCH(bool, loaded);
        QTemporaryDir dir;
        const QString help = dir.filePath("help");
        source.replace("HELP", help);
        QVERIFY(QDir().mkpath(help + "/pictures"));
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QVERIFY(picture.save(help + "/green.png") && picture.save(help + "/pictures/green.png"));
        picture.fill(Qt::red);
        QVERIFY(picture.save(dir.filePath("red.png")));
        QVERIFY(QFile::link("green.png", help + "/green-link.png"));
        QVERIFY(QFile::link("../red.png", help + "/red-link.png"));
        QCOMPARE(::mkfifo(QFile::encodeName(help + "/pipe.png").constData(), 0644), 0);
        QVERIFY(writeFile(help + "/Velmora 1_0.HLP",
                          "<h1>Pictures</h1><p><img src=\"" + source.toUtf8() + "\"></p>"));

        // Whether anyone opens the FIFO for reading: the watch keeps trying
        // to open its writing end, which succeeds only then, and lets such a
        // reader go at once (it reads an end of file).
        std::atomic<bool> fifoOpened{false};
        const std::jthread watch([&fifoOpened, fifo = QFile::encodeName(help + "/pipe.png")](std::stop_token stop) {
            while (!stop.stop_requested()) {
                const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    fifoOpened = true;
                    ::close(fd);
                }
                ::usleep(1000);
            }
        });
        QWidget owner;
        HelpWindow window(&owner);
        withinOneMoreGiB([&] {
            window.showContents(help + "/Velmora 1_0.HLP");
            window.browser()->document()->size();  // laid out: the picture is asked for
        });
        QVERIFY(window.browser()->toPlainText().contains("Pictures"));
        const QVariant shown = window.browser()->document()->resource(QTextDocument::ImageResource, QUrl(source));
        QImage image = qvariant_cast<QImage>(shown);
        if (image.isNull())
            image = QImage::fromData(shown.toByteArray());
        if (loaded) {
            QCOMPARE(image.size(), QSize(4, 4));
            QCOMPARE(image.pixelColor(1, 1), QColor(Qt::green));
        } else {
            // Not a byte of the file: an empty spot.
            QVERIFY2(shown.toByteArray().isEmpty(), "the file's bytes were loaded");
            QVERIFY2(image.isNull() || image.pixelColor(0, 0).alpha() == 0,
                     qPrintable(QString("a %1x%2 picture was loaded").arg(image.width()).arg(image.height())));
        }
        QVERIFY2(!fifoOpened, "the FIFO was opened");
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
