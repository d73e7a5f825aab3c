// The page objects through their real widgets on a 1024 x 749 screen:
// evaluation, layout, the builder's record changes, docking, stacking, tags,
// mouse and keyboard, and pages of widget objects saved byte for byte.
#include "QZCodePage.h"
#include "QZFonts.h"
#include "QZMedia.h"
#include "QZMemo.h"
#include "QZOle.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"
#include "QZRtf.h"
#include "QZScriptedInteraction.h"
#include "QZSlika.h"
#include "QZStream.h"
#include "QZTexts.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include <typeinfo>

namespace {

// Multimedia objects made outside test loading open their clip at once and
// report with a message box that a record without one cannot be opened.
TQZScriptedInteraction AnswersEveryBox;

class TRecordingSurface : public TQZPageSurface
{
public:
    bool FaceMouseEvent(QWidget *face, QMouseEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            Pressed << face;
        return false;
    }
    void FormClick(QObject *sender) override { Clicked << sender; }

    QList<QWidget *> Pressed;
    QList<QObject *> Clicked;
};

template<typename RecordType> RecordType NewRecord()
{
    return RecordFromBytes<RecordType>(NewObjectRecord(TypeTagOf<RecordType>()));
}

TIzbireRecord ChoicesRecord(int count, bool single, const QList<int> &correct, qint32 points)
{
    auto record = NewRecord<TIzbireRecord>(); // fonts "Arial CE" of height -19
    record.ChoiceCount = quint8(count);
    record.SingleAnswer = single;
    record.Points = points;
    record.CorrectSet = ZeroRecord<TByteSet>();
    for (int i : correct)
        record.CorrectSet.Include(i);
    return record;
}

// Ticks or picks a choice with the mouse, on its indicator.
void Tick(QAbstractButton *choice)
{
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(4, choice->height() / 2));
}

QList<int> Checked(const TQZIzbire &question)
{
    QList<int> checked;
    for (int i = 1; i <= 6; ++i)
        if (question.Choice(i)->isChecked())
            checked << i;
    return checked;
}

QString AccessibleName(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

QWidget *FocusAfterTab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget();
}

int StackIndex(QWidget *face) { return int(face->parentWidget()->children().indexOf(face)); }

