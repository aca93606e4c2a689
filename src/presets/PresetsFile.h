#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class QWidget;

namespace velmora {

class Platform;

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

// <application folder>/presets.txt, with the folder's own separator style.
QString presetsPath(const QString &applicationFolder);

// True when a file (not a folder) exists at path.
bool FileExists(const QString &path);

// The last record of a presets text, by the reading rules; six empty values
// when it holds none. A record cut short keeps the values it has.
PresetRecord parsePresets(QStringView text);

// Reads presets.txt in the application folder. A file that is missing,
// unreadable or a folder gives six empty values.
PresetRecord ReadPresets(const QString &applicationFolder);

// One record line: six quoted values, commas, CR LF, in Windows-1252.
QByteArray presetRecordLine(const PresetRecord &record);

// The Set button's algorithm: refuses values the format cannot hold, asks
// for confirmation, then replaces presets.txt atomically. Messages go
// through the platform, owned by owner.
void savePresets(Platform &platform, QWidget *owner, const PresetRecord &record);

}  // namespace velmora
