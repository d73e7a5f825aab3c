// The picture and clip dialogs' files: the picture-open dialog's filters and
// preview, the picture file a "Graphics - Properties" use chooses, and the
// clip name of "Multimedia - Properties", with the file dialogs answered from
// a script.
#include "QZMediaLastnosti.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"
#include "QZSlika.h"
#include "QZSlikaLastnosti.h"

#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace CorvBuilder;

namespace {

QString Corpus(const QString &path)
{
    return QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/") + path;
}

QByteArray RandomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// A click on a button's text (a check box reaches further than its text in
// a layout, and only its text takes clicks).
void Click(QDialog &dialog, const char *name)
{
    auto *button = dialog.findChild<QAbstractButton *>(QLatin1String(name));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void Type(QDialog &dialog, const char *edit, const QString &text)
{
    auto *line = dialog.findChild<QLineEdit *>(QLatin1String(edit));
    line->selectAll();
    QTest::keyClicks(line, text);
}

} // namespace

class TestMediaDialogs : public QObject
{
    Q_OBJECT

private slots:
    void pictureFilters();
    void picturePreview_data();
    void picturePreview();
    void pictureChosenFile();
    void clipFileName();

private:
    // Created once and re-used, as the builder does.
    TSlikaLastnosti m_slika;
    TMediaLastnosti m_media;
};

namespace {

// The files a file dialog lists in `folder` under its current filter, once
// it lists as many as `expected` holds.
QStringList Listed(QFileDialog &dialog, const QString &folder, const QStringList &expected)
{
    auto *model = dialog.findChild<QFileSystemModel *>();
    const QModelIndex root = model->index(folder);
    (void)QTest::qWaitFor([&] { return model->rowCount(root) == expected.size(); });
    QTest::qWait(50); // files the filter lets through by mistake come late
    QStringList names;
    for (int row = 0; row < model->rowCount(root); ++row)
        names << model->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

void MakeFiles(const QTemporaryDir &dir, const QStringList &names)
{
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

} // namespace

void TestMediaDialogs::pictureFilters()
{
    const QStringList texts = {QStringLiteral("All (*.bmp;*.ico;*.emf;*.wmf)"),
                               QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("Icons (*.ico)"),
                               QStringLiteral("Enhanced Metafiles (*.emf)"),
                               QStringLiteral("Metafiles (*.wmf)")};
    QTemporaryDir dir;
    MakeFiles(dir, {QStringLiteral("a.bmp"), QStringLiteral("B.BMP"), QStringLiteral("c.Ico"),
                    QStringLiteral("d.EMF"), QStringLiteral("e.wmf"), QStringLiteral("f.png"),
                    QStringLiteral("g.bmp.txt")});
    TPictureOpenDialog dialog;
    dialog.setDirectory(dir.path());
    dialog.show();
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QStringList shown;
    for (int i = 0; i < types->count(); ++i)
        shown << types->itemText(i);
    QCOMPARE(shown, texts);

    const QStringList listed[] = {
        {QStringLiteral("B.BMP"), QStringLiteral("a.bmp"), QStringLiteral("c.Ico"),
         QStringLiteral("d.EMF"), QStringLiteral("e.wmf")},
        {QStringLiteral("B.BMP"), QStringLiteral("a.bmp")},
        {QStringLiteral("c.Ico")},
        {QStringLiteral("d.EMF")},
        {QStringLiteral("e.wmf")},
    };
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(types->currentIndex(), i);
        QCOMPARE(Listed(dialog, dir.path(), listed[i]), listed[i]);
    }
}

void TestMediaDialogs::picturePreview_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("shown");
    QTest::newRow("large bitmap") << "bmp/imagers_Core_4_Bit.bmp" << true;
    QTest::newRow("icon") << "ico/imagers_smile.ico" << true;
    QTest::newRow("metafile") << "wmf/lo74_draw_shapes.wmf" << true;
    QTest::newRow("damaged metafile") << "emf/emf2svg_bad_corrupted_2014-12-02-215428.emf" << false;
}

void TestMediaDialogs::picturePreview()
{
    QFETCH(QString, file);
    QFETCH(bool, shown);
    TPictureOpenDialog &dialog = *m_slika.OpenDialog();
    dialog.show();
    dialog.selectFile(Corpus(QStringLiteral("ico/im_32_4bpp.ico")));
    QTRY_VERIFY(!dialog.Preview()->pixmap().isNull());
    dialog.selectFile(Corpus(file));
    QTRY_COMPARE(dialog.Preview()->pixmap().isNull(), !shown);
    if (shown) {
        // At its own size, or smaller in its own proportions.
        const QSize natural = dialog.PreviewPicture().NaturalSize();
        const QSize size = dialog.Preview()->pixmap().size();
        QVERIFY(size.width() <= 160 && size.height() <= 160);
        if (natural.width() <= 160 && natural.height() <= 160)
            QCOMPARE(size, natural);
        else
            QVERIFY(qAbs(size.width() * natural.height() - size.height() * natural.width()) <=
                    qMax(natural.width(), natural.height()));
    }
    dialog.hide();
}

void TestMediaDialogs::pictureChosenFile()
{
    auto &slika = m_slika;
    QWidget surface;
    TQZSlika picture(&surface, RecordFromBytes<TSlikaRecord>(NewObjectRecord(ObjSlika)));
    QVERIFY(picture.LoadPictureFile(Corpus(QStringLiteral("bmp/pil_8bit_pal.bmp"))));
    const QByteArray kept = picture.Payload();
    TQZScriptedInteraction script;

    // OK without choosing a picture keeps the picture; Stretch is applied.
    slika.Load(RecordFromBytes<TSlikaRecord>(picture.Record()));
    Click(slika, "StretchBox");
    QVERIFY(slika.ChosenFile().isEmpty());
    picture.ApplyRecord(slika.Store());
    QCOMPARE(picture.Payload(), kept);
    QVERIFY(!picture.Image()->Stretch());

    // The picture-open dialog cancelled chooses nothing.
    script.OnDialog = [](QDialog &) {
        return int(QDialog::Rejected);
    };
    Click(slika, "OpenButton");
    QCOMPARE(script.DialogTitles, QStringList{QStringLiteral("Open")});
    QVERIFY(slika.ChosenFile().isEmpty());

    // A file chosen there, seen in the preview, is kept for the caller.
    const QString icon = Corpus(QStringLiteral("ico/imagers_smile.ico"));
    bool previewed = false;
    script.OnDialog = [&](QDialog &dialog) {
        auto &open = dynamic_cast<TPictureOpenDialog &>(dialog);
        open.show();
        open.selectFile(icon);
        previewed = QTest::qWaitFor([&] { return !open.Preview()->pixmap().isNull(); });
        open.hide();
        return int(QDialog::Accepted);
    };
    Click(slika, "OpenButton");
    QVERIFY(previewed);
    QCOMPARE(QFileInfo(slika.ChosenFile()).canonicalFilePath(),
             QFileInfo(icon).canonicalFilePath());
    QCOMPARE(slika.FileLabel()->text(), QStringLiteral("imagers_smile.ico"));
    QVERIFY(picture.LoadPictureFile(slika.ChosenFile()));
    QFile iconFile(icon);
    QVERIFY(iconFile.open(QIODevice::ReadOnly));
    QCOMPARE(picture.Payload(), iconFile.readAll());

    // Each use starts with no file chosen.
    slika.Load(RecordFromBytes<TSlikaRecord>(picture.Record()));
    QVERIFY(slika.ChosenFile().isEmpty());
    QVERIFY(slika.FileLabel()->text().isEmpty());
}

void TestMediaDialogs::clipFileName()
{
    auto &media = m_media;
    auto record = RecordFromBytes<TMediaRecord>(RandomBytes(sizeof(TMediaRecord), 11));

    // Shown and stored without the blanks around it.
    record.MediaFile.SetBytes("  film.avi \t");
    media.Load(record);
    QCOMPARE(media.FileEdit()->text(), QStringLiteral("film.avi"));
    QCOMPARE(media.Store().MediaFile.Bytes(), QByteArray("film.avi"));

    // At most 100 characters are kept.
    const QString longName = QStringLiteral("0123456789").repeated(12) + QStringLiteral(".wav");
    Type(media, "FileEdit", longName);
    QCOMPARE(media.Store().MediaFile.Bytes(), longName.left(100).toLatin1());

    // Browse offers the clip kinds; cancelled, it leaves the name.
    const QString filter = QStringLiteral(
        "Multimedia (*.WAV *.wav *.MID *.mid *.AVI *.avi *.MPG *.mpg);;MIDI (*.MID *.mid);;"
        "AVI (*.AVI *.avi);;MPEG (*.MPG *.mpg);;WAV (*.WAV *.wav)");
    TQZScriptedInteraction script;
    media.Load(record);
    Click(media, "BrowseButton");
    QCOMPARE(script.FileFilters, QStringList{filter});
    QCOMPARE(media.FileEdit()->text(), QStringLiteral("film.avi"));

    QCOMPARE(media.WarningTitle()->text(), QStringLiteral("Warning:"));
    QCOMPARE(media.WarningText()->text(),
             QStringLiteral("If we want that the test runs on other computers, the file featuring "
                            "sound, film and animation must necessarily be put into the directory "
                            "where the test itself is installed without using any of the paths to "
                            "the directory in the file name."));
}

QTEST_MAIN(TestMediaDialogs)
#include "tst_mediadialogs.moc"
