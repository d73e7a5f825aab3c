// The help layer: the help file reader on good and damaged input, the help
// file shipped beside the programs, the help window, and Help() showing
// topics, the contents and reading errors.
#include "QZHelp.h"
#include "QZHelpFile.h"
#include "QZHelpWindow.h"
#include "QZScriptedInteraction.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Sample = QByteArrayLiteral("\xEF\xBB\xBF"
                                            "CORVELLA HELP 1\r\n"
                                            "%% a comment before the first topic\r\n"
                                            "\n"
                                            "== 0 Contents\n"
                                            "Start with [[20]] or [[30|the second one]].\n"
                                            "== 20 First topic\n"
                                            "A paragraph that\n"
                                            "  runs over two lines with **bold** words.\n"
                                            "%% comments inside a topic are skipped\n"
                                            "\n"
                                            "## A heading\n"
                                            "- an item\n"
                                            "  that goes on\n"
                                            "- **[[30]]** in bold\n"
                                            "1. first step\n"
                                            "12. second step, a link to [[77]]\n"
                                            "Stars \\*\\* and [[ not a link, [[x|y]] nor this,\n"
                                            "\\[[20]] and **open bold\n"
                                            "==30   Second  topic  \n"
                                            "Back to [[20]].");

TQZHelpFile Parsed(const QByteArray &bytes)
{
    TQZHelpFile file;
    if (!file.Parse(bytes, QStringLiteral("sample.hlp")))
        qWarning("%s", qPrintable(file.Error()));
    return file;
}

QString BlockText(const TQZHelpBlock &block)
{
    QString text;
    for (const TQZHelpSpan &span : block.Spans)
        text += span.Text;
    return text;
}

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString Message(const QString &path, const QString &cause)
{
    return QStringLiteral("Cannot read the help file %1: %2.").arg(path, cause);
}

// Every context number the builder asks for.
const QList<int> BuilderContexts = {20,  30,  40,  50,  60,  70,  80,  90,  100, 110,
                                    120, 130, 140, 150, 160, 170, 180, 190, 200, 210,
                                    250, 300, 310, 320, 330, 350, 370, 400, 410};

