// Editing embedded documents in their own programs: the watch that sees an
// editor's saves, in place and by rename; the object stream that takes a saved
// file back; and the icons the documents are drawn with, as the desktop draws
// files of their type.
#include "QZOleTestFiles.h"

#include "QZOleActivation.h"
#include "QZOleCopyWatch.h"
#include "QZOleIcon.h"
#include "QZOlePresentation.h"
#include "QZStream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteInPlace(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// As most editors save: a new file beside the old one, renamed over it.
void WriteByRename(const QString &path, const QByteArray &content)
{
    const QString temporary = path + QStringLiteral(".tmp");
    WriteInPlace(temporary, content);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::rename(temporary, path));
}

// A one-colour square PNG of `side` pixels.
QByteArray Square(QColor color, int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

int CountOf(const QImage &image, QColor color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == color;
    return count;
}

const QColor TextIconColor(200, 0, 0);
const QColor OfficeDocumentColor(0, 0, 200);
const QColor SpreadsheetColor(0, 150, 0);

} // namespace

class TestOleEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void watchSeesSavesInPlaceAndByRename();
    void watchRefusesWhatCannotBeTaken();
    void savedFileMakesTheObjectAgain();
    void iconsFollowTheTheme();
    void documentsAreDrawnAsTheirFiles();

private:
    QTemporaryDir m_theme;
    QStringList m_searchPaths;
    QString m_themeName;
};

// An icon theme of our own: the specific icon for OpenDocument texts, the
// generic one for office documents and spreadsheets, and nothing else.
void TestOleEditing::initTestCase()
{
    QVERIFY(m_theme.isValid());
    const QDir root(m_theme.path());
    QVERIFY(root.mkpath(QStringLiteral("testtheme/32x32/mimetypes")));
    WriteWholeFile(root.filePath(QStringLiteral("testtheme/index.theme")),
                   "[Icon Theme]\nName=testtheme\nDirectories=32x32/mimetypes\n\n"
                   "[32x32/mimetypes]\nSize=32\nContext=MimeTypes\nType=Fixed\n");
    const QString icons = root.filePath(QStringLiteral("testtheme/32x32/mimetypes/"));
    WriteWholeFile(icons + QStringLiteral("application-vnd.oasis.opendocument.text.png"),
                   Square(TextIconColor, 32));
    WriteWholeFile(icons + QStringLiteral("x-office-document.png"),
                   Square(OfficeDocumentColor, 32));
    WriteWholeFile(icons + QStringLiteral("x-office-spreadsheet.png"),
                   Square(SpreadsheetColor, 32));
    m_searchPaths = QIcon::themeSearchPaths();
    m_themeName = QIcon::themeName();
    QIcon::setThemeSearchPaths({m_theme.path()});
    QIcon::setThemeName(QStringLiteral("testtheme"));
}

void TestOleEditing::cleanupTestCase()
{
    QIcon::setThemeSearchPaths(m_searchPaths);
    QIcon::setThemeName(m_themeName);
}

void TestOleEditing::watchSeesSavesInPlaceAndByRename()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Notes.odt"));
    WriteWholeFile(path, "first");
    TOleCopyWatch watch(50);
    QSignalSpy saved(&watch, &TOleCopyWatch::Saved);
    const int key = watch.Watch(path, "first");
    QCOMPARE(watch.Path(key), QFileInfo(path).absoluteFilePath());

    // Written again as it was (an editor's lock file beside it, a save
    // without changes): nothing to take.
    WriteWholeFile(folder.filePath(QStringLiteral(".~lock.Notes.odt#")), "lock");
    WriteInPlace(path, "first");
    QTest::qWait(200);
    QCOMPARE(saved.count(), 0);

    // A save in place, written in two steps: one report, of the whole file.
    WriteInPlace(path, "sec");
    WriteInPlace(path, "second");
    QTRY_COMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).toInt(), key);
    QCOMPARE(saved.at(0).at(1).toByteArray(), QByteArray("second"));

    // Saved by rename, then in place again: the new file is watched too.
    WriteByRename(path, "third");
    QTRY_COMPARE(saved.count(), 2);
    QCOMPARE(saved.at(1).at(1).toByteArray(), QByteArray("third"));
    WriteInPlace(path, "fourth");
    QTRY_COMPARE(saved.count(), 3);
    QCOMPARE(saved.at(2).at(1).toByteArray(), QByteArray("fourth"));

    // Forgotten, its saves are not reported.
    watch.Forget(key);
    WriteInPlace(path, "fifth");
    QTest::qWait(200);
    QCOMPARE(saved.count(), 3);
}

void TestOleEditing::watchRefusesWhatCannotBeTaken()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Big.odt"));
    WriteWholeFile(path, "small");
    TOleCopyWatch watch(50);
    QSignalSpy saved(&watch, &TOleCopyWatch::Saved);
    QSignalSpy unreadable(&watch, &TOleCopyWatch::Unreadable);
    watch.Watch(path, "small");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(OleMaxSavedCopy + 1)); // sparse: no disk taken
    }
    QTRY_COMPARE(unreadable.count(), 1);
    QCOMPARE(unreadable.at(0).at(1).toString(), QStringLiteral("it is larger than 128 MB"));
    // A link put in the copy's place is not followed.
    const QString outside = folder.filePath(QStringLiteral("outside"));
    WriteWholeFile(outside, "outside");
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::link(outside, path));
    QTest::qWait(200);
    watch.CheckNow();
    QCOMPARE(saved.count(), 0);
}

