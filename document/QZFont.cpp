#include "QZFont.h"

#include "QZCodePage.h"
#include "QZNaloga.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPalette>

#include <cmath>

namespace {

struct TSystemColor
{
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The palette colour that stands for each system colour number.
constexpr TSystemColor SystemColors[] = {
    {QPalette::Active, QPalette::Midlight},        // 0 scroll bar
    {QPalette::Active, QPalette::Dark},            // 1 desktop
    {QPalette::Active, QPalette::Highlight},       // 2 active caption
    {QPalette::Inactive, QPalette::Mid},           // 3 inactive caption
    {QPalette::Active, QPalette::Window},          // 4 menu
    {QPalette::Active, QPalette::Base},            // 5 window
    {QPalette::Active, QPalette::Shadow},          // 6 window frame
    {QPalette::Active, QPalette::WindowText},      // 7 menu text
    {QPalette::Active, QPalette::Text},            // 8 window text
    {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
    {QPalette::Active, QPalette::Window},          // 10 active border
    {QPalette::Inactive, QPalette::Window},        // 11 inactive border
    {QPalette::Active, QPalette::Mid},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},       // 13 highlight
    {QPalette::Active, QPalette::HighlightedText}, // 14 highlighted text
    {QPalette::Active, QPalette::Button},          // 15 button face
    {QPalette::Active, QPalette::Dark},            // 16 button shadow
    {QPalette::Disabled, QPalette::Text},          // 17 grey text
    {QPalette::Active, QPalette::ButtonText},      // 18 button text
    {QPalette::Inactive, QPalette::Text},          // 19 inactive caption text
    {QPalette::Active, QPalette::Light},           // 20 button highlight
    {QPalette::Active, QPalette::Shadow},          // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},        // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},     // 23 tooltip text
    {QPalette::Active, QPalette::ToolTipBase},     // 24 tooltip background
    {QPalette::Active, QPalette::Window},          // 25 (unused)
    {QPalette::Active, QPalette::Link},            // 26 hot light
    {QPalette::Active, QPalette::Highlight},       // 27 active caption gradient
    {QPalette::Inactive, QPalette::Mid},           // 28 inactive caption gradient
    {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
    {QPalette::Active, QPalette::Window},          // 30 menu bar
};

QPalette ApplicationPalette() { return qGuiApp ? QGuiApplication::palette() : QPalette(); }

} // namespace

QColor ColorFromValue(quint32 value)
{
    if (value & SystemColorFlag) {
        const quint32 index = value & 0xff;
        const TSystemColor system =
            index < std::size(SystemColors) ? SystemColors[index] : SystemColors[5];
        return ApplicationPalette().color(system.Group, system.Role);
    }
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

quint32 ValueFromColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return quint32(rgb.red()) | quint32(rgb.green()) << 8 | quint32(rgb.blue()) << 16;
}

TRecordFont RecordToFont(const TFontRecord &record)
{
    TRecordFont result;
    result.Charset = record.Charset;
    result.Color = ColorFromValue(record.Color);
    QFont &font = result.Font;
    font.setFamily(DecodeText(record.Name.Bytes(), CodePageOfCharset(record.Charset)).trimmed());
    font.setBold(record.Style & FontBold);
    font.setItalic(record.Style & FontItalic);
    font.setUnderline(record.Style & FontUnderline);
    font.setStrikeOut(record.Style & FontStrikeOut);
    const qint32 height = record.Height;
    if (height < 0) {
        font.setPixelSize(int(std::max<qint64>(1, -qint64(height))));
    } else if (height > 0) {
        // A cell height: find the character size whose line is that high.
        font.setPixelSize(height);
        const int cell = QFontMetrics(font).height();
        if (cell > 0)
            font.setPixelSize(std::max(1, int(std::lround(double(height) * height / cell))));
    }
    return result;
}

TFontRecord FontToRecord(const QFont &font, quint32 color, quint8 charset)
{
    auto record = ZeroRecord<TFontRecord>();
    record.Color = color;
    record.Name.SetBytes(EncodeText(font.family(), CodePageOfCharset(charset)));
    int pixels = font.pixelSize();
    if (pixels <= 0)
        pixels = int(std::lround(font.pointSizeF() * 96.0 / 72.0));
    record.Height = -pixels;
    record.Style =
        quint8((font.bold() ? FontBold : 0) | (font.italic() ? FontItalic : 0) |
               (font.underline() ? FontUnderline : 0) | (font.strikeOut() ? FontStrikeOut : 0));
    record.Charset = charset;
    return record;
}

bool SameText(const QString &a, const QString &b, bool caseSensitive)
{
    const QString left = TrimmedName(a);
    const QString right = TrimmedName(b);
    if (caseSensitive)
        return left == right;
    const QLocale locale;
    return locale.toUpper(left) == locale.toUpper(right);
}