QByteArray ShippedHelp()
{
    QFile file(QStringLiteral(CORVELLA_SOURCE_DIR "/help/help_eng.hlp"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the help file is missing from the sources");
    return file.readAll();
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanupTestCase();

    void readsTopicsAndMarkup();
    void refusesDamagedText_data();
    void refusesDamagedText();
    void refusesFilesThatAreNoHelp();
    void survivesDamagedShippedFile();
    void shippedFileCoversBuilderContexts_data();
    void shippedFileCoversBuilderContexts();
    void shippedFileLinksResolve();
    void unreadableFileShowsError();
    void windowShowsTopicsAndGoesBack();
    void windowKeyboard();
    void helpShowsTopicByNumber();
    void helpUsableBesideModalDialog();
};

void TestHelp::init() { SetHelpFile(QStringLiteral("help_eng.hlp")); }

void TestHelp::cleanupTestCase() { delete HelpWindow(); }

void TestHelp::readsTopicsAndMarkup()
{
    const TQZHelpFile file = Parsed(Sample);
    QVERIFY(file.Error().isEmpty());
    QCOMPARE(file.Topics().size(), 3);
    QCOMPARE(file.Topics().at(2).Title, QStringLiteral("Second  topic"));
    QCOMPARE(file.Topics().at(2).Line, 19);

    const TQZHelpTopic *first = file.Topic(20);
    QVERIFY(first);
    const QList<TQZHelpBlock> &blocks = first->Blocks;
    QCOMPARE(blocks.size(), 7);
    QCOMPARE(blocks.at(0).Kind, TQZHelpBlockKind::Paragraph);
    QCOMPARE(blocks.at(0).Spans.size(), 3);
    QCOMPARE(blocks.at(0).Spans.at(1).Text, QStringLiteral("bold"));
    QVERIFY(blocks.at(0).Spans.at(1).Bold);
    QCOMPARE(blocks.at(1).Kind, TQZHelpBlockKind::Heading);
    QCOMPARE(blocks.at(2).Kind, TQZHelpBlockKind::Bullet);
    QCOMPARE(BlockText(blocks.at(2)), QStringLiteral("an item that goes on"));
    QCOMPARE(blocks.at(3).Spans.constFirst().Link, 30);
    QVERIFY(blocks.at(3).Spans.constFirst().Bold);
    QCOMPARE(blocks.at(4).Kind, TQZHelpBlockKind::Numbered);
    QCOMPARE(blocks.at(5).Kind, TQZHelpBlockKind::Numbered);
    // Escapes, "[[" that make no link and a bold left open are plain text.
    QCOMPARE(blocks.at(6).Kind, TQZHelpBlockKind::Paragraph);
    QCOMPARE(BlockText(blocks.at(6)), QStringLiteral("Stars ** and [[ not a link, [[x|y]] nor "
                                                     "this, [[20]] and open bold"));
    QVERIFY(blocks.at(6).Spans.constLast().Bold);

    QCOMPARE(file.PlainText(20), QStringLiteral("First topic\n"
                                                "A paragraph that runs over two lines with bold "
                                                "words.\n"
                                                "A heading\n"
                                                "- an item that goes on\n"
                                                "- Second  topic in bold\n"
                                                "1. first step\n"
                                                "2. second step, a link to 77\n"
                                                "Stars ** and [[ not a link, [[x|y]] nor this, "
                                                "[[20]] and open bold"));
    QCOMPARE(file.PlainText(0), QStringLiteral("Contents\nStart with First topic or the second "
                                               "one."));

    // Links to topics that are there are anchors; the one to 77 is not.
    const QString html = file.Html(20);
    QVERIFY(html.contains(QStringLiteral("<b><a href=\"topic:30\">Second  topic</a></b>")));
    QVERIFY(!html.contains(QStringLiteral("topic:77")));
    QVERIFY(html.contains(QStringLiteral("<ol>\n<li>first step</li>")));
    QCOMPARE(file.BrokenLinks(), (QList<std::pair<int, int>>{{20, 77}}));
    QVERIFY(file.Html(5).isEmpty());
}

void TestHelp::refusesDamagedText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cause");
    const QByteArray head = QByteArrayLiteral("CORVELLA HELP 1\n== 0 Contents\nText\n");

    QTest::newRow("empty") << QByteArray() << QStringLiteral("the file is empty");
    QTest::newRow("blanks") << QByteArrayLiteral("\xEF\xBB\xBF \n\r\n")
                            << QStringLiteral("the file is empty");
    QTest::newRow("no signature")
        << QByteArrayLiteral("== 0 Contents\n")
        << QStringLiteral("it is not a help file (its first line is not \"CORVELLA HELP 1\")");
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\x02\x01\x01\0\0\0",
                                          10)
                            << QStringLiteral(
                                   "it is not a help file (its first line is not \"CORVELLA "
                                   "HELP 1\")");
    QTest::newRow("zero byte") << head + QByteArray("abc\0def\n", 8)
                               << QStringLiteral(
                                      "line 4 holds control characters; the file is not text");
    QTest::newRow("latin-1") << head + QByteArrayLiteral("caf\xe9\n")
                             << QStringLiteral("line 4 is not UTF-8 text");
    QTest::newRow("cut character")
        << head + QByteArrayLiteral("caf\xc3") << QStringLiteral("line 4 is not UTF-8 text");
    QTest::newRow("word for number")
        << head + QByteArrayLiteral("== ten Title\n")
        << QStringLiteral("line 4: \"ten\" is not a topic number from 0 to 999999");
    QTest::newRow("negative number")
        << head + QByteArrayLiteral("== -1 Title\n")
        << QStringLiteral("line 4: \"-1\" is not a topic number from 0 to 999999");
    QTest::newRow("number too long")
        << head + QByteArrayLiteral("== 1000000 Title\n")
        << QStringLiteral("line 4: \"1000000\" is not a topic number from 0 to 999999");
    QTest::newRow("no title") << head + QByteArrayLiteral("==  20  \n")
                              << QStringLiteral("line 4: topic 20 has no title");
    QTest::newRow("twice") << head + QByteArrayLiteral("== 20 A\n\n== 20 B\n")
                           << QStringLiteral("line 6: topic 20 is already on line 4");
    QTest::newRow("text first") << QByteArrayLiteral("CORVELLA HELP 1\n%% c\nWords\n== 0 C\n")
                                << QStringLiteral("line 3: text before the first topic");
    QTest::newRow("no topics") << QByteArrayLiteral("CORVELLA HELP 1\n%% only a comment\n")
                               << QStringLiteral("it holds no topics");
    QTest::newRow("no contents") << QByteArrayLiteral("CORVELLA HELP 1\n== 20 A\nText\n")
                                 << QStringLiteral("it has no contents (topic 0)");
}

