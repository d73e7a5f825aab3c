#include "QZPictureMemory.h"

#include <utility>

namespace {

qint64 PixelsInUse = 0;
qint64 SvgBytesInUse = 0;

} // namespace

TPictureMemoryToken::TPictureMemoryToken(TPictureMemoryToken &&other) noexcept
    : m_pixels(std::exchange(other.m_pixels, 0))
    , m_svgBytes(std::exchange(other.m_svgBytes, 0))
{
}

TPictureMemoryToken &TPictureMemoryToken::operator=(TPictureMemoryToken &&other) noexcept
{
    if (this != &other) {
        Release();
        m_pixels = std::exchange(other.m_pixels, 0);
        m_svgBytes = std::exchange(other.m_svgBytes, 0);
    }
    return *this;
}

void TPictureMemoryToken::Release()
{
    PixelsInUse -= std::exchange(m_pixels, 0);
    SvgBytesInUse -= std::exchange(m_svgBytes, 0);
}

bool TakePictureMemory(TPictureMemoryToken &token, qint64 pixels, qint64 svgBytes, QString *error)
{
    pixels = qMax<qint64>(pixels, 0);
    svgBytes = qMax<qint64>(svgBytes, 0);
    // What the token holds already counts as free for its new share.
    if (PixelsInUse - token.m_pixels + pixels > PictureMemoryPixels ||
        SvgBytesInUse - token.m_svgBytes + svgBytes > PictureMemorySvgBytes) {
        if (error)
            *error = QStringLiteral("the pictures shown at once would take more memory than a "
                                    "test may use for them");
        return false;
    }
    token.Release();
    token.m_pixels = pixels;
    token.m_svgBytes = svgBytes;
    PixelsInUse += pixels;
    SvgBytesInUse += svgBytes;
    return true;
}

qint64 PictureMemoryPixelsInUse() { return PixelsInUse; }
qint64 PictureMemorySvgBytesInUse() { return SvgBytesInUse; }
