// A test whose every text holds markup, taken in the player from its first
// page to the result: every text shows as typed, targets are followed by
// their literal names, and nothing reads the picture the markup names.
#include "QZMarkupTest.h"
#include "QZPlayerRun.h"

#include "QZNaloga.h"
#include "QZRezultat.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QWindow>

namespace {

// Clicks the shown button with this caption near its left edge, where a
// choice takes clicks; false when there is none.
bool Click(const QWidget &window, const QString &caption)
{
    const auto buttons = window.findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (button->isVisibleTo(&window) && button->text() == caption) {
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
            return true;
        }
    }
    return false;
}

} // namespace

class TestPlainText : public TPlayerTest
{
    Q_OBJECT

private slots:
    void markupShowsAsTyped();
};

void TestPlainText::markupShowsAsTyped()
{
    TMarkupTestFile file;
    QVERIFY(file.IsValid());
    const auto m = [&file](const char *name) {
        return file.Markup(QString::fromLatin1(name));
    };
    // Every field holds all of its markup.
    QVERIFY(m("Answer 5").size() <= 100);

    TRun run({file.Write()});
    QStringList result;
    run.Script.OnDialog = [&result](QDialog &dialog) {
        if (qobject_cast<TRezultatDialog *>(&dialog)) {
            dialog.grab();
            result = WidgetTexts(dialog, TWidgetsTaken::Shown);
        }
        return int(QDialog::Accepted);
    };
    QVERIFY(run.Start());
    TGlavnoOkno &window = run.Window();
    QVERIFY(window.windowHandle());
    QCOMPARE(window.windowHandle()->title(), m("Title [*]"));

    // Page 1: the questions, the texts and the button.
    QCOMPARE(run.PageName(), m("Page 1"));
    window.grab();
    QStringList shown = WidgetTexts(window, TWidgetsTaken::Shown);
    for (const char *name : {"Question", "Choice 1", "Choice 2", "Choice 3", "Choice 4", "Choice 5",
                             "Choice 6", "First", "Second", "Text", "Panel text", "Confirm"})
        QVERIFY2(shown.contains(m(name)), name);
    QVERIFY2(MarkupLabels(shown).isEmpty(), qPrintable(MarkupLabels(shown)));

    // Answered right, with an accepted answer typed as it stands; the right
    // target is the next page's name.
    QVERIFY(Click(window, m("Choice 1")));
    QVERIFY(Click(window, m("First")));
    QVERIFY(run.Type(m("Answer 3")));
    QVERIFY(Click(window, m("Confirm")));
    QCOMPARE(run.PageName(), m("Page 2"));

    // Page 2: rich text, the clip (its file is not there) and the OLE object.
    QCOMPARE(run.Script.MessageTexts(), {QStringLiteral("I can not open the Media Player")});
    window.grab();
    shown = WidgetTexts(window, TWidgetsTaken::Shown);
    for (const QString &text : {file.RichText(), m("Clip caption"), m("Go on")})
        QVERIFY2(shown.contains(text), qPrintable(text));
    QVERIFY2(MarkupLabels(shown).isEmpty(), qPrintable(MarkupLabels(shown)));
    QWidget *ole = nullptr;
    const auto widgets = window.findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        if (widget->accessibleDescription() == m("OLE type"))
            ole = widget;
    QVERIFY(ole);
    // No program here opens its type: the message names it as it stands.
    QTest::mouseDClick(ole, Qt::LeftButton);
    QCOMPARE(run.Script.Messages.size(), 2);
    QVERIFY(run.Script.Messages.constLast().Text.contains(m("OLE type")));

    QVERIFY(Click(window, m("Go on")));
    QCOMPARE(run.PageName(), m("Page 3"));
    window.grab();

    // Three of three points: the best comment.
    QVERIFY(Click(window, m("Exit")));
    QCOMPARE(run.Script.Exits, {0});
    QVERIFY(result.contains(QStringLiteral("100 %")));
    QVERIFY(result.contains(m("Comment 7")));
    QVERIFY2(MarkupLabels(result).isEmpty(), qPrintable(MarkupLabels(result)));

    QCOMPARE(file.FifoReads(), 0);
}

QTEST_MAIN(TestPlainText)
#include "tst_PlainText.moc"
