// Embedded files in the builder: the author opens every object whatever its
// record says, under the player's rules: the same question before a document
// is opened, the same refusal of everything else.
#include "QZBuilder.h"
#include "QZEditorState.h"
#include "QZEmbeddedFiles.h"
#include "QZGlavnoOkno.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"

#include <QTemporaryDir>
#include <QTest>

using namespace CorvBuilder;

class TestEmbeddedFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void sameRulesAsThePlayer()
    {
        QTemporaryDir folder;
        const QString testFile = folder.filePath(QStringLiteral("embedded.cvl"));
        QList<TEmbeddedFile> files = EmbeddedFiles();
        WriteWholeFile(testFile, TestFileWithEmbeddedFiles(files));

        TQZScriptedInteraction script;
        QList<QUrl> opened;
        const TOleDesktopOpener opener = SetOleDesktopOpener([&opened](const QUrl &url) {
            opened << url;
            return true;
        });
        const TOleApplicationLookup lookup = SetOleApplicationLookup([](const QString &type) {
            return type == QLatin1String("application/pdf") ? PdfViewerName : QString();
        });
        TBuilder builder({QStringLiteral("corvbld"), testFile});
        builder.Create();
        builder.MainWindow().FirstActivation(QSize(1024, 768));
        QVERIFY(builder.MainWindow().Document().CurrentPage());
        const auto &objects = builder.MainWindow().Document().CurrentPage()->Objects();
        QCOMPARE(objects.size(), size_t(files.size() + 1));

        files << TEmbeddedFile{{}, WordDocumentStorage(), {}, WordDocumentQuestion(), {}};
        for (qsizetype i = 0; i < files.size(); ++i) {
            auto *ole = dynamic_cast<TQZOle *>(objects.at(size_t(i)).get());
            QVERIFY(ole && ole->ActivatesOnDoubleClick());
            script.Messages.clear();
            QTest::mouseDClick(ole->View(), Qt::LeftButton, {}, ole->View()->rect().center());
            QCOMPARE(script.Messages.size(), 1);
            const auto &shown = script.Messages.at(0);
            if (files.at(i).Refusal.isEmpty()) {
                QCOMPARE(shown.Kind, TQZMessageKind::Confirmation);
                QCOMPARE(shown.Caption, OpenEmbeddedCaption);
                QCOMPARE(shown.Text, files.at(i).Question);
                QCOMPARE(shown.Default, TQZButton::No);
            } else {
                QCOMPARE(shown.Kind, TQZMessageKind::Warning);
                QCOMPARE(shown.Text, files.at(i).Refusal);
            }
        }
        // Every question was answered with its default, No.
        QVERIFY(opened.isEmpty());

        script.Answers = {TQZButton::Yes};
        auto *pdf = dynamic_cast<TQZOle *>(objects.front().get());
        QTest::mouseDClick(pdf->View(), Qt::LeftButton, {}, pdf->View()->rect().center());
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.at(0).toLocalFile().startsWith(m_runtime.path() + QLatin1Char('/')));
        QCOMPARE(ReadWholeFile(opened.at(0).toLocalFile()), files.at(0).Content);

        SetOleDesktopOpener(opener);
        SetOleApplicationLookup(lookup);
    }

private:
    QTemporaryDir m_runtime;
};

QTEST_MAIN(TestEmbeddedFiles)
#include "tst_embeddedfiles.moc"