QByteArray CorpusFile(const QString &path)
{
    QFile file(QDir(QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus")).filePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A page stream holding every type, with payloads and with bytes in padding,
// string tails, hidden choices, unread set elements and unused answer slots,
// as written by headless record objects.
QByteArray PageStreamWithEveryType()
{
    TQZStran page;
    page.SetPageRecord(NewPageRecord("Every type", "(Forward)", "(Forward)"));
    const auto add = [&page](auto record, const QByteArray &payload = {}) {
        if constexpr (requires { record.Padding[0]; })
            std::fill(std::begin(record.Padding), std::end(record.Padding), quint8(0xA5));
        auto object =
            std::make_unique<TQZRecordObject>(TypeTagOf<decltype(record)>(), RecordToBytes(record));
        object->SetPayload(payload);
        page.AddObject(std::move(object));
    };
    auto choices = ChoicesRecord(2, false, {0, 1, 200}, 1);
    choices.QuestionText.Chars[200] = 'q';
    add(choices);
    auto input = NewRecord<TVnosnoOknoRecord>();
    input.Answers[0].SetBytes("slot zero");
    input.Answers[4].SetBytes("above the count");
    add(input);
    auto alternative = NewRecord<TDaNeRecord>();
    alternative.Width = 1200; // wider than its buttons need
    add(alternative);
    add(NewRecord<TBesediloRecord>());
    auto panel = NewRecord<TPanelBesediloRecord>();
    panel.TextPosition = 2;
    add(panel);
    // The rich text writes its text in its own dialect: RTF already in it
    // saves back byte for byte.
    QTextDocument text;
    ReadRtf(CorpusFile(QStringLiteral("rtf/lo74_ce_fcharset238_B.rtf")), text);
    add(NewRecord<TMemoRecord>(), WriteRtf(text));
    add(NewRecord<TSlikaRecord>(), CorpusFile(QStringLiteral("bmp/ff_bmp_gray.bmp")));
    auto media = NewRecord<TMediaRecord>();
    media.MediaFile.SetBytes("clip.wav");
    add(media);
    auto ole = NewRecord<TOleRecord>();
    ole.IsEmpty = 0;
    const QByteArray storage = CorpusFile(QStringLiteral("ole/libgsf_createole_small_and_70k.ole"));
    QByteArray header(12, '\0');
    qToLittleEndian<qint32>(0x434F4442, header.data());
    qToLittleEndian<qint32>(1, header.data() + 4);
    qToLittleEndian<qint32>(qint32(storage.size()), header.data() + 8);
    add(ole, header + storage);
    add(NewRecord<TOleRecord>()); // empty: its record alone
    add(NewRecord<TGumbRecord>());
    QByteArray stream;
    page.SaveToStream(stream);
    return stream;
}

std::unique_ptr<TQZStran> LoadWidgetPage(TQZPageSurface &surface, const QByteArray &stream)
{
    auto page = std::make_unique<TQZStran>(&surface, &WidgetObjectFactory());
    TQZReader reader(stream);
    page->LoadFromStream(reader);
    return page;
}

} // namespace

class TestObjects : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void choicesEvaluation_data();
    void choicesEvaluation();
    void choicesLayout_data();
    void choicesLayout();
    void choicesApplyRecord();
    void alternative();
    void inputBox_data();
    void inputBox();
    void inputBoxSize();
    void movedQuestionsSaveConvertedPosition();
    void keyboardAndScreenReaders();
    void transparentText();
    void textWithBackgroundDocks();
    void button();
    void placeholders();
    void factory();
    void pageRoundTripsByteForByte();
    void tagsMouseAndHiddenLoading();

private:
    qint32 m_saved[3] = {};
    bool m_testLoading = false;
};

void TestObjects::init()
{
    m_saved[0] = std::exchange(ScreenWidth, 1024);
    m_saved[1] = std::exchange(ScreenHeight, 749);
    m_saved[2] = std::exchange(FileVersion, CurrentFileVersion);
    m_testLoading = std::exchange(TestLoading, false);
}

void TestObjects::cleanup()
{
    ScreenWidth = m_saved[0];
    ScreenHeight = m_saved[1];
    FileVersion = m_saved[2];
    TestLoading = m_testLoading;
}

void TestObjects::choicesEvaluation_data()
{
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("correct");
    QTest::addColumn<QList<int>>("ticks");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("isCorrect");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QList<int>>("shown"); // checked after ShowCorrectAnswer

    using L = QList<int>; // choices worth 2 points
    QTest::newRow("several, 1 2 of 1 3")
        << false << 4 << L{1, 3} << L{1, 2} << true << false << 0 << 8 << L{1, 3};
    QTest::newRow("several, 1 3 of 1 3")
        << false << 4 << L{1, 3} << L{1, 3} << true << true << 8 << 8 << L{1, 3};
    QTest::newRow("several, none")
        << false << 4 << L{1, 3} << L{} << false << false << 0 << 8 << L{1, 3};
    QTest::newRow("several, undone")
        << false << 3 << L{1} << L{2, 2} << false << false << 2 << 6 << L{1};
    QTest::newRow("empty set, none") << false << 3 << L{} << L{} << false << true << 6 << 6 << L{};
    QTest::newRow("empty set, one") << false << 3 << L{} << L{2} << true << false << 2 << 6 << L{};
    QTest::newRow("set past count")
        << false << 3 << L{1, 5} << L{1} << true << true << 6 << 6 << L{1};
    QTest::newRow("no choices") << false << 0 << L{1} << L{} << false << true << 0 << 0 << L{};
    QTest::newRow("no choices, single")
        << true << 0 << L{1} << L{} << false << true << 2 << 2 << L{};
    QTest::newRow("single, right") << true << 3 << L{2} << L{2} << true << true << 2 << 2 << L{2};
    QTest::newRow("single, wrong") << true << 3 << L{2} << L{1} << true << false << 0 << 2 << L{2};
    QTest::newRow("single, changed")
        << true << 3 << L{2} << L{1, 2} << true << true << 2 << 2 << L{2};
    // A picked radio button is cleared where the author marked no answer.
    QTest::newRow("single, empty set")
        << true << 3 << L{} << L{2} << true << false << 0 << 2 << L{};
}

void TestObjects::choicesEvaluation()
{
    QFETCH(bool, single);
    QFETCH(int, count);
    QFETCH(QList<int>, correct);
    QFETCH(QList<int>, ticks);
    TRecordingSurface surface;
    TQZIzbire question(&surface, ChoicesRecord(count, single, correct, 2));
    surface.show();
    QCOMPARE(bool(qobject_cast<QRadioButton *>(question.Choice(1))), single);
    for (int i : ticks)
        Tick(question.Choice(i));

    QTEST(question.IsAnswered(), "answered");
    QTEST(question.IsCorrect(), "isCorrect");
    qint32 earned = 100;
    qint32 possible = 100;
    question.AddScore(earned);
    question.AddMaxScore(possible);
    QTEST(int(earned - 100), "score");
    QTEST(int(possible - 100), "maximum");
    question.ShowCorrectAnswer();
    QTEST(Checked(question), "shown");
    QCOMPARE(question.IsCorrect(), true);
}

void TestObjects::choicesLayout_data()
{
    QTest::addColumn<int>("fileVersion");
    QTest::addColumn<int>("row");
    QTest::newRow("reading a version 256 file") << 256 << 19;
    QTest::newRow("any other time") << int(CurrentFileVersion) << 21;
}

void TestObjects::choicesLayout()
{
    QFETCH(int, fileVersion);
    QFETCH(int, row);
    QCOMPARE(Margin(), 6);
    QCOMPARE(AnswerButtonHeight(), 37);
    QCOMPARE(SurfaceFontHeight(), 30);
    FileVersion = fileVersion;
    TRecordingSurface surface;
    auto record = ChoicesRecord(3, true, {1}, 1);
    record.Left = 40;
    record.Top = 30;
    TQZIzbire question(&surface, record);

    // Rows start below the caption font (19) and two margins.
    QCOMPARE(question.Frame()->geometry(), QRect(40, 30, 200, 2 * row + 31 + row + row / 2));
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(question.Choice(i)->geometry().topLeft(), QPoint(12, (i - 1) * row + 31));
        QCOMPARE(question.Choice(i)->height(), row);
        QCOMPARE(question.Choice(i)->isHidden(), i > 3);
        QCOMPARE(question.Choice(i)->cursor().shape(), Qt::PointingHandCursor);
    }
    const int height = question.Frame()->height();
    question.ResizeTo(300, 999);
    QCOMPARE(question.Frame()->size(), QSize(300, height));
    QCOMPARE(question.Choice(3)->width(), 285);
    QCOMPARE(qint32(question.Data().Width), 300);
}

