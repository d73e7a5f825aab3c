#include "QZHelpFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

const QByteArray Signature = QByteArrayLiteral("CORVELLA HELP 1");
const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

// Bytes that never occur in help text: the controls other than tab (line
// breaks are gone by the time a line is checked). They mark a binary file.
bool HasControlBytes(QByteArrayView line)
{
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f)
            return true;
    }
    return false;
}

// A context number: 1 to 6 decimal digits, nothing else.
int ContextNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 6)
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// The inline markup of one block's text. Linear in the text's length: the
// search for a link's "]]" is done once per closing pair, not once per "[[".
QList<TQZHelpSpan> ParseSpans(const QString &text)
{
    QList<TQZHelpSpan> spans;
    QString plain;
    bool bold = false;
    const auto flush = [&] {
        if (!plain.isEmpty())
            spans.append({plain, bold, -1});
        plain.clear();
    };
    qsizetype close = -2; // the first "]]" at or after the last search start
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < size ? text.at(i + 1) : QChar();
        if (c == u'\\' && i + 1 < size) {
            plain += next;
            i += 2;
        } else if (c == u'*' && next == u'*') {
            flush();
            bold = !bold;
            i += 2;
        } else if (c == u'[' && next == u'[') {
            if (close != -1 && close < i + 2)
                close = text.indexOf(QLatin1String("]]"), i + 2);
            if (close >= 0) {
                // The number right after "[[", blanks around it allowed, then
                // "]]" or "|" and the words shown.
                const QStringView inner = QStringView(text).sliced(i + 2, close - i - 2);
                qsizetype at = 0;
                while (at < inner.size() && at < 16 && inner.at(at).isSpace())
                    ++at;
                const qsizetype digits = at;
                while (at < inner.size() && at - digits < 7 && inner.at(at).isDigit())
                    ++at;
                const int target = ContextNumber(inner.sliced(digits, at - digits));
                while (at < inner.size() && at < 32 && inner.at(at).isSpace())
                    ++at;
                if (target >= 0 && (at == inner.size() || inner.at(at) == u'|')) {
                    flush();
                    const QString label =
                        at == inner.size() ? QString() : inner.sliced(at + 1).trimmed().toString();
                    spans.append({label, bold, target});
                    i = close + 2;
                    continue;
                }
            }
            plain += QLatin1String("[[");
            i += 2;
        } else {
            plain += c;
            ++i;
        }
    }
    flush();
    return spans;
}

struct TOpenBlock
{
    TQZHelpBlockKind Kind = TQZHelpBlockKind::Paragraph;
    QString Text;
    bool Open = false;
};

// The start of a numbered item: digits, a dot and a blank; the length of
// that prefix, or 0.
qsizetype NumberedPrefix(QStringView line)
{
    qsizetype digits = 0;
    while (digits < line.size() && digits < 9 && line.at(digits).isDigit())
        ++digits;
    if (digits == 0 || digits + 1 >= line.size() || line.at(digits) != u'.' ||
        !line.at(digits + 1).isSpace())
        return 0;
    return digits + 2;
}

} // namespace

QString TQZHelpFile::ErrorMessage(const QString &fileName, const QString &cause)
{
    return QStringLiteral("Cannot read the help file %1: %2.")
        .arg(QDir::toNativeSeparators(fileName), cause);
}

bool TQZHelpFile::Fail(const QString &cause)
{
    m_error = ErrorMessage(m_fileName, cause);
    return false;
}

