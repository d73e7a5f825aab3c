#include "QZCodePage.h"
#include "QZRtf.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <cmath>
#include <map>

namespace {

constexpr double TwipsPerPixel = 15.0;

// The character set that stands for a code page in a font table, for fonts
// whose runs carry none.
int CharsetOfCodePage(const QByteArray &codePage)
{
    static const std::pair<const char *, int> table[] = {
        {"windows-1250", 238}, {"windows-1251", 204}, {"windows-1252", 0},   {"windows-1253", 161},
        {"windows-1254", 162}, {"windows-1255", 177}, {"windows-1256", 178}, {"windows-1257", 186},
        {"windows-1258", 163}, {"windows-874", 222},  {"Shift_JIS", 128},    {"GBK", 134},
        {"Big5", 136},         {"windows-949", 129},  {"macintosh", 77}};
    for (const auto &[name, charset] : table)
        if (codePage.compare(name, Qt::CaseInsensitive) == 0)
            return charset;
    return 1;
}

// The number \ansicpg gives a code page; 1252 for those without one.
int NumberOfCodePage(const QByteArray &codePage)
{
    if (codePage == "macintosh")
        return 10000;
    if (codePage == "Shift_JIS")
        return 932;
    if (codePage == "GBK")
        return 936;
    if (codePage == "Big5")
        return 950;
    qsizetype digits = codePage.size();
    while (digits > 0 && codePage.at(digits - 1) >= '0' && codePage.at(digits - 1) <= '9')
        --digits;
    const int number = codePage.mid(digits).toInt();
    if (codePage.startsWith("ISO-8859") || number == 0)
        return 1252;
    return number;
}

struct TFontKey
{
    QString Family;
    int Charset;
    bool operator<(const TFontKey &other) const
    {
        return std::tie(Family, Charset) < std::tie(other.Family, other.Charset);
    }
};

// What the written control words have set; starts as RTF's defaults, with
// the font and size unset so that the first run names them.
struct TRunState
{
    int Font = -1;
    int HalfPoints = -1;
    int Color = 0;
    int Back = 0;
    int VAlign = 0;
    int Bold = 0;
    int Italic = 0;
    int Underline = 0;
    int Strike = 0;
};

class TRtfWriter
{
public:
    explicit TRtfWriter(const QTextDocument &document)
        : m_document(document)
    {
    }

    QByteArray Write()
    {
        CollectTables();
        const QByteArray codePage = CodePageOfCharset(m_fonts.front().Charset);
        m_out += "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(NumberOfCodePage(codePage)) +
                 "\\deff0{\\fonttbl";
        for (size_t i = 0; i < m_fonts.size(); ++i) {
            m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" +
                     QByteArray::number(m_fonts[i].Charset) + ' ';
            m_needDelimiter = false;
            WriteText(m_fonts[i].Family, m_fontCodePages[i]);
            m_out += ";}";
        }
        m_out += '}';
        if (m_colors.size() > 1) {
            m_out += "{\\colortbl ;";
            for (size_t i = 1; i < m_colors.size(); ++i)
                m_out += "\\red" + QByteArray::number(m_colors[i].red()) + "\\green" +
                         QByteArray::number(m_colors[i].green()) + "\\blue" +
                         QByteArray::number(m_colors[i].blue()) + ';';
            m_out += '}';
        }
        m_out += "\n\\viewkind4\\uc1";
        m_needDelimiter = true;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            WriteBlock(block);
        m_out += "}\n";
        return m_out;
    }

private:
    static int HalfPoints(double points)
    {
        return int(std::clamp(std::nearbyint(points * 2), 2.0, 3276.0));
    }

    // Text typed without a size of its own shows in the document's default
    // font; a size in pixels counts at 96 pixels to the inch.
    int DefaultHalfPoints() const
    {
        const QFont font = m_document.defaultFont();
        if (font.pointSizeF() > 0)
            return HalfPoints(font.pointSizeF());
        if (font.pixelSize() > 0)
            return HalfPoints(font.pixelSize() * 72.0 / 96.0);
        return 24;
    }

    int FontIndex(const QTextCharFormat &format)
    {
        const QStringList families = format.fontFamilies().toStringList();
        // A run without a family is written with an empty name, which reads
        // back as the reader's own default font.
        TFontKey key{families.isEmpty() ? QString() : families.front(),
                     format.hasProperty(RtfCharsetProperty) ? format.intProperty(RtfCharsetProperty)
                                                            : CharsetOfCodePage(DefaultCodePage())};
        const auto it = m_fontIndex.find(key);
        if (it != m_fontIndex.end())
            return it->second;
        const int index = int(m_fonts.size());
        m_fonts.push_back(key);
        m_fontCodePages.push_back(CodePageOfCharset(key.Charset));
        m_fontIndex.emplace(key, index);
        return index;
    }