void TestObjects::choicesApplyRecord()
{
    FileVersion = 256;
    TRecordingSurface surface;
    surface.show();
    auto record = ChoicesRecord(2, true, {1}, 1);
    TQZIzbire question(&surface, record);
    Tick(question.Choice(1));

    record.SingleAnswer = false;
    record.ChoiceCount = 4;
    record.Choices[3].SetBytes("Fourth");
    record.QuestionText.SetBytes("Which?");
    record.Left = 500;
    record.Width = 250;
    question.ApplyRecord(record);
    // Rebuilt unchecked with the builder's rows whatever file is being read,
    // where the frame was; hidden texts come back.
    QCOMPARE(question.Frame()->title(), QStringLiteral("Which?"));
    QCOMPARE(question.Frame()->geometry(), QRect(0, 0, 250, 3 * 21 + 31 + 21 + 10));
    QCOMPARE(question.Choice(3)->text(), QStringLiteral("Choice 3"));
    QCOMPARE(question.Choice(4)->text(), QStringLiteral("Fourth"));
    QCOMPARE(question.Choice(4)->geometry(), QRect(12, 3 * 21 + 31, 235, 21));
    QVERIFY(qobject_cast<QCheckBox *>(question.Choice(4)) && question.Choice(4)->isVisible());
    QCOMPARE(Checked(question), QList<int>{});
    Tick(question.Choice(2));
    Tick(question.Choice(4));
    QCOMPARE(question.CheckedSet().Bits[0], quint8(0x14));
}

