// Fuzz target: any bytes as the object stream of an OLE object, and as the
// compound file inside one. Parsing either gives an object, whose
// presentation is drawn and whose activation file is checked, or raises
// TQZFileError.
#include "QZCompoundFile.h"
#include "QZFuzzGui.h"
#include "QZOleActivation.h"
#include "QZOleObject.h"
#include "QZOlePresentation.h"
#include "QZStream.h"

#include <QImage>
#include <QPainter>

#include <cstddef>
#include <cstdint>

namespace {

void Exercise(QByteArrayView stream)
{
    try {
        const TOleObject object = TOleObject::FromStream(stream);
        QImage canvas(40, 30, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        for (int mode = OleSizeNormal; mode <= OleSizeStretch; ++mode)
            DrawOleObject(painter, QRect(0, 0, 40, 30), object, mode);
        OleNaturalSize(object, 96, 96);
        PrepareOleOpening(object);
    } catch (const TQZFileError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    EnsureFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    EnsureFuzzApplication();
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // The bytes as a whole object stream, then as the storage of one, so that
    // the compound files of the seeds reach the storage reader.
    Exercise(bytes);
    Exercise(TOleObject::MakeStream(OleAspectContent, bytes));
    CompoundFileFault(bytes);
    return 0;
}
