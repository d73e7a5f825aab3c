// Texts in records are single-byte code page strings. A text shown in a font is
// in the code page of that font's character set; a text without a font (page
// names, targets, title, comments, the alternative's answers, clip names) is in
// the program-wide default code page.
#pragma once

#include <QByteArray>
#include <QString>

// Name of the code page that a font character set selects ("windows-1250" for
// 238 and so on); the default code page for DEFAULT_CHARSET (1) and for numbers
// Windows maps to no code page.
QByteArray CodePageOfCharset(int charset);

// The program-wide default code page: windows-1250, or the code page named by
// the environment variable CORVELLA_CODEPAGE ("windows-1252", "1252", "cp1251",
// "IBM852" ...). An unknown name falls back to windows-1250.
QByteArray DefaultCodePage();

// Decodes bytes of a code page; an unknown code page decodes as Latin-1.
QString DecodeText(const QByteArray &bytes, const QByteArray &codePage);

// Encodes text into a code page. A character the code page cannot hold is
// written as '?' and appended to *unencodable (when given), so that the caller
// can tell the author which characters did not survive.
QByteArray EncodeText(const QString &text, const QByteArray &codePage,
                      QString *unencodable = nullptr);

inline QString DecodeDefault(const QByteArray &bytes)
{
    return DecodeText(bytes, DefaultCodePage());
}

inline QByteArray EncodeDefault(const QString &text, QString *unencodable = nullptr)
{
    return EncodeText(text, DefaultCodePage(), unencodable);
}

// Forgets the cached default code page, so that a change of CORVELLA_CODEPAGE
// takes effect (tests).
void ResetDefaultCodePage();
