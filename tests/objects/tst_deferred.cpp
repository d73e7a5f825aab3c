// Deferred objects: a page read from a file builds its faces when it is first
// shown, and behaves until then as if they had been built.

#include "QZDeferred.h"
#include "QZNaloga.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QTest>

namespace {

// A two-page test: a choices question and a button, then a picture and a text.
QByteArray TwoPages()
{
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    for (int p = 0; p < 2; ++p) {
        auto page = test.NewPage();
        page->SetPageRecord(NewPageRecord("P" + QByteArray::number(p), "(Forward)", "(Forward)"));
        const QList<int> kinds =
            p == 0 ? QList<int>{ObjIzbire, ObjGumb} : QList<int>{ObjSlika, ObjBesedilo};
        for (int kind : kinds) {
            auto object = std::make_unique<TQZRecordObject>(kind, NewObjectRecord(kind));
            if (kind == ObjSlika) { // a picture payload must decode
                QImage dot(2, 2, QImage::Format_RGB32);
                dot.fill(Qt::red);
                QBuffer bitmap;
                bitmap.open(QIODevice::WriteOnly);
                dot.save(&bitmap, "BMP");
                object->SetPayload(bitmap.data());
            }
            object->MoveTo(100, 50);
            page->AddObject(std::move(object));
        }
        test.AddPage(std::move(page));
    }
    return test.ToBytes();
}

struct TLoaded
{
    TQZPageSurface Surface;
    TQZNaloga Test{&Surface, &DeferredWidgetObjectFactory()};

    TLoaded()
    {
        Surface.resize(1024, 768);
        Test.LoadFromBytes(TwoPages());
    }
    ~TLoaded() { TestLoading = false; }

    TQZDeferredControl *Deferred(int page, int index) const
    {
        return dynamic_cast<TQZDeferredControl *>(Test.Page(page)->Objects()[size_t(index)].get());
    }
};

} // namespace

class TestDeferred : public QObject
{
    Q_OBJECT

private slots:
    void facesAreBuiltWhenThePageIsShown()
    {
        TLoaded loaded;
        const int widgetsBefore = loaded.Surface.findChildren<QWidget *>().size();
        QVERIFY(loaded.Deferred(0, 0) && loaded.Deferred(0, 1) && loaded.Deferred(1, 1));
        QVERIFY(!loaded.Deferred(0, 0)->IsBuilt());
        // A picture carries a payload and is built at once.
        QCOMPARE(loaded.Deferred(1, 0), nullptr);

        loaded.Test.GoToPage(0);
        QVERIFY(loaded.Deferred(0, 0)->IsBuilt() && loaded.Deferred(0, 1)->IsBuilt());
        QVERIFY(!loaded.Deferred(1, 1)->IsBuilt()); // hiding needs no face
        QVERIFY(loaded.Surface.findChildren<QWidget *>().size() > widgetsBefore);
        QWidget *face = FaceOf(loaded.Deferred(0, 0));
        QVERIFY(face && face->isVisibleTo(&loaded.Surface));
        QCOMPARE(TagOf(face), 1);
        QCOMPARE(face->pos(), QPoint(100, 50));

        loaded.Test.GoToPage(1);
        QVERIFY(!face->isVisibleTo(&loaded.Surface));
        QVERIFY(loaded.Deferred(1, 1)->IsBuilt());
    }

    void unbuiltObjectsSaveAndEvaluateAsBuiltOnes()
    {
        TLoaded loaded;
        TQZNaloga eager;
        eager.LoadFromBytes(TwoPages());
        QCOMPARE(loaded.Test.ToBytes(), eager.ToBytes());

        // Evaluation builds the question, hidden: nothing is ticked yet.
        TQZStran *page = loaded.Test.Page(0);
        QVERIFY(!page->AllAnswered());
        QVERIFY(loaded.Deferred(0, 0)->IsBuilt());
        QVERIFY(!FaceOf(loaded.Deferred(0, 0))->isVisibleTo(&loaded.Surface));
        qint32 earned = 0;
        qint32 possible = 0;
        page->AddScores(earned, possible);
        QCOMPARE(possible, 1);

        // Answering the built face counts.
        auto &choices = static_cast<TQZIzbire &>(loaded.Deferred(0, 0)->Real());
        choices.Choice(1)->setChecked(true);
        QVERIFY(page->AllAnswered() && page->AllCorrect());
        QCOMPARE(loaded.Test.ToBytes(), eager.ToBytes());
    }

    void objectsMadeAfterLoadingAreReal()
    {
        TLoaded loaded;
        TestLoading = false;
        auto object = DeferredWidgetObjectFactory().CreateObject(ObjGumb, NewObjectRecord(ObjGumb),
                                                                 &loaded.Surface);
        QCOMPARE(dynamic_cast<TQZDeferredControl *>(object.get()), nullptr);
        QVERIFY(FaceOf(object.get()));
    }
};

QTEST_MAIN(TestDeferred)

#include "tst_deferred.moc"
