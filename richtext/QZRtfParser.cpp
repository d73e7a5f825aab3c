#include "QZRtfParser.h"

#include "QZCodePage.h"

#include <QBuffer>
#include <QImageReader>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <string_view>

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

// Destinations whose content is never shown, sorted for a binary search.
bool IsSkippedDestination(QByteArrayView word)
{
    static constexpr std::string_view skipped[] = {"annotation",
                                                   "atnauthor",
                                                   "atndate",
                                                   "atnid",
                                                   "author",
                                                   "bkmkend",
                                                   "bkmkstart",
                                                   "buptim",
                                                   "colorschememapping",
                                                   "comment",
                                                   "company",
                                                   "creatim",
                                                   "datastore",
                                                   "defchp",
                                                   "defpap",
                                                   "do",
                                                   "doccomm",
                                                   "docvar",
                                                   "falt",
                                                   "fchars",
                                                   "file",
                                                   "filetbl",
                                                   "fldinst",
                                                   "fontemb",
                                                   "fontfile",
                                                   "footer",
                                                   "footerf",
                                                   "footerl",
                                                   "footerr",
                                                   "footnote",
                                                   "ftnalt",
                                                   "ftncn",
                                                   "ftnsep",
                                                   "ftnsepc",
                                                   "generator",
                                                   "header",
                                                   "headerf",
                                                   "headerl",
                                                   "headerr",
                                                   "info",
                                                   "keywords",
                                                   "latentstyles",
                                                   "lchars",
                                                   "listpicture",
                                                   "listtext",
                                                   "macpict",
                                                   "mmathPr",
                                                   "nonesttables",
                                                   "nonshppict",
                                                   "objclass",
                                                   "objdata",
                                                   "objname",
                                                   "operator",
                                                   "panose",
                                                   "passwordhash",
                                                   "pgdsctbl",
                                                   "pgptbl",
                                                   "pnseclvl",
                                                   "pntext",
                                                   "printim",
                                                   "private",
                                                   "protusertbl",
                                                   "revtbl",
                                                   "revtim",
                                                   "rsidtbl",
                                                   "shpinst",
                                                   "stylesheet",
                                                   "subject",
                                                   "tc",
                                                   "template",
                                                   "themedata",
                                                   "title",
                                                   "txe",
                                                   "upr",
                                                   "userprops",
                                                   "wgrffmtfilter",
                                                   "xe",
                                                   "xmlnstbl",
                                                   "xmlopen"};
    static_assert(std::is_sorted(std::begin(skipped), std::end(skipped)));
    return std::binary_search(std::begin(skipped), std::end(skipped),
                              std::string_view(word.data(), size_t(word.size())));
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
        if (c == '{') {
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
    m_fallbackToSkip = 0;
    if (m_groups.empty())
        return;
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
    case 3: {
        // A device-independent bitmap without its file header: the pixels
        // follow the header and the colour table.
        const QByteArray &dib = m_pict.Data;
        if (dib.size() >= 16) {
            const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
            const quint16 bits =
                dib.size() >= 16 ? qFromLittleEndian<quint16>(dib.constData() + 14) : 0;
            quint32 colors = dib.size() >= 36 && headerSize >= 36
                                 ? qFromLittleEndian<quint32>(dib.constData() + 32)
                                 : 0;
            if (colors == 0 && bits <= 8)
                colors = 1u << bits;
            const quint32 entry = headerSize == 12 ? 3 : 4;
            const quint64 offset = 14 + quint64(headerSize) + quint64(colors) * entry;
            QByteArray file("BM", 2);
            file.resize(14, '\0');
            qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
            qToLittleEndian<quint32>(quint32(std::min<quint64>(offset, 0xFFFFFFFF)),
                                     file.data() + 10);
            encoded = file + dib;
            format = "BMP";
        }
        break;
    }
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

bool TRtfParser::Destination(QByteArrayView word, bool starred)
{
    TGroup &group = Top();
    if (group.Dest == TDest::Skip) {
        if (word == "ud")
            group.Dest = TDest::Text;
        return true;
    }
    if (word == "fonttbl") {
        group.Dest = TDest::FontTable;
    } else if (word == "colortbl") {
        group.Dest = TDest::ColorTable;
        m_colors.clear();
    } else if (word == "pict") {
        group.Dest = TDest::Pict;
        m_pict = TPict();
    } else if (word == "pn") {
        group.Dest = TDest::Pn;
        group.Par.List = TRtfList::Decimal;
        group.Par.ListStart = 1;
    } else if (word == "listtable") {
        group.Dest = TDest::ListTable;
    } else if (word == "listoverridetable") {
        group.Dest = TDest::ListOverrides;
    } else if (word == "ud" || word == "shppict" || word == "fldrslt" || word == "result" ||
               word == "shprslt" || word == "nesttableprops" || word == "field" ||
               word == "object" || word == "shp") {
        // Shown content, or containers of it.
        group.Dest = TDest::Text;
    } else if (IsSkippedDestination(word) || starred) {
        group.Dest = TDest::Skip;
    } else {
        return false;
    }
    return true;
}

void TRtfParser::ControlSymbol(char symbol)
{
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
        if (ConsumeFallback())
            return;
        const char byte = char(high * 16 + low);
        if (group.Dest == TDest::Text)
            CharacterBytes(QByteArrayView(&byte, 1));
        else if (group.Dest == TDest::FontTable)
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