void TestOleEditing::savedFileMakesTheObjectAgain()
{
    // A package keeps its name and aspect and takes the new content.
    const TOleObject package = TOleObject::FromStream(
        MakePackageStream(QStringLiteral("Plan.odt"), QByteArray("old content")));
    const TOleObject saved = TOleObject::FromStream(OleStreamWithFile(package, "new content"));
    QCOMPARE(saved.Package()->FileName, QStringLiteral("Plan.odt"));
    QCOMPARE(saved.Package()->Content, QByteArray("new content"));
    QCOMPARE(saved.Aspect(), package.Aspect());

    // A Word document's storage is the file the editor saved.
    const TOleObject word = TOleObject::FromStream(TOleObject::MakeStream(
        OleAspectContent, ReadCorpus(QStringLiteral("lo74_word97_one_embedded_calc.doc"))));
    const QByteArray other = ReadCorpus(QStringLiteral("lo74_word97_features_B.doc"));
    const TOleObject edited = TOleObject::FromStream(OleStreamWithFile(word, other));
    QCOMPARE(edited.Storage().toByteArray(), other);
    QCOMPARE(edited.Aspect(), OleAspectContent);
    QCOMPARE(OleActivationFile(edited)->FileName.right(4), QStringLiteral(".doc"));

    // Saved as something that is no Word document, it is refused.
    QVERIFY_THROWS_EXCEPTION(TQZFileError, OleStreamWithFile(word, "plain text"));
    QVERIFY_THROWS_EXCEPTION(
        TQZFileError,
        OleStreamWithFile(word, ReadCorpus(QStringLiteral("libgsf_createole_small_and_70k.ole"))));
}

void TestOleEditing::iconsFollowTheTheme()
{
    const auto colourOf = [](const QIcon &icon) {
        return icon.pixmap(32, 32).toImage().pixelColor(16, 16);
    };
    // The type's own icon, else its generic kind's, else our document.
    QCOMPARE(colourOf(OleTypeIcon(QStringLiteral("application/vnd.oasis.opendocument.text"))),
             TextIconColor);
    QCOMPARE(colourOf(OleTypeIcon(QStringLiteral("application/msword"))), OfficeDocumentColor);
    QCOMPARE(colourOf(OleTypeIcon(QStringLiteral("application/vnd.ms-excel"))), SpreadsheetColor);
    const QImage fallback = OleFallbackIcon().pixmap(32, 32).toImage();
    QCOMPARE(OleTypeIcon(QStringLiteral("image/png")).pixmap(32, 32).toImage(), fallback);
    QCOMPARE(OleTypeIcon(QStringLiteral("no/such-type")).pixmap(32, 32).toImage(), fallback);
    // Ours is drawn at any size, not scaled up.
    QCOMPARE(OleFallbackIcon().pixmap(64, 64).size(), QSize(64, 64));
    QVERIFY(CountOf(fallback, Qt::white) > 100);
}

// A document embedded without a picture of its content, or shown as an
// icon, is drawn as the file it opens as: the theme's icon for its type and
// its name under it, wrapped as a file manager wraps it.
void TestOleEditing::documentsAreDrawnAsTheirFiles()
{
    const auto draw = [](const TOleObject &object, QSize size = QSize(300, 200)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawOleObject(painter, image.rect(), object, OleSizeCentred);
        return image;
    };
    const TOleObject sheet = TOleObject::FromStream(TOleObject::MakeStream(
        OleAspectContent, ReadCorpus(QStringLiteral("lo74_excel97_formula.xls"))));
    QCOMPARE(CountOf(draw(sheet), SpreadsheetColor), 32 * 32);

    // A Word picture shown as an icon draws the desktop's icon, not its
    // cached metafile.
    const QByteArray wordPicture =
        ReadCorpus(QStringLiteral("embedded_rtfpipe_issue46_obj1_WordPicture8.cfb"));
    const TOleObject asIcon =
        TOleObject::FromStream(TOleObject::MakeStream(OleAspectIcon, wordPicture));
    QVERIFY(asIcon.Presentation().has_value());
    QCOMPARE(CountOf(draw(asIcon), OfficeDocumentColor), 32 * 32);

    // A long name wraps in at most three lines no wider than four icons, the
    // last shortened in the middle so that the extension shows.
    const QString longName =
        QStringLiteral("A very long name of a spreadsheet of the marks of the whole year and more "
                       "besides, kept for the teachers of the school.ods");
    const TOleObject named = TOleObject::FromStream(MakePackageStream(longName, "plain"));
    const QSize natural = OleNaturalSize(named, 96, 96);
    const QFontMetrics metrics{QFont()};
    QVERIFY2(natural.width() <= 4 * 32 + 8, qPrintable(QString::number(natural.width())));
    QCOMPARE(natural.height(), 32 + 4 + 3 * metrics.lineSpacing());
}

QTEST_MAIN(TestOleEditing)
#include "tst_oleediting.moc"
