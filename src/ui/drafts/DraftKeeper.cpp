#include "ui/drafts/DraftKeeper.h"

#include "core/text/LineBreaks.h"
#include "ui/screens/AppContext.h"
#include "ui/screens/Wizard.h"
#include "ui/toolkit/Platform.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <cstdio>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace velmora {

DraftKeeper::DraftKeeper(AppContext &context, Navigation &navigation)
    : m_context(context), m_navigation(navigation)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(writeDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &DraftKeeper::writeNow);
}

DraftKeeper::~DraftKeeper() = default;

DraftStore &DraftKeeper::store()
{
    if (!m_store)
        m_store.emplace(m_context.platform.userStateFolder());
    return *m_store;
}

void DraftKeeper::tellProblem()
{
    if (m_told || store().problem().isEmpty())
        return;
    m_told = true;
    std::fputs(qPrintable(store().problem() + u'\n'), stderr);
}

void DraftKeeper::screenMade(ScreenId id, QObject *screen)
{
    if (id != ScreenId::Main && id != ScreenId::Program && id != ScreenId::Author)
        return;
    for (QLineEdit *box : screen->findChildren<QLineEdit *>())
        connect(box, &QLineEdit::textChanged, this, &DraftKeeper::changed);
    for (QPlainTextEdit *box : screen->findChildren<QPlainTextEdit *>())
        connect(box, &QPlainTextEdit::textChanged, this, &DraftKeeper::changed);
    for (QListWidget *list : screen->findChildren<QListWidget *>()) {
        QAbstractItemModel *model = list->model();
        connect(model, &QAbstractItemModel::rowsInserted, this, &DraftKeeper::changed);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &DraftKeeper::changed);
        connect(model, &QAbstractItemModel::rowsMoved, this, &DraftKeeper::changed);
        connect(model, &QAbstractItemModel::modelReset, this, &DraftKeeper::changed);
        connect(list, &QListWidget::itemSelectionChanged, this, &DraftKeeper::changed);
    }
    // A button may change the record without changing a box (Create File
    // copies the author's name and e-mail).
    for (QAbstractButton *button : screen->findChildren<QAbstractButton *>())
        connect(button, &QAbstractButton::clicked, this, &DraftKeeper::changed);
}

void DraftKeeper::changed()
{
    if (m_ended)
        return;
    m_dirty = true;
    // Started by the first change and never pushed back by later ones.
    if (!m_timer.isActive())
        m_timer.start();
}

void DraftKeeper::screenChanged()
{
    writeNow();
}

void DraftKeeper::valuesReplaced()
{
    changed();
    writeNow();
}

void DraftKeeper::writeNow()
{
    if (m_dirty)
        submit();
}

void DraftKeeper::submit()
{
    m_timer.stop();
    m_dirty = false;
    if (m_ended)
        return;
    const WizardValues values = wizardValues(m_navigation, m_context);
    // A run in which nothing was typed leaves no file behind.
    if (!m_anyWritten && !holdsTypedText(values) && !m_restored)
        return;
    if (!m_writer) {
        const bool claimed = store().claim();
        tellProblem();
        // A restored draft stays until a later write of this run's own
        // reaches the disk, or for the next start.
        if (!claimed)
            return;
        m_writer = std::make_unique<DraftWriter>(store().draftPath());
    }
    m_anyWritten = true;
    std::function<void()> afterWritten;
    if (m_restored)
        afterWritten = [left = std::exchange(m_restored, nullptr)] { left->discard(); };
    m_writer->submit(values, std::move(afterWritten));
}

void DraftKeeper::waitForWriter()
{
    if (m_writer)
        m_writer->waitUntilIdle();
}

void DraftKeeper::flush()
{
    writeNow();
    waitForWriter();
}

void DraftKeeper::offerLeftDraft(QWidget *owner)
{
    std::optional<LeftDraft> left = store().takeLeftDraft();
    tellProblem();
    if (!left)
        return;
    const QString name = left->values.name.isEmpty() ? QStringLiteral("a program without a name")
                                                     : left->values.name;
    const QString version = left->values.version.isEmpty() ? QString() : u' ' + left->values.version;
    const QDateTime changed = QFileInfo(left->draftPath).lastModified();
    const MessageAnswer answer = m_context.platform.messageBox(
        owner,
        QStringLiteral("Velmora did not end through Exit last time.") + crLf
            + QStringLiteral("Do you want back what was typed then for %1%2, last changed %3?")
                  .arg(name, version, QLocale().toString(changed, QLocale::ShortFormat))
            + crLf + QStringLiteral("No deletes it."),
        QStringLiteral("Restore?"), yesNoQuestion);
    auto held = std::make_shared<LeftDraft>(std::move(*left));
    if (answer != MessageAnswer::Yes) {
        held->discard();
        return;
    }
    putIntoWizard(m_navigation, m_context, held->values);
    // The finished run's draft goes once this run's own holds the same:
    // never before, so a run that cannot keep a draft of its own leaves it
    // to be offered again.
    m_restored = std::move(held);
    submit();
}

void DraftKeeper::endOfRun()
{
    m_ended = true;
    m_timer.stop();
    m_writer.reset();
    store().removeOwn();
}

}  // namespace velmora
