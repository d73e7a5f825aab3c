// Enhanced metafiles to SVG through libemf2svg.
#include "QZMetafile.h"

#include <cstdlib>

#include <emf2svg.h>

// libemf2svg shuts fontconfig down with FcFini after looking up a font for a
// text record, while Qt still holds fontconfig's caches: fontconfig then
// aborts or Qt reads freed memory. Defined here, FcFini takes the place of
// fontconfig's own for the whole program and leaves fontconfig running; its
// memory goes back when the process ends.
extern "C" void FcFini(void) {}

TMetafileSvg EmfToSvg(QByteArrayView bytes)
{
    const TPreparedMetafile prepared = PrepareMetafile(bytes);
    if (!prepared.Error.isEmpty())
        return {{}, {}, prepared.Error};
    if (!prepared.Enhanced)
        return {{}, {}, QStringLiteral("the metafile has no enhanced metafile header")};
    QByteArray contents = prepared.Contents;
    const QSize natural = prepared.NaturalSize;
    generatorOptions options{};
    options.nameSpace = const_cast<char *>("");
    options.verbose = false;
    options.emfplus = false;
    options.svgDelimiter = true;
    options.imgWidth = natural.width();
    options.imgHeight = natural.height();
    char *out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(contents.data(), size_t(contents.size()), &out, &outLength, &options);
    TMetafileSvg result;
    if (ok && out && outLength > 0 && outLength <= size_t(MaxMetafileSvgBytes))
        result.Svg = QByteArray(out, qsizetype(outLength));
    const bool tooLarge = ok && outLength > size_t(MaxMetafileSvgBytes);
    std::free(out);
    if (tooLarge)
        return TMetafileSvg{{}, {}, QStringLiteral("the enhanced metafile's drawing is too large")};
    if (result.Svg.isEmpty())
        return TMetafileSvg{{}, {}, QStringLiteral("the enhanced metafile could not be drawn")};
    result.NaturalSize = natural;
    return result;
}
