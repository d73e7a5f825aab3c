// Fuzz target: any bytes as the picture of a picture object, decoded as each
// of the three kinds a picture record names (bitmap, metafile, icon). A
// picture that decodes is drawn once, small.
#include "QZFuzzGui.h"
#include "QZPicture.h"

#include <QImage>

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
    for (const TPictureKind kind :
         {TPictureKind::Bitmap, TPictureKind::Metafile, TPictureKind::Icon}) {
        TQZPicture picture;
        if (picture.Load(bytes, kind))
            picture.Rendered(QSize(24, 16));
    }
    return 0;
}
