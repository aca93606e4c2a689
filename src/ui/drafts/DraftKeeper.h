#pragma once

#include "core/drafts/DraftStore.h"
#include "core/drafts/DraftWriter.h"
#include "ui/screens/Navigation.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace velmora {

struct AppContext;

// Keeps what is typed into the wizard on disk while the program runs, and
// offers a finished run's draft back when the general-info screen first
// shows. The program frame tells it when a screen is made, when the screen
// changes and when the program ends through Exit.
class DraftKeeper : public QObject {
    Q_OBJECT
public:
    // A change is on disk at most this long after it was made (and at once
    // at a change of screen), however long the typing goes on.
    static constexpr int writeDelayMs = 1000;

    // Drafts are kept in the platform's user state folder, looked up when
    // first needed; an empty one keeps none.
    DraftKeeper(AppContext &context, Navigation &navigation);
    ~DraftKeeper() override;

    // Watches the boxes, lists and buttons of a wizard screen just made.
    void screenMade(ScreenId id, QObject *screen);
    // Writes what changed, now.
    void screenChanged();
    // The wizard's values were put back as a whole: written now, even where
    // no box shows the change (the record's author fields).
    void valuesReplaced();
    // Offers a draft left by a run that is over: Yes puts it back, No
    // deletes it.
    void offerLeftDraft(QWidget *owner);
    // Exit: nothing more is written and this run's draft goes.
    void endOfRun();

    // This run's draft; empty until the first write.
    QString draftPath() const { return m_store ? m_store->draftPath() : QString(); }
    // Returns once what was handed to the writer is on disk (or has failed).
    void waitForWriter();
    // Writes what changed now, and waits for it.
    void flush();

private slots:
    void changed();
    void writeNow();

private:
    void submit();
    DraftStore &store();
    // Says once on standard error why this run keeps no drafts.
    void tellProblem();

    AppContext &m_context;
    Navigation &m_navigation;
    std::optional<DraftStore> m_store;
    std::unique_ptr<DraftWriter> m_writer;
    QTimer m_timer;
    bool m_dirty = false;
    bool m_anyWritten = false;  // a draft of this run may be on disk
    bool m_ended = false;
    bool m_told = false;
    // A finished run's draft put back into the wizard, deleted once this
    // run's own draft is on disk.
    std::shared_ptr<LeftDraft> m_restored;
};

}  // namespace velmora