void TestObjects::alternative()
{
    TRecordingSurface surface;
    surface.show();
    auto record = NewRecord<TDaNeRecord>(); // Yes / No, the first right, 1 point
    record.Left = 20;
    record.Top = 10;
    record.Width = 10;
    TQZDaNe question(&surface, record);
    QToolButton *yes = question.FirstButton();
    QToolButton *no = question.SecondButton();

    // Buttons in the surface font, as wide as the wider text and two margins;
    // the panel is never narrower than both and three margins.
    QCOMPARE(yes->font(), surface.SurfaceFont());
    const QFontMetrics metrics(surface.SurfaceFont());
    const int w = metrics.horizontalAdvance(QStringLiteral("Yes")) + 12;
    QCOMPARE(yes->geometry(), QRect(6, 6, w, 37));
    QCOMPARE(question.Panel()->geometry(), QRect(20, 10, 2 * w + 12, 49));
    QCOMPARE(qint32(question.Data().Width), 2 * w + 12);
    QCOMPARE(no->geometry(), QRect(w + 6, 6, w, 37));
    question.ResizeTo(400, 0);
    QCOMPARE(qint32(question.Data().Width), 400);
    QCOMPARE(no->x(), 400 - w - 6);

    QTest::mouseClick(yes, Qt::LeftButton);
    QVERIFY(question.IsAnswered() && question.IsCorrect());
    qint32 earned = 0;
    question.AddScore(earned);
    QCOMPARE(earned, 1);
    QTest::mouseClick(no, Qt::LeftButton);
    QVERIFY(!yes->isChecked() && no->isChecked() && !question.IsCorrect());
    QTest::mouseClick(no, Qt::LeftButton); // the down button goes up again
    QVERIFY(!yes->isChecked() && !no->isChecked() && !question.IsAnswered());
    QTest::mouseClick(no, Qt::LeftButton);
    question.ShowCorrectAnswer();
    QVERIFY(yes->isChecked() && !no->isChecked());

    record.FirstIsCorrect = false;
    record.FirstText.SetBytes("Absolutely");
    record.Width = 10;
    question.ApplyRecord(record);
    QVERIFY(yes->isChecked()); // the answer stays
    const int wide = metrics.horizontalAdvance(QStringLiteral("Absolutely")) + 12;
    QCOMPARE(no->width(), wide);
    QCOMPARE(question.Panel()->geometry(), QRect(20, 10, 2 * wide + 12, 49));
    question.ShowCorrectAnswer();
    QVERIFY(!yes->isChecked() && no->isChecked());
}

void TestObjects::inputBox_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("isCorrect");

    const QStringList paris{QStringLiteral("Paris")};
    const QStringList red{QStringLiteral("red"), QStringLiteral("scarlet")};
    const auto row = [](const char *name, const QStringList &answers, int count, bool sensitive,
                        const char *typed, bool answered, bool correct) {
        QTest::newRow(name) << answers << count << sensitive << QString::fromUtf8(typed) << answered
                            << correct;
    };
    row("blanks around, other case", paris, 1, false, "  paris ", true, true);
    row("space inside", paris, 1, false, "Pa ris", true, false);
    row("case-sensitive, other case", paris, 1, true, "paris", true, false);
    row("case-sensitive, trailing blanks", paris, 1, true, "Paris  ", true, true);
    row("second slot", red, 2, false, "Scarlet", true, true);
    row("slot past AnswerCount", red, 1, false, "scarlet", true, false);
    row("AnswerCount 0", red, 0, false, "red", true, false);
    row("spaces only", paris, 1, false, "   ", false, false);
    row("new box", {}, 1, false, "x", true, false);
    row("accents in the font's code page", {QStringLiteral("Čas")}, 1, false, "čAS", true, true);
}

void TestObjects::inputBox()
{
    QFETCH(QStringList, answers);
    QFETCH(int, count);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, typed);
    auto record = NewRecord<TVnosnoOknoRecord>(); // font in character set 238
    record.AnswerCount = count;
    record.CaseSensitive = caseSensitive;
    record.Points = 3;
    for (int i = 0; i < answers.size(); ++i)
        record.Answers[i + 1].SetBytes(EncodeText(answers.at(i), "windows-1250"));
    TRecordingSurface surface;
    surface.show();
    TQZVnosnoOkno question(&surface, record);
    for (QChar c : typed)
        QTest::sendKeyEvent(QTest::Click, question.Edit(), Qt::Key_unknown, QString(c), {});
    QCOMPARE(question.Edit()->text(), typed);

    QTEST(question.IsAnswered(), "answered");
    QTEST(question.IsCorrect(), "isCorrect");
    qint32 earned = 10;
    qint32 possible = 10;
    question.AddScore(earned);
    question.AddMaxScore(possible);
    QCOMPARE(earned, question.IsCorrect() ? 13 : 10);
    QCOMPARE(possible, 13);
    question.ShowCorrectAnswer(); // slot 1, whichever slot matched
    QCOMPARE(question.Edit()->text(), answers.value(0));
}

