#include "QZPlayerTestFiles.h"

#include "QZCodePage.h"
#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZStream.h"

namespace {

template<typename Record> Record NewRecord(int tag)
{
    return RecordFromBytes<Record>(NewObjectRecord(tag));
}

template<typename Record> TObjectSpec Spec(int tag, const Record &record)
{
    return {tag, RecordToBytes(record)};
}

} // namespace

TObjectSpec Choices(std::initializer_list<const char *> choices, std::initializer_list<int> right,
                    bool single, qint32 points)
{
    auto r = NewRecord<TIzbireRecord>(ObjIzbire);
    r.Width = 1200;
    r.QuestionText.SetBytes(QByteArrayLiteral("Question"));
    int count = 0;
    for (const char *choice : choices)
        if (count < 6)
            r.Choices[count++].SetBytes(choice);
    r.ChoiceCount = quint8(count);
    r.SingleAnswer = single;
    r.CorrectSet = TByteSet{};
    for (int number : right)
        r.CorrectSet.Include(number);
    r.Points = points;
    return Spec(ObjIzbire, r);
}

TObjectSpec Alternative(bool firstIsCorrect, qint32 points)
{
    auto r = NewRecord<TDaNeRecord>(ObjDaNe);
    r.Width = 800;
    r.FirstIsCorrect = firstIsCorrect;
    r.FirstText.SetBytes(QByteArrayLiteral("Yes"));
    r.SecondText.SetBytes(QByteArrayLiteral("No"));
    r.Points = points;
    return Spec(ObjDaNe, r);
}

TObjectSpec InputBox(const QByteArray &answer, qint32 points)
{
    auto r = NewRecord<TVnosnoOknoRecord>(ObjVnosnoOkno);
    r.Width = 800;
    r.AnswerCount = 1;
    r.Answers[1].SetBytes(answer);
    r.Points = points;
    return Spec(ObjVnosnoOkno, r);
}

TObjectSpec Button(const QByteArray &caption, quint8 kind, const QByteArray &target)
{
    auto r = NewRecord<TGumbRecord>(ObjGumb);
    r.Width = 400;
    r.Height = 120;
    r.Caption.SetBytes(caption);
    r.ButtonKind = kind;
    r.TargetPage.SetBytes(target);
    return Spec(ObjGumb, r);
}

QByteArray TestFileBytes(const TTestSpec &spec)
{
    // Records are given in virtual units: the page stream writes them
    // unconverted only at the virtual size.
    const qint32 width = ScreenWidth;
    const qint32 height = ScreenHeight;
    const bool saved = Saved;
    ScreenWidth = DesignWidth;
    ScreenHeight = DesignHeight;

    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    test.TestRecord().Title.SetBytes(EncodeDefault(spec.Title));
    test.TestRecord().WrongAnswerMode = spec.WrongAnswerMode;
    for (int i = 0; i < 8; ++i) {
        const QString comment = spec.Comments.value(i, QStringLiteral("Comment %1").arg(i));
        test.TestRecord().Comments[i].SetBytes(EncodeDefault(comment));
    }
    for (const TPageSpec &pageSpec : spec.Pages) {
        auto page = test.NewPage();
        page->SetPageRecord(
            NewPageRecord(pageSpec.Name, pageSpec.CorrectTarget, pageSpec.WrongTarget));
        qint32 top = 40;
        for (const TObjectSpec &object : pageSpec.Objects) {
            auto added = std::make_unique<TQZRecordObject>(object.Tag, object.Record);
            added->MoveTo(100, top);
            top += 220;
            page->AddObject(std::move(added));
        }
        test.AddPage(std::move(page));
    }
    QByteArray bytes = test.ToBytes();

    ScreenWidth = width;
    ScreenHeight = height;
    Saved = saved;
    return bytes;
}

QString WriteTestFile(const QString &fileName, const TTestSpec &spec)
{
    WriteWholeFile(fileName, TestFileBytes(spec));
    return fileName;
}
