#!/usr/bin/env python3
# Mutation baseline for Velmora: one source mutation at a time, incremental
# rebuild (-j1, nice), the whole ctest suite, killed/survived recorded.
#
# Usage (one line):
#   dir=$(mktemp -d); git archive HEAD | tar -x -C "$dir"
#   python3 scripts/mutate.py --src "$dir" [--build DIR] [--only M01,M07] [--list]
#
# --src    a checkout of Velmora that this script may edit (a copy, never the
#          project's own checkout); every file is put back after its mutant.
# --build  its configured build folder (default: <src>/build; configured and
#          built first when missing).
# --only   run only these mutant ids;  --list  print the mutants and stop.
# --jobs   parallel build and test jobs (default 1: the machine stays usable).
# --first-failure  stop the suite at its first failing test (much faster;
#          the killers of a killed mutant are then only those seen by then).
# Results: <src>/mutation-results.tsv (one row a mutant) and a summary on
# stdout: kill rate, survivors, and the test executables that are the only
# killer of some mutant. A mutant whose old text is not found exactly once is
# reported as "stale" and skipped (the code moved on: edit the table below).

import argparse
import os
import re
import subprocess
import sys
import time

# id, file (under src/), exact old text (must occur once), new text, what changed
MUTANTS = [
    # src/readme
    ("M01", "readme/LayoutText.h",
     'QStringLiteral("------------------------------");  // 30 hyphens',
     'QStringLiteral("-----------------------------");  // 30 hyphens',
     "section rule 30 -> 29 hyphens"),
    ("M02", "readme/ReadmeLayout.cpp",
     "        if (field.isEmpty())\n            row(item.noneGiven);",
     "        if (field.trimmed().isEmpty())\n            row(item.noneGiven);",
     "item(): a field of blanks counts as '(none given)'"),
    ("M03", "readme/LayoutText.h",
     'compatibleIndent = QStringLiteral("     ");  // five spaces',
     'compatibleIndent = QStringLiteral("    ");  // five spaces',
     "compatible-system indent 5 -> 4 spaces"),
    ("M04", "readme/ReadmeLayout.cpp",
     "    r.emptyRows(11);                                         // 21-31",
     "    r.emptyRows(10);                                         // 21-31",
     "END USER AGREEMENT block one empty row short"),
    ("M05", "readme/ReadmeLayout.cpp",
     "    r.row(record.version);                                                            // 6\n"
     "    r.row(record.company);                                                            // 7",
     "    r.row(record.company);                                                            // 6\n"
     "    r.row(record.version);                                                            // 7",
     "version and company rows swapped"),
    # src/presets
    ("M06", "presets/PresetsFile.cpp",
     "while (end > start && m_text[end - 1] == u' ')",
     "while (end > start && m_text[end - 1] == u'\\t')",
     "unquoted values no longer lose trailing blanks"),
    ("M07", "presets/PresetsFile.cpp",
     "        if (ch == u'\\r' && !atEnd() && m_text[m_pos] == u'\\n')\n            ++m_pos;",
     "        if (ch == u'\\r' && !atEnd() && m_text[m_pos] == u'\\n')\n            ;",
     "separator: CR LF consumed as CR only (LF starts an empty value)"),
    ("M08", "presets/PresetsFile.cpp",
     "    if (mayWrite(programFile))\n        return {programFile, false, {}};",
     "    if (FileExists(programFile))\n        return {programFile, false, {}};",
     "locatePresets: a read-only program presets.txt is chosen for Set"),
    ("M09", "presets/PresetsFile.cpp",
     "if (QFileInfo(path).size() > maxPresetsFileBytes)",
     "if (QFileInfo(path).size() >= maxPresetsFileBytes)",
     "size limit off by one (a file of exactly 1 MiB is not read)"),
    ("M10", "presets/PresetsFile.cpp",
     "    } else if (!FileExists(where.path)) {",
     "    } else if (false) {",
     "writePresets: a presets.txt removed meanwhile is created anew"),
    ("M11", "presets/PresetsFile.cpp",
     "            names << valueNames[i];",
     "            names << valueNames[0];",
     "double-quote message always names 'company name'"),
    ("M12", "presets/PresetsFile.cpp",
     "        last = record;",
     "        if (last == PresetRecord())\n            last = record;",
     "the first record wins instead of the last"),
    # src/platform: AtomicFile
    ("M13", "files/AtomicFile.cpp",
     "    if (bytes.size() > oldSize) {\n        int rc;",
     "    if (false) {\n        int rc;",
     "in-place write no longer reserves room first (fallocate dropped)"),
    ("M14", "files/AtomicFile.cpp",
     "    if (::ftruncate(fd, off_t(bytes.size())) != 0)\n        return putBack(errno);",
     "    if (false)\n        return putBack(errno);",
     "in-place write never cuts the file to its new length"),
    ("M15", "files/AtomicFile.cpp",
     "writeAllFromStart(fd, old.constData(), qMin(changed, oldSize), &restored) == 0",
     "true",
     "in-place failure does not put the old bytes back"),
    ("M16", "files/AtomicFile.cpp",
     "&& !mayCreateFilesIn(resolved.absolutePath()))",
     "&& mayCreateFilesIn(resolved.absolutePath()))",
     "in-place fallback taken for the wrong folders"),
    ("M17", "files/AtomicFile.cpp",
     "    if (isSpecialFile(path))\n        return fail(error, path, QStringLiteral(\"it is not a regular file\"));",
     "",
     "pipe/device/socket check before QSaveFile dropped"),
    ("M18", "files/AtomicFile.cpp",
     "file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)",
     "file.open(QIODevice::WriteOnly)",
     "QSaveFile opened buffered (Qt 6.4 commit() misses a late write failure)"),
    # src/platform: Win1252, LineBreaks, FilePath, TextShape, Look, ScreenTools, PlatformChoice
    ("M19", "files/Win1252.cpp",
     "0x02DC, 0x2122, 0x0161,",
     "0x02DC, 0x2121, 0x0161,",
     "byte 0x99 maps to U+2121 instead of U+2122 (TM)"),
    ("M20", "files/Win1252.cpp",
     "            *dst++ = '?';\n            ++i;\n            continue;",
     "            *dst++ = '?';\n            continue;",
     "surrogate pair written as two '?'"),
    ("M21", "files/Win1252.cpp",
     "if (byte >= 0x80 && byte <= 0x9F)",
     "if (byte >= 0x80 && byte < 0x9F)",
     "byte 0x9F decoded as U+009F instead of U+0178"),
    ("M22", "files/LineBreaks.cpp",
     '(lineBreak == u"\\n" && loneCr == 0 && crLfs == 0)',
     '(lineBreak == u"\\n" && loneCr == 0)',
     "toLf returns text with CR LF unchanged"),
    ("M23", "files/LineBreaks.cpp",
     'return normaliseBreaks(text, u" ");',
     'return normaliseBreaks(text, u"  ");',
     "toOneLine turns a break into two spaces"),
    ("M24", "files/FilePath.cpp",
     "folder.contains(u'\\\\') && !folder.contains(u'/')",
     "folder.contains(u'\\\\')",
     "a unix folder with a backslash in a name gets a backslash separator"),
    ("M25", "files/TextShape.cpp",
     "    if (n > lineStart) {\n        shape.longestLine",
     "    if (n >= lineStart) {\n        shape.longestLine",
     "an empty last line is counted as a line"),
    ("M26", "toolkit/TextBoxes.cpp",
     "shapeOfText(text).longestRun > maxWordWrapRunChars",
     "shapeOfText(text).longestRun >= maxWordWrapRunChars",
     "wrap-anywhere threshold off by one"),
    ("M27", "toolkit/TextBoxes.cpp",
     "    oneLine.setText(toOneLine(event->mimeData()->text()));",
     "    oneLine.setText(event->mimeData()->text());",
     "text dropped into a single-line box keeps its line breaks"),
    ("M28", "toolkit/TextBoxes.cpp",
     "    raw.replace(QChar::LineSeparator, QLatin1Char('\\n'));\n",
     "",
     "multi-line box: a soft line break (Shift+Enter) is not turned into CR LF"),
    ("M29", "toolkit/Look.cpp",
     "    if (name.endsWith(QLatin1Char(':')))\n        name.chop(1);",
     "",
     "accessible names keep the label's colon"),
    ("M30", "toolkit/ScreenTools.cpp",
     "case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Delete: case Qt::Key_Insert:",
     "case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Insert:",
     "Delete (text 0x7F) counts as a typed character"),
    ("M31", "app/Display.cpp",
     'return set(waylandDisplay) ? "xcb;wayland" : "xcb";',
     'return set(waylandDisplay) ? "xcb" : "xcb;wayland";',
     "plug-in list swapped"),
    # src/viewer
    ("M32", "viewer/WholeFile.cpp",
     "return rest.decode(QByteArrayView(bytes).sliced(3));",
     "return rest.decode(QByteArrayView(bytes));",
     "UTF-8 byte-order mark kept as text"),
    ("M33", "viewer/WholeFile.cpp",
     "return shape.lines <= maxViewerFileLines &&",
     "return shape.lines < maxViewerFileLines &&",
     "line limit off by one"),
    ("M34", "viewer/WholeFile.cpp",
     "        if (bytes.size() + got > maxViewerFileBytes)\n            return QString();\n",
     "",
     "no byte limit while reading (a file that grows after the size check)"),
    ("M35", "viewer/frmView.cpp",
     "    if (!path)\n        return;",
     "    if (!path)\n        txtView->clear();\n    if (!path)\n        return;",
     "Cancel in the viewer's dialog empties the text"),
    # src/screens
    ("M36", "screens/frmMain.cpp",
     "const bool digit = keyAscii >= 48 && keyAscii <= 57;",
     "const bool digit = keyAscii >= 48 && keyAscii < 57;",
     "version box refuses the digit 9"),
    ("M37", "screens/frmMain.cpp",
     "    source->setCurrentItem(nullptr);\n",
     "",
     "transfer leaves a selection in the source list"),
    ("M38", "screens/frmMain.cpp",
     "    r.webSite = txtMWeb->text();",
     "    r.webSite = txtMCompany->text();",
     "Next copies the company box into the web site"),
    ("M39", "screens/frmMain.cpp",
     'ctx.TooltipsOn = mnuMTTips->isChecked() ? QStringLiteral("yes") : QStringLiteral("no");',
     'ctx.TooltipsOn = mnuMTTips->isChecked() ? QStringLiteral("no") : QStringLiteral("yes");',
     "tooltip switch inverted"),
    ("M40", "screens/frmProgram.cpp",
     "    r.newAdditions = txtPNew->text();",
     "    r.newAdditions = txtPAdd->text();",
     "New Features box copied from Additional Features"),
    ("M41", "screens/frmAuthor.cpp",
     "        if (!reason.isEmpty())\n            text += crLf + reason;",
     "",
     "write failure box loses its reason line"),
    ("M42", "screens/frmAuthor.cpp",
     'cmdACreate = button(c, "Create File",',
     'cmdACreate = button(c, "Create file",',
     "button caption typo"),
    ("M43", "screens/frmMain.cpp",
     "txtMName    = lineBox(c,                         960, 480, 3015, 285, 40);",
     "txtMName    = lineBox(c,                         975, 480, 3015, 285, 40);",
     "Name box one pixel to the right"),
    ("M44", "presets/frmPreset.cpp",
     "    if (!withQuote.isEmpty()) {",
     "    if (withQuote.size() > 1) {",
     "one value with a double quote is saved broken"),
    ("M45", "presets/frmPreset.cpp",
     "QStringLiteral(\" and \")",
     "QStringLiteral(\", \")",
     "two names joined with a comma instead of 'and'"),
    # src/app, src/help
    ("M46", "app/Navigator.cpp",
     "    Screen *screen = made(id);\n    screen->show();\n    screen->activateWindow();\n    screen->Form_Activate();",
     "    Screen *screen = made(id);\n    screen->show();\n    screen->activateWindow();\n    if (screen->property(\"seen\").isNull())\n        screen->Form_Activate();\n    screen->setProperty(\"seen\", true);",
     "Form_Activate only on the first showing (no refill from presets.txt)"),
    ("M47", "app/Navigator.cpp",
     "        if (window)\n            window->close();",
     "        if (window && window->isVisible())\n            window->close();",
     "endProgram closes only visible windows"),
    ("M48", "app/Navigator.cpp",
     "        look::centreOnScreen(slot.get());\n",
     "",
     "screens are no longer centred"),
    ("M49", "app/frmSplash.cpp",
     "    tmrTaskTimer->setInterval(100);",
     "    tmrTaskTimer->setInterval(90);",
     "splash ticks 90 ms (1.8 s of splash)"),
    ("M50", "app/frmSplash.cpp",
     "    else\n        event->ignore();",
     "    else\n        event->accept();",
     "splash can be closed"),
    ("M51", "app/main.cpp",
     "    std::signal(SIGXFSZ, SIG_IGN);\n",
     "",
     "a file-size limit kills the program instead of failing the write"),
    ("M52", "help/HelpBinding.cpp",
     "    if (!m_window)\n        m_window = new HelpWindow(m_owner);",
     "    m_window = new HelpWindow(m_owner);",
     "Contents opens a new help window each time"),
    # more screens, toolkit and help
    ("M53", "presets/frmPreset.cpp",
     "    ctx.platform.messageBox(this, QStringLiteral(\"The entered data is being saved!\"),\n"
     "                            programConstants, MessageStyle::OkExclamation);\n"
     "    const PresetsWrite written = writePresets(where, record);",
     "    const PresetsWrite written = writePresets(where, record);\n"
     "    ctx.platform.messageBox(this, QStringLiteral(\"The entered data is being saved!\"),\n"
     "                            programConstants, MessageStyle::OkExclamation);",
     "Set writes before the 'being saved' box instead of after it"),
    ("M54", "screens/frmAuthor.cpp",
     "    bool written = false;",
     "    ctx.record.authorName = txtAName->text();\n    bool written = false;",
     "Create File copies the author's name even when the dialog is cancelled"),
    ("M55", "toolkit/QtPlatform.cpp",
     "        box.setDefaultButton(QMessageBox::Yes);",
     "        box.setDefaultButton(QMessageBox::No);",
     "Yes/No box: Enter answers No"),
    ("M56", "toolkit/TextBoxes.cpp",
     "    setTabChangesFocus(true);\n",
     "",
     "Tab types a tab in multi-line boxes"),
    ("M57", "toolkit/Screen.cpp",
     "    event->ignore();\n    closeRequested();",
     "    event->accept();\n    closeRequested();",
     "a close request really closes the screen window"),
    ("M58", "screens/frmMain.cpp",
     "    verticalSeparator(c, 3960, 3970, 3600, 4560);\n",
     "",
     "main screen loses its vertical separator"),
    ("M59", "screens/frmMain.cpp",
     "    needFill.fill(txtMNeed, presets.neededFiles);\n    txtMName->setFocus();",
     "    needFill.fill(txtMNeed, presets.neededFiles);",
     "main screen activation leaves the focus where it was"),
    ("M60", "presets/PresetsFile.cpp",
     "        m_pos = close + 1;\n        while (!atEnd() && m_text[m_pos] != u',' && !isBreak(m_text[m_pos]))\n            ++m_pos;",
     "        m_pos = close + 1;",
     "text after a closing quote starts the next value"),
    ("M61", "help/HelpWindow.cpp",
     "    m_browser->moveCursor(QTextCursor::Start);\n",
     "",
     "help shown again keeps its old scroll position"),
    ("M62", "toolkit/TextBoxes.cpp",
     "    const QString lines = toLf(text);",
     "    const QString lines = text;",
     "viewer puts CR LF text into the box unconverted"),
    # second batch: behaviours of the test functions that killed nothing above
    ("M63", "screens/frmMain.cpp",
     "    target->addItem(text);",
     "    target->insertItem(0, text);",
     "a transferred system goes to the top of the other list"),
    ("M64", "screens/frmMain.cpp",
     "        if (source->item(row)->text() == text)\n            delete source->takeItem(row);",
     "        if (source->item(row)->text() == text) {\n            delete source->takeItem(row);\n            break;\n        }",
     "transfer removes only one of several equal entries"),
    ("M65", "screens/frmMain.cpp",
     "    while (lstMCompat->count() > 0)\n        lstMNCompat->addItem(lstMCompat->takeItem(0));\n",
     "",
     "Clear keeps the compatible list"),
    ("M66", "screens/frmMain.cpp",
     "connect(lstMType, &QListWidget::itemSelectionChanged, this, &frmMain::lstMType_Click);",
     "connect(lstMType, &QListWidget::itemClicked, this, &frmMain::lstMType_Click);",
     "type set by a click only, not by the arrow keys"),
    ("M67", "readme/WizardValues.cpp",
     'QStringLiteral("Windows 98SE")',
     'QStringLiteral("Windows 98 SE")',
     "OS list entry spelled differently"),
    ("M68", "screens/frmMain.cpp",
     "    ctx.help.BindHelpFile(this, ctx.platform.applicationFolder());\n",
     "",
     "main screen's load does not bind the help file"),
    ("M69", "screens/frmMain.cpp",
     "    connect(mnuMFExit, &QAction::triggered, this, &frmMain::mnuMFExit_Click);\n",
     "",
     "File > Exit does nothing"),
    ("M70", "screens/frmMain.cpp",
     'mnuMFExit = mnuMFile->addAction("E&xit");',
     'mnuMFExit = mnuMFile->addAction("Exit");',
     "File > Exit loses its mnemonic"),
    ("M71", "screens/frmMain.cpp",
     "    mnuMTTips->setCheckable(true);\n",
     "",
     "Tooltips menu entry not checkable"),
    ("M72", "screens/frmProgram.cpp",
     "    clearTextBoxes(this);\n    txtPDesc->setFocus();",
     "    clearTextBoxes(this);",
     "program screen's Clear leaves the focus where it was"),
    ("M73", "screens/frmProgram.cpp",
     "void frmProgram::cmdPMain_Click()\n{\n    ctx.navigation.change",
     "void frmProgram::cmdPMain_Click()\n{\n    ctx.record.description = txtPDesc->text();\n    ctx.navigation.change",
     "program screen's Main copies the description"),
    ("M74", "screens/frmAuthor.cpp",
     "void frmAuthor::cmdAClear_Click()\n{\n    clearTextBoxes(this);",
     "void frmAuthor::cmdAClear_Click()\n{",
     "author screen's Clear empties nothing"),
    ("M75", "screens/frmAuthor.cpp",
     '{QStringLiteral("Text (*.txt)"), markdownFilter}',
     '{QStringLiteral("Text files (*.txt)"), markdownFilter}',
     "save dialog filter text changed"),
    ("M76", "presets/frmPreset.cpp",
     "void frmPreset::cmdCMain_Click()\n{\n    ctx.navigation.change",
     "void frmPreset::cmdCMain_Click()\n{\n    cmdCSet_Click();\n    ctx.navigation.change",
     "presets screen's Main saves too"),
    ("M77", "viewer/frmView.cpp",
     "void frmView::cmdVClear_Click()\n{\n    clearTextBoxes(this);",
     "void frmView::cmdVClear_Click()\n{",
     "viewer's Clear empties nothing"),
    ("M78", "presets/PresetsFile.cpp",
     "    return parsePresets(fromWindows1252(bytes));",
     "    return parsePresets(QString::fromLatin1(bytes));",
     "presets.txt read as Latin-1"),
    ("M79", "viewer/WholeFile.cpp",
     "if (!info.isFile() || info.size() > maxViewerFileBytes)",
     "if (!info.isFile() || info.size() >= maxViewerFileBytes)",
     "viewer byte limit off by one"),
    ("M80", "files/AtomicFile.cpp",
     "    if (!S_ISREG(st.st_mode))\n        return fail(error, path, QStringLiteral(\"it is not a regular file\"));\n    // Readers",
     "    // Readers",
     "in-place write accepts a pipe or a device"),
    ("M81", "files/FilePath.cpp",
     "    return mayCreate ? applicationFolder : documentsFolder;",
     "    return mayCreate ? documentsFolder : applicationFolder;",
     "dialogs start in the wrong folder"),
    ("M82", "toolkit/QtPlatform.cpp",
     "        box->setOption(QFileDialog::DontConfirmOverwrite, true);\n",
     "",
     "save dialog asks before overwriting"),
    ("M83", "toolkit/QtPlatform.cpp",
     "    if (!parts.yesNo)\n        return MessageAnswer::Ok;\n",
     "",
     "an OK box closed with Escape answers No"),
    ("M84", "toolkit/Look.cpp",
     "QRect outer(QPoint(0, 0), window->size().grownBy(frame));",
     "QRect outer(QPoint(0, 0), window->size().grownBy(frame - frame));",
     "windows centred without their frame"),
    ("M85", "toolkit/TextBoxes.cpp",
     "    QString raw = document()->toRawText();",
     "    QString raw = document()->toPlainText();",
     "multi-line box turns non-breaking spaces into spaces"),
    ("M86", "toolkit/Screen.cpp",
     "    m_client->move(0, height);\n",
     "",
     "menu bar drawn over the client area"),
    ("M87", "files/FilePath.cpp",
     "program.left(slash));",
     "program.left(slash + 1));",
     "application folder with a trailing separator"),
    ("M88", "app/frmSplash.cpp",
     "        setCursor(Qt::WaitCursor);\n",
     "",
     "no wait cursor over the splash"),
    ("M89", "app/frmSplash.cpp",
     "    pbTaskProgress->hide();\n",
     "",
     "progress bar not hidden at the end"),
    ("M90", "app/frmSplash.cpp",
     "    setFixedSize(twipsSize(6465, 4965));",
     "    setFixedSize(twipsSize(6480, 4965));",
     "splash one pixel wider"),
    ("M91", "app/main.cpp",
     "    velmora::applyQtPlatformChoice();\n",
     "",
     "the program never asks for xcb"),
    ("M92", "help/HelpWindow.cpp",
     "Velmora cannot find its help file:",
     "Velmora cannot open its help file:",
     "missing-help text reworded"),
    # nothing typed is lost: preset boxes, the presets screen, Clear, the
    # keyboard, the UTF-8 question, drafts
    ("M93", "screens/PresetFill.h",
     "return !valueOf(boxText).countsAsTyped();",
     "return !valueOf(boxText).countsAsTyped() || true;",
     "a preset fill replaces what the user typed"),
    ("M94", "screens/PresetFill.cpp",
     "    m_last = box->text();  // as the box holds it: cut to its limit",
     "    m_last = value;  // as the box holds it: cut to its limit",
     "a preset longer than its box counts as typed once filled (never follows the presets again)"),
    ("M95", "screens/PresetFill.cpp",
     "    m_last = box->text();  // as the box gives it back: with CR LF",
     "    m_last = value;  // as the box gives it back: with CR LF",
     "a multi-line preset with bare line feeds counts as typed once filled"),
    ("M96", "presets/frmPreset.cpp",
     "    fillFromStart(txtCComName, saved.companyName);\n    fillFromStart(txtCWeb, saved.webSite);",
     "    fillFromStart(txtCWeb, saved.webSite);",
     "the presets screen opens with the company empty (Set would wipe it)"),
    ("M97", "screens/frmMain.cpp",
     "        lstMNCompat->addItem(lstMCompat->takeItem(0));",
     "        lstMNCompat->insertItem(0, lstMCompat->takeItem(0));",
     "Clear puts the systems back at the top of the OS list, in reverse"),
    ("M98", "screens/frmMain.cpp",
     "(key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)",
     "(key == Qt::Key_Return || key == Qt::Key_Enter)",
     "Space on a list row moves nothing"),
    ("M99", "screens/frmMain.cpp",
     "                       && mods == Qt::NoModifier;",
     "                       && !(mods & Qt::AltModifier);",
     "Ctrl+Space moves the row instead of marking it"),
    ("M100", "toolkit/Look.cpp",
     "            if (!event->isAutoRepeat())\n                click();",
     "            click();",
     "a held Return presses a button again and again"),
    ("M101", "toolkit/Look.cpp",
     "event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;",
     "event->key() == Qt::Key_Return;",
     "Enter on the keypad presses no button"),
    ("M102", "screens/frmAuthor.cpp",
     "    return answer == MessageAnswer::Yes ? ReadmeEncoding::Utf8 : ReadmeEncoding::Windows1252;",
     "    return answer == MessageAnswer::Yes ? ReadmeEncoding::Windows1252 : ReadmeEncoding::Windows1252;",
     "Yes to UTF-8 still writes question marks"),
    ("M103", "files/Win1252.cpp",
     "            found = QChar::surrogateToUcs4(ch, src[i + 1]);\n            ++i;\n        } else if",
     "            found = ch;\n        } else if",
     "a character outside the basic plane is named as two halves"),
    ("M104", "screens/frmAuthor.cpp",
     "    constexpr qsizetype named = 10;",
     "    constexpr qsizetype named = 12;",
     "the UTF-8 question names more than ten characters"),
    ("M105", "drafts/DraftKeeper.cpp",
     "    if (!m_timer.isActive())\n        m_timer.start();",
     "    m_timer.start();",
     "each change pushes the draft's write back: none while the typing goes on"),
    ("M106", "app/Navigator.cpp",
     "    if (m_drafts)\n        m_drafts->screenChanged();\n",
     "",
     "a change of screen does not write the draft"),
    ("M107", "drafts/DraftKeeper.cpp",
     "    store().removeOwn();\n",
     "",
     "Exit leaves its draft behind (offered at the next start)"),
    ("M108", "drafts/DraftStore.cpp",
     "|| ::flock(fd, LOCK_EX | LOCK_NB) != 0)",
     ")",
     "a running program's draft is taken for a finished run's"),
    ("M109", "drafts/DraftStore.cpp",
     "            ::rename(native(draftPath).constData(), native(pathOf(name, asideSuffix)).constData());\n",
     "",
     "an unreadable draft is left where it was, looked at again at every start"),
    # Odd folders and shared machines
    ("M110", "files/FilePath.cpp",
     "    if (folder.isEmpty())\n        return QString();",
     "    if (folder.isEmpty())\n        return name;",
     "a name joined to an empty folder is the bare name (a file of the working folder)"),
    ("M111", "files/FilePath.cpp",
     "    const QString name = nameOrFallback(folder, QString());",
     "    const QString name = QFile::decodeName(folder);",
     "a program folder whose name is not UTF-8 is decoded lossily, not named through a descriptor"),
    ("M112", "files/FilePath.cpp",
     "    if (QDir::isAbsolutePath(value))\n        return QDir::cleanPath(value);",
     "    if (!value.isEmpty())\n        return QDir::cleanPath(value);",
     "a relative XDG_CONFIG_HOME is taken"),
    ("M113", "screens/frmAuthor.cpp",
     "        if (reason.isEmpty()) {\n            // The name decides",
     "        reason.clear();\n        if (reason.isEmpty()) {\n            // The name decides",
     "Create File writes over Velmora's own files after all"),
    ("M114", "files/OwnFiles.cpp",
     "    if (::stat(bytes.constData(), &st) == 0) {",
     "    if (::lstat(bytes.constData(), &st) == 0) {",
     "a link to one of Velmora's own files is not followed when they are compared"),
    ("M115", "readme/ReadmeTarget.cpp",
     "               {presetsPath(applicationFolder), presets},\n",
     "",
     "the program folder's presets.txt is not protected from Create File"),
    ("M116", "presets/PresetsFile.cpp",
     "    if (use == PresetsUse::Set && where.problem.isEmpty())",
     "    if (false)",
     "Set writes through a presets.txt that leads to the program or its help file"),
    ("M117", "files/Links.cpp",
     "    return link.st_uid == where.st_uid;",
     "    return false;",
     "a link of the shared folder's owner is refused"),
    ("M118", "files/Links.cpp",
     "    if ((where.st_mode & shared) != shared)",
     "    if ((where.st_mode & shared & S_IWOTH) == 0)",
     "a folder everyone may write counts as shared even when it is not sticky"),
    ("M119", "files/Links.cpp",
     "    if (link.st_uid == ::geteuid())\n        return true;\n",
     "",
     "the writer's own link in a shared folder is refused"),
    ("M120", "files/Links.cpp",
     "        if (!mayFollow(st, current)) {",
     "        if (names.empty() && !mayFollow(st, current)) {",
     "only the last name's link is checked, not a link to a folder on the way"),
    ("M121", "files/AtomicFile.cpp",
     "    keepOwner(int(file.handle()), real);\n",
     "    (void)keepOwner;\n",
     "a replaced file's owner and group are not kept"),
    ("M122", "files/AtomicFile.cpp",
     "    if (!lockFile(fd, FileLock::Exclusive))\n        return fail(error, path, QStringLiteral(\"another program is using the file\"));\n",
     "",
     "the in-place writer takes no lock"),
    ("M123", "presets/PresetsFile.cpp",
     "    lockFile(int(file.handle()), FileLock::Shared);\n",
     "",
     "presets.txt is read without the shared lock"),
    ("M124", "files/AtomicFile.cpp",
     "::fchown(fd, st.st_uid, st.st_gid) != 0 &&",
     "::fchown(fd, st.st_uid, gid_t(-1)) != 0 &&",
     "a replaced file's group is not kept"),
    # src/readme: the Markdown layout and reading a readme back
    ("M140", "readme/MarkdownText.cpp",
     'const QString lineBreak = QStringLiteral("  ");',
     'const QString lineBreak = QStringLiteral(" ");',
     "Markdown: typed lines end in one space, which is no line break"),
    ("M141", "readme/MarkdownText.cpp",
     'bool escape = QStringView(u"\\\\`*_[]<&~$").contains(c) || i == blockMarker;',
     'bool escape = QStringView(u"\\\\*_[]<&~$").contains(c) || i == blockMarker;',
     "Markdown: a backquote in a single-line value is not escaped"),
    ("M142", "readme/MarkdownText.cpp",
     "            blockMarker = first;",
     "            blockMarker = -1;",
     "Markdown: a list entry starting with '-', '#', '>' is not escaped"),
    ("M143", "readme/MarkdownText.cpp",
     "    for (qsizetype i = end; i < value.size(); ++i)\n        out += reference(value[i]);",
     "    for (qsizetype i = end; i < value.size(); ++i)\n        out += value[i];",
     "Markdown: spaces at the end of a value written as spaces (renderers drop them)"),
    ("M144", "readme/MarkdownText.cpp",
     "    if (!closer.isEmpty())\n        lines.append(closer);",
     "",
     "Markdown: a fenced block left open in a field is not closed"),
    ("M145", "readme/MarkdownText.cpp",
     "            if (closesFence(line))\n                m_open = Open::Nothing;\n            m_inParagraph = false;\n            return false;",
     "            if (closesFence(line))\n                m_open = Open::Nothing;\n            m_inParagraph = false;\n            return true;",
     "Markdown: lines inside a fenced block get the two spaces of a line break"),
    ("M146", "readme/ReadmeReading.cpp",
     "                    if (end == s + 1 && m_lines[s].isEmpty())\n                        end = firstEnd[s + 2];",
     "                    if (false)\n                        end = firstEnd[s + 2];",
     "reading: one empty line taken as a field (written again as '(none given)')"),
    ("M147", "readme/ReadmeReading.cpp",
     "    for (bool strict : {true, false}) {",
     "    for (bool strict : {true}) {",
     "reading: a Markdown readme whose trailing blanks an editor stripped is refused"),
    ("M148", "readme/ReadmeReading.cpp",
     "        ok = ok && ((c >= u'0' && c <= u'9') || c == u'.');",
     "        ok = ok && (c != u',');",
     "reading: a version with a letter is taken"),
    ("M149", "readme/ReadmeReading.cpp",
     "    if (!r.programType.isEmpty() && !layout::programTypes.contains(r.programType))",
     "    if (false)",
     "reading: a type not in the type list is taken (text layout)"),
    ("M150", "readme/ReadmeReading.cpp",
     'const bool utf8 = bytes.startsWith("\\xEF\\xBB\\xBF") || QByteArrayView(bytes).isValidUtf8();',
     'const bool utf8 = bytes.startsWith("\\xEF\\xBB\\xBF");',
     "reading: a UTF-8 readme reported as Windows-1252"),
    ("M151", "readme/ReadmeReading.cpp",
     "            if (nextRows.contains(m_lines[j]))\n                return {j, anEmptyLine};",
     "",
     "reading: a missing empty row is reported at a later line"),
    ("M152", "readme/LayoutText.h",
     "constexpr int maxProgramNameChars = 40;",
     "constexpr int maxProgramNameChars = 41;",
     "reading: a program name of 41 characters is taken"),
    ("M153", "readme/ReadmeMarkdown.cpp",
     '? markdown::link(record.authorEMail, QStringLiteral("mailto:") + record.authorEMail)',
     '? escapeText(record.authorEMail, Place::BlockStart)',
     "Markdown: the e-mail is no mailto link"),
    ("M154", "readme/ReadmeMarkdown.cpp",
     "const QString webSite = markdown::isWebAddress(record.webSite)",
     "const QString webSite = false",
     "Markdown: a web address is no link"),
    ("M155", "app/main.cpp",
     "    if (!answer.startProgram) {",
     "    if (!answer.startProgram && velmora::displayNamed()) {",
     "--help and --version need a display"),
    ("M156", "app/CommandLine.cpp",
     "        answer.exitCode = 2;",
     "        answer.exitCode = 1;",
     "an unknown option exits with status 1"),
    ("M157", "app/main.cpp",
     "std::fputs(answer.standardOutput.toLocal8Bit().constData(), stdout);",
     "std::fputs(answer.standardOutput.toLocal8Bit().constData(), stderr);",
     "--help and --version print to standard error"),
    ("M158", "readme/MarkdownText.cpp",
     'if (place == Place::Title && QStringView(u"#()").contains(c))',
     'if (place == Place::Title && QStringView(u"#").contains(c))',
     "Markdown: parentheses in the program name are taken for the type's"),
    ("M159", "readme/MarkdownText.cpp",
     "                || (place != Place::LinkText && value[i + 1] == u'/')))",
     "))",
     "Markdown: 'http://' in running text becomes a bare link that shows escapes"),
    # one dialog per screen, bounded help, frames and placement at any scale,
    # a display that does not answer
    ("M125", "toolkit/QtPlatform.cpp",
     "        dialog.kept.keep(box);\n",
     "",
     "a new file dialog for every use (and each one kept)"),
    ("M126", "toolkit/QtPlatform.cpp",
     "        name->selectAll();\n",
     "",
     "a dialog opened again: typing adds to the offered name"),
    ("M127", "app/Display.cpp",
     'if (xDisplayAnswers(std::getenv("DISPLAY")))',
     'if (true || xDisplayAnswers(std::getenv("DISPLAY")))',
     "an X display that does not answer is let through to Qt"),
    ("M128", "app/Display.cpp",
     "        path = std::string(runtimeFolder) + '/' + path;",
     "        path = std::string(runtimeFolder) + path;",
     "the Wayland socket looked for beside the runtime folder"),
    ("M129", "app/Display.cpp",
     "            return {};  // offscreen, vnc and the like need no display server",
     "            continue;",
     "a plug-in of no display server after xcb is not a fallback"),
    ("M130", "help/HelpFile.cpp",
     "    if (before.st_size > maxBytes) {",
     "    if (before.st_size > maxBytes * 1024) {",
     "the help file's size checked against a limit 1024 times too large"),
    ("M131", "help/HelpFile.cpp",
     "    if (!real.startsWith(prefix))",
     "    if (false)",
     "help pages load files outside the help file's folder"),
    ("M132", "help/HelpFile.cpp",
     "    const QString real = QFileInfo(path).canonicalFilePath();",
     "    const QString real = QFileInfo(path).absoluteFilePath();",
     "a link in the help folder leads out unnoticed"),
    ("M133", "help/HelpWindow.cpp",
     "        if (picture.isNull()) {\n            picture = QImage(1, 1, QImage::Format_ARGB32);\n"
     "            picture.fill(Qt::transparent);\n        }\n",
     "",
     "a refused picture answered with nothing: Qt opens the name itself"),
    ("M134", "help/HelpWindow.cpp",
     "<p>Velmora's help file is too large to show: %1, where a help ",
     "<p>Velmora cannot find its help file: %1, where a help ",
     "a help file too large is reported as missing"),
    ("M135", "toolkit/TextBoxes.cpp",
     "    keepFrameOnTop(this);\n",
     "",
     "multi-line boxes lose a side of their frame at 1.25"),
    ("M136", "toolkit/Look.cpp",
     "    window->move(keptInside(outer, screen->availableGeometry()).topLeft());\n}\n\nvoid keepOnScreen",
     "    window->move(outer.topLeft());\n}\n\nvoid keepOnScreen",
     "a window taller than the screen is centred off its top"),
    ("M137", "help/HelpWindow.cpp",
     "        look::keepOnScreen(this);\n",
     "",
     "the help window hangs off a small screen"),
    ("M138", "help/HelpWindow.cpp",
     "QUrl::fromLocalFile(m_folder + QLatin1Char('/'))",
     "QUrl::fromLocalFile(m_folder)",
     "pictures of the first page looked for in the folder above"),
    ("M139", "app/main.cpp",
     "    if (!unreachable.empty()) {",
     "    if (false) {",
     "a display that does not answer is left to Qt, which aborts"),
    # open a readme, preview, Markdown from the Save dialog
    ("M160", "screens/frmMain.cpp",
     "    mnuMFOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));\n",
     "",
     "File > Open readme has no Ctrl+O"),
    ("M161", "screens/frmMain.cpp",
     "    if (!readme.recognised) {",
     "    if (false) {",
     "a file out of the layout is put into the wizard without a word"),
    ("M162", "screens/frmMain.cpp",
     "    ctx.navigation.wizardReplaced();\n",
     "",
     "an opened readme is not in the draft until the next change of screen"),
    ("M163", "screens/Wizard.cpp",
     "    if (text.isEmpty() && !preset.isEmpty())",
     "    if (false)",
     "an empty opened value is filled by the presets later"),
    ("M164", "screens/Wizard.cpp",
     "        values.otherSystems.removeAll(system);",
     "        ;",
     "an opened readme's systems stay in the OS list too"),
    ("M165", "screens/Wizard.cpp",
     "    values.otherSystems = now.otherSystems + now.compatibleSystems;",
     "    values.otherSystems = now.otherSystems;",
     "systems moved before opening a readme are lost"),
    ("M166", "screens/frmAuthor.cpp",
     "|| path->endsWith(QLatin1String(\".md\"), Qt::CaseInsensitive);",
     "|| path->endsWith(QLatin1String(\".md\"));",
     "README.MD written in the text layout"),
    ("M167", "screens/frmAuthor.cpp",
     "            const bool markdown = dlgAuthor.selectedFilter == markdownFilter",
     "            const bool markdown = false",
     "the Markdown filter is ignored"),
    ("M168", "viewer/frmPreview.cpp",
     "readmeBytes(content.record, content.compatibleSystems, ReadmeEncoding::Utf8)",
     "readmeBytes(content.record, content.compatibleSystems, ReadmeEncoding::Windows1252)",
     "the preview shows '?' for characters the UTF-8 file holds"),
    ("M169", "screens/Wizard.cpp",
     "    if (navigation.screen(ScreenId::Author)) {",
     "    if (true) {",
     "the preview drops the opened author before the author screen was shown"),
    ("M170", "viewer/frmPreview.cpp",
     "    txtPreview->setReadOnly(true);",
     "    txtPreview->setReadOnly(false);",
     "the preview can be typed into"),
    ("M171", "toolkit/QtPlatform.cpp",
     "            list->hide();",
     "            ;",
     "a file dialog's completion list stays open over the window below"),
]


