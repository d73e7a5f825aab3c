// The builder's help file: topics addressed by context numbers, read from a
// small text format of our own.
//
// The format. A help file is UTF-8 text (a byte order mark at its start is
// allowed), read line by line; a "\r" before a line break is dropped.
//
//   CORVELLA HELP 1            the first line, always; it marks a help file
//   %% a comment               a line beginning with "%%" is skipped anywhere
//   == 20 Transparent text     a topic: its context number (0 to 999999), a
//                              blank and its title; the topic's text follows
//                              up to the next topic line
//
// Topic 0 is the contents and must be there. Every context number is used
// once. Only blank lines and comments may come before the first topic.
//
// Inside a topic, lines are trimmed and grouped into blocks:
//   a blank line               ends the block before it
//   ## Subheading              a subheading of one line
//   - item                     an item of a bulleted list
//   1. step                    an item of a numbered list (any digits, a dot
//                              and a blank; the list numbers itself)
//   an indented line           continues the open paragraph or list item
//   any other line             continues the open paragraph, or starts one
// A list item therefore runs on over indented lines only; the first line
// that is not indented starts a paragraph after the list.
//
// Within the text of a block:
//   **bold**                   bold; a "**" left open ends with the block
//   [[320]]                    a link to topic 320, shown as that topic's title
//   [[320|use of objects]]     a link to topic 320 shown as the given words
//   \*  \[  \\                 a "*", "[" or "\" taken as it stands
// A "[[" that does not make a link (no "]]", or no number before it) is
// taken as plain text. A link to a number the file has no topic for is shown
// as plain text and listed by BrokenLinks().
//
// Reading never trusts the file: a file that is missing, empty, larger than
// MaxFileSize, not UTF-8, holding control bytes, or breaking the rules above
// is refused with a message that names the file and the cause.
#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <utility>

struct TQZHelpSpan
{
    QString Text;
    bool Bold = false;
    // The context number linked to; -1 for plain text.
    int Link = -1;
};

enum class TQZHelpBlockKind {
    Paragraph,
    Heading,
    Bullet,
    Numbered,
};

struct TQZHelpBlock
{
    TQZHelpBlockKind Kind = TQZHelpBlockKind::Paragraph;
    QList<TQZHelpSpan> Spans;
};

struct TQZHelpTopic
{
    int Context = 0;
    QString Title;
    QList<TQZHelpBlock> Blocks;
    // The line of the topic's header in the file, counted from 1.
    int Line = 0;
};

class TQZHelpFile
{
public:
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
    static constexpr int MaxContext = 999999;
    static constexpr int ContentsContext = 0;

    // Reads a help file. False when it cannot be used: Error() then says
    // why, and the topics are those held before.
    bool Load(const QString &fileName);
    // Reads help text held in memory; on failure Error() names `fileName`.
    bool Parse(QByteArrayView bytes, const QString &fileName);

    // The message for the last failure: "Cannot read the help file NAME:
    // CAUSE."; empty after a success.
    const QString &Error() const { return m_error; }
    const QString &FileName() const { return m_fileName; }

    // The topics in file order; the contents is among them.
    const QList<TQZHelpTopic> &Topics() const { return m_topics; }
    // The topic of a context number; null when the file has none.
    const TQZHelpTopic *Topic(int context) const;
    bool IsEmpty() const { return m_topics.isEmpty(); }

    // Links to numbers without a topic: (the topic holding the link, the
    // number linked to), in file order.
    QList<std::pair<int, int>> BrokenLinks() const;

    // A topic as HTML for a text browser: the title as a heading, links as
    // anchors "topic:N". Empty when the file has no such topic.
    QString Html(int context) const;
    // A topic's title and text without markup, blocks on lines of their own.
    QString PlainText(int context) const;

    // The message for a file that cannot be read for `cause`.
    static QString ErrorMessage(const QString &fileName, const QString &cause);

private:
    bool Fail(const QString &cause);

    QString m_fileName;
    QString m_error;
    QList<TQZHelpTopic> m_topics;
    // Context number -> index in m_topics.
    QHash<int, qsizetype> m_index;
};
