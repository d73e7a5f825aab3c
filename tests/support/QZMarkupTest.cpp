#include "QZMarkupTest.h"

#include "QZCodePage.h"
#include "QZCompoundFile.h"
#include "QZNaloga.h"
#include "QZOleObject.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextEdit>
#include <QtEndian>

#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opening a FIFO to write without waiting works only while someone has it
// open to read; the reader then gets the end of the file and goes on.
void Watch(const QByteArray path, const std::atomic<bool> &stop, std::atomic<int> &reads)
{
    while (!stop.load()) {
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            ++reads;
            ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Append32(QByteArray &bytes, quint32 value)
{
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

QByteArray LengthPrefixed(const QByteArray &text)
{
    QByteArray bytes;
    Append32(bytes, quint32(text.size() + 1));
    return bytes + text + '\0';
}

// An embedded object of a class no program here knows, whose type name is
// `typeName`.
QByteArray OleStream(const QString &typeName)
{
    const QByteArray classId = QByteArray::fromHex("78563412341278560123456789abcdef");
    QByteArray compObj;
    Append32(compObj, 0xFFFE0001);
    Append32(compObj, 0x00000A03);
    Append32(compObj, 0xFFFFFFFF);
    compObj += classId;
    compObj += LengthPrefixed(typeName.toLatin1());
    compObj += LengthPrefixed("Markup");
    compObj += LengthPrefixed("Markup.Test");
    Append32(compObj, 0x71B239F4);
    for (int i = 0; i < 3; ++i)
        Append32(compObj, 0);
    QByteArray ole;
    Append32(ole, 0x02000001);
    for (int i = 0; i < 4; ++i)
        Append32(ole, 0);
    TCompoundFileWriter writer(classId);
    writer.AddStream("\001Ole", ole);
    writer.AddStream("\001CompObj", compObj);
    return TOleObject::MakeStream(OleAspectContent, writer.Finish());
}

template<typename Record> Record New(int tag)
{
    return RecordFromBytes<Record>(NewObjectRecord(tag));
}

} // namespace

TMarkupTestFile::TMarkupTestFile()
    : m_folder(QDir::tempPath() + QStringLiteral("/cvmXXXXXX"))
{
    if (!m_folder.isValid() || ::mkfifo(QFile::encodeName(Fifo()).constData(), 0600) != 0)
        return;
    m_valid = true;
    m_watch = std::thread(Watch, QFile::encodeName(Fifo()), std::cref(m_stop), std::ref(m_reads));
}

TMarkupTestFile::~TMarkupTestFile()
{
    m_stop = true;
    if (m_watch.joinable())
        m_watch.join();
}

QString TMarkupTestFile::Fifo() const { return m_folder.filePath(QStringLiteral("p")); }

QString TMarkupTestFile::Markup(const QString &name) const
{
    return QStringLiteral("<img src=\"%1\"><a href=\"https://example.invalid/\">%2</a>")
        .arg(Fifo(), name);
}

QString TMarkupTestFile::RichText() const
{
    return Markup(QStringLiteral("Rich text")) + QStringLiteral("\nLink");
}

QString TMarkupTestFile::Write(const QString &fileName) const
{
    const auto text = [this](const QString &name) {
        return EncodeDefault(Markup(name));
    };
    // Records are in virtual units: the page stream writes them unconverted
    // only at the virtual size.
    const qint32 width = ScreenWidth;
    const qint32 height = ScreenHeight;
    const bool saved = Saved;
    ScreenWidth = DesignWidth;
    ScreenHeight = DesignHeight;

    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    test.TestRecord().Title.SetBytes(text(QStringLiteral("Title [*]")));
    for (int i = 0; i < 8; ++i)
        test.TestRecord().Comments[i].SetBytes(text(QStringLiteral("Comment %1").arg(i)));

    const auto addPage = [&](const QString &name, const QString &target,
                             const QList<std::pair<int, QByteArray>> &objects,
                             const QList<QByteArray> &payloads) {
        auto page = test.NewPage();
        page->SetPageRecord(NewPageRecord(text(name), text(target), text(target)));
        qint32 top = 20;
        for (qsizetype i = 0; i < objects.size(); ++i) {
            auto object = std::make_unique<TQZRecordObject>(objects[i].first, objects[i].second);
            if (!payloads.value(i).isEmpty())
                object->SetPayload(payloads.value(i));
            object->MoveTo(20, top);
            top += 250;
            page->AddObject(std::move(object));
        }
        test.AddPage(std::move(page));
    };

    auto choices = New<TIzbireRecord>(ObjIzbire);
    choices.Width = 1900;
    choices.QuestionText.SetBytes(text(QStringLiteral("Question")));
    choices.ChoiceCount = 6;
    choices.SingleAnswer = 1;
    for (int i = 0; i < 6; ++i)
        choices.Choices[i].SetBytes(text(QStringLiteral("Choice %1").arg(i + 1)));
    choices.CorrectSet = TByteSet{};
    choices.CorrectSet.Include(1);
    choices.Points = 1;
    auto alternative = New<TDaNeRecord>(ObjDaNe);
    alternative.Width = 1900;
    alternative.FirstIsCorrect = 1;
    alternative.FirstText.SetBytes(text(QStringLiteral("First")));
    alternative.SecondText.SetBytes(text(QStringLiteral("Second")));
    alternative.Points = 1;
    auto input = New<TVnosnoOknoRecord>(ObjVnosnoOkno);
    input.Width = 1900;
    input.AnswerCount = 5;
    for (int i = 1; i <= 5; ++i)
        input.Answers[i].SetBytes(text(QStringLiteral("Answer %1").arg(i)));
    input.Points = 1;
    auto plain = New<TBesediloRecord>(ObjBesedilo);
    plain.Width = 1900;
    plain.Text.SetBytes(text(QStringLiteral("Text")));
    auto panel = New<TPanelBesediloRecord>(ObjPanelBesedilo);
    panel.Width = 1900;
    panel.Text.SetBytes(text(QStringLiteral("Panel text")));
    auto confirm = New<TGumbRecord>(ObjGumb);
    confirm.Width = 1900;
    confirm.Caption.SetBytes(text(QStringLiteral("Confirm")));
    confirm.ButtonKind = KindConfirm;
    confirm.TargetPage.SetBytes(text(QStringLiteral("Page 2")));
    addPage(QStringLiteral("Page 1"), QStringLiteral("Page 2"),
            {{ObjIzbire, RecordToBytes(choices)},
             {ObjDaNe, RecordToBytes(alternative)},
             {ObjVnosnoOkno, RecordToBytes(input)},
             {ObjBesedilo, RecordToBytes(plain)},
             {ObjPanelBesedilo, RecordToBytes(panel)},
             {ObjGumb, RecordToBytes(confirm)}},
            {});

    auto memo = New<TMemoRecord>(ObjMemo);
    memo.Width = 1900;
    const QByteArray fifo = QFile::encodeName(Fifo());
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\*\\htmltag84 <img src=\"" + fifo + "\">}" +
        text(QStringLiteral("Rich text")) + "\\par {\\field{\\*\\fldinst HYPERLINK \"file://" +
        fifo + "\"}{\\fldrslt Link}}{\\field{\\*\\fldinst INCLUDEPICTURE \"" + fifo +
        "\"}{\\fldrslt }}\\par}";
    auto clip = New<TMediaRecord>(ObjMedia);
    clip.Width = 1900;
    clip.MediaFile.SetBytes(text(QStringLiteral("Clip")));
    clip.Caption.SetBytes(text(QStringLiteral("Clip caption")));
    auto ole = New<TOleRecord>(ObjOle);
    ole.IsEmpty = 0;
    ole.ActivationEnabled = 1;
    auto onward = New<TGumbRecord>(ObjGumb);
    onward.Width = 1900;
    onward.Caption.SetBytes(text(QStringLiteral("Go on")));
    onward.ButtonKind = KindPage;
    onward.TargetPage.SetBytes(text(QStringLiteral("Page 3")));
    addPage(QStringLiteral("Page 2"), QStringLiteral("Page 3"),
            {{ObjMemo, RecordToBytes(memo)},
             {ObjMedia, RecordToBytes(clip)},
             {ObjOle, RecordToBytes(ole)},
             {ObjGumb, RecordToBytes(onward)}},
            {rtf, {}, OleStream(Markup(QStringLiteral("OLE type")))});

    auto exit = New<TGumbRecord>(ObjGumb);
    exit.Width = 1900;
    exit.Caption.SetBytes(text(QStringLiteral("Exit")));
    exit.ButtonKind = KindExit;
    exit.TargetPage.SetBytes(text(QStringLiteral("Page 1")));
    addPage(QStringLiteral("Page 3"), QStringLiteral("Page 2"), {{ObjGumb, RecordToBytes(exit)}},
            {});

    const QByteArray bytes = test.ToBytes();
    ScreenWidth = width;
    ScreenHeight = height;
    Saved = saved;
    const QString path = m_folder.filePath(fileName);
    WriteWholeFile(path, bytes);
    return path;
}

QStringList WidgetTexts(const QWidget &root, TWidgetsTaken taken)
{
    QStringList texts;
    const auto widgets = root.findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        if (taken == TWidgetsTaken::Shown && !widget->isVisibleTo(&root))
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            const bool markup =
                label->textFormat() == Qt::RichText ||
                (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
            texts << (markup ? QStringLiteral("markup: ") : QString()) + label->text();
        } else if (const auto *edit = qobject_cast<const QLineEdit *>(widget)) {
            texts << edit->text();
        } else if (const auto *box = qobject_cast<const QComboBox *>(widget)) {
            for (int i = 0; i < box->count(); ++i)
                texts << box->itemText(i);
        } else if (const auto *list = qobject_cast<const QListWidget *>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
            texts << button->text();
        } else if (const auto *frame = qobject_cast<const QGroupBox *>(widget)) {
            texts << frame->title();
        } else if (const auto *box = qobject_cast<const QTextEdit *>(widget)) {
            texts << box->toPlainText();
        }
    }
    return texts;
}

QString MarkupLabels(const QStringList &texts)
{
    return texts.filter(QStringLiteral("markup: ")).join(QLatin1Char('\n'));
}
