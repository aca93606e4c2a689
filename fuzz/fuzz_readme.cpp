// libFuzzer target for Open readme's reader: any bytes through
// recogniseReadme. Besides the sanitizers (and libFuzzer's time-out, which
// catches a reader that is no longer linear), it aborts when one of the
// rules below stops holding.

#include "core/readme/MarkdownLayout.h"
#include "core/readme/ReadmeReading.h"
#include "core/readme/TextLayout.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char *rule)
{
    std::fprintf(stderr, "broken rule: %s\n", rule);
    std::abort();
}

// What Create File writes for a recognised readme: its layout, the text
// layout in the encoding it was read in.
QByteArray writeAgain(const velmora::RecognisedReadme &read)
{
    using namespace velmora;
    if (read.format == ReadmeFormat::Markdown)
        return readmeMarkdownBytes(read.record, read.compatibleSystems);
    return readmeBytes(read.record, read.compatibleSystems,
                       read.encoding == TextEncoding::Utf8 ? ReadmeEncoding::Utf8 : ReadmeEncoding::Windows1252);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace velmora;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RecognisedReadme read = recogniseReadme(bytes);
    if (!read.recognised) {
        // One past the last line at most: a line counts from 1, and a file
        // cut short is answered just past its end.
        if (read.mismatch.lineNumber < 1 || read.mismatch.lineNumber > bytes.count('\n') + bytes.count('\r') + 2)
            broken("a mismatch names a line of the file, or the one after it");
        if (read.mismatch.lineStart.size() > 60 || read.mismatch.expected.isEmpty())
            broken("a mismatch shows at most 60 characters and says what was expected");
        if (notRecognisedMessage(read).isEmpty())
            broken("a file not taken is answered with a box");
        return 0;
    }
    // Whatever was read writes a readme that is read back as it was, and
    // written again the same.
    if (read.format == ReadmeFormat::Markdown && !whyMarkdownCannotHold(read.record, read.compatibleSystems).isEmpty())
        return 0;  // Create File refuses it
    const QByteArray written = writeAgain(read);
    const RecognisedReadme again = recogniseReadme(written);
    if (!again.recognised)
        broken("what a recognised readme writes is recognised");
    if (again.format != read.format)
        broken("it is read back in the same layout");
    if (writeAgain(again) != written)
        broken("it writes the same bytes again");
    return 0;
}