void TestHelp::refusesDamagedText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cause);
    TQZHelpFile file = Parsed(Sample);
    QVERIFY(!file.Parse(bytes, QStringLiteral("damaged.hlp")));
    QCOMPARE(file.Error(), Message(QStringLiteral("damaged.hlp"), cause));
    // The topics read before stay.
    QCOMPARE(file.Topics().size(), 3);
}

void TestHelp::refusesFilesThatAreNoHelp()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TQZHelpFile file;

    const QString missing = dir.filePath(QStringLiteral("missing.hlp"));
    QVERIFY(!file.Load(missing));
    QCOMPARE(file.Error(), Message(missing, QStringLiteral("the file does not exist")));
    QVERIFY(!file.Load(dir.path()));
    QCOMPARE(file.Error(), Message(dir.path(), QStringLiteral("it is a folder, not a file")));

    // A pipe is refused before it is opened: opening it would wait forever.
    const QString pipe = dir.filePath(QStringLiteral("pipe.hlp"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(!file.Load(pipe));
    QCOMPARE(file.Error(), Message(pipe, QStringLiteral("it is not a regular file")));

    const QString empty = WriteFile(dir, QStringLiteral("empty.hlp"), {});
    QVERIFY(!file.Load(empty));
    QCOMPARE(file.Error(), Message(empty, QStringLiteral("the file is empty")));

    const QString huge = WriteFile(dir, QStringLiteral("huge.hlp"), Sample);
    QVERIFY(QFile::resize(huge, TQZHelpFile::MaxFileSize + 1));
    QVERIFY(!file.Load(huge));
    QCOMPARE(file.Error(), Message(huge, QStringLiteral("the file is larger than 4 MB")));

    if (geteuid() != 0) {
        const QString locked = WriteFile(dir, QStringLiteral("locked.hlp"), Sample);
        QVERIFY(QFile::setPermissions(locked, {}));
        QVERIFY(!file.Load(locked));
        QCOMPARE(file.Error(), Message(locked, QStringLiteral("it cannot be opened (Permission "
                                                              "denied)")));
    }

    // Random bytes and a single line of link openers just under the limit.
    QByteArray noise(64 * 1024, Qt::Uninitialized);
    QRandomGenerator random(7);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    QVERIFY(!file.Load(WriteFile(dir, QStringLiteral("noise.hlp"), noise)));
    QByteArray openers = QByteArrayLiteral("CORVELLA HELP 1\n== 0 C\n");
    openers += QByteArray(TQZHelpFile::MaxFileSize - openers.size() - 2, '[') + "]]";
    QVERIFY(file.Load(WriteFile(dir, QStringLiteral("openers.hlp"), openers)));
    QCOMPARE(file.Topic(0)->Blocks.size(), 1);

    QVERIFY(file.Load(WriteFile(dir, QStringLiteral("good.hlp"), Sample)));
    QVERIFY(file.Error().isEmpty());
    QCOMPARE(file.FileName(), dir.filePath(QStringLiteral("good.hlp")));
}

void TestHelp::survivesDamagedShippedFile()
{
    // Cut and scrambled copies of the real file are read or refused with a
    // message, never anything else.
    const QByteArray shipped = ShippedHelp();
    QRandomGenerator random(2024);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = shipped.left(random.bounded(shipped.size() + 1));
        const int flips = random.bounded(1, 20);
        for (int i = 0; i < flips && !bytes.isEmpty(); ++i)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        TQZHelpFile file;
        if (file.Parse(bytes, QStringLiteral("cut.hlp"))) {
            for (const TQZHelpTopic &topic : file.Topics())
                QVERIFY(!file.Html(topic.Context).isEmpty());
        } else {
            QVERIFY2(file.Error().startsWith(QStringLiteral("Cannot read the help file cut.hlp: ")),
                     qPrintable(file.Error()));
        }
    }
}

void TestHelp::shippedFileCoversBuilderContexts_data()
{
    QTest::addColumn<int>("context");
    QTest::newRow("contents") << 0;
    for (const int context : BuilderContexts)
        QTest::newRow(qPrintable(QString::number(context))) << context;
}

