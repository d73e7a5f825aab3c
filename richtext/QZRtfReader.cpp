#include "QZRtf.h"
#include "QZRtfParser.h"

#include "QZCodePage.h"
#include "QZScaling.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <cmath>

namespace {

// Keeps a picture's share of the picture memory for as long as its document.
class TPictureMemoryHolder : public QObject
{
public:
    TPictureMemoryHolder(std::shared_ptr<TPictureMemoryToken> memory, QObject *document)
        : QObject(document)
        , m_memory(std::move(memory))
    {
    }

private:
    std::shared_ptr<TPictureMemoryToken> m_memory;
};

} // namespace

namespace {

// Twips (1/1440 inch) to document pixels at 96 dots per inch.
constexpr double TwipsPerPixel = 15.0;
// Pixels left of a list paragraph's first line that a number or bullet needs.
constexpr double MarkerRoom = 12.0;

QTextListFormat::Style ListStyle(TRtfList list)
{
    switch (list) {
    case TRtfList::Bullet: return QTextListFormat::ListDisc;
    case TRtfList::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case TRtfList::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case TRtfList::LowerRoman: return QTextListFormat::ListLowerRoman;
    case TRtfList::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDecimal;
    }
}

// Builds a QTextDocument paragraph by paragraph through one cursor.
class TDocumentSink final : public TRtfSink
{
public:
    TDocumentSink(QTextDocument &document, const TRtfParser &parser)
        : m_document(document)
        , m_cursor(&document)
        , m_parser(parser)
    {
    }

    void Text(const QString &text, const TRtfCharState &format) override
    {
        StartBlock();
        const QTextCharFormat run = CharFormat(format);
        // A list marker is drawn in the block's own character format: the
        // paragraph's first run gives it, not the paragraph before.
        if (!m_hasContent)
            m_cursor.setBlockCharFormat(run);
        m_cursor.insertText(text, run);
        m_hasContent = true;
    }
    void LineBreak(const TRtfCharState &format) override
    {
        Text(QString(QChar::LineSeparator), format);
    }
    void EndParagraph(const TRtfParState &format, const TRtfCharState &charFormat) override
    {
        StartBlock();
        if (!m_hasContent)
            m_cursor.setBlockCharFormat(CharFormat(charFormat));
        ApplyParagraph(format);
        ++m_paragraphs;
        m_needBlock = true;
        m_hasContent = false;
    }
    void Finish(const TRtfParState &format, const TRtfCharState &charFormat) override
    {
        if (m_hasContent || m_paragraphs == 0)
            EndParagraph(format, charFormat);
    }
    bool WantsPictures() const override { return true; }
    void Picture(const TRtfPicture &picture) override
    {
        StartBlock();
        const QString name = QStringLiteral("rtfpicture:%1").arg(++m_pictures);
        m_document.addResource(QTextDocument::ImageResource, QUrl(name), picture.Image);
        // The picture's memory goes with the document that holds it.
        if (picture.Memory)
            new TPictureMemoryHolder(picture.Memory, &m_document);
        QTextImageFormat format;
        format.setName(name);
        const QSizeF size =
            picture.ShownSize.isEmpty() ? QSizeF(picture.Image.size()) : picture.ShownSize;
        format.setWidth(size.width());
        format.setHeight(size.height());
        m_cursor.insertImage(format);
        m_hasContent = true;
    }

private:
    void StartBlock()
    {
        if (m_needBlock) {
            m_cursor.insertBlock();
            m_needBlock = false;
        }
    }

    QTextCharFormat CharFormat(const TRtfCharState &state)
    {
        // Runs repeat a handful of formats: build each once.
        for (const auto &[known, format] : m_formats)
            if (known == state)
                return format;
        QTextCharFormat format;
        const int fontIndex = state.Font < 0 ? m_parser.DefaultFont() : state.Font;
        if (const TRtfFont *font = m_parser.Font(fontIndex)) {
            if (!font->Name.isEmpty())
                format.setFontFamilies(QStringList{font->Name});
            if (font->Charset >= 0)
                format.setProperty(RtfCharsetProperty, font->Charset);
        }
        format.setFontPointSize(state.HalfPoints / 2.0);
        if (state.Bold)
            format.setFontWeight(QFont::Bold);
        if (state.Italic)
            format.setFontItalic(true);
        if (state.Underline)
            format.setFontUnderline(true);
        if (state.Strike)
            format.setFontStrikeOut(true);
        if (const QColor color = m_parser.Color(state.Color); color.isValid())
            format.setForeground(color);
        if (const QColor color = m_parser.Color(state.Back); color.isValid())
            format.setBackground(color);
        if (state.VAlign == 1)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (state.VAlign == 2)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (m_formats.size() < 256)
            m_formats.emplace_back(state, format);
        return format;
    }