bool TQZHelpFile::Load(const QString &fileName)
{
    m_fileName = fileName;
    // Everything is checked before the file is opened: opening a pipe or a
    // device would block or never end.
    const QFileInfo info(fileName);
    if (!info.exists())
        return Fail(QStringLiteral("the file does not exist"));
    if (info.isDir())
        return Fail(QStringLiteral("it is a folder, not a file"));
    if (!info.isFile())
        return Fail(QStringLiteral("it is not a regular file"));
    if (info.size() > MaxFileSize)
        return Fail(QStringLiteral("the file is larger than 4 MB"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("it cannot be opened (%1)").arg(file.errorString()));
    // The file may have grown since it was measured.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return Fail(QStringLiteral("it cannot be read (%1)").arg(file.errorString()));
    if (bytes.size() > MaxFileSize)
        return Fail(QStringLiteral("the file is larger than 4 MB"));
    return Parse(bytes, fileName);
}

bool TQZHelpFile::Parse(QByteArrayView bytes, const QString &fileName)
{
    m_fileName = fileName;
    if (bytes.size() > MaxFileSize)
        return Fail(QStringLiteral("the file is larger than 4 MB"));
    if (bytes.startsWith(ByteOrderMark))
        bytes = bytes.sliced(ByteOrderMark.size());
    if (bytes.trimmed().isEmpty())
        return Fail(QStringLiteral("the file is empty"));

    QList<TQZHelpTopic> topics;
    QHash<int, qsizetype> index;
    TOpenBlock block;
    const auto closeBlock = [&] {
        if (block.Open && !topics.isEmpty() && !block.Text.isEmpty())
            topics.last().Blocks.append({block.Kind, ParseSpans(block.Text)});
        block = {};
    };

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    int lineNumber = 0;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView raw = bytes.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (raw.endsWith('\r'))
            raw.chop(1);
        const bool indented = raw.startsWith(' ') || raw.startsWith('\t');

        if (lineNumber == 1) {
            if (raw.trimmed() != QByteArrayView(Signature))
                return Fail(QStringLiteral("it is not a help file (its first line is not \"%1\")")
                                .arg(QString::fromLatin1(Signature)));
            continue;
        }
        if (HasControlBytes(raw))
            return Fail(QStringLiteral("line %1 holds control characters; the file is not text")
                            .arg(lineNumber));
        const QString line = QString(decoder.decode(raw)).trimmed();
        if (decoder.hasError())
            return Fail(QStringLiteral("line %1 is not UTF-8 text").arg(lineNumber));

        if (line.startsWith(QLatin1String("%%")))
            continue;
        if (line.startsWith(QLatin1String("=="))) {
            closeBlock();
            const QString header = line.sliced(2).trimmed();
            qsizetype blank = 0;
            while (blank < header.size() && !header.at(blank).isSpace())
                ++blank;
            const QString number = header.first(blank);
            const int context = ContextNumber(number);
            if (context < 0 || context > MaxContext)
                return Fail(QStringLiteral("line %1: \"%2\" is not a topic number from 0 to %3")
                                .arg(lineNumber)
                                .arg(number.left(20), QString::number(MaxContext)));
            const QString title = header.sliced(blank).trimmed();
            if (title.isEmpty())
                return Fail(
                    QStringLiteral("line %1: topic %2 has no title").arg(lineNumber).arg(context));
            if (const auto found = index.constFind(context); found != index.constEnd())
                return Fail(QStringLiteral("line %1: topic %2 is already on line %3")
                                .arg(lineNumber)
                                .arg(context)
                                .arg(topics.at(found.value()).Line));
            index.insert(context, topics.size());
            topics.append({context, title, {}, lineNumber});
            continue;
        }
        if (line.isEmpty()) {
            closeBlock();
            continue;
        }
        if (topics.isEmpty())
            return Fail(QStringLiteral("line %1: text before the first topic").arg(lineNumber));

        if (line.startsWith(QLatin1String("##"))) {
            closeBlock();
            block = {TQZHelpBlockKind::Heading, line.sliced(2).trimmed(), true};
            closeBlock();
        } else if (line.startsWith(QLatin1String("- "))) {
            closeBlock();
            block = {TQZHelpBlockKind::Bullet, line.sliced(2).trimmed(), true};
        } else if (const qsizetype prefix = NumberedPrefix(line); prefix > 0) {
            closeBlock();
            block = {TQZHelpBlockKind::Numbered, line.sliced(prefix).trimmed(), true};
        } else if (block.Open && (block.Kind == TQZHelpBlockKind::Paragraph || indented)) {
            block.Text += u' ';
            block.Text += line;
        } else {
            closeBlock();
            block = {TQZHelpBlockKind::Paragraph, line, true};
        }
    }
    closeBlock();

    if (topics.isEmpty())
        return Fail(QStringLiteral("it holds no topics"));
    if (!index.contains(ContentsContext))
        return Fail(QStringLiteral("it has no contents (topic 0)"));
    m_topics = std::move(topics);
    m_index = std::move(index);
    m_error.clear();
    return true;
}

