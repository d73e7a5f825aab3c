#include "QZEmbeddedFiles.h"

#include "QZNaloga.h"
#include "QZOleObject.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

const QString OpenEmbeddedCaption = QStringLiteral("Open Embedded File");
const QString PdfViewerName = QStringLiteral("Document Viewer");
const QByteArray EmbeddedPageName = QByteArrayLiteral("Embedded files");

namespace {

QString Refused(const QString &shown, const QString &reason)
{
    return QStringLiteral("The embedded file \"%1\" is not opened: %2.").arg(shown, reason);
}

QString OfType(const QString &comment, const QString &type)
{
    return QStringLiteral("its type is %1 (%2), and tests open only documents, pictures, sound "
                          "and video")
        .arg(comment, type);
}

const QString Program =
    QStringLiteral("it is a program, a script or a launcher, and a test never runs programs");

QString Question(const QString &shown, const QString &comment, const QString &type,
                 const QString &application)
{
    return QStringLiteral("Open the embedded file \"%1\" (%2, %3) with %4?\n"
                          "Open embedded files only from tests you trust.")
        .arg(shown, comment, type, application);
}

TEmbeddedFile Refusal(const QString &name, const QByteArray &content, const QString &reason)
{
    return {name, content, name, {}, Refused(name, reason)};
}

QByteArray Png()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The first bytes of a Windows shortcut: header size 0x4C and the shell
// link's class identifier.
QByteArray Shortcut()
{
    return QByteArray("L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46\x9B\0\x08\0 \0\0\0", 28) +
           QByteArray(48, '\0');
}

} // namespace

QList<TEmbeddedFile> EmbeddedFiles()
{
    const QByteArray pdf("%PDF-1.4\n1 0 obj<<>>endobj\ntrailer<<>>\n%%EOF\n");
    const QString notes = QStringLiteral("Zapiski \u010Debele.txt");
    return {
        {QStringLiteral("Worksheet.pdf"),
         pdf,
         QStringLiteral("Worksheet.pdf"),
         Question(QStringLiteral("Worksheet.pdf"), QStringLiteral("PDF document"),
                  QStringLiteral("application/pdf"), PdfViewerName),
         {}},
        // Invisible, bidirectional and control characters leave the name.
        {QStringLiteral("Zapiski\u200B \u010Debele\u202E\u0007.txt"),
         QStringLiteral("Zapiski \u010Debele\nDruga vrstica\n").toUtf8(),
         notes,
         Question(notes, QStringLiteral("plain text document"), QStringLiteral("text/plain"),
                  QStringLiteral("the default application for text/plain")),
         {}},
        Refusal(QStringLiteral("Playlist.m3u"),
                "#EXTM3U\n#EXTINF:1,Song\nhttp://example.invalid/song.mp3\n",
                OfType(QStringLiteral("Media playlist"), QStringLiteral("audio/x-mpegurl"))),
        Refusal(QStringLiteral("Radio.pls"),
                "[playlist]\nFile1=http://example.invalid/stream\nNumberOfEntries=1\n",
                OfType(QStringLiteral("MP3 ShoutCast playlist"), QStringLiteral("audio/x-scpls"))),
        Refusal(QStringLiteral("Playlist.xspf"),
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist version=\"1\" "
                "xmlns=\"http://xspf.org/ns/0/\"><trackList><track><location>"
                "http://example.invalid/song</location></track></trackList></playlist>\n",
                OfType(QStringLiteral("XSPF playlist"), QStringLiteral("application/xspf+xml"))),
        Refusal(QStringLiteral("Playlist.asx"),
                "<ASX version=\"3.0\"><Entry><Ref href=\"http://example.invalid/song\"/>"
                "</Entry></ASX>\n",
                OfType(QStringLiteral("Microsoft ASX playlist"), QStringLiteral("audio/x-ms-asx"))),
        Refusal(QStringLiteral("Page.html"),
                "<!DOCTYPE html>\n<html><body><a href=\"http://example.invalid/\">Answers</a>"
                "</body></html>\n",
                OfType(QStringLiteral("HTML document"), QStringLiteral("text/html"))),
        Refusal(QStringLiteral("Drawing.svg"),
                "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" "
                "height=\"10\"><script>location='http://example.invalid/'</script></svg>\n",
                OfType(QStringLiteral("SVG image"), QStringLiteral("image/svg+xml"))),
        Refusal(QStringLiteral("Archive.mht"),
                "MIME-Version: 1.0\r\nContent-Type: multipart/related; boundary=\"b\"\r\n\r\n"
                "--b\r\nContent-Type: text/html\r\n\r\n<html></html>\r\n--b--\r\n",
                OfType(QStringLiteral("MHTML web archive"),
                       QStringLiteral("application/x-mimearchive"))),
        Refusal(
            QStringLiteral("Start.jnlp"),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<jnlp "
            "codebase=\"http://example.invalid/\"><application-desc main-class=\"Main\"/>"
            "</jnlp>\n",
            OfType(QStringLiteral("JNLP file"), QStringLiteral("application/x-java-jnlp-file"))),
        Refusal(QStringLiteral("App.flatpakref"),
                "[Flatpak Ref]\nName=org.example.App\nUrl=http://example.invalid/repo\n",
                OfType(QStringLiteral("Flatpak repository reference"),
                       QStringLiteral("application/vnd.flatpak.ref"))),
        // No type of this machine's database claims these extensions; a desktop
        // with a remote desktop client installed types them as its own.
        Refusal(QStringLiteral("Desktop.rdp"), "full address:s:example.invalid\nusername:s:pupil\n",
                QStringLiteral("its content is plain text document (text/plain), but its "
                               "extension \".rdp\" is not one of that type")),
        Refusal(QStringLiteral("Desktop.remmina"),
                "[remmina]\nserver=example.invalid\nprotocol=RDP\n",
                QStringLiteral("its content is plain text document (text/plain), but its "
                               "extension \".remmina\" is not one of that type")),
        Refusal(QStringLiteral("Desktop.ica"),
                "[WFClient]\nVersion=2\n[ApplicationServers]\nDesk=\n[Desk]\n"
                "Address=example.invalid\n",
                OfType(QStringLiteral("Citrix ICA settings file"),
                       QStringLiteral("application/x-ica"))),
        Refusal(QStringLiteral("Files.torrent"),
                "d8:announce30:http://example.invalid/announce4:infod4:name1:xee",
                OfType(QStringLiteral("BitTorrent seed file"),
                       QStringLiteral("application/x-bittorrent"))),
        Refusal(QStringLiteral("Print.ps"),
                "%!PS-Adobe-3.0\n/Helvetica findfont 12 scalefont setfont 72 72 moveto (x) show "
                "showpage\n",
                OfType(QStringLiteral("PostScript document"),
                       QStringLiteral("application/postscript"))),
        Refusal(QStringLiteral("Figure.eps"),
                "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nshowpage\n",
                OfType(QStringLiteral("EPS image"), QStringLiteral("image/x-eps"))),
        Refusal(QStringLiteral("Shortcut.lnk"), Shortcut(), Program),
        Refusal(QStringLiteral("Homework.pdf"), Shortcut(), Program),
        Refusal(QStringLiteral("install.sh"), "#!/bin/sh\necho installed\n", Program),
        Refusal(QStringLiteral("Photo.jpg"), Png(),
                QStringLiteral("its content is PNG image (image/png), but its name says JPEG "
                               "image (image/jpeg)")),
        // "Notes" + RIGHT-TO-LEFT OVERRIDE + "txt.pdf" reads as "Notesfdp.txt".
        {QStringLiteral("Notes\u202Etxt.pdf"),
         "plain words\n",
         QStringLiteral("Notestxt.pdf"),
         {},
         Refused(QStringLiteral("Notestxt.pdf"),
                 QStringLiteral("its content is plain text document (text/plain), but its name "
                                "says PDF document (application/pdf)"))},
    };
}

