// The Qt side of the interaction layer, and the texts prepared for Qt's
// widgets that guess at markup: a text from a test shows as typed, and
// nothing reads the picture its markup names.
#include "QZInteraction.h"
#include "QZMarkupTest.h"
#include "QZPlainText.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

class TestInteraction : public QObject
{
    Q_OBJECT

private slots:
    void messageBoxShowsTextAsTyped();
    void toolTipShowsTextAsTyped();
    void windowTitleShowsTextAsTyped();
};

void TestInteraction::messageBoxShowsTextAsTyped()
{
    TMarkupTestFile file;
    QVERIFY(file.IsValid());
    const QString text = QStringLiteral("Opening error: ") + file.Markup(QStringLiteral("a.cvl")) +
                         QStringLiteral("\n") + file.Markup(QStringLiteral("cause"));
    QString shown;
    Qt::TextFormat format = Qt::RichText;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        answer.stop();
        box->grab();
        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        shown = label ? label->text() : QString();
        format = label ? label->textFormat() : Qt::RichText;
        box->button(QMessageBox::Ok)->click();
    });
    answer.start(10);
    QCOMPARE(
        Interaction().Message(TQZMessageKind::Error, QStringLiteral("Error"), text, TQZButton::Ok),
        TQZButton::Ok);
    QCOMPARE(shown, text);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(file.FifoReads(), 0);
}

void TestInteraction::toolTipShowsTextAsTyped()
{
    TMarkupTestFile file;
    QVERIFY(file.IsValid());
    // Two spaces stay two.
    const QString text = file.Markup(QStringLiteral("a  tip"));
    const QString tip = PlainToolTip(text);
    QTextDocument document;
    document.setHtml(tip);
    QCOMPARE(document.toPlainText(), text);

    QWidget owner;
    owner.resize(100, 100);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QToolTip::showText(owner.mapToGlobal(QPoint(10, 10)), tip, &owner);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), tip);
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel"))
            window->grab();
    QToolTip::hideText();
    QCOMPARE(file.FifoReads(), 0);

    QCOMPARE(PlainToolTip(QString()), QString());
}

void TestInteraction::windowTitleShowsTextAsTyped()
{
    for (const QString &title : {QStringLiteral("A [*] test"), QStringLiteral("[*][*]"),
                                 QStringLiteral("[*]x[*][*][*]")}) {
        QWidget window;
        window.setWindowTitle(PlainWindowTitle(title));
        window.winId();
        QCOMPARE(window.windowHandle()->title(), title);
        window.setWindowModified(true);
        QCOMPARE(window.windowHandle()->title(), title);
    }
}

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
