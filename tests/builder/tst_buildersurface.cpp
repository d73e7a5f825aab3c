// The builder's design surface driven with the mouse: moving and resizing
// objects on the grid, delete and copy modes, buttons, right presses and the
// property dialogs they open, and the inserts that go through a dialog.
#include "QZBuilderTest.h"

#include "QZClipLookup.h"
#include "QZControls.h"
#include "QZEditorState.h"
#include "QZMemo.h"
#include "QZOle.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"
#include "QZTexts.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace CorvBuilder;

class TBuilderSurfaceTest : public QObject, public TBuilderFixture
{
    Q_OBJECT

private slots:
    void init() { SetUp(); }
    void cleanup() { TearDown(); }

    void snapping_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("step");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::newRow("snapped") << Qt::KeyboardModifiers() << true << 99 << 45;
        QTest::newRow("ctrl") << Qt::KeyboardModifiers(Qt::ControlModifier) << true << 100 << 50;
        QTest::newRow("step off") << Qt::KeyboardModifiers() << false << 100 << 50;
    }

    void snapping()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, step);
        QFETCH(int, left);
        QFETCH(int, top);
        Start();
        TQZControl *object = NewTestWith(&TOrodja::InsertChoices);
        if (!step)
            Tools().MenuItem(QStringLiteral("Step"))->trigger();
        QCOMPARE(EditorState.SnapToGrid, step);
        QWidget *face = FaceOf(object);
        QCOMPARE(face->pos(), QPoint(0, 0));
        Doc().MarkSaved();
        // Grabbed 5, 5 inside the frame, dropped where its left is 100.
        Drag(face, &Surface(), QPoint(5, 5), QPoint(105, 55), modifiers);
        QCOMPARE(face->pos(), QPoint(left, top));
        QCOMPARE(RecordFromBytes<TIzbireRecord>(object->Record()).Left, left);
        QVERIFY(Doc().IsModified());
        QCOMPARE(Tools().windowTitle(), QStringLiteral("Tools"));
        QVERIFY(!EditorState.Dragging);
    }

    void moveCaptionAndNegativePositions()
    {
        Start();
        TQZControl *object = NewTestWith(&TOrodja::InsertButton);
        QWidget *face = FaceOf(object);
        SendMouse(face, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(EditorState.Dragging);
        SendMouse(face, QEvent::MouseMove, QPoint(-30, -40), Qt::NoButton, Qt::LeftButton);
        // -32 and -42 cut toward zero to multiples of 9.
        QCOMPARE(Tools().windowTitle(), QStringLiteral("Tools  (L:-27, T:-36)"));
        QCOMPARE(face->pos(), QPoint(-27, -36));
        SendMouse(face, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(Tools().windowTitle(), QStringLiteral("Tools"));
    }

    void resizing()
    {
        Start();
        TQZControl *button = NewTestWith(&TOrodja::InsertButton);
        QWidget *face = FaceOf(button);
        face->move(40, 40);
        button->MoveTo(40, 40);
        // Shift-drag to a point left of and above the object: 8 x 8.
        SendMouse(face, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton,
                  Qt::ShiftModifier);
        SendMouse(face, QEvent::MouseMove, QPoint(-20, -20), Qt::NoButton, Qt::LeftButton,
                  Qt::ShiftModifier);
        QCOMPARE(face->size(), QSize(8, 8));
        QCOMPARE(Tools().windowTitle(), QStringLiteral("Tools  (W:8, H:8)"));
        // Then to 150 x 70 from the left top corner: snapped to 144 x 63.
        SendMouse(face, QEvent::MouseMove, face->mapFromParent(QPoint(190, 110)), Qt::NoButton,
                  Qt::LeftButton, Qt::ShiftModifier);
        SendMouse(face, QEvent::MouseButtonRelease, QPoint(1, 1), Qt::LeftButton, Qt::NoButton,
                  Qt::ShiftModifier);
        QCOMPARE(face->size(), QSize(144, 63));
        const auto defaults = EditorState.TypeDefaults.Get<TGumbRecord>();
        QCOMPARE(qint32(defaults.Width), 144);
        QCOMPARE(qint32(defaults.Height), 63);
        // The next button starts at that size.
        Tools().InsertButton();
        QCOMPARE(FaceOf(Doc().CurrentPage()->Objects().back().get())->size(), QSize(144, 63));

        // A choices frame takes only the width; the caption shows the size
        // it took, and only the width becomes the default.
        Tools().InsertChoices();
        TQZControl *choices = Doc().CurrentPage()->Objects().back().get();
        QWidget *frame = FaceOf(choices);
        const int height = frame->height();
        SendMouse(frame, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton,
                  Qt::ShiftModifier);
        SendMouse(frame, QEvent::MouseMove, QPoint(300, 400), Qt::NoButton, Qt::LeftButton,
                  Qt::ShiftModifier);
        QCOMPARE(frame->width(), 297);
        QCOMPARE(frame->height(), height);
        QCOMPARE(Tools().windowTitle(), QStringLiteral("Tools  (W:297, H:%1)").arg(height));
        SendMouse(frame, QEvent::MouseButtonRelease, QPoint(1, 1), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(qint32(EditorState.TypeDefaults.Get<TIzbireRecord>().Width), 297);
        Tools().InsertChoices();
        QCOMPARE(
            qint32(RecordFromBytes<TIzbireRecord>(Doc().CurrentPage()->Objects().back()->Record())
                       .Width),
            297);
    }

    void noDragOnRichTextOrOle()
    {
        Start();
        TQZControl *memo = NewTestWith(&TOrodja::InsertRichText);
        Tools().InsertOleFrame();
        TQZControl *ole = Doc().CurrentPage()->Objects().back().get();
        FaceOf(ole)->move(300, 300);
        ole->MoveTo(300, 300);

        QWidget *box = static_cast<TQZMemo *>(memo)->Box()->viewport();
        SendMouse(box, QEvent::MouseButtonPress, QPoint(20, 20), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(!EditorState.Dragging);
        SendMouse(box, QEvent::MouseButtonRelease, QPoint(20, 20), Qt::LeftButton, Qt::NoButton);

        QWidget *view = static_cast<TQZOle *>(ole)->View();
        Drag(view, &Surface(), QPoint(20, 20), QPoint(500, 500));
        QVERIFY(!EditorState.Dragging);
        QCOMPARE(FaceOf(ole)->pos(), QPoint(300, 300));
        // The edges of both frames do move their objects.
        Drag(FaceOf(memo), &Surface(), QPoint(1, 1), QPoint(91, 91));
        QCOMPARE(FaceOf(memo)->pos(), QPoint(90, 90));
        Drag(FaceOf(ole), &Surface(), QPoint(1, 1), QPoint(361, 361));
        QCOMPARE(FaceOf(ole)->pos(), QPoint(360, 360));
    }

    void deleteMode()
    {
        Start();
        TQZControl *object = NewTestWith(&TOrodja::InsertAlternative);
        const qint32 tag = object->Tag();
        Tools().SpeedButton(QStringLiteral("Delete object"))->click();
        QVERIFY(EditorState.DeleteMode);
        QVERIFY(Tools().SpeedButton(QStringLiteral("Delete object"))->isChecked());
        QVERIFY(Tools().MenuItem(QStringLiteral("Delete object"))->isChecked());

        m_script->Answers = {TQZButton::No};
        SendMouse(FaceOf(object), QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton,
                  Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(Doc().CurrentPage()->FindObject(tag));
        QVERIFY(!EditorState.Dragging);

        m_script->Answers = {TQZButton::Yes};
        SendMouse(FaceOf(object), QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton,
                  Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!Doc().CurrentPage()->FindObject(tag));
        QCOMPARE(m_script->MessageTexts(), QStringList(2, QStringLiteral("Delete the object?")));
        // The mode stays on, and a press on the bare surface asks nothing.
        QVERIFY(EditorState.DeleteMode);
        SendMouse(&Surface(), QEvent::MouseButtonPress, QPoint(600, 600), Qt::LeftButton,
                  Qt::LeftButton);
        QCOMPARE(m_script->Messages.size(), 2);
        Tools().ToggleDelete();
        QVERIFY(!EditorState.DeleteMode);
    }

    void buttonActions()
    {
        Start();
        Tools().New();
        Tools().AddPage();
        Tools().PreviousPage();
        Tools().InsertButton();
        auto *button = static_cast<TQZGumb *>(Doc().CurrentPage()->Objects().back().get());
        TGumbRecord record = button->Data();
        record.ButtonKind = 0; // Forward
        button->ApplyRecord(record);
        button->PressButton()->click();
        QCOMPARE(Doc().Test()->CurrentIndex(), 1);
        QVERIFY(Surface().windowTitle().contains(QStringLiteral(" - Page 2 - ")));

        // Dragging the button moves it without running its action.
        Tools().PreviousPage();
        QTest::mousePress(button->PressButton(), Qt::LeftButton, {}, QPoint(5, 5));
        SendMouse(button->PressButton(), QEvent::MouseMove, QPoint(60, 60), Qt::NoButton,
                  Qt::LeftButton);
        QTest::mouseRelease(button->PressButton(), Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(Doc().Test()->CurrentIndex(), 0);
        QCOMPARE(button->Frame()->pos(), QPoint(54, 54));

        // Confirm on a page with an unanswered question warns.
        Tools().InsertAlternative();
        record.ButtonKind = 2;
        button->ApplyRecord(record);
        button->PressButton()->click();
        QCOMPARE(m_script->MessageTexts(), {QStringLiteral("You must answer on all questions!")});
    }

    void rightPressAndHelp()
    {
        Start();
        Tools().New();
        int pageDialogs = 0;
        Surface().PageProperties = [&pageDialogs] {
            ++pageDialogs;
        };
        TQZControl *pressed = nullptr;
        Surface().ObjectProperties = [&pressed](TQZControl &object) {
            pressed = &object;
        };
        Tools().InsertInputBox();
        TQZControl *box = Doc().CurrentPage()->Objects().back().get();
        RightPress(FaceOf(box), QPoint(3, 3));
        QCOMPARE(pressed, box);
        RightPress(&Surface(), QPoint(700, 700));
        QCOMPARE(pageDialogs, 1);

        QTest::keyClick(&Surface(), Qt::Key_F1);
        Tools().MenuItem(QStringLiteral("Use of Templates"))->trigger();
        Tools().HelpButton()->click();
        QCOMPARE(m_help->Requests, (QList<int>{0, 400, 0}));
    }

    // Docked by its dialog, a text with background records the surface's
    // full width, and that record is the next one's default.
    void dockedTextWithBackgroundRecordsFullWidth()
    {
        Start();
        TQZControl *panel = NewTestWith(&TOrodja::InsertTextWithBackground);
        QWidget *frame = FaceOf(panel);
        const int surfaceWidth = frame->parentWidget()->width();
        QVERIFY(surfaceWidth > 200);
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QGroupBox *>(QStringLiteral("PositionGroup"))
                ->findChildren<QRadioButton *>()
                .at(1) // "Top"
                ->setChecked(true);
            return int(QDialog::Accepted);
        };
        RightPress(frame, QPoint(3, 3));
        QCOMPARE(m_script->DialogTitles.size(), 1);
        QCOMPARE(frame->geometry(), QRect(0, 0, surfaceWidth, frame->height()));
        const auto record = RecordFromBytes<TPanelBesediloRecord>(panel->Record());
        QCOMPARE(qint32(record.TextPosition), 1);
        QCOMPARE(qint32(record.Width), surfaceWidth);
        QCOMPARE(RecordToBytes(EditorState.TypeDefaults.Get<TPanelBesediloRecord>()),
                 panel->Record());
        Tools().InsertTextWithBackground();
        QCOMPARE(FaceOf(Doc().CurrentPage()->Objects().back().get())->width(), surfaceWidth);
    }

    // The dialogs made at start-up, opened by a right press and the commands.
    void propertyDialogs()
    {
        Start();
        TQZControl *choices = NewTestWith(&TOrodja::InsertChoices);
        choices->ResizeTo(261, 0);
        // Cancel: the object and the type defaults stay, and a press that
        // changed nothing leaves the test saved.
        Doc().MarkSaved();
        m_script->OnDialog = [](QDialog &) {
            return int(QDialog::Rejected);
        };
        RightPress(FaceOf(choices), QPoint(3, 3));
        QCOMPARE(m_script->DialogTitles, {QStringLiteral("Choices - Properties")});
        QCOMPARE(qint32(EditorState.TypeDefaults.Get<TIzbireRecord>().Width), 200);
        QVERIFY(!Doc().IsModified());
        // OK: the record, as applied, becomes the default.
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("PointsEdit"))
                ->setText(QStringLiteral(" 7 "));
            return int(QDialog::Accepted);
        };
        RightPress(FaceOf(choices), QPoint(3, 3));
        const auto defaults = EditorState.TypeDefaults.Get<TIzbireRecord>();
        QCOMPARE(qint32(defaults.Width), 261);
        QCOMPARE(qint32(defaults.Points), 7);
        QCOMPARE(RecordToBytes(defaults), choices->Record());

        // The page's properties, from a press on the bare surface.
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("PageNameEdit"))
                ->setText(QStringLiteral("Intro"));
            return int(QDialog::Accepted);
        };
        RightPress(&Surface(), QPoint(800, 700));
        QCOMPARE(m_script->DialogTitles.constLast(), QStringLiteral("Page - Properties"));
        QCOMPARE(Surface().windowTitle(), QStringLiteral("Untitled - Intro - Untitled.cvl"));

        // Test properties are an edit like any other: a changed title is not
        // lost on closing.
        Doc().MarkSaved();
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("TitleEdit"))
                ->setText(QStringLiteral("Birds"));
            return int(QDialog::Accepted);
        };
        Tools().TestProperties();
        QCOMPARE(Surface().windowTitle(), QStringLiteral("Birds - Intro - Untitled.cvl"));
        QVERIFY(Doc().IsModified());

        // Move to a Certain Page.
        Tools().AddPage();
        Tools().AddPage();
        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QComboBox *>(QStringLiteral("PageList"))->setCurrentIndex(0);
            return int(QDialog::Accepted);
        };
        Tools().MoveToPage();
        QCOMPARE(Doc().Test()->CurrentIndex(), 0);
        QCOMPARE(m_script->DialogTitles.constLast(), QStringLiteral("Move to a Certain Page"));
    }

    void graphicsAndMultimediaInserts()
    {
        Start();
        Tools().New();
        // Cancelled, or confirmed without a picture file: nothing is added.
        m_script->OnDialog = [](QDialog &) {
            return int(QDialog::Rejected);
        };
        Tools().InsertGraphics();
        m_script->OnDialog = [](QDialog &) {
            return int(QDialog::Accepted);
        };
        Tools().InsertGraphics();
        QCOMPARE(Doc().CurrentPage()->ObjectCount(), 0);

        const QString picture =
            QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/bmp/ff_bmp_gray.bmp");
        m_script->OnDialog = [picture](QDialog &dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
                files->selectFile(picture);
                return int(QDialog::Accepted);
            }
            dialog.findChild<QPushButton *>(QStringLiteral("OpenButton"))->click();
            return int(QDialog::Accepted);
        };
        Tools().InsertGraphics();
        QCOMPARE(Doc().CurrentPage()->ObjectCount(), 1);
        QCOMPARE(Doc().CurrentPage()->Objects().back()->ObjectTypeTag(), int(ObjSlika));
        QVERIFY(!Doc().CurrentPage()->Objects().back()->Payload().isEmpty());

        m_script->OnDialog = [](QDialog &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("FileEdit"))
                ->setText(QStringLiteral("  chime.wav  "));
            return int(QDialog::Accepted);
        };
        Tools().InsertMultimedia();
        QCOMPARE(Doc().CurrentPage()->ObjectCount(), 2);
        const auto clip =
            RecordFromBytes<TMediaRecord>(Doc().CurrentPage()->Objects().back()->Record());
        QCOMPARE(clip.MediaFile.Bytes(), QByteArray("chime.wav"));
        QCOMPARE(clip.Caption.Bytes(), QByteArray("MultiMedia"));
    }

    // A clip chosen beside the saved test is named relative to its folder;
    // one chosen outside it, or for a test never saved, is named as chosen,
    // and the author is told that the player will not open it.
    void clipNamesFollowTheTestsFolder()
    {
        const QString lesson = m_dir.filePath(QStringLiteral("lesson"));
        const QString elsewhere = m_dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(lesson + QStringLiteral("/clips")) && QDir().mkpath(elsewhere));
        const QString sound =
            QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/media/sox_alaw_8000.wav");
        const QString beside = lesson + QStringLiteral("/clips/chime.wav");
        const QString far = elsewhere + QStringLiteral("/far.wav");
        QVERIFY(QFile::copy(sound, beside) && QFile::copy(sound, far));
        const QString canNotOpen = QStringLiteral("I can not open the Media Player");

        Start();
        Tools().New();
        QCOMPARE(TestFile(), QString());
        m_script->OnDialog = [](QDialog &dialog) {
            if (auto *browse = dialog.findChild<QPushButton *>(QStringLiteral("BrowseButton")))
                browse->click();
            return int(QDialog::Accepted);
        };
        const auto insert = [this](const QString &chosen) {
            m_script->Messages.clear();
            m_script->FileAnswers = {chosen};
            Tools().InsertMultimedia();
            return RecordFromBytes<TMediaRecord>(Doc().CurrentPage()->Objects().back()->Record())
                .MediaFile.Bytes();
        };

        QCOMPARE(insert(beside), beside.toLocal8Bit());
        QCOMPARE(m_script->Messages.first().Kind, TQZMessageKind::Information);
        QCOMPARE(m_script->Messages.first().Caption, QStringLiteral("Information"));
        QCOMPARE(m_script->MessageTexts(),
                 (QStringList{QStringLiteral("The player will not open a clip outside the "
                                             "test's folder, and this test has not been saved "
                                             "yet, so it has no folder.\n\nSave the test, copy "
                                             "the clip into its folder, and choose it there."),
                              canNotOpen}));

        m_script->FileAnswers = {lesson + QStringLiteral("/quiz.cvl")};
        Tools().SaveAs();
        QCOMPARE(TestFile(), lesson + QStringLiteral("/quiz.cvl"));

        QCOMPARE(insert(beside), QByteArray("clips/chime.wav"));
        QCOMPARE(m_script->OpenFolders.constLast(), lesson);
        QCOMPARE(m_script->MessageTexts(), QStringList());

        QCOMPARE(insert(far), far.toLocal8Bit());
        QCOMPARE(m_script->Messages.first().Kind, TQZMessageKind::Information);
        QCOMPARE(m_script->MessageTexts(),
                 (QStringList{QStringLiteral("The player will not open a clip outside the "
                                             "test's folder.\n\nClip: ") +
                                  far + QStringLiteral("\nTest's folder: ") + lesson +
                                  QStringLiteral("\n\nCopy the clip into the test's folder, or "
                                                 "into a folder below it, and choose it there."),
                              canNotOpen}));
    }

    // Copy mode: the next press on an object copies it; a paste onto the
    // same page stands one grid step off the original.
    void copyModeAndPasteOnTheSamePage()
    {
        Start();
        TQZControl *choices = NewTestWith(&TOrodja::InsertChoices);
        choices->MoveTo(27, 36);
        Tools().Copy();
        QVERIFY(EditorState.CopyMode);
        SendMouse(FaceOf(choices), QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton,
                  Qt::LeftButton);
        SendMouse(FaceOf(choices), QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton,
                  Qt::NoButton);
        QVERIFY(!EditorState.CopyMode);
        Tools().Paste();
        Tools().Paste();
        QCOMPARE(Doc().CurrentPage()->ObjectCount(), 3);
        QCOMPARE(FaceOf(Doc().CurrentPage()->Objects()[1].get())->pos(), QPoint(36, 45));
        QCOMPARE(FaceOf(Doc().CurrentPage()->Objects()[2].get())->pos(), QPoint(45, 54));
        auto expected = RecordFromBytes<TIzbireRecord>(choices->Record());
        expected.Left = 45;
        expected.Top = 54;
        QCOMPARE(Doc().CurrentPage()->Objects()[2]->Record(), RecordToBytes(expected));
        QCOMPARE(Tools().MenuItem(QStringLiteral("Undo"))->text(), QStringLiteral("Undo Paste"));
    }
};

QTEST_MAIN(TBuilderSurfaceTest)
#include "tst_buildersurface.moc"
