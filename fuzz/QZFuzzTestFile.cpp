// Fuzz target: any bytes as a test file and as a page file, through the same
// loaders the programs use (headless objects). Loading either succeeds or
// raises TQZFileError; it never reads outside the data or runs away.
#include "QZNaloga.h"
#include "QZStream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        TQZNaloga test;
        test.LoadFromBytes(bytes);
        test.ToBytes();
    } catch (const TQZFileError &) {
    }
    try {
        TQZStran page;
        TQZReader reader(bytes);
        page.LoadFromStream(reader);
        QByteArray written;
        page.SaveToStream(written);
    } catch (const TQZFileError &) {
    }
    TestLoading = false;
    return 0;
}
