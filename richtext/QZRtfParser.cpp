#include "QZRtfParser.h"

#include "QZCodePage.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

// Groups nested deeper than this are skipped whole: real documents stay far
// below it, and it bounds the state kept per byte of input.
constexpr size_t MaxDepth = 400;
// Control words are at most 32 letters; a parameter is a signed 16- or 32-bit
// number. Longer ones are consumed and clamped.
constexpr int MaxWordLength = 32;
constexpr qint64 MaxParam = 0x7FFFFFFF;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The double-byte code pages of the East Asian character sets, by the names
// CodePageOfNumber and CodePageOfCharset give them.
enum class TDoubleByte : quint8 { None, ShiftJis, Gbk, Korean, Big5 };

TDoubleByte DoubleByteOf(const QByteArray &codePage)
{
    if (codePage == "Shift_JIS")
        return TDoubleByte::ShiftJis;
    if (codePage == "GBK")
        return TDoubleByte::Gbk;
    if (codePage == "windows-949")
        return TDoubleByte::Korean;
    if (codePage == "Big5")
        return TDoubleByte::Big5;
    return TDoubleByte::None;
}

bool IsLeadByte(TDoubleByte page, quint8 b)
{
    switch (page) {
    case TDoubleByte::ShiftJis: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case TDoubleByte::Gbk:
    case TDoubleByte::Korean:
    case TDoubleByte::Big5: return b >= 0x81 && b <= 0xFE;
    case TDoubleByte::None: break;
    }
    return false;
}

bool IsTrailByte(TDoubleByte page, quint8 b)
{
    switch (page) {
    case TDoubleByte::ShiftJis: return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
    case TDoubleByte::Gbk: return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
    case TDoubleByte::Korean:
        return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
    case TDoubleByte::Big5: return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
    case TDoubleByte::None: break;
    }
    return false;
}

} // namespace

TRtfParser::TRtfParser(QByteArrayView rtf, TRtfSink &sink)
    : m_data(rtf)
    , m_sink(sink)
{
    m_groups.reserve(64);
}

QByteArray TRtfParser::CodePageOfNumber(int number)
{
    switch (number) {
    case 10000: return QByteArrayLiteral("macintosh");
    case 65001: return QByteArrayLiteral("UTF-8");
    case 932: return QByteArrayLiteral("Shift_JIS");
    case 936: return QByteArrayLiteral("GBK");
    case 949: return QByteArrayLiteral("windows-949");
    case 950: return QByteArrayLiteral("Big5");
    default: break;
    }
    if (number <= 0 || number > 99999)
        return {};
    static QHash<int, QByteArray> cache;
    if (const auto it = cache.constFind(number); it != cache.cend())
        return *it;
    QByteArray found;
    for (const char *prefix : {"windows-", "cp", "IBM"}) {
        const QByteArray candidate = prefix + QByteArray::number(number);
        if (QStringDecoder(candidate.constData()).isValid()) {
            found = candidate;
            break;
        }
    }
    cache.insert(number, found);
    return found;
}

QByteArray TRtfParser::DocumentCodePage() const
{
    if (!m_ansiCodePage.isEmpty())
        return m_ansiCodePage;
    if (!m_baseCodePage.isEmpty())
        return m_baseCodePage;
    return DefaultCodePage();
}

QByteArray TRtfParser::CodePageOfFont(int index) const
{
    const TRtfFont *font = Font(index < 0 ? m_defaultFont : index);
    if (font && !font->CodePage.isEmpty())
        return font->CodePage;
    return DocumentCodePage();
}

const TRtfFont *TRtfParser::Font(int index) const
{
    const auto it = m_fonts.constFind(index);
    return it == m_fonts.cend() ? nullptr : &*it;
}

QColor TRtfParser::Color(int index) const
{
    if (index <= 0 || size_t(index) >= m_colors.size())
        return {};
    return m_colors[size_t(index)];
}

TRtfList TRtfParser::ListOf(const TRtfParState &format) const
{
    if (format.List != TRtfList::None || format.ListOverride <= 0)
        return format.List;
    const auto list = m_lists.constFind(m_overrides.value(format.ListOverride, -1));
    if (list == m_lists.cend())
        return TRtfList::None;
    const std::vector<int> &levels = *list;
    if (levels.empty())
        return TRtfList::None;
    const size_t level = std::min(size_t(std::max(format.ListLevel, 0)), levels.size() - 1);
    switch (levels[level]) {
    case 23: return TRtfList::Bullet;
    case 255: return TRtfList::None;
    case 1: return TRtfList::UpperRoman;
    case 2: return TRtfList::LowerRoman;
    case 3: return TRtfList::UpperAlpha;
    case 4: return TRtfList::LowerAlpha;
    default: return TRtfList::Decimal;
    }
}

