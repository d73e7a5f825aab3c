// Fuzz target: any bytes through the metafile converters themselves, in this
// process where the sanitizers see into the C libraries, and what they draw
// through the SVG sanitiser. (The picture target reaches the converters the
// programs' way, through the helper process.)
#include "QZMetafile.h"
#include "QZSvgSanitizer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const TMetafileSvg converted = MetafileToSvg(bytes);
    if (!converted.Svg.isEmpty())
        SanitizedSvg(converted.Svg);
    return 0;
}
