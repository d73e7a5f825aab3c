// The RTF tokeniser and group state machine behind ReadRtf and RtfToPlainText.
// It hands text runs, paragraph ends and pictures to a TRtfSink, so that the
// same reading builds a QTextDocument or only collects plain text.
#pragma once

#include "QZPictureMemory.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

enum class TRtfList : quint8 {
    None,
    Bullet,
    Decimal,
    LowerAlpha,
    UpperAlpha,
    LowerRoman,
    UpperRoman
};

// Character formatting as the RTF control words set it; indices refer to the
// font and colour tables.
struct TRtfCharState
{
    int Font = -1; // -1: the document's default font
    int HalfPoints = 24;
    int Color = 0;     // 0: automatic
    int Back = 0;      // 0: none
    quint8 VAlign = 0; // 0 normal, 1 superscript, 2 subscript
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    bool Hidden = false;
    bool operator==(const TRtfCharState &) const = default;
};

// Paragraph formatting; lengths in twips.
struct TRtfParState
{
    int Align = 0; // 0 left, 1 right, 2 centre, 3 justified
    int Left = 0;
    int Right = 0;
    int First = 0;
    TRtfList List = TRtfList::None; // from a \pn group
    int ListStart = 1;
    int ListOverride = 0; // \ls
    int ListLevel = 0;    // \ilvl or \pnlvlN
    bool operator==(const TRtfParState &) const = default;
};

struct TRtfFont
{
    QString Name;
    int Charset = -1; // -1: none given
    QByteArray CodePage;
};

// A picture decoded from a \pict group, with the size it is shown at (pixels
// at 96 dots per inch; empty: the image's own size).
struct TRtfPicture
{
    QImage Image;
    QSizeF ShownSize;
    // The image's share of the picture memory, held as long as the image is.
    std::shared_ptr<TPictureMemoryToken> Memory;
};

class TRtfParser;

class TRtfSink
{
public:
    virtual ~TRtfSink() = default;
    // A run of text in one character format.
    virtual void Text(const QString &text, const TRtfCharState &format) = 0;
    virtual void LineBreak(const TRtfCharState &format) = 0;
    // Ends the paragraph that holds the text since the last end.
    virtual void EndParagraph(const TRtfParState &format, const TRtfCharState &charFormat) = 0;
    // The end of the document: text after the last paragraph end is a
    // paragraph of its own.
    virtual void Finish(const TRtfParState &format, const TRtfCharState &charFormat) = 0;
    // Pictures are decoded only for sinks that show them.
    virtual bool WantsPictures() const { return false; }
    virtual void Picture(const TRtfPicture &) {}
};

class TRtfParser
{
public:
    TRtfParser(QByteArrayView rtf, TRtfSink &sink);
    // False with *error when the bytes are not RTF. Truncated documents read
    // as far as they go.
    bool Parse(QString *error);

    const TRtfFont *Font(int index) const;
    int DefaultFont() const { return m_defaultFont; }
    // Invalid for automatic colours and indices past the table.
    QColor Color(int index) const;
    // The list kind of a paragraph, from its \pn group or its \ls override.
    TRtfList ListOf(const TRtfParState &format) const;
    // Code page of a \ansicpg or \cpg number; empty when unknown.
    static QByteArray CodePageOfNumber(int number);

private:
    enum class TDest : quint8 {
        Text,
        Skip,
        FontTable,
        ColorTable,
        Pict,
        Pn,
        ListTable,
        ListOverrides,
    };

    struct TGroup
    {
        TRtfCharState Char;
        TRtfParState Par;
        TDest Dest = TDest::Text;
        int Uc = 1;
    };

    struct TPict
    {
        int Kind = 0;          // 0 none, 1 png, 2 jpeg, 3 dib, 4 other
        qint64 GoalWidth = 0;  // twips
        qint64 GoalHeight = 0; // twips
        qint64 ScaleX = 100;
        qint64 ScaleY = 100;
        QByteArray Data;
        int Nibble = -1;
    };

    void OpenGroup();
    void CloseGroup();
    void ControlWord(QByteArrayView word, bool hasParam, int param);
    void ControlSymbol(char symbol);
    bool Destination(QByteArrayView word, bool starred);
    void TextBytes(const char *begin, const char *end);
    void TextByte(char byte, bool escaped);
    bool TakesAsTrail(char byte) const;
    void EndLeadByte();
    void CharacterBytes(QByteArrayView bytes);
    void Unicode(int code);
    void AppendChar(QChar c);
    void FlushBytes();
    void FlushText();
    void EndParagraph();
    void SkipOverflowGroup();
    void FinishPicture();
    void AddFontName(const char *begin, const char *end);
    void StoreFont();
    QByteArray CodePageOfFont(int index) const;
    QByteArray DocumentCodePage() const;
    bool ConsumeFallback();

    TGroup &Top() { return m_groups.back(); }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    TRtfSink &m_sink;
    std::vector<TGroup> m_groups;

    // Text of the current run: bytes waiting to be decoded in m_bytesCodePage,
    // then characters in m_textFormat.
    QByteArray m_bytes;
    QByteArray m_bytesCodePage;
    QString m_text;
    TRtfCharState m_textFormat;
    bool m_pendingCellTab = false;
    int m_fallbackToSkip = 0;
    // In a double-byte code page, a lead byte waiting for its trail byte: the
    // two make one character when both are written the same way (raw, or as
    // \'xx). A lead byte skipped as a \uN fallback takes its trail with it.
    int m_lead = -1;
    bool m_leadEscaped = false;
    bool m_leadSkipped = false;

    QByteArray m_ansiCodePage;
    QByteArray m_baseCodePage;
    int m_defaultFont = 0;
    QHash<int, TRtfFont> m_fonts;
    int m_fontIndex = -1;
    TRtfFont m_font;
    QByteArray m_fontNameBytes;
    std::vector<QColor> m_colors;
    int m_red = -1, m_green = -1, m_blue = -1;

    // \listtable: the number formats of each list's levels; \listoverridetable:
    // which list each \ls number stands for.
    QHash<int, std::vector<int>> m_lists;
    std::vector<int> m_listLevels;
    QHash<int, int> m_overrides;
    int m_overrideListId = 0;

    TPict m_pict;
    bool m_done = false;
};
