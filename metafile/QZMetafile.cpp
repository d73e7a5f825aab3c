#include "QZMetafile.h"

TMetafileSvg MetafileToSvg(QByteArrayView bytes)
{
    if (LooksLikeEmf(bytes))
        return EmfToSvg(bytes);
    if (LooksLikeWmf(bytes))
        return WmfToSvg(bytes);
    return {{}, {}, QStringLiteral("the picture is not a metafile")};
}
