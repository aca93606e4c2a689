#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace velmora {

// The six preset values in file order.
struct PresetRecord {
    QString companyName;
    QString webSite;
    QString languages;
    QString neededFiles;
    QString authorName;
    QString authorEMail;

    friend bool operator==(const PresetRecord &, const PresetRecord &) = default;
};

inline constexpr char presetsFileName[] = "presets.txt";

// A presets file larger than this holds no record: it is not read (six
// empty values), and Set replaces it as any other.
inline constexpr qint64 maxPresetsFileBytes = qint64(1) * 1024 * 1024;

// <application folder>/presets.txt, with the folder's own separator style.
QString presetsPath(const QString &applicationFolder);

// True when a file (not a folder) exists at path.
bool fileExists(const QString &path);

// Which presets.txt a reading or a Set uses. While presets.txt in the
// application folder exists and this user may write it, it is the presets
// file. Otherwise the user's own presets.txt in userFolder stands in: it is
// read when it exists (else the application folder's copy, the installed
// defaults), and Set writes it, creating it and its folder, when the
// application folder's file exists but may not be written. With neither
// file there, nothing is read and Set finds no file. When the application
// folder cannot be named (empty), the user's file is read and Set writes it,
// creating it.
// A pipe, device or socket where the application folder's presets.txt
// belongs is never written, nor is a presets.txt that leads to the program
// itself or to its help file: Set gets the reason in problem.
struct PresetsLocation {
    QString path;            // empty: no presets file
    bool mayCreate = false;  // Set may create the file and its folder
    QString problem;         // why Set must not write path, if it must not
};
enum class PresetsUse { Read, Set };
PresetsLocation locatePresets(const QString &applicationFolder, const QString &userFolder,
                              PresetsUse use);

// The last record of a presets text, by the reading rules; six empty values
// when it holds none. A record cut short keeps the values it has.
PresetRecord parsePresets(QStringView text);

// Reads one presets file. A file that is missing, unreadable, not a regular
// file or larger than maxPresetsFileBytes gives six empty values. It is read
// under the file's shared lock, so an in-place write of it is never seen
// half done.
PresetRecord readPresetsFile(const QString &path);

// What a screen reads at activation: the presets file that locatePresets
// chooses for reading.
PresetRecord readPresets(const QString &applicationFolder, const QString &userFolder);

// One record line: six quoted values, commas, CR LF. In Windows-1252 when
// that holds every character and reads back as the same text, otherwise in
// UTF-8 without a byte-order mark; the reader (decodeTextFile) takes UTF-8
// when the bytes are valid UTF-8, Windows-1252 otherwise.
QByteArray presetRecordLine(const PresetRecord &record);

// The names of the values that hold a double quote ("company name", ...),
// which the format cannot store; empty when there is none.
QStringList valuesWithDoubleQuote(const PresetRecord &record);

// How a write of presets.txt ended. reason says why it failed, in the form
// "Cannot write "<path>": <why>."
struct PresetsWrite {
    bool saved = false;
    QString reason;
};

// Replaces the file at where.path with one record line, all or nothing.
// Unless where.mayCreate, a file that is no longer there is not created
// anew (the program never creates the application folder's presets.txt).
PresetsWrite writePresets(const PresetsLocation &where, const PresetRecord &record);

}  // namespace velmora