void TestObjects::inputBoxSize()
{
    TRecordingSurface surface;
    auto record = NewRecord<TVnosnoOknoRecord>();
    record.Left = 30;
    record.Top = 40;
    TQZVnosnoOkno question(&surface, record);
    question.Edit()->setText(QStringLiteral("typed"));
    const int height = question.Edit()->height();
    question.ResizeTo(120, 500);
    QCOMPARE(qint32(question.Data().Width), 120);
    QCOMPARE(question.Edit()->geometry(), QRect(30, 40, 120, height));

    // A larger font makes a higher box; width and the text typed stay.
    record.Font.Height = -40;
    question.ApplyRecord(record);
    QVERIFY(question.Edit()->height() > height);
    QCOMPARE(question.Edit()->width(), 120);
    QCOMPARE(question.Edit()->text(), QStringLiteral("typed"));
}

void TestObjects::movedQuestionsSaveConvertedPosition()
{
    TRecordingSurface surface;
    std::unique_ptr<TQZControl> questions[] = {
        std::make_unique<TQZIzbire>(&surface, NewRecord<TIzbireRecord>()),
        std::make_unique<TQZVnosnoOkno>(&surface, NewRecord<TVnosnoOknoRecord>()),
        std::make_unique<TQZDaNe>(&surface, NewRecord<TDaNeRecord>())};
    for (const auto &question : questions) {
        question->MoveTo(100, 50);
        QByteArray stream;
        question->SaveToStream(stream);
        QCOMPARE(stream.size(), RecordSize(question->ObjectTypeTag()));
        // 100 * 2048 / 1024 and 50 * 1536 / 749 = 102.5...; the live record
        // stays in pixels.
        QCOMPARE(qFromLittleEndian<qint32>(stream.constData()), 200);
        QCOMPARE(qFromLittleEndian<qint32>(stream.constData() + 4), 103);
        QCOMPARE(qFromLittleEndian<qint32>(question->Record().constData()), 100);
        QCOMPARE(FaceOf(question.get())->pos(), QPoint(100, 50));
    }
}

void TestObjects::keyboardAndScreenReaders()
{
    TRecordingSurface surface;
    auto choices = ChoicesRecord(2, true, {1}, 1);
    choices.QuestionText.SetBytes("Pick");
    choices.Choices[0].SetBytes("Alpha");
    TQZIzbire question(&surface, choices);
    TQZDaNe alternative(&surface, NewRecord<TDaNeRecord>());
    TQZVnosnoOkno input(&surface, NewRecord<TVnosnoOknoRecord>());
    auto textRecord = NewRecord<TBesediloRecord>();
    textRecord.Top = 500;
    TQZBesedilo text(&surface, textRecord);
    auto buttonRecord = NewRecord<TGumbRecord>();
    buttonRecord.Top = 600;
    TQZGumb button(&surface, buttonRecord);
    surface.resize(1024, 749);
    surface.show();
    surface.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&surface));

    QCOMPARE(AccessibleName(question.Frame()), QStringLiteral("Pick"));
    QCOMPARE(AccessibleName(question.Choice(1)), QStringLiteral("Alpha"));
    QCOMPARE(AccessibleName(alternative.SecondButton()), QStringLiteral("No"));
    QCOMPARE(AccessibleName(input.Edit()), QStringLiteral("Answer"));
    QCOMPARE(AccessibleName(text.Label()), QStringLiteral("Text"));
    QCOMPARE(AccessibleName(button.PressButton()), QStringLiteral("Button"));

    // Tab follows page order; Space ticks and toggles; Enter presses.
    question.Choice(1)->setFocus();
    QTest::keyClick(question.Choice(1), Qt::Key_Space);
    QVERIFY(question.Choice(1)->isChecked());
    QCOMPARE(FocusAfterTab(), question.Choice(2)); // not only the picked radio button
    QTest::keyClick(question.Choice(2), Qt::Key_Space);
    QCOMPARE(Checked(question), QList<int>{2});
    QCOMPARE(FocusAfterTab(), alternative.FirstButton());
    QTest::keyClick(alternative.FirstButton(), Qt::Key_Space);
    QVERIFY(alternative.FirstButton()->isChecked());
    QCOMPARE(FocusAfterTab(), alternative.SecondButton());
    QTest::keyClick(alternative.SecondButton(), Qt::Key_Return);
    QVERIFY(alternative.SecondButton()->isChecked() && !alternative.FirstButton()->isChecked());
    QCOMPARE(FocusAfterTab(), input.Edit());
    QCOMPARE(FocusAfterTab(), button.PressButton());
    QTest::keyClick(button.PressButton(), Qt::Key_Enter);
    QCOMPARE(surface.Clicked, QList<QObject *>{button.PressButton()});
}