bool TRtfParser::Parse(QString *error)
{
    qsizetype start = 0;
    if (m_data.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < m_data.size() && (m_data[start] == ' ' || m_data[start] == '\t' ||
                                     m_data[start] == '\r' || m_data[start] == '\n'))
        ++start;
    if (!m_data.sliced(start).startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("the rich text is not RTF (it does not begin with {\\rtf)");
        return false;
    }
    m_pos = start;
    const char *data = m_data.data();
    const qsizetype size = m_data.size();
    while (m_pos < size && !m_done) {
        const char c = data[m_pos];
        if ((c == '{' || c == '}' || c == '\\') && TakesAsTrail(c)) {
            // A raw lead byte's trail byte, even where it looks like syntax.
            ++m_pos;
            TextByte(c, false);
        } else if (c == '{') {
            ++m_pos;
            OpenGroup();
        } else if (c == '}') {
            ++m_pos;
            CloseGroup();
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= size)
                break;
            const char next = data[m_pos];
            if (IsLetter(next)) {
                const qsizetype wordStart = m_pos;
                while (m_pos < size && IsLetter(data[m_pos]))
                    ++m_pos;
                QByteArrayView word(data + wordStart,
                                    std::min<qsizetype>(m_pos - wordStart, MaxWordLength));
                bool hasParam = false;
                bool negative = false;
                qint64 value = 0;
                if (m_pos < size && data[m_pos] == '-' && m_pos + 1 < size &&
                    IsDigit(data[m_pos + 1])) {
                    negative = true;
                    ++m_pos;
                }
                while (m_pos < size && IsDigit(data[m_pos])) {
                    hasParam = true;
                    value = std::min(value * 10 + (data[m_pos] - '0'), MaxParam);
                    ++m_pos;
                }
                if (m_pos < size && data[m_pos] == ' ')
                    ++m_pos;
                ControlWord(word, hasParam, int(negative ? -value : value));
            } else {
                ++m_pos;
                ControlSymbol(next);
            }
        } else {
            qsizetype end = m_pos + 1;
            while (end < size && data[end] != '{' && data[end] != '}' && data[end] != '\\')
                ++end;
            if (!m_groups.empty())
                TextBytes(data + m_pos, data + end);
            m_pos = end;
        }
    }
    // A document cut short ends its open paragraph as if it were closed.
    while (!m_groups.empty() && !m_done)
        CloseGroup();
    return true;
}

void TRtfParser::OpenGroup()
{
    EndLeadByte();
    m_fallbackToSkip = 0;
    if (m_groups.size() >= MaxDepth) {
        SkipOverflowGroup();
        return;
    }
    if (m_groups.empty()) {
        m_groups.emplace_back();
        return;
    }
    TGroup copy = Top();
    m_groups.push_back(copy);
}

// Skips the rest of a group opened past MaxDepth, with everything nested in it.
void TRtfParser::SkipOverflowGroup()
{
    const char *data = m_data.data();
    qsizetype depth = 1;
    while (m_pos < m_data.size() && depth > 0) {
        const char c = data[m_pos++];
        if (c == '\\')
            ++m_pos;
        else if (c == '{')
            ++depth;
        else if (c == '}')
            --depth;
    }
}

void TRtfParser::CloseGroup()
{
    if (m_groups.empty())
        return;
    EndLeadByte();
    m_fallbackToSkip = 0;
    const TGroup closed = Top();
    if (closed.Dest == TDest::FontTable && m_fontIndex >= 0 && !m_fontNameBytes.isEmpty())
        StoreFont();
    if (m_groups.size() == 1) {
        m_pendingCellTab = false;
        FlushText();
        m_sink.Finish(closed.Par, closed.Char);
        m_groups.pop_back();
        m_done = true;
        return;
    }
    m_groups.pop_back();
    TGroup &parent = Top();
    if (closed.Dest == TDest::Pict && parent.Dest != TDest::Pict)
        FinishPicture();
    // A \pn group sets the numbering of the paragraph around it.
    if (closed.Dest == TDest::Pn && parent.Dest != TDest::Pn) {
        parent.Par.List = closed.Par.List;
        parent.Par.ListStart = closed.Par.ListStart;
        parent.Par.ListLevel = closed.Par.ListLevel;
    }
}