const TQZHelpTopic *TQZHelpFile::Topic(int context) const
{
    const auto found = m_index.constFind(context);
    return found == m_index.constEnd() ? nullptr : &m_topics.at(found.value());
}

QList<std::pair<int, int>> TQZHelpFile::BrokenLinks() const
{
    QList<std::pair<int, int>> broken;
    for (const TQZHelpTopic &topic : m_topics)
        for (const TQZHelpBlock &block : topic.Blocks)
            for (const TQZHelpSpan &span : block.Spans)
                if (span.Link >= 0 && !Topic(span.Link))
                    broken.append({topic.Context, span.Link});
    return broken;
}

namespace {

// What a span shows: its text, a link's own words, or else the title of the
// topic linked to (the number for a topic that is not there).
QString SpanText(const TQZHelpFile &file, const TQZHelpSpan &span)
{
    if (span.Link < 0 || !span.Text.isEmpty())
        return span.Text;
    const TQZHelpTopic *target = file.Topic(span.Link);
    return target ? target->Title : QString::number(span.Link);
}

} // namespace

QString TQZHelpFile::Html(int context) const
{
    const TQZHelpTopic *topic = Topic(context);
    if (!topic)
        return {};
    QString html = QStringLiteral("<h2>%1</h2>\n").arg(topic->Title.toHtmlEscaped());
    const QString *openList = nullptr;
    static const QString bulletList = QStringLiteral("ul");
    static const QString numberedList = QStringLiteral("ol");
    for (const TQZHelpBlock &block : topic->Blocks) {
        const QString *list = block.Kind == TQZHelpBlockKind::Bullet     ? &bulletList
                              : block.Kind == TQZHelpBlockKind::Numbered ? &numberedList
                                                                         : nullptr;
        if (openList != list) {
            if (openList)
                html += QStringLiteral("</%1>\n").arg(*openList);
            if (list)
                html += QStringLiteral("<%1>\n").arg(*list);
            openList = list;
        }
        QString text;
        for (const TQZHelpSpan &span : block.Spans) {
            QString piece = SpanText(*this, span).toHtmlEscaped();
            if (span.Link >= 0 && Topic(span.Link))
                piece = QStringLiteral("<a href=\"topic:%1\">%2</a>").arg(span.Link).arg(piece);
            if (span.Bold)
                piece = QStringLiteral("<b>%1</b>").arg(piece);
            text += piece;
        }
        switch (block.Kind) {
        case TQZHelpBlockKind::Paragraph: html += QStringLiteral("<p>%1</p>\n").arg(text); break;
        case TQZHelpBlockKind::Heading: html += QStringLiteral("<h3>%1</h3>\n").arg(text); break;
        case TQZHelpBlockKind::Bullet:
        case TQZHelpBlockKind::Numbered: html += QStringLiteral("<li>%1</li>\n").arg(text); break;
        }
    }
    if (openList)
        html += QStringLiteral("</%1>\n").arg(*openList);
    return html;
}

QString TQZHelpFile::PlainText(int context) const
{
    const TQZHelpTopic *topic = Topic(context);
    if (!topic)
        return {};
    QString text = topic->Title;
    int number = 0;
    for (const TQZHelpBlock &block : topic->Blocks) {
        text += u'\n';
        if (block.Kind == TQZHelpBlockKind::Numbered)
            text += QStringLiteral("%1. ").arg(++number);
        else
            number = 0;
        if (block.Kind == TQZHelpBlockKind::Bullet)
            text += QLatin1String("- ");
        for (const TQZHelpSpan &span : block.Spans)
            text += SpanText(*this, span);
    }
    return text;
}