void TestObjects::transparentText()
{
    TRecordingSurface surface;
    TQZGumb earlierButton(&surface, NewRecord<TGumbRecord>());
    auto record = NewRecord<TBesediloRecord>();
    record.Text.SetBytes("<b>as typed</b>");
    record.Left = 100;
    record.Top = 50;
    record.Width = 300;
    record.Height = 80;
    record.Alignment = 1;
    TQZBesedilo text(&surface, record);
    TQZBesedilo laterText(&surface, record);
    TQZPanelBesedilo laterPanel(&surface, NewRecord<TPanelBesediloRecord>());
    QLabel *label = text.Label();
    QCOMPARE(label->geometry(), QRect(100, 50, 300, 80));
    QCOMPARE(label->text(), QStringLiteral("<b>as typed</b>"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(label->wordWrap() && !label->autoFillBackground());
    QVERIFY(label->alignment() & Qt::AlignRight);

    // Beneath framed objects whatever the page order; in page order among
    // texts.
    QVERIFY(StackIndex(label) < StackIndex(laterText.Label()));
    QVERIFY(StackIndex(laterText.Label()) < StackIndex(earlierButton.Frame()));
    QVERIFY(StackIndex(earlierButton.Frame()) < StackIndex(laterPanel.Frame()));

    // New text fits: right-aligned keeps its right edge; the record follows.
    const QFontMetrics metrics(label->font());
    record.Text.SetBytes("Hi");
    text.ApplyRecord(record);
    const QRect oneLine = label->geometry();
    QCOMPARE(oneLine.x() + oneLine.width(), 400);
    QVERIFY(oneLine.width() < 50);
    QVERIFY(oneLine.height() >= metrics.height() && oneLine.height() < 2 * metrics.height());
    QCOMPARE(text.Data().Left, oneLine.x());
    QCOMPARE(text.Data().Width, oneLine.width());
    QCOMPARE(text.Data().Height, oneLine.height());

    record.Text.SetBytes("several words that cannot stand on one short line at all");
    record.Alignment = 0;
    text.ResizeTo(120, 10);
    text.ApplyRecord(record);
    QVERIFY(label->width() <= 120 && label->height() >= 3 * metrics.height());
    record.Text.SetBytes("");
    text.ApplyRecord(record);
    QCOMPARE(label->height(), oneLine.height()); // one line still
}

void TestObjects::textWithBackgroundDocks()
{
    QWidget window;
    auto *surface = new TRecordingSurface;
    surface->setParent(&window);
    surface->setGeometry(0, 0, 800, 600);
    window.show();
    auto record = NewRecord<TPanelBesediloRecord>();
    record.Left = 50;
    record.Top = 60;
    record.Width = 200;
    record.Height = 40;
    record.Color = 0x000000FF;
    TQZPanelBesedilo free(surface, record);
    QCOMPARE(free.Frame()->geometry(), QRect(50, 60, 200, 40));
    QCOMPARE(free.Frame()->frameStyle(), int(QFrame::Panel | QFrame::Raised));
    QCOMPARE(free.Frame()->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(free.Label()->geometry(), QRect(6, 6, 188, 28));

    record.TextPosition = 1;
    TQZPanelBesedilo top(surface, record);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 800, 40));
    top.MoveTo(300, 300);
    top.ResizeTo(50, 30);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 800, 30));
    QCOMPARE(top.Label()->geometry(), QRect(6, 6, 788, 18));
    record.TextPosition = 2;
    TQZPanelBesedilo bottom(surface, record);
    QCOMPARE(bottom.Frame()->geometry(), QRect(0, 560, 800, 40));

    surface->resize(640, 480);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 640, 30));
    QCOMPARE(bottom.Frame()->geometry(), QRect(0, 440, 640, 40));
    QCOMPARE(bottom.Label()->width(), 628);
    QCOMPARE(free.Frame()->geometry(), QRect(50, 60, 200, 40));

    record.TextPosition = 0; // freed, the frame goes where its record says
    bottom.ApplyRecord(record);
    QCOMPARE(bottom.Frame()->geometry(), QRect(50, 60, 200, 40));
}

