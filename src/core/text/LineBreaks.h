#pragma once

#include <QString>

namespace velmora {

// The line break of every file and message the program writes.
inline const QString crLf = QStringLiteral("\r\n");

// Every line break (CR LF, CR alone, LF alone) becomes CR LF.
QString toCrLf(const QString &text);

// Every line break (CR LF, CR alone, LF alone) becomes LF, the way Qt's text
// boxes hold lines.
QString toLf(const QString &text);

// Every line break (CR LF, CR alone, LF alone) becomes one space: a text put
// into a single-line box.
QString toOneLine(const QString &text);

}  // namespace velmora
