// The glyphs of the rich text editor's toolbar, drawn rather than taken from
// an icon theme so that they look the same on every desktop.
#pragma once

#include <QColor>
#include <QIcon>

namespace CorvBuilder {

enum class TMemoGlyph {
    Open,
    Save,
    Print,
    Undo,
    Cut,
    Copy,
    Paste,
    Bold,
    Italic,
    Underline,
    AlignLeft,
    AlignCenter,
    AlignRight,
    Bullets,
};

QIcon MemoGlyph(TMemoGlyph glyph);
// The background colour button's glyph: a swatch of the colour.
QIcon ColorSwatchGlyph(const QColor &color);

} // namespace CorvBuilder