    void ApplyParagraph(const TRtfParState &state)
    {
        QTextBlockFormat format;
        static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight,
                                                       Qt::AlignHCenter, Qt::AlignJustify};
        format.setAlignment(alignments[std::clamp(state.Align, 0, 3)]);
        if (state.Left != 0)
            format.setLeftMargin(state.Left / TwipsPerPixel);
        if (state.Right != 0)
            format.setRightMargin(state.Right / TwipsPerPixel);
        if (state.First != 0)
            format.setTextIndent(state.First / TwipsPerPixel);
        const TRtfList list = m_parser.ListOf(state);
        // Qt draws a list's number or bullet to the left of the first line.
        // Writers that keep a list's indents in their list table leave the
        // paragraph at the margin, where the marker would fall outside the
        // box: such a paragraph moves in by one indent step to give it room.
        if (list != TRtfList::None &&
            (state.Left + std::min(state.First, 0)) / TwipsPerPixel < MarkerRoom)
            format.setLeftMargin(format.leftMargin() + m_document.indentWidth());
        m_cursor.setBlockFormat(format);

        if (list == TRtfList::None) {
            m_list = nullptr;
            return;
        }
        const TListKey key{list, state.ListLevel, state.ListOverride, state.Left};
        if (m_list && key == m_listKey) {
            m_list->add(m_cursor.block());
            return;
        }
        QTextListFormat listFormat;
        listFormat.setStyle(ListStyle(list));
        listFormat.setIndent(0); // the paragraph's own indents place it
        if (list != TRtfList::Bullet)
            listFormat.setNumberSuffix(QStringLiteral("."));
        m_list = m_cursor.createList(listFormat);
        m_listKey = key;
    }

    struct TListKey
    {
        TRtfList List;
        int Level;
        int Override;
        int Left;
        bool operator==(const TListKey &) const = default;
    };

    QTextDocument &m_document;
    QTextCursor m_cursor;
    const TRtfParser &m_parser;
    std::vector<std::pair<TRtfCharState, QTextCharFormat>> m_formats;
    QTextList *m_list = nullptr;
    TListKey m_listKey{};
    bool m_needBlock = false;
    bool m_hasContent = false;
    int m_pictures = 0;
    int m_paragraphs = 0;
};

class TPlainTextSink final : public TRtfSink
{
public:
    void Text(const QString &text, const TRtfCharState &) override
    {
        m_text += text;
        m_open = true;
    }
    void LineBreak(const TRtfCharState &) override
    {
        m_text += QLatin1Char('\n');
        m_open = true;
    }
    void EndParagraph(const TRtfParState &, const TRtfCharState &) override
    {
        m_text += QLatin1Char('\n');
        m_open = false;
    }
    void Finish(const TRtfParState &, const TRtfCharState &) override
    {
        if (!m_open && m_text.endsWith(QLatin1Char('\n')))
            m_text.chop(1);
    }

    QString m_text;
    bool m_open = false;
};

} // namespace

bool ReadRtf(QByteArrayView rtf, QTextDocument &document, QString *error)
{
    document.clear();
    // The sink needs the parser's tables, the parser the sink: tie them here.
    struct TForward final : TRtfSink
    {
        TRtfSink *Target = nullptr;
        void Text(const QString &t, const TRtfCharState &f) override { Target->Text(t, f); }
        void LineBreak(const TRtfCharState &f) override { Target->LineBreak(f); }
        void EndParagraph(const TRtfParState &p, const TRtfCharState &c) override
        {
            Target->EndParagraph(p, c);
        }
        void Finish(const TRtfParState &p, const TRtfCharState &c) override
        {
            Target->Finish(p, c);
        }
        bool WantsPictures() const override { return true; }
        void Picture(const TRtfPicture &p) override { Target->Picture(p); }
    } forward;
    TRtfParser parser(rtf, forward);
    TDocumentSink sink(document, parser);
    forward.Target = &sink;
    if (!parser.Parse(error)) {
        document.clear();
        return false;
    }
    return true;
}