void TestObjects::button()
{
    TRecordingSurface surface;
    auto record = NewRecord<TGumbRecord>();
    record.Left = 100;
    record.Top = 200;
    record.Caption.SetBytes("Next");
    TQZGumb button(&surface, record);
    surface.show();
    QPushButton *press = button.PressButton();
    QCOMPARE(press->text(), QStringLiteral("Next"));
    QCOMPARE(press->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(button.Frame()->geometry(), QRect(100, 200, 100, 50));
    QCOMPARE(press->geometry(), QRect(6, 6, 88, 38));
    QTest::mouseClick(press, Qt::LeftButton);
    QCOMPARE(surface.Clicked, QList<QObject *>{press});
    QVERIFY(surface.Pressed.isEmpty()); // only the click is passed on

    button.ResizeTo(120, 60);
    QCOMPARE(press->geometry(), QRect(6, 6, 108, 48));
    record.Caption.SetBytes("Onward");
    button.ApplyRecord(record);
    QCOMPARE(press->text(), QStringLiteral("Onward"));
    QCOMPARE(button.Frame()->geometry(), QRect(100, 200, 120, 60));
}

void TestObjects::placeholders()
{
    TRecordingSurface surface;
    auto memoRecord = NewRecord<TMemoRecord>();
    memoRecord.Left = 10;
    memoRecord.Color = 0x0000FF00;
    TQZMemo memo(&surface, memoRecord);
    QCOMPARE(memo.Frame()->geometry(), QRect(10, 0, 200, 200));
    QCOMPARE(memo.Frame()->palette().color(QPalette::Window), QColor(Qt::green));
    QCOMPARE(memo.Frame()->Inner()->metaObject()->className(), "QTextEdit");
    memo.ResizeTo(150, 100);
    QByteArray stream;
    memo.SaveToStream(stream);
    QCOMPARE(RecordFromBytes<TMemoRecord>(stream).SavedEditHeight, 100 - 12);

    TQZSlika picture(&surface, NewRecord<TSlikaRecord>());
    QVERIFY(StackIndex(picture.Face()) < StackIndex(memo.Frame()));

    TQZOle ole(&surface, NewRecord<TOleRecord>()); // empty: the record alone
    stream.clear();
    ole.SaveToStream(stream);
    QCOMPARE(stream.size(), 32);
}

void TestObjects::factory()
{
    TRecordingSurface surface;
    TQZObjectFactory &factory = WidgetObjectFactory();
    for (int tag : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10}) {
        const auto object = factory.CreateObject(tag, NewObjectRecord(tag), &surface);
        const TQZControl &made = *object;
        const QString className = QString::fromLatin1(typeid(made).name());
        QVERIFY2(className.endsWith(ClassNameOfType(tag)), qPrintable(className));
        QCOMPARE(FaceOf(object.get())->parentWidget(), &surface);
    }
    // No surface to hold a face, or no class for the tag: the bytes are kept.
    const auto headless = factory.CreateObject(ObjIzbire, NewObjectRecord(ObjIzbire), nullptr);
    QVERIFY(dynamic_cast<TQZRecordObject *>(headless.get()));
    const auto unknown = factory.CreateObject(11, QByteArray(40, 'x'), &surface);
    QVERIFY(dynamic_cast<TQZRecordObject *>(unknown.get()));
    // A short record is completed with zeros.
    const auto button = factory.CreateObject(ObjGumb, QByteArray(16, '\0'), &surface);
    QCOMPARE(button->Record(), QByteArray(804, '\0'));

    // Windows faces are drawn with the free fonts of the same metrics.
    QCOMPARE(FreeFamilyOf(QStringLiteral("Arial CE")), QStringLiteral("Liberation Sans"));
    TQZGumb styled(&surface, NewRecord<TGumbRecord>()); // "Arial CE", -19
    const QFontInfo font(styled.PressButton()->font());
    QCOMPARE(font.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(font.pixelSize(), 19);
}

void TestObjects::pageRoundTripsByteForByte()
{
    TRecordingSurface surface;
    ScreenWidth = DesignWidth; // nothing is rounded: every byte comes back
    ScreenHeight = DesignHeight;
    const QByteArray stream = PageStreamWithEveryType();
    QVERIFY(stream.size() > 80000); // the payloads are there
    auto page = LoadWidgetPage(surface, stream);
    QCOMPARE(page->ObjectCount(), 11);
    for (const auto &object : page->Objects())
        QVERIFY(FaceOf(object.get()));
    QByteArray saved;
    page->SaveToStream(saved);
    QVERIFY(saved == stream);

    // On other screens widget pages save what headless pages save.
    ScreenWidth = 1024;
    ScreenHeight = 749;
    TQZStran headless;
    TQZReader reader(stream);
    headless.LoadFromStream(reader);
    QByteArray fromRecords;
    headless.SaveToStream(fromRecords);
    // Rich text scales its font sizes to its box as it loads, so only its
    // record's leading fields (position, size, colour) match the bytes a
    // headless page keeps; every other object saves the same.
    const auto widgets = LoadWidgetPage(surface, stream);
    QCOMPARE(widgets->ObjectCount(), headless.ObjectCount());
    for (size_t i = 0; i < widgets->Objects().size(); ++i) {
        QByteArray fromWidget;
        QByteArray fromRecord;
        widgets->Objects()[i]->SaveToStream(fromWidget);
        headless.Objects()[i]->SaveToStream(fromRecord);
        if (widgets->Objects()[i]->ObjectTypeTag() == ObjMemo)
            QCOMPARE(fromWidget.left(20), fromRecord.left(20));
        else
            QVERIFY(fromWidget == fromRecord);
    }
    QVERIFY(!fromRecords.isEmpty());
}

void TestObjects::tagsMouseAndHiddenLoading()
{
    TRecordingSurface surface;
    surface.show();
    TestLoading = true;
    auto page = LoadWidgetPage(surface, PageStreamWithEveryType());
    for (const auto &object : page->Objects()) {
        QVERIFY(FaceOf(object.get())->isHidden());
        QCOMPARE(TagOf(FaceOf(object.get())), object->Tag());
    }
    const auto &objects = page->Objects();
    const auto *question = static_cast<TQZIzbire *>(objects[0].get());
    const auto *input = static_cast<TQZVnosnoOkno *>(objects[1].get());
    const auto *alternative = static_cast<TQZDaNe *>(objects[2].get());
    const auto *panel = static_cast<TQZPanelBesedilo *>(objects[4].get());
    const auto *button = static_cast<TQZGumb *>(objects[10].get());
    QCOMPARE(TagOf(question->Choice(1)), 0);
    QCOMPARE(TagOf(alternative->FirstButton()), 0);
    QCOMPARE(TagOf(panel->Label()), panel->Tag());
    QCOMPARE(TagOf(button->PressButton()), button->Tag());
    page->ShowObjects(true);
    for (const auto &object : objects)
        QVERIFY(FaceOf(object.get())->isVisible());
    // Objects inserted on a shown surface show at once, with all their parts.
    TestLoading = false;
    const auto inserted = LoadWidgetPage(surface, PageStreamWithEveryType());
    for (const auto &object : inserted->Objects()) {
        QWidgetList parts = FaceOf(object.get())->findChildren<QWidget *>();
        parts << FaceOf(object.get());
        for (QWidget *part : std::as_const(parts)) // or hidden on purpose
            QVERIFY(part->isVisible() || part->testAttribute(Qt::WA_WState_ExplicitShowHide));
    }

    // Presses on faces reach the surface once each; choices keep theirs.
    for (QWidget *face :
         std::initializer_list<QWidget *>{question->Face(), panel->Label(), input->Face()})
        QTest::mousePress(face, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(surface.Pressed, (QList<QWidget *>{question->Face(), panel->Face(), input->Face()}));
    QTest::mousePress(question->Choice(1), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(surface.Pressed.size(), 3);
}

QTEST_MAIN(TestObjects)

#include "tst_objects.moc"