# Mutants that no test can kill because the behaviour does not change (checked
# by hand), or that the project deliberately leaves untested (geometry is not
# restated by the tests): reported apart and left out of the kill rate.
NOT_COUNTED = {
    "M43": "by design: tests hold layouts to invariants, not to twip numbers",
    "M61": "equivalent: showContents reloads the HTML, which scrolls to the top anyway",
    "M62": "equivalent: QPlainTextEdit::setPlainText already turns CR LF and CR into lines "
           "(the conversion stays as the box's stated contract; the viewer's own copy of it went)",
    "M89": "equivalent: the bar's window is hidden at the same moment and never shown again",
    "M169": "equivalent: whatever sets the record's author fields (Create File, an opened readme, "
            "a restored draft) makes the author screen first, so its boxes are always there to read",
    "M170": "equivalent: the text interaction flags set right after leave out editing, so the "
            "preview takes no typing either way",
}


def run(cmd, cwd=None, timeout=None):
    p = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, timeout=timeout,
                       errors="replace")
    return p.returncode, p.stdout + p.stderr


JOBS = "1"
FIRST_FAILURE = False


def build(build_dir):
    return run(["nice", "-n", "10", "cmake", "--build", build_dir, "-j" + JOBS])


def ctest(build_dir):
    # A fault that keeps a window of the real program away fails its
    # script after 15 s instead of a minute.
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", VELMORA_WAIT_SECONDS="15")
    p = subprocess.run(["nice", "-n", "10", "ctest", "-j" + JOBS, "--output-on-failure"]
                       + (["--stop-on-failure"] if FIRST_FAILURE else []) + [
                        "--timeout", "120"],
                       cwd=build_dir, capture_output=True, text=True, env=env, errors="replace",
                       timeout=1800)
    out = p.stdout + p.stderr
    summary = out.split("The following tests FAILED:", 1)
    failed = []
    if len(summary) > 1:
        for name, why in re.findall(r"^\s*\d+ - (\S+) \(([^)]*)\)", summary[1], re.M):
            failed.append(name if why == "Failed" else f"{name}[{why}]")
    failed = sorted(set(failed))
    functions = sorted(set(re.findall(r"FAIL!  : (\w+::\w+)", out)))
    return p.returncode, failed, functions, out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--src", required=True)
    ap.add_argument("--build")
    ap.add_argument("--only")
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--jobs", default="1", help="parallel build and test jobs (default 1)")
    ap.add_argument("--first-failure", action="store_true",
                    help="stop the suite at its first failure: faster, but a killed mutant "
                         "names only the tests that failed by then")
    args = ap.parse_args()
    global JOBS, FIRST_FAILURE
    JOBS = args.jobs
    FIRST_FAILURE = args.first_failure
    src = os.path.abspath(args.src)
    build_dir = os.path.abspath(args.build or os.path.join(src, "build"))
    mutants = MUTANTS
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in MUTANTS if m[0] in wanted]
    if args.list:
        for mid, f, _, _, what in mutants:
            print(f"{mid}\tsrc/{f}\t{what}")
        return 0
    if os.path.exists(os.path.join(src, ".git")):
        sys.exit("refusing to mutate a git checkout; pass a copy (git archive HEAD | tar -x -C DIR)")

    if not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        rc, out = run(["nice", "-n", "10", "cmake", "-S", src, "-B", build_dir])
        if rc:
            sys.exit(out)
    rc, out = build(build_dir)
    if rc:
        sys.exit("the unmutated tree does not build:\n" + out[-3000:])
    rc, failed, _, out = ctest(build_dir)
    if rc:
        sys.exit("the unmutated suite fails (" + ", ".join(failed) + "):\n" + out[-3000:])

    results_path = os.path.join(src, "mutation-results.tsv")
    rows = []
    with open(results_path, "w") as results:
        results.write("id\tfile:line\tchange\tstatus\tkilled_by\tfailing_functions\tseconds\n")
        for mid, rel, old, new, what in mutants:
            path = os.path.join(src, "src", rel)
            original = open(path, encoding="utf-8").read()
            if original.count(old) != 1:
                rows.append((mid, f"src/{rel}", what, "stale", [], []))
                results.write(f"{mid}\tsrc/{rel}\t{what}\tstale\t\t\t0\n")
                results.flush()
                print(f"{mid} stale: old text found {original.count(old)} times", flush=True)
                continue
            line = original[: original.index(old)].count("\n") + 1
            start = time.time()
            try:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original.replace(old, new, 1))
                rc, out = build(build_dir)
                if rc:
                    status, failed, functions = "build-failed", [], []
                else:
                    rc, failed, functions, out = ctest(build_dir)
                    status = "killed" if rc else "survived"
            finally:
                with open(path, "w", encoding="utf-8") as f:
                    f.write(original)
            secs = int(time.time() - start)
            where = f"src/{rel}:{line}"
            rows.append((mid, where, what, status, failed, functions))
            results.write(f"{mid}\t{where}\t{what}\t{status}\t{','.join(failed)}\t"
                          f"{','.join(functions)}\t{secs}\n")
            results.flush()
            print(f"{mid} {where} {status} {','.join(failed)} ({secs}s)", flush=True)

    build(build_dir)  # leave the build matching the unmutated tree

    judged = [r for r in rows if r[3] in ("killed", "survived") and r[0] not in NOT_COUNTED]
    killed = [r for r in judged if r[3] == "killed"]
    print(f"\nkill rate: {len(killed)}/{len(judged)}"
          + (f" = {100 * len(killed) / len(judged):.0f}%" if judged else ""))
    for r in rows:
        if r[0] in NOT_COUNTED:
            print(f"not counted: {r[0]} {r[3]} ({NOT_COUNTED[r[0]]})")
    print("survivors:")
    for r in judged:
        if r[3] == "survived":
            print(f"  {r[0]} {r[1]} {r[2]}")
    unique = {}
    for r in killed:
        if len(r[4]) == 1:
            unique.setdefault(r[4][0].split("[")[0], []).append(r[0])
    print("only killer of:")
    for exe, ids in sorted(unique.items()):
        print(f"  {exe}: {', '.join(ids)}")
    print(f"results: {results_path}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