void TestHelp::shippedFileCoversBuilderContexts()
{
    QFETCH(int, context);
    // The copy beside the programs is the file in the sources.
    TQZHelpFile file;
    QVERIFY2(file.Load(HelpFile()), qPrintable(file.Error()));
    QFile copy(HelpFile());
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), ShippedHelp());

    const TQZHelpTopic *topic = file.Topic(context);
    QVERIFY(topic);
    // A real topic: a title and several blocks of some length.
    const QString text = file.PlainText(context);
    QVERIFY2(topic->Blocks.size() >= 4, qPrintable(text));
    QVERIFY2(text.split(u' ', Qt::SkipEmptyParts).size() >= 100, qPrintable(text));
}

void TestHelp::shippedFileLinksResolve()
{
    TQZHelpFile file;
    QVERIFY2(file.Parse(ShippedHelp(), QStringLiteral("help_eng.hlp")), qPrintable(file.Error()));
    QCOMPARE(file.BrokenLinks(), (QList<std::pair<int, int>>()));
    // Every topic can be reached from the contents by links, and it holds
    // only the builder's topics.
    QSet<int> reached{0};
    QList<int> queue{0};
    while (!queue.isEmpty())
        for (const TQZHelpBlock &block : file.Topic(queue.takeFirst())->Blocks)
            for (const TQZHelpSpan &span : block.Spans)
                if (span.Link >= 0 && !reached.contains(span.Link)) {
                    reached.insert(span.Link);
                    queue.append(span.Link);
                }
    QSet<int> all;
    for (const TQZHelpTopic &topic : file.Topics())
        all.insert(topic.Context);
    QCOMPARE(reached, all);
    QCOMPARE(all, QSet<int>(BuilderContexts.begin(), BuilderContexts.end()) | QSet<int>{0});
}

void TestHelp::unreadableFileShowsError()
{
    QTemporaryDir dir;
    TQZScriptedInteraction interaction;
    const QString missing = dir.filePath(QStringLiteral("help_eng.hlp"));
    SetHelpFile(missing);
    Help().ShowTopic(20);
    QVERIFY(!HelpWindow());

    SetHelpFile(WriteFile(dir, QStringLiteral("bad.hlp"),
                          QByteArrayLiteral("CORVELLA HELP 1\n== 0 C\n== x Y\n")));
    Help().ShowContents();
    QVERIFY(!HelpWindow());

    QCOMPARE(interaction.Messages.size(), 2);
    for (const TQZScriptedInteraction::TMessage &message : interaction.Messages) {
        QCOMPARE(message.Kind, TQZMessageKind::Error);
        QCOMPARE(message.Caption, QStringLiteral("Error"));
        QCOMPARE(message.Buttons, TQZButtons(TQZButton::Ok));
    }
    QCOMPARE(interaction.MessageTexts(),
             QStringList({Message(missing, QStringLiteral("the file does not exist")),
                          Message(dir.filePath(QStringLiteral("bad.hlp")),
                                  QStringLiteral("line 3: \"x\" is not a topic number from 0 "
                                                 "to 999999"))}));
}

void TestHelp::windowShowsTopicsAndGoesBack()
{
    TQZHelpWindow window;
    window.SetHelpFile(Parsed(Sample));
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvella Builder Help"));
    QCOMPARE(window.CurrentTopic(), 0);
    QCOMPARE(window.TopicList()->count(), 3);
    QCOMPARE(window.TopicList()->currentItem()->text(), QStringLiteral("Contents"));
    QVERIFY(!window.BackButton()->isEnabled());

    window.ShowTopic(30);
    QCOMPARE(window.CurrentTopic(), 30);
    QVERIFY(window.TopicView()->toPlainText().startsWith(QStringLiteral("Second topic\n")));
    QCOMPARE(window.TopicList()->currentRow(), 2);
    // An unknown number shows the contents.
    window.ShowTopic(4711);
    QCOMPARE(window.CurrentTopic(), 0);

    // Following a link, then Back twice.
    emit window.TopicView()->anchorClicked(QUrl(QStringLiteral("topic:20")));
    QCOMPARE(window.CurrentTopic(), 20);
    emit window.TopicView()->anchorClicked(QUrl(QStringLiteral("https://example.org/")));
    QCOMPARE(window.CurrentTopic(), 20);
    QVERIFY(window.BackButton()->isEnabled());
    QTest::mouseClick(window.BackButton(), Qt::LeftButton);
    QCOMPARE(window.CurrentTopic(), 0);
    QTest::mouseClick(window.BackButton(), Qt::LeftButton);
    QCOMPARE(window.CurrentTopic(), 30);
    QTest::mouseClick(window.ContentsButton(), Qt::LeftButton);
    QCOMPARE(window.CurrentTopic(), 0);

    QVERIFY(!window.TopicList()->accessibleName().isEmpty());
    QVERIFY(!window.TopicView()->accessibleName().isEmpty());
}