void TRtfParser::TextBytes(const char *begin, const char *end)
{
    TGroup &group = Top();
    switch (group.Dest) {
    case TDest::Text: {
        if (m_lead >= 0 || DoubleByteOf(CodePageOfFont(group.Char.Font)) != TDoubleByte::None) {
            // Byte by byte, so that lead and trail bytes pair up.
            for (const char *p = begin; p < end; ++p) {
                const char c = *p;
                if (c == '\r' || c == '\n' || c == '\0')
                    continue;
                if (c != '\t') {
                    TextByte(c, false);
                    continue;
                }
                EndLeadByte();
                if (!ConsumeFallback())
                    AppendChar(QLatin1Char('\t'));
            }
            break;
        }
        const char *run = begin;
        for (const char *p = begin; p < end; ++p) {
            const char c = *p;
            if (c == '\r' || c == '\n' || c == '\t' || c == '\0' || m_fallbackToSkip > 0) {
                if (p > run)
                    CharacterBytes(QByteArrayView(run, p - run));
                run = p + 1;
                if (c == '\r' || c == '\n' || c == '\0' || ConsumeFallback())
                    continue;
                if (c == '\t')
                    AppendChar(QLatin1Char('\t'));
                else
                    run = p; // the fallback ended before this byte
            }
        }
        if (end > run)
            CharacterBytes(QByteArrayView(run, end - run));
        break;
    }
    case TDest::FontTable: AddFontName(begin, end); break;
    case TDest::ColorTable:
        for (const char *p = begin; p < end; ++p) {
            if (*p != ';')
                continue;
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.emplace_back();
            else
                m_colors.emplace_back(std::clamp(m_red, 0, 255), std::clamp(m_green, 0, 255),
                                      std::clamp(m_blue, 0, 255));
            m_red = m_green = m_blue = -1;
        }
        break;
    case TDest::Pict:
        if (m_sink.WantsPictures() && m_pict.Kind != 0)
            for (const char *p = begin; p < end; ++p) {
                const int v = HexValue(*p);
                if (v < 0)
                    continue;
                if (m_pict.Nibble < 0) {
                    m_pict.Nibble = v;
                } else {
                    m_pict.Data.append(char((m_pict.Nibble << 4) | v));
                    m_pict.Nibble = -1;
                }
            }
        break;
    default: break;
    }
}

// One byte of text in the current font's code page, raw or written as \'xx.
// In a double-byte code page a lead byte waits for its trail byte; a \uN
// fallback being skipped never ends between the two.
void TRtfParser::TextByte(char byte, bool escaped)
{
    const TDoubleByte page = DoubleByteOf(CodePageOfFont(Top().Char.Font));
    const auto b = quint8(byte);
    if (m_lead >= 0) {
        if (escaped == m_leadEscaped && IsTrailByte(page, b)) {
            const char pair[2] = {char(m_lead), byte};
            m_lead = -1;
            // A fallback counted in bytes (\uc2) ends here too.
            if (m_leadSkipped)
                ConsumeFallback();
            else
                CharacterBytes(QByteArrayView(pair, 2));
            return;
        }
        EndLeadByte();
    }
    const bool skipped = ConsumeFallback();
    if (IsLeadByte(page, b)) {
        m_lead = b;
        m_leadEscaped = escaped;
        m_leadSkipped = skipped;
    } else if (!skipped) {
        CharacterBytes(QByteArrayView(&byte, 1));
    }
}

// Whether `byte`, read raw, is the trail byte of a raw lead byte waiting.
bool TRtfParser::TakesAsTrail(char byte) const
{
    return m_lead >= 0 && !m_leadEscaped && !m_groups.empty() &&
           IsTrailByte(DoubleByteOf(CodePageOfFont(m_groups.back().Char.Font)), quint8(byte));
}

// A lead byte that found no trail byte is a character of its own. Under a
// font of the ANSI character set it is the Windows Western character (rich
// edit controls write those bytes under a double-byte \ansicpg); otherwise
// it decodes as the code page makes of it.
void TRtfParser::EndLeadByte()
{
    if (m_lead < 0)
        return;
    const char byte = char(m_lead);
    m_lead = -1;
    if (m_leadSkipped || m_groups.empty())
        return;
    const int index = Top().Char.Font;
    const TRtfFont *font = Font(index < 0 ? m_defaultFont : index);
    const QByteArray codePage =
        font && font->Charset == 0 ? QByteArrayLiteral("windows-1252") : CodePageOfFont(index);
    const QString decoded = DecodeText(QByteArray(1, byte), codePage);
    if (!decoded.isEmpty())
        AppendChar(decoded.at(0));
}

// Text bytes of the current font's code page; one byte stands for one
// character when a \uN fallback is being skipped.
void TRtfParser::CharacterBytes(QByteArrayView bytes)
{
    if (Top().Char.Hidden)
        return;
    const int font = Top().Char.Font;
    const QByteArray codePage = CodePageOfFont(font);
    if (!(m_textFormat == Top().Char) || m_pendingCellTab) {
        FlushText();
    } else if (codePage != m_bytesCodePage) {
        FlushBytes();
    }
    m_textFormat = Top().Char;
    m_bytesCodePage = codePage;
    m_bytes.append(bytes);
}

