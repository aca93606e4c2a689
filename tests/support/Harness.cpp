#include "Harness.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>

namespace velmora::test {

GeneralInfoScreen *Harness::start()
{
    navigator->start();
    for (int i = 0; i < 20; ++i)
        navigator->splash()->tick();
    GeneralInfoScreen *m = main();
    if (m)
        (void)QTest::qWaitForWindowExposed(m);
    return m;
}

ProgramInfoScreen *Harness::toProgram()
{
    QTest::mouseClick(nextButton(main()), Qt::LeftButton);
    return program();
}

AuthorScreen *Harness::toAuthor()
{
    QTest::mouseClick(nextButton(toProgram()), Qt::LeftButton);
    return author();
}

PresetsScreen *Harness::toPresets()
{
    constantsAction(main())->trigger();
    return presets();
}

ViewerScreen *Harness::toViewer(const std::optional<QString> &firstOpen)
{
    platform.dialogAnswers = {firstOpen};
    viewAction(main())->trigger();
    return viewer();
}

AuthorScreen *Harness::walkToAuthor()
{
    GeneralInfoScreen *m = main();
    QTest::keyClicks(nameBox(m), "Pixel Pal");
    QTest::keyClicks(versionBox(m), "1.0.0-rc1");
    clickArrow(typeList(m), true);  // Demo
    clickArrow(typeList(m), true);  // Freeware
    doubleClickRow(osList(m), rowOf(osList(m), "Windows 98"));
    doubleClickRow(osList(m), rowOf(osList(m), "Windows XP"));
    ProgramInfoScreen *p = toProgram();
    typeLines(descriptionBox(p), {"Draws pixels.", "Saves them too."});
    typeLines(instructionsBox(p), {"Run it."});
    typeLines(featuresBox(p), {"Fast"});
    typeLines(newAdditionsBox(p), {"Undo"});
    QTest::mouseClick(nextButton(p), Qt::LeftButton);
    return author();
}

QByteArray Harness::createFile(const QString &path, const QString &filter)
{
    platform.dialogAnswers = {path};
    if (!filter.isEmpty())
        platform.filterAnswers = {filter};
    QTest::mouseClick(createButton(author()), Qt::LeftButton);
    return readAll(path);
}

void Harness::openReadme(const std::optional<QString> &path)
{
    platform.dialogAnswers = {path};
    openAction(main())->trigger();
}

PreviewScreen *Harness::toPreview()
{
    previewAction(main())->trigger();
    return preview();
}

ProjectFactsScreen *Harness::toProjectFacts(const QString &folder)
{
    platform.dialogAnswers = {folder};
    projectAction(main())->trigger();
    return projectFacts();
}

QStringList entries(const QListWidget *list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

int rowOf(const QListWidget *list, const QString &text)
{
    return int(entries(list).indexOf(text));
}

void clickRow(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void doubleClickRow(QListWidget *list, int row)
{
    clickRow(list, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void clickArrow(QListWidget *list, bool down)
{
    QScrollBar *bar = list->verticalScrollBar();  // an arrow at each end
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, down ? bar->height() - 3 : 2));
}

void typeLines(QPlainTextEdit *box, const QStringList &lines)
{
    QTest::keyClicks(box, lines.join(u'\r'));  // \r is the Return key
}

void paste(QWidget *box, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

void retype(QWidget *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

}  // namespace velmora::test