    int ColorIndex(const QBrush &brush)
    {
        if (brush.style() == Qt::NoBrush)
            return 0;
        const QRgb rgb = brush.color().rgb();
        for (size_t i = 1; i < m_colors.size(); ++i)
            if (m_colors[i].rgb() == rgb)
                return int(i);
        m_colors.emplace_back(rgb);
        return int(m_colors.size() - 1);
    }

    void CollectTables()
    {
        m_colors.emplace_back();
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            if (block.begin().atEnd())
                FontIndex(block.charFormat());
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                FontIndex(format);
                ColorIndex(format.foreground());
                ColorIndex(format.background());
            }
        }
        if (m_fonts.empty())
            FontIndex(QTextCharFormat());
    }

    void Word(const char *word, int value)
    {
        m_out += word;
        m_out += QByteArray::number(value);
        m_needDelimiter = true;
    }
    void Word(const char *word)
    {
        m_out += word;
        m_needDelimiter = true;
    }
    void Flag(const char *word, bool on) { Word(on ? word : (QByteArray(word) + '0').constData()); }

    void WriteRunState(const QTextCharFormat &format)
    {
        TRunState next;
        next.Font = FontIndex(format);
        next.HalfPoints =
            format.fontPointSize() > 0 ? HalfPoints(format.fontPointSize()) : DefaultHalfPoints();
        next.Color = ColorIndex(format.foreground());
        next.Back = ColorIndex(format.background());
        next.VAlign = format.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                      : format.verticalAlignment() == QTextCharFormat::AlignSubScript ? 2
                                                                                      : 0;
        next.Bold = format.fontWeight() >= QFont::DemiBold;
        next.Italic = format.fontItalic();
        next.Underline = format.fontUnderline();
        next.Strike = format.fontStrikeOut();
        TRunState &was = m_state;
        if (next.Font != was.Font)
            Word("\\f", next.Font);
        if (next.HalfPoints != was.HalfPoints)
            Word("\\fs", next.HalfPoints);
        if (next.Bold != was.Bold)
            Flag("\\b", next.Bold);
        if (next.Italic != was.Italic)
            Flag("\\i", next.Italic);
        if (next.Underline != was.Underline)
            Word(next.Underline ? "\\ul" : "\\ulnone");
        if (next.Strike != was.Strike)
            Flag("\\strike", next.Strike);
        if (next.Color != was.Color)
            Word("\\cf", next.Color);
        if (next.Back != was.Back)
            Word("\\highlight", next.Back);
        if (next.VAlign != was.VAlign)
            Word(next.VAlign == 1 ? "\\super" : next.VAlign == 2 ? "\\sub" : "\\nosupersub");
        m_state = next;
    }

    QStringEncoder &Encoder(const QByteArray &codePage)
    {
        auto it = m_encoders.find(codePage);
        if (it == m_encoders.end())
            it = m_encoders
                     .emplace(codePage, QStringEncoder(codePage.constData(),
                                                       QStringConverter::Flag::Stateless))
                     .first;
        return it->second;
    }

    void Literal(char c)
    {
        if (m_needDelimiter)
            m_out += ' ';
        m_needDelimiter = false;
        m_out += c;
    }

    void WriteText(const QString &text, const QByteArray &codePage)
    {
        static const char hex[] = "0123456789abcdef";
        QStringEncoder &encoder = Encoder(codePage);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            if (c >= 0x20 && c < 0x7F) {
                if (c == '\\' || c == '{' || c == '}') {
                    m_out += '\\';
                    m_out += char(c);
                    m_needDelimiter = false;
                } else {
                    Literal(char(c));
                }
                continue;
            }
            switch (c) {
            case '\t': Word("\\tab"); continue;
            case QChar::LineSeparator: Word("\\line"); continue;
            case QChar::Nbsp:
                m_out += "\\~";
                m_needDelimiter = false;
                continue;
            case QChar::ObjectReplacementCharacter: continue;
            default: break;
            }
            if (c < 0x20)
                continue;
            const qsizetype length = QChar::isHighSurrogate(c) && i + 1 < text.size() ? 2 : 1;
            const QStringView character = QStringView(text).mid(i, length);
            QByteArray bytes;
            if (encoder.isValid()) {
                encoder.resetState();
                bytes = encoder.encode(character);
                // Converters substitute a character they cannot hold rather
                // than always reporting it: only bytes that decode back to the
                // character stand for it.
                if (encoder.hasError() || DecodeText(bytes, codePage) != character)
                    bytes.clear();
            }
            if (!bytes.isEmpty()) {
                for (const char byte : std::as_const(bytes)) {
                    m_out += "\\'";
                    m_out += hex[(uchar(byte) >> 4) & 15];
                    m_out += hex[uchar(byte) & 15];
                }
                m_needDelimiter = false;
            } else {
                for (const QChar unit : character) {
                    const int value =
                        unit.unicode() >= 0x8000 ? unit.unicode() - 65536 : unit.unicode();
                    m_out += "\\u" + QByteArray::number(value) + '?';
                }
                m_needDelimiter = false;
            }
            i += length - 1;
        }
    }

    QByteArray ParagraphWords(const QTextBlock &block)
    {
        const QTextBlockFormat format = block.blockFormat();
        QByteArray words = "\\pard";
        const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignRight)
            words += "\\qr";
        else if (align & Qt::AlignHCenter)
            words += "\\qc";
        else if (align & Qt::AlignJustify)
            words += "\\qj";
        double left = format.leftMargin() + format.indent() * m_document.indentWidth();
        if (const QTextList *list = block.textList()) {
            left += list->format().indent() * m_document.indentWidth();
            const QTextListFormat::Style style = list->format().style();
            const bool bullet = style == QTextListFormat::ListDisc ||
                                style == QTextListFormat::ListCircle ||
                                style == QTextListFormat::ListSquare;
            if (bullet) {
                words += "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\bullet}}";
            } else {
                const char *kind = style == QTextListFormat::ListLowerAlpha   ? "\\pnlcltr"
                                   : style == QTextListFormat::ListUpperAlpha ? "\\pnucltr"
                                   : style == QTextListFormat::ListLowerRoman ? "\\pnlcrm"
                                   : style == QTextListFormat::ListUpperRoman ? "\\pnucrm"
                                                                              : "\\pndec";
                words +=
                    QByteArray("{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1") + kind + "{\\pntxta.}}";
            }
        }
        const auto twips = [](double pixels) {
            return QByteArray::number(
                qint64(std::clamp(std::nearbyint(pixels * TwipsPerPixel), -31680.0, 31680.0)));
        };
        if (format.textIndent() != 0)
            words += "\\fi" + twips(format.textIndent());
        if (left != 0)
            words += "\\li" + twips(left);
        if (format.rightMargin() != 0)
            words += "\\ri" + twips(format.rightMargin());
        return words;
    }

    void WriteBlock(const QTextBlock &block)
    {
        const QByteArray paragraph = ParagraphWords(block);
        if (paragraph != m_paragraph) {
            m_out += '\n';
            m_out += paragraph;
            m_needDelimiter = true;
            m_paragraph = paragraph;
        }
        if (const QTextList *list = block.textList()) {
            // The marker as text, for readers that do not number paragraphs.
            WriteRunState(block.begin().atEnd() ? block.charFormat()
                                                : block.begin().fragment().charFormat());
            m_out += "{\\pntext ";
            if (list->format().style() == QTextListFormat::ListDisc ||
                list->format().style() == QTextListFormat::ListCircle ||
                list->format().style() == QTextListFormat::ListSquare)
                m_out += "\\bullet";
            else
                m_out += QByteArray::number(list->itemNumber(block) + 1) + '.';
            m_out += "\\tab}";
            m_needDelimiter = false;
        }
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            WriteRunState(format);
            empty = false;
            if (format.isImageFormat()) {
                for (int i = 0; i < fragment.length(); ++i)
                    WriteImage(format.toImageFormat());
                continue;
            }
            WriteText(fragment.text(), m_fontCodePages[size_t(m_state.Font)]);
        }
        if (empty)
            WriteRunState(block.charFormat());
        Word("\\par");
    }

    // Only pictures the document holds itself are written: a name that is not
    // a resource of the document is never looked up outside it.
    void WriteImage(const QTextImageFormat &format)
    {
        const QUrl name(format.name());
        if (name.scheme() != QLatin1String("rtfpicture"))
            return;
        const QVariant resource = m_document.resource(QTextDocument::ImageResource, name);
        const QImage image = resource.value<QImage>();
        if (image.isNull())
            return;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
        const double width = format.width() > 0 ? format.width() : image.width();
        const double height = format.height() > 0 ? format.height() : image.height();
        m_out += "{\\pict\\pngblip\\picw" + QByteArray::number(image.width()) + "\\pich" +
                 QByteArray::number(image.height()) + "\\picwgoal" +
                 QByteArray::number(qint64(std::nearbyint(width * TwipsPerPixel))) + "\\pichgoal" +
                 QByteArray::number(qint64(std::nearbyint(height * TwipsPerPixel)));
        const QByteArray hex = png.toHex();
        for (qsizetype at = 0; at < hex.size(); at += 128) {
            m_out += '\n';
            m_out += hex.mid(at, 128);
        }
        m_out += '}';
        m_needDelimiter = false;
    }

    const QTextDocument &m_document;
    QByteArray m_out;
    std::vector<TFontKey> m_fonts;
    std::vector<QByteArray> m_fontCodePages;
    std::map<TFontKey, int> m_fontIndex;
    std::vector<QColor> m_colors;
    std::map<QByteArray, QStringEncoder> m_encoders;
    TRunState m_state;
    QByteArray m_paragraph;
    bool m_needDelimiter = false;
};

} // namespace

QByteArray WriteRtf(const QTextDocument &document) { return TRtfWriter(document).Write(); }