bool TRtfParser::ConsumeFallback()
{
    if (m_fallbackToSkip <= 0)
        return false;
    --m_fallbackToSkip;
    return true;
}

void TRtfParser::FlushBytes()
{
    if (m_bytes.isEmpty())
        return;
    m_text += DecodeText(m_bytes, m_bytesCodePage);
    m_bytes.clear();
}

void TRtfParser::FlushText()
{
    FlushBytes();
    if (!m_text.isEmpty()) {
        m_sink.Text(m_text, m_textFormat);
        m_text.clear();
    }
    if (m_pendingCellTab) {
        m_pendingCellTab = false;
        m_sink.Text(QStringLiteral("\t"), m_textFormat);
    }
}

void TRtfParser::AppendChar(QChar c)
{
    if (Top().Char.Hidden || Top().Dest != TDest::Text)
        return;
    if (!(m_textFormat == Top().Char) || m_pendingCellTab)
        FlushText();
    else
        FlushBytes();
    m_textFormat = Top().Char;
    m_text.append(c);
}

void TRtfParser::Unicode(int code)
{
    EndLeadByte();
    const int skip = Top().Uc;
    if (Top().Dest == TDest::Text)
        AppendChar(QChar(char16_t(code < 0 ? code + 65536 : code)));
    else if (Top().Dest == TDest::FontTable)
        m_fontNameBytes.clear(); // names with \uN are rare: keep the fallback out of them
    m_fallbackToSkip = std::max(skip, 0);
}

void TRtfParser::EndParagraph()
{
    m_pendingCellTab = false;
    FlushText();
    m_sink.EndParagraph(Top().Par, Top().Char);
}

void TRtfParser::AddFontName(const char *begin, const char *end)
{
    for (const char *p = begin; p < end; ++p) {
        if (*p == ';') {
            StoreFont();
        } else if (*p != '\r' && *p != '\n') {
            m_fontNameBytes.append(*p);
        }
    }
}

void TRtfParser::StoreFont()
{
    if (m_fontIndex >= 0 && m_fontIndex < 100000) {
        m_font.Name = DecodeText(m_fontNameBytes.trimmed(),
                                 m_font.CodePage.isEmpty() ? DocumentCodePage() : m_font.CodePage);
        m_fonts.insert(m_fontIndex, m_font);
    }
    m_fontNameBytes.clear();
    m_font = TRtfFont();
    m_fontIndex = -1;
}

void TRtfParser::ControlSymbol(char symbol)
{
    if (symbol != '\'')
        EndLeadByte();
    TGroup &group = Top();
    if (symbol == '*') {
        // The next control word names a destination; unknown ones are skipped.
        const char *data = m_data.data();
        qsizetype p = m_pos;
        while (p < m_data.size() && (data[p] == '\r' || data[p] == '\n' || data[p] == ' '))
            ++p;
        if (p < m_data.size() && data[p] == '\\') {
            qsizetype end = p + 1;
            while (end < m_data.size() && IsLetter(data[end]))
                ++end;
            const QByteArrayView word(data + p + 1, end - p - 1);
            if (!Destination(word, true))
                group.Dest = TDest::Skip;
        } else {
            group.Dest = TDest::Skip;
        }
        return;
    }
    if (group.Dest == TDest::Skip)
        return;
    if (symbol == '\'') {
        if (m_pos + 2 > m_data.size()) {
            m_pos = m_data.size();
            return;
        }
        const int high = HexValue(m_data[m_pos]);
        const int low = HexValue(m_data[m_pos + 1]);
        if (high < 0 || low < 0)
            return;
        m_pos += 2;
        const char byte = char(high * 16 + low);
        if (group.Dest == TDest::Text) {
            TextByte(byte, true);
            return;
        }
        if (ConsumeFallback())
            return;
        if (group.Dest == TDest::FontTable)
            AddFontName(&byte, &byte + 1);
        return;
    }
    if (ConsumeFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}': {
        const char byte = symbol;
        TextBytes(&byte, &byte + 1);
        break;
    }
    case '~': AppendChar(QChar(0x00A0)); break;
    case '_': AppendChar(QChar(0x2011)); break;
    case '\r':
    case '\n':
        if (group.Dest == TDest::Text)
            EndParagraph();
        break;
    case '\t': AppendChar(QLatin1Char('\t')); break;
    default: break; // \- optional hyphen, \| and \: index marks
    }
}
