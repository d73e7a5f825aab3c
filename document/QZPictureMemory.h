// The memory the open test's decoded pictures may take at once: the pixels of
// bitmaps, icons and rich text pictures, and the SVG the metafiles become. A
// test file of a few kilobytes can claim gigabytes of pixels (run-length
// compression, a dozen large pictures); what would go past this budget is a
// picture that cannot be read. Pictures take their share when they are
// decoded and give it back when they are freed, so the budget bounds what is
// held at any moment, not what a test holds in all: a picture object frees
// its decoding when its page is left and decodes again when it is shown.
#pragma once

#include <QString>
#include <QtGlobal>

// 100 million pixels are 400 MB of 32-bit image; the largest single picture
// allowed (40 million pixels) fits twice over.
inline constexpr qint64 PictureMemoryPixels = 100'000'000;
inline constexpr qint64 PictureMemorySvgBytes = 128 * 1024 * 1024;

// A share of the budget, given back when the token goes.
class TPictureMemoryToken
{
public:
    TPictureMemoryToken() = default;
    ~TPictureMemoryToken() { Release(); }
    TPictureMemoryToken(TPictureMemoryToken &&other) noexcept;
    TPictureMemoryToken &operator=(TPictureMemoryToken &&other) noexcept;
    TPictureMemoryToken(const TPictureMemoryToken &) = delete;
    TPictureMemoryToken &operator=(const TPictureMemoryToken &) = delete;

    void Release();

private:
    friend bool TakePictureMemory(TPictureMemoryToken &, qint64, qint64, QString *);
    qint64 m_pixels = 0;
    qint64 m_svgBytes = 0;
};

// Takes `pixels` and `svgBytes` of the budget. When they do not fit beside
// what is taken, nothing is taken, `error` says so and false is returned.
bool TakePictureMemory(TPictureMemoryToken &token, qint64 pixels, qint64 svgBytes,
                       QString *error = nullptr);

// What is taken now, for tests and the benchmark.
qint64 PictureMemoryPixelsInUse();
qint64 PictureMemorySvgBytesInUse();
