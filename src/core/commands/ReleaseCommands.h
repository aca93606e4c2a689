#pragma once

#include "core/commands/CommandLine.h"

#include <QString>
#include <QStringList>

namespace velmora {

// The commands for release scripts and CI: no display, no question, an
// exit status that says what happened (0 done; 1 a file not in the layout,
// or a readme not written; 2 a bad field, value or option) and one line on
// standard error that says why. arguments: those after the command's name.

// velmora check FILE: FILE read as File > Open readme reads it; when it is
// not a Velmora readme, FILE:LINE: and the words of Open readme's box.
CommandLineAnswer checkReadme(const QString &file);

// velmora update FILE [--set FIELD=VALUE | --set FIELD=@PATH]...
// [--output OUT] [--encoding utf-8]: FILE read as Open readme reads it, the
// fields set, and the readme written as Create File writes it, to OUT
// (FILE by default) in FILE's layout or the one OUT's extension names. A
// text readme is written in the encoding it was opened in; one that
// Windows-1252 cannot hold is written only with --encoding utf-8.
CommandLineAnswer updateReadme(const QStringList &arguments);

// velmora new --project DIR --output OUT [--set ...]... [--encoding utf-8]:
// a first readme from the presets, then the first fact of each field that
// its box could hold (readProjectFacts), then the values set. OUT must not
// exist yet.
CommandLineAnswer newReadme(const QStringList &arguments);

}  // namespace velmora
