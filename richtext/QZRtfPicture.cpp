// Pictures in RTF: the bytes of \pict groups decoded into images for sinks
// that show them.
#include "QZRtfParser.h"

#include "QZDib.h"

#include <QBuffer>
#include <QImageReader>

void TRtfParser::FinishPicture()
{
    if (!m_sink.WantsPictures() || m_pict.Data.isEmpty()) {
        m_pict = TPict();
        return;
    }
    QByteArray encoded;
    const char *format = nullptr;
    switch (m_pict.Kind) {
    case 1:
        encoded = m_pict.Data;
        format = "PNG";
        break;
    case 2:
        encoded = m_pict.Data;
        format = "JPEG";
        break;
    case 3:
        // A device-independent bitmap without its file header.
        encoded = DibToBitmapFile(m_pict.Data);
        if (!encoded.isEmpty())
            format = "BMP";
        break;
    default: break;
    }
    // The picture takes its share of the test's picture memory before it is
    // decoded; one the memory cannot hold is left out like one that cannot be
    // read.
    QImage image;
    auto memory = std::make_shared<TPictureMemoryToken>();
    if (format) {
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, format);
        reader.setDecideFormatFromContent(false);
        const QSize size = reader.size();
        if (size.isValid() && TakePictureMemory(*memory, qint64(size.width()) * size.height(), 0))
            image = reader.read();
    }
    if (!image.isNull()) {
        TRtfPicture picture{image, {}, memory};
        if (m_pict.GoalWidth > 0 && m_pict.GoalHeight > 0)
            picture.ShownSize = QSizeF(double(m_pict.GoalWidth) * double(m_pict.ScaleX) / 1500.0,
                                       double(m_pict.GoalHeight) * double(m_pict.ScaleY) / 1500.0);
        FlushText();
        m_sink.Picture(picture);
    }
    m_pict = TPict();
}
