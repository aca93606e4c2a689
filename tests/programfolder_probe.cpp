// A stand-in for Velmora that tst_programfolder copies into folders with
// awkward names and starts from elsewhere: it finds its folder, its presets
// and its help file through the real platform, and writes as Create File and
// Set do, with the same calls.
//   probe read                 prints the six presets (joined by |) and
//                              whether the help file was found
//   probe set V1 ... V6        Set with six values
//   probe readme PATH          Create File at PATH
//   probe drafts NAME          a run as the drafts see it: prints the config
//                              folder, the name in the finished run's draft
//                              ("none"), its own folder and the documents
//                              folder; deletes that draft, then keeps
//                              a draft of NAME and ends without tidying up,
//                              as a killed run; with no NAME, as Exit
// Prints the reason when a write is refused; exits 0 when it wrote.

#include "core/drafts/DraftStore.h"
#include "core/drafts/DraftWriter.h"
#include "core/text/AtomicFile.h"
#include "core/help/HelpPath.h"
#include "core/presets/PresetsFile.h"
#include "core/readme/ReadmeTarget.h"
#include "ui/toolkit/QtPlatform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

using namespace velmora;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QtPlatform platform;
    const QString folder = platform.applicationFolder();
    const QString user = platform.userConfigFolder();
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);

    if (args.value(0) == QLatin1String("read")) {
        const PresetRecord r = readPresets(folder, user);
        out << QStringList{r.companyName, r.webSite, r.languages, r.neededFiles, r.authorName,
                           r.authorEMail}.join(u'|')
            << '\n'
            << (QFileInfo(helpFilePathFor(folder)).isFile() ? "help found" : "help missing") << '\n';
        return 0;
    }
    if (args.value(0) == QLatin1String("set") && args.size() == 7) {
        // As the Set button: a location with a problem is not written.
        const PresetsLocation where = locatePresets(folder, user, PresetsUse::Set);
        const PresetsWrite written =
            where.problem.isEmpty() ? writePresets(where, PresetRecord{args[1], args[2], args[3], args[4], args[5], args[6]})
                                    : PresetsWrite{false, where.problem};
        out << written.reason;
        return written.saved ? 0 : 1;
    }
    if (args.value(0) == QLatin1String("drafts") && args.size() == 2) {
        DraftStore drafts(platform.userStateFolder());
        std::optional<LeftDraft> left = drafts.takeLeftDraft();
        out << user << '\n' << (left ? left->values.name : QStringLiteral("none")) << '\n' << folder << '\n'
            << platform.documentsFolder() << '\n';
        if (left)
            left->discard();
        if (!args[1].isEmpty() && drafts.claim()) {
            WizardValues values;
            values.name = args[1];
            DraftWriter writer(drafts.draftPath());
            writer.submit(values);
            writer.waitUntilIdle();
        }
        if (!drafts.problem().isEmpty())
            QTextStream(stderr) << drafts.problem() << '\n';
        return 0;
    }
    if (args.value(0) == QLatin1String("readme") && args.size() == 2) {
        QString reason = readmeTargetProblem(args[1], folder, user);
        const bool written = reason.isEmpty() && writeFileAtomically(args[1], "Readme\r\n", &reason);
        out << reason;
        return written ? 0 : 1;
    }
    return 2;
}
