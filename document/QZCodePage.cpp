#include "QZCodePage.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <memory>
#include <optional>

namespace {

constexpr char FallbackCodePage[] = "windows-1250";

std::optional<QByteArray> &CachedDefault()
{
    static std::optional<QByteArray> cached;
    return cached;
}

bool IsKnownCodePage(const QByteArray &name) { return QStringDecoder(name.constData()).isValid(); }

// Accepts a full name or a bare Windows code page number.
QByteArray CodePageFromSetting(const QByteArray &setting)
{
    const QByteArray name = setting.trimmed();
    if (name.isEmpty())
        return {};
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    if (!isNumber)
        return IsKnownCodePage(name) ? name : QByteArray();
    for (const char *prefix : {"windows-", "cp", "IBM"}) {
        const QByteArray candidate = prefix + QByteArray::number(number);
        if (IsKnownCodePage(candidate))
            return candidate;
    }
    return {};
}

// Stateless converters are re-used: opening one costs more than a short text.
QStringDecoder *Decoder(const QByteArray &codePage)
{
    static QHash<QByteArray, std::shared_ptr<QStringDecoder>> decoders;
    auto &slot = decoders[codePage];
    if (!slot)
        slot = std::make_shared<QStringDecoder>(codePage.constData(),
                                                QStringConverter::Flag::Stateless);
    return slot->isValid() ? slot.get() : nullptr;
}

} // namespace

QByteArray DefaultCodePage()
{
    auto &cached = CachedDefault();
    if (!cached) {
        const QByteArray fromEnvironment = CodePageFromSetting(qgetenv("CORVELLA_CODEPAGE"));
        cached = fromEnvironment.isEmpty() ? QByteArray(FallbackCodePage) : fromEnvironment;
    }
    return *cached;
}

void ResetDefaultCodePage() { CachedDefault().reset(); }

QByteArray CodePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return QByteArrayLiteral("windows-1252");   // ANSI
    case 2: return QByteArrayLiteral("ISO-8859-1");     // SYMBOL: bytes are glyph numbers
    case 77: return QByteArrayLiteral("macintosh");     // MAC
    case 128: return QByteArrayLiteral("Shift_JIS");    // SHIFTJIS
    case 129: return QByteArrayLiteral("windows-949");  // HANGEUL
    case 130: return QByteArrayLiteral("windows-1361"); // JOHAB
    case 134: return QByteArrayLiteral("GBK");          // GB2312
    case 136: return QByteArrayLiteral("Big5");         // CHINESEBIG5
    case 161: return QByteArrayLiteral("windows-1253"); // GREEK
    case 162: return QByteArrayLiteral("windows-1254"); // TURKISH
    case 163: return QByteArrayLiteral("windows-1258"); // VIETNAMESE
    case 177: return QByteArrayLiteral("windows-1255"); // HEBREW
    case 178: return QByteArrayLiteral("windows-1256"); // ARABIC
    case 186: return QByteArrayLiteral("windows-1257"); // BALTIC
    case 204: return QByteArrayLiteral("windows-1251"); // RUSSIAN
    case 222: return QByteArrayLiteral("windows-874");  // THAI
    case 238: return QByteArrayLiteral("windows-1250"); // EASTEUROPE
    case 255: return QByteArrayLiteral("IBM437");       // OEM
    default: return DefaultCodePage();                  // DEFAULT and unknown numbers
    }
}

QString DecodeText(const QByteArray &bytes, const QByteArray &codePage)
{
    if (bytes.isEmpty())
        return {};
    if (QStringDecoder *decoder = Decoder(codePage))
        return decoder->decode(bytes);
    return QString::fromLatin1(bytes);
}

QByteArray EncodeText(const QString &text, const QByteArray &codePage, QString *unencodable)
{
    if (text.isEmpty())
        return {};
    QStringEncoder encoder(codePage.constData(), QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        encoder = QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    QByteArray whole = encoder.encode(text);
    if (!encoder.hasError())
        return whole;

    // Some character has no byte in this code page: go character by character
    // to find which, and stand '?' in for each.
    QByteArray result;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        QStringEncoder single(codePage.constData(), QStringConverter::Flag::Stateless);
        if (!single.isValid())
            single = QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
        const QByteArray bytes = single.encode(character);
        if (single.hasError() || bytes.isEmpty()) {
            result += '?';
            if (unencodable && !unencodable->contains(character))
                unencodable->append(character);
        } else {
            result += bytes;
        }
        i += length;
    }
    return result;
}
