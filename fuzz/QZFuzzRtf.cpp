// Fuzz target: any bytes as the rich text of a rich text object. Reading
// either builds a document or refuses the bytes; a document read is rescaled
// as the player does after loading, and written again.
#include "QZFuzzGui.h"
#include "QZRtf.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    EnsureFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    if (ReadRtf(bytes, document)) {
        RescaleRichTextFonts(document, 100, 200);
        WriteRtf(document);
    }
    RtfToPlainText(bytes);
    return 0;
}
