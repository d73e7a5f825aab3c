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

template<typename Record> TObjectPlan Plan(int tag, const Record &record)
{
    return {tag, RecordToBytes(record)};
}

} // namespace

TObjectPlan Choices(std::initializer_list<const char *> choices, std::initializer_list<int> right,
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
    return Plan(ObjIzbire, r);
}

TObjectPlan Alternative(bool firstIsCorrect, qint32 points)
{
    auto r = NewRecord<TDaNeRecord>(ObjDaNe);
    r.Width = 800;
    r.FirstIsCorrect = firstIsCorrect;
    r.FirstText.SetBytes(QByteArrayLiteral("Yes"));
    r.SecondText.SetBytes(QByteArrayLiteral("No"));
    r.Points = points;
    return Plan(ObjDaNe, r);
}

TObjectPlan InputBox(const QByteArray &answer, qint32 points)
{
    auto r = NewRecord<TVnosnoOknoRecord>(ObjVnosnoOkno);
    r.Width = 800;
    r.AnswerCount = 1;
    r.Answers[1].SetBytes(answer);
    r.Points = points;
    return Plan(ObjVnosnoOkno, r);
}

TObjectPlan Button(const QByteArray &caption, quint8 kind, const QByteArray &target)
{
    auto r = NewRecord<TGumbRecord>(ObjGumb);
    r.Width = 400;
    r.Height = 120;
    r.Caption.SetBytes(caption);
    r.ButtonKind = kind;
    r.TargetPage.SetBytes(target);
    return Plan(ObjGumb, r);
}

TObjectPlan Clip(const QByteArray &clip)
{
    auto r = NewRecord<TMediaRecord>(ObjMedia);
    r.MediaFile.SetBytes(clip);
    return Plan(ObjMedia, r);
}

QByteArray TestFileBytes(const TTestPlan &plan)
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
    test.TestRecord().Title.SetBytes(EncodeDefault(plan.Title));
    test.TestRecord().WrongAnswerMode = plan.WrongAnswerMode;
    for (int i = 0; i < 8; ++i) {
        const QString comment = plan.Comments.value(i, QStringLiteral("Comment %1").arg(i));
        test.TestRecord().Comments[i].SetBytes(EncodeDefault(comment));
    }
    for (const TPagePlan &pagePlan : plan.Pages) {
        auto page = test.NewPage();
        page->SetPageRecord(
            NewPageRecord(pagePlan.Name, pagePlan.CorrectTarget, pagePlan.WrongTarget));
        qint32 top = 40;
        for (const TObjectPlan &object : pagePlan.Objects) {
            auto added = std::make_unique<TQZRecordObject>(object.Tag, object.Record);
            added->MoveTo(100, top);
            top += 220;
            page->AddObject(std::move(added));
        }
        test.AddPage(std::move(page));
    }
    if (!plan.Extensions.isEmpty())
        test.SetExtensions(plan.Extensions);
    QByteArray bytes = test.ToBytes();

    ScreenWidth = width;
    ScreenHeight = height;
    Saved = saved;
    return bytes;
}

QString WriteTestFile(const QString &fileName, const TTestPlan &plan)
{
    WriteWholeFile(fileName, TestFileBytes(plan));
    return fileName;
}
