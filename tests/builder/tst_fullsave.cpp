// Saving onto a full disk: the write stops half-way (a file size limit stands
// in for the full disk), the file saved before stays exactly as it was, and
// the author is told "Saving error: " with the file name.
#include "QZBuilder.h"
#include "QZEditorState.h"
#include "QZGlavnoOkno.h"
#include "QZNaloga.h"
#include "QZOrodja.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace CorvBuilder;

namespace {

// Lowers the limit on the size of files this process writes, and ignores
// the signal that writing past it raises, so that the write fails with an
// error instead; both are put back on leaving the scope.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

constexpr rlim_t Limit = 16 * 1024;

} // namespace

class TFullSaveTest : public QObject
{
    Q_OBJECT

private slots:
    void documentSaveFailsHalfWay()
    {
        QTemporaryDir folder;
        const QString fileName = folder.filePath(QStringLiteral("test.cvl"));
        TQZNaloga test;
        test.AddPage(test.NewPage());
        test.SaveTestFile(fileName);
        const QByteArray before = ReadWholeFile(fileName);

        for (int i = 0; i < 40; ++i)
            test.AddPage(test.NewPage());
        QVERIFY(test.ToBytes().size() > qsizetype(Limit));
        {
            TFileSizeLimit limit(Limit);
            try {
                test.SaveTestFile(fileName);
                QFAIL("saving past the limit succeeded");
            } catch (const TQZFileError &error) {
                QCOMPARE(error.FileName(), fileName);
                QVERIFY(!error.Cause().isEmpty());
            }
        }
        QVERIFY(!Saved);
        QCOMPARE(ReadWholeFile(fileName), before);
        // Nothing is left behind beside it.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("test.cvl")});
    }

    void builderReportsTheSavingError()
    {
        QTemporaryDir folder;
        const QString fileName = folder.filePath(QStringLiteral("lesson.cvl"));
        TQZScriptedInteraction script;
        TQZRecordedHelp help;
        TBuilder builder(QStringList{QStringLiteral("corvbld")});
        builder.Create();
        builder.MainWindow().FirstActivation(QSize(1024, 768));
        TOrodja &tools = builder.Tools();
        tools.New();
        script.FileAnswers = {fileName};
        tools.Save();
        QVERIFY(script.Messages.isEmpty());
        const QByteArray before = ReadWholeFile(fileName);

        for (int i = 0; i < 40; ++i)
            tools.AddPage();
        {
            TFileSizeLimit limit(Limit);
            tools.Save();
        }
        QCOMPARE(script.Messages.size(), 1);
        QCOMPARE(script.Messages[0].Kind, TQZMessageKind::Error);
        const QString text = script.Messages[0].Text;
        QVERIFY2(
            text.startsWith(QStringLiteral("Saving error: ") + fileName + QStringLiteral("\n")),
            qPrintable(text));
        QVERIFY(text.size() > QStringLiteral("Saving error: \n").size() + fileName.size());
        QVERIFY(builder.MainWindow().Document().IsModified());
        QCOMPARE(ReadWholeFile(fileName), before);

        // With room again the same command saves the whole test.
        tools.Save();
        QCOMPARE(script.Messages.size(), 1);
        QVERIFY(!builder.MainWindow().Document().IsModified());
        QCOMPARE(ReadWholeFile(fileName), builder.MainWindow().Document().Test()->ToBytes());
        tools.CloseWithoutSaving();
    }
};

QTEST_MAIN(TFullSaveTest)

#include "tst_fullsave.moc"