void TestHelp::windowKeyboard()
{
    TQZHelpWindow window;
    window.SetHelpFile(Parsed(Sample));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // The arrow keys in the list show topic after topic; Enter moves on
    // into the text.
    window.TopicList()->setFocus();
    QTest::keyClick(window.TopicList(), Qt::Key_Down);
    QCOMPARE(window.CurrentTopic(), 20);
    QTest::keyClick(window.TopicList(), Qt::Key_Return);
    QVERIFY(window.TopicView()->hasFocus());

    // Tab reaches the first link of the text and Enter follows it.
    window.ShowContents();
    QTest::keyClick(window.TopicView(), Qt::Key_Tab);
    QTest::keyClick(window.TopicView(), Qt::Key_Return);
    QCOMPARE(window.CurrentTopic(), 20);

    QTest::keyClick(window.TopicView(), Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(window.CurrentTopic(), 0);
    window.ShowTopic(30);
    QTest::keyClick(window.TopicView(), Qt::Key_Home, Qt::AltModifier);
    QCOMPARE(window.CurrentTopic(), 0);
    QTest::keyClick(window.TopicView(), Qt::Key_Escape);
    QVERIFY(!window.isVisible());
}

void TestHelp::helpShowsTopicByNumber()
{
    TQZScriptedInteraction interaction;
    // The help file beside the test program, copied there by the build.
    Help().ShowTopic(110);
    TQZHelpWindow *window = HelpWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->CurrentTopic(), 110);
    QVERIFY(window->TopicView()->toPlainText().contains(QStringLiteral("Confirm the answer")));

    Help().ShowContents();
    QCOMPARE(HelpWindow(), window);
    QCOMPARE(window->CurrentTopic(), 0);
    Help().ShowTopic(12345);
    QCOMPARE(window->CurrentTopic(), 0);
    window->close();
    Help().ShowTopic(400);
    QVERIFY(window->isVisible());
    QCOMPARE(window->CurrentTopic(), 400);
    QVERIFY(interaction.Messages.isEmpty());
}

void TestHelp::helpUsableBesideModalDialog()
{
    Help().ShowContents();
    QPointer<TQZHelpWindow> window = HelpWindow();
    QVERIFY(window);
    const int row = window->TopicList()->count() - 1;
    const int lastContext = window->TopicList()->item(row)->data(Qt::UserRole).toInt();
    {
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(QApplication::activeModalWidget(), &dialog);

        // The dialog's Help button: the help window works beside the dialog.
        Help().ShowTopic(100);
        QCOMPARE(HelpWindow(), window.data());
        QCOMPARE(window->CurrentTopic(), 100);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // Clicked through the window system, which holds back input to
        // windows that a modal dialog blocks.
        QListWidget *list = window->TopicList();
        const QPoint point =
            list->viewport()->mapTo(window, list->visualItemRect(list->item(row)).center());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, point);
        QCOMPARE(window->CurrentTopic(), lastContext);

        // Closing the dialog leaves the help open.
        dialog.hide();
        QVERIFY(window->isVisible());
        Help().ShowTopic(20);
        QCOMPARE(window->CurrentTopic(), 20);
    }
    // The window outlived the dialog.
    QVERIFY(window);
    QCOMPARE(HelpWindow(), window.data());
    QVERIFY(!window->parentWidget());

    // A window that went with its dialog is made again on the next request.
    {
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        Help().ShowTopic(100);
        QCOMPARE(window->parentWidget(), &dialog);
    }
    QVERIFY(!window);
    QVERIFY(!HelpWindow());
    Help().ShowTopic(30);
    QVERIFY(HelpWindow());
    QCOMPARE(HelpWindow()->CurrentTopic(), 30);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