std::optional<QString> RtfToPlainText(QByteArrayView rtf, QString *error)
{
    TPlainTextSink sink;
    TRtfParser parser(rtf, sink);
    if (!parser.Parse(error))
        return std::nullopt;
    return sink.m_text;
}

namespace {

// Bytes that are not RTF, as text: lines end at CR LF, CR or LF alone, and
// NUL bytes, which a text control never shows, are left out.
QString PayloadAsPlainText(QByteArrayView payload)
{
    QString text = DecodeText(payload.toByteArray(), DefaultCodePage());
    text.remove(QChar(0));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

void ReadRichText(QByteArrayView payload, QTextDocument &document)
{
    if (!ReadRtf(payload, document))
        document.setPlainText(PayloadAsPlainText(payload));
}

QString RichTextToPlainText(QByteArrayView payload)
{
    if (std::optional<QString> text = RtfToPlainText(payload))
        return *text;
    return PayloadAsPlainText(payload);
}

int RescaleRichTextFonts(QTextDocument &document, int boxHeight, int savedHeight, int dpi)
{
    const bool scale = savedHeight > 0 && boxHeight > 0 && boxHeight != savedHeight;
    if (dpi <= 0)
        dpi = 96;
    // Sizes are scaled as whole pixels at the screen's resolution, and the
    // pixels taken back to whole points.
    const auto scaled = [&](double points) {
        const qint64 pixels = RoundHalfEven(points * dpi / 72.0);
        const qint32 newPixels = RoundHalfEven(double(boxHeight) * double(pixels) / savedHeight);
        return std::clamp(double(RoundHalfEven(newPixels * 72.0 / dpi)), 1.0, 1638.0);
    };
    int runs = 0;
    QTextCursor cursor(&document);
    // A run is a stretch of characters of one size, across fragments and
    // paragraphs; each is selected and given its new size once.
    int runStart = -1;
    double runSize = 0;
    const auto closeRun = [&](int end) {
        if (runStart < 0)
            return;
        ++runs;
        if (scale && end > runStart && runSize > 0) {
            QTextCharFormat format;
            format.setFontPointSize(scaled(runSize));
            cursor.setPosition(runStart);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
    };
    std::vector<std::pair<int, double>> starts;
    std::vector<double> blockSizes;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        blockSizes.push_back(block.charFormat().fontPointSize());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const double size = fragment.charFormat().fontPointSize();
            if (runStart < 0 || size != runSize) {
                starts.emplace_back(fragment.position(), size);
                runStart = fragment.position();
                runSize = size;
            }
        }
    }
    // Sizes are set after the walk, which the changes would disturb.
    const int end = document.characterCount() - 1;
    runStart = -1;
    for (size_t i = 0; i < starts.size(); ++i) {
        runStart = starts[i].first;
        runSize = starts[i].second;
        closeRun(i + 1 < starts.size() ? starts[i + 1].first : end);
    }
    if (scale) {
        // A paragraph's own size (the line height of an empty paragraph, the
        // size of a list marker) scales with the text. Changing a run that
        // crosses a paragraph end also gave the next paragraph the run's
        // size, so each is set from the size it had before.
        size_t index = 0;
        for (QTextBlock block = document.begin(); block.isValid() && index < blockSizes.size();
             block = block.next(), ++index) {
            QTextCharFormat format = block.charFormat();
            if (blockSizes[index] <= 0) {
                if (!format.hasProperty(QTextFormat::FontPointSize))
                    continue;
                format.clearProperty(QTextFormat::FontPointSize);
            } else {
                format.setFontPointSize(scaled(blockSizes[index]));
            }
            if (format != block.charFormat())
                QTextCursor(block).setBlockCharFormat(format);
        }
    }
    return runs;
}
