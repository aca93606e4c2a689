#include "core/project/ProjectSources.h"

#include <QRegularExpression>

#include <algorithm>

namespace velmora {

namespace {

// The phrases that tell a licence, each as it reads once lower-cased, its
// quotes made straight and its markup and spaces made single. Where one
// licence's text quotes another's title (the LGPL names the GPL, the GPL
// names the LGPL), the title with its version and date tells them apart.
struct Licence {
    const char *id;
    std::initializer_list<const char *> all;   // every one of these
    std::initializer_list<const char *> none;  // and none of these
};

const Licence licences[] = {
    {"LGPL-3.0", {"gnu lesser general public license version 3, 29 june 2007"}, {}},
    {"LGPL-2.1", {"gnu lesser general public license version 2.1, february 1999"}, {}},
    {"LGPL-2.0", {"gnu library general public license version 2, june 1991"}, {}},
    {"GPL-3.0", {"gnu general public license version 3, 29 june 2007"}, {}},
    {"GPL-2.0", {"gnu general public license version 2, june 1991"}, {}},
    {"AGPL-3.0", {"gnu affero general public license version 3, 19 november 2007"}, {}},
    {"Apache-2.0", {"apache license version 2.0, january 2004"}, {}},
    {"MPL-2.0", {"mozilla public license version 2.0"}, {}},
    {"MIT",
     {"permission is hereby granted, free of charge, to any person obtaining a copy",
      "the above copyright notice and this permission notice shall be included"},
     {}},
    {"BSD-3-Clause",
     {"redistribution and use in source and binary forms, with or without modification, are permitted",
      "may be used to endorse or promote products derived from this software"},
     {"advertising materials"}},
    {"BSD-2-Clause",
     {"redistribution and use in source and binary forms, with or without modification, are permitted"},
     {"may be used to endorse or promote products derived from this software", "advertising materials"}},
    {"ISC",
     {"distribute this software for any purpose with or without fee is hereby granted, provided that the above "
      "copyright notice and this permission notice appear in all copies"},
     {}},
    {"Unlicense", {"this is free and unencumbered software released into the public domain"}, {}},
};

QString plainWords(const QString &text)
{
    QString plain = text.toLower();
    plain.replace(QRegularExpression(QStringLiteral("[\u201c\u201d]")), QStringLiteral("\""));
    plain.replace(QRegularExpression(QStringLiteral("[\u2018\u2019]")), QStringLiteral("'"));
    plain.replace(QRegularExpression(QStringLiteral(R"([#*_>=\s]+)")), QStringLiteral(" "));
    return plain;
}

}  // namespace

QString recogniseLicence(const QString &text)
{
    const QString plain = plainWords(text);
    for (const Licence &licence : licences) {
        const auto in = [&plain](const char *phrase) { return plain.contains(QLatin1String(phrase)); };
        if (std::all_of(licence.all.begin(), licence.all.end(), in)
            && std::none_of(licence.none.begin(), licence.none.end(), in))
            return QLatin1String(licence.id);
    }
    return {};
}

}  // namespace velmora