QByteArray WordDocumentStorage()
{
    QFile file(
        QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/ole/lo74_word97_features_B.doc"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WordDocumentQuestion()
{
    return Question(QStringLiteral("Microsoft Word-Dokument.doc"), QStringLiteral("Word document"),
                    QStringLiteral("application/msword"),
                    QStringLiteral("the default application for application/msword"));
}

QByteArray TestFileWithEmbeddedFiles(const QList<TEmbeddedFile> &files)
{
    // Records are in virtual units: the page stream writes them unconverted
    // only at the virtual size.
    const qint32 width = ScreenWidth;
    const qint32 height = ScreenHeight;
    const bool saved = Saved;
    ScreenWidth = DesignWidth;
    ScreenHeight = DesignHeight;

    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord(EmbeddedPageName, "(Forward)", "(Forward)"));
    QList<QByteArray> streams;
    for (const TEmbeddedFile &file : files)
        streams << MakePackageStream(file.Name, file.Content);
    streams << TOleObject::MakeStream(OleAspectContent, WordDocumentStorage());
    for (int i = 0; i < streams.size(); ++i) {
        auto record = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
        record.IsEmpty = 0;
        record.ActivationEnabled = 1;
        record.Left = 40 + (i % 6) * 330;
        record.Top = 40 + (i / 6) * 360;
        record.Width = 300;
        record.Height = 300;
        auto object = std::make_unique<TQZRecordObject>(ObjOle, RecordToBytes(record));
        object->SetPayload(streams.at(i));
        page->AddObject(std::move(object));
    }
    test.AddPage(std::move(page));
    QByteArray bytes = test.ToBytes();

    ScreenWidth = width;
    ScreenHeight = height;
    Saved = saved;
    return bytes;
}
