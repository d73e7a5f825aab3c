// Enhanced metafiles and Windows metafiles turned into SVG documents by
// libemf2svg and libwmf. These converters are C code that trusts its input:
// they run only in the metafile helper process (corvmetafilehelper), never in
// the programs, and only on metafiles PrepareMetafile made ready.
#pragma once

#include "QZMetafileFormat.h"

// Converts an enhanced metafile or a Windows metafile (with or without its
// placeable header), whichever the bytes are.
TMetafileSvg MetafileToSvg(QByteArrayView bytes);
TMetafileSvg EmfToSvg(QByteArrayView bytes);
TMetafileSvg WmfToSvg(QByteArrayView bytes);
