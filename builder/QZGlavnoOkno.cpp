#include "QZGlavnoOkno.h"

#include "QZCodePage.h"
#include "QZControls.h"
#include "QZDialogs.h"
#include "QZFonts.h"
#include "QZHelp.h"
#include "QZInsertObjectDialog.h"
#include "QZInteraction.h"
#include "QZMemo.h"
#include "QZNewDocuments.h"
#include "QZObjectClipboard.h"
#include "QZOle.h"
#include "QZOrodja.h"
#include "QZPlainText.h"
#include "QZPlayRules.h"
#include "QZRecordFields.h"
#include "QZRezultat.h"
#include "QZStream.h"
#include "QZUndoCommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>
#include <QTextEdit>

#include <utility>

namespace CorvBuilder {

namespace {

// Controls that take presses themselves: the press reaches them as well, so
// that buttons click, choices toggle and texts take the caret.
bool TakesPresses(const QWidget *control)
{
    return qobject_cast<const QAbstractButton *>(control) ||
           qobject_cast<const QLineEdit *>(control) || qobject_cast<const QTextEdit *>(control);
}

QString ToolsCaption(const char *first, qint32 a, const char *second, qint32 b)
{
    return QStringLiteral("Tools  (%1%2, %3%4)")
        .arg(QLatin1String(first))
        .arg(a)
        .arg(QLatin1String(second))
        .arg(b);
}

} // namespace

TGlavnoOkno::TGlavnoOkno(QWidget *parent)
    : TQZPageSurface(parent)
{
    // A single border with a system menu only, no scroll bars, silver, and
    // the window font that new objects take.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowTitle(QStringLiteral("Corvella Builder"));
    setFont(FaceFont(WindowFontRecord()));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Page design surface"));

    EditorState.Reset();
    LoadBuilderCursors();
    // The windows follow the document.
    connect(&m_document, &TBuilderDocument::CurrentPageChanged, this, &TGlavnoOkno::PageChanged);
    connect(&m_document, &TBuilderDocument::ObjectChanged, this, [this](TQZControl *object) {
        PrepareObject(object);
        update();
    });
    for (auto signal : {&TBuilderDocument::PagesChanged, &TBuilderDocument::TestRecordChanged,
                        &TBuilderDocument::FileNameChanged, &TBuilderDocument::TestOpenedOrClosed})
        connect(&m_document, signal, this, &TGlavnoOkno::UpdateCaption);
    connect(&m_document, &TBuilderDocument::ModifiedChanged, this, &TGlavnoOkno::UpdateCaption);
    m_document.CommitPendingEdits = [this] {
        CommitTyping();
    };
    // Rich text boxes take typing and every OLE object opens on double-click
    // while the author edits.
    RichTextEditable = true;
    SetOleAlwaysActivate(true);
    setWindowState(Qt::WindowMaximized);
}

// The test's objects own widgets that are children of this window; they go
// before the window does.
TGlavnoOkno::~TGlavnoOkno()
{
    m_document.disconnect();
    m_document.CommitPendingEdits = nullptr;
    m_document.CloseTest();
}

bool TGlavnoOkno::FirstActivation(QSize clientSize)
{
    if (m_activated)
        return false;
    m_activated = true;
    QApplication::setApplicationDisplayName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("Corvella Builder"));
    SetHelpFile(QStringLiteral("help_eng.hlp"));

    ScreenHeight = clientSize.height();
    ScreenWidth = clientSize.width();
    EditorState.GridStep = GridStep();

    if (m_arguments.size() == 2 && m_tools)
        m_tools->OpenFile(m_arguments.at(1));
    return true;
}

void TGlavnoOkno::UpdateCaption()
{
    const TQZNaloga *test = m_document.Test();
    if (!test) {
        setWindowTitle(QStringLiteral("Corvella Builder"));
        return;
    }
    const TQZStran *shown = m_document.CurrentPage();
    const QString page = shown ? shown->PageName() : QString();
    setWindowTitle(PlainWindowTitle(test->Title() + QStringLiteral(" - ") + page +
                                    QStringLiteral(" - ") + m_document.FileName()));
}

void TGlavnoOkno::PageChanged()
{
    if (TQZStran *page = m_document.CurrentPage())
        for (const auto &object : page->Objects())
            PrepareObject(object.get());
    UpdateCaption();
}

TQZControl *TGlavnoOkno::PressedObject() const
{
    TQZStran *page = m_document.CurrentPage();
    return page && page == m_pressedPage ? page->FindObject(m_pressedTag) : nullptr;
}

// The box keeps its own undo of the typing while it has the focus; once it
// loses it, the typing is one edit on the document's stack.
bool TGlavnoOkno::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched->property("CorvellaTypingBox").toBool())
        StartTyping(static_cast<QWidget *>(watched));
    else if (event->type() == QEvent::FocusOut && watched == m_typingBox)
        CommitTyping();
    return TQZPageSurface::eventFilter(watched, event);
}

void TGlavnoOkno::StartTyping(QWidget *box)
{
    CommitTyping();
    TQZStran *page = m_document.CurrentPage();
    QWidget *face = box;
    while (face && face->parentWidget() != this)
        face = face->parentWidget();
    const int tag = face ? TagOf(face) : 0;
    const TQZControl *object = page && tag > 0 ? page->FindObject(tag) : nullptr;
    if (!object)
        return;
    m_typingBox = box;
    m_typingPage = page;
    m_typingTag = tag;
    m_typingBefore = TObjectSnapshot::Of(*object);
}

void TGlavnoOkno::CommitTyping()
{
    if (!m_typingBox)
        return;
    m_typingBox = nullptr;
    const TQZNaloga *test = m_document.Test();
    if (!test || test->IndexOfPage(m_typingPage) < 0)
        return;
    const TQZControl *object = m_typingPage->FindObject(m_typingTag);
    if (!object)
        return;
    TObjectSnapshot after = TObjectSnapshot::Of(*object);
    if (after == m_typingBefore)
        return;
    m_document.Push(new TChangeObject(m_document, QStringLiteral("Typing"), m_typingPage,
                                      m_typingTag, std::move(m_typingBefore), std::move(after)));
}

void TGlavnoOkno::PrepareObject(TQZControl *object)
{
    QWidget *face = FaceOf(object);
    if (!face)
        return;
    face->setMouseTracking(true);
    const int type = object->ObjectTypeTag();
    if (type == ObjMemo) {
        QList<QTextEdit *> boxes = face->findChildren<QTextEdit *>();
        boxes << qobject_cast<QTextEdit *>(face);
        for (QTextEdit *box : std::as_const(boxes))
            if (box && !box->property("CorvellaTypingBox").toBool()) {
                box->setProperty("CorvellaTypingBox", true);
                box->installEventFilter(this);
            }
    }
    // Rich text boxes pass their presses on themselves, clips keep their
    // control bar and OLE frames route their view already.
    if (type == ObjMemo || type == ObjMedia || type == ObjOle)
        return;
    const auto buttons = face->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        button->setMouseTracking(true);
        RouteMouseEvents(button);
    }
}

TGlavnoOkno::TSender TGlavnoOkno::SenderOf(QWidget *control) const
{
    TSender sender;
    sender.Control = control;
    if (control == this) {
        sender.IsSurface = true;
        sender.Face = control;
        return sender;
    }
    QWidget *face = control;
    while (face && face->parentWidget() != this)
        face = face->parentWidget();
    if (!face)
        return sender;
    sender.Face = face;
    const int tag = TagOf(face);
    if (TQZStran *page = m_document.CurrentPage(); page && tag > 0 && tag < SurfaceTag)
        sender.Object = page->FindObject(tag);
    // The OLE container is the view inside an OLE object's frame; the frame's
    // edge moves and sizes the object like any other.
    sender.IsOleContainer =
        sender.Object && sender.Object->ObjectTypeTag() == ObjOle && control != face;
    for (QWidget *w = control; w && w != face; w = w->parentWidget())
        if (qobject_cast<QTextEdit *>(w))
            sender.IsRichTextEdit = true;
    return sender;
}

bool TGlavnoOkno::FaceMouseEvent(QWidget *face, QMouseEvent *event)
{
    const TSender sender = SenderOf(face);
    if (!sender.Face)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: return MouseDown(sender, event);
    case QEvent::MouseButtonDblClick:
        // An OLE view opens its object on a double-click of its own.
        if (sender.IsOleContainer && !EditorState.OleInsertMode && !EditorState.DeleteMode)
            return false;
        return MouseDown(sender, event);
    case QEvent::MouseMove: return MouseMove(sender, event);
    case QEvent::MouseButtonRelease: return MouseUp(sender, event);
    default: return false;
    }
}

void TGlavnoOkno::mousePressEvent(QMouseEvent *event) { MouseDown(SenderOf(this), event); }

void TGlavnoOkno::mouseMoveEvent(QMouseEvent *event) { MouseMove(SenderOf(this), event); }

void TGlavnoOkno::mouseReleaseEvent(QMouseEvent *event) { MouseUp(SenderOf(this), event); }

void TGlavnoOkno::mouseDoubleClickEvent(QMouseEvent *event) { MouseDown(SenderOf(this), event); }

bool TGlavnoOkno::MouseDown(const TSender &sender, QMouseEvent *event)
{
    // A press on a control of an object that is not on the page shown (there
    // is none) changes nothing.
    if (!sender.IsSurface && !sender.Object)
        return false;
    m_movedSincePress = false;
    ++m_dragSerial;
    const bool modal = EditorState.DeleteMode || EditorState.CopyMode || EditorState.CutMode ||
                       (EditorState.OleInsertMode && sender.IsOleContainer);
    if (event->button() == Qt::LeftButton) {
        LeftPress(sender, event->globalPosition().toPoint());
        return modal || !TakesPresses(sender.Control);
    }
    if (event->button() == Qt::RightButton) {
        RightPress(sender);
        return true;
    }
    return !TakesPresses(sender.Control);
}

void TGlavnoOkno::LeftPress(const TSender &sender, QPoint globalPosition)
{
    if (!sender.IsOleContainer && !sender.IsRichTextEdit && !sender.IsSurface)
        EditorState.Dragging = true;
    EditorState.GrabOffset = sender.Face->mapFromGlobal(globalPosition);
    m_pressedPage = sender.Object ? m_document.CurrentPage() : nullptr;
    m_pressedTag = sender.Object ? sender.Object->Tag() : 0;

    if (!sender.IsSurface && EditorState.DeleteMode) {
        if (ConfirmYesNo(QStringLiteral("Delete the object?")))
            DeleteLater(sender.Object, QStringLiteral("Delete Object"));
        EditorState.Dragging = false;
        return;
    }
    if (EditorState.OleInsertMode && sender.IsOleContainer) {
        InsertOleContent(sender.Object);
        if (m_tools)
            m_tools->ToggleOleInsert();
        return;
    }
    if (EditorState.CopyMode || EditorState.CutMode) {
        // A press on the bare surface ends the mode without copying.
        if (sender.Object) {
            CopyObjectToClipboard(*sender.Object);
            if (EditorState.CutMode)
                DeleteLater(sender.Object, QStringLiteral("Cut"));
        }
        EditorState.CopyMode = false;
        EditorState.CutMode = false;
        EditorState.Dragging = false;
    }
}

// The object goes once the press that asked for it has been handled: its
// controls are still receiving that press.
void TGlavnoOkno::DeleteLater(TQZControl *object, const QString &edit)
{
    TQZStran *page = m_document.CurrentPage();
    const qint32 tag = object->Tag();
    if (QWidget *face = FaceOf(object))
        face->hide();
    QMetaObject::invokeMethod(
        this,
        [this, page, tag, edit] {
            const TQZNaloga *test = m_document.Test();
            if (test && test->IndexOfPage(page) >= 0 && page->FindObject(tag))
                m_document.Push(new TDeleteObject(m_document, edit, page, tag));
        },
        Qt::QueuedConnection);
}

void TGlavnoOkno::InsertOleContent(TQZControl *object)
{
    auto *ole = dynamic_cast<TQZOle *>(object);
    if (!ole)
        return;
    if (ole->Object() && !ConfirmYesNo(QStringLiteral("Delete the OLE object?")))
        return;
    TQZStran *page = m_document.CurrentPage();
    const qint32 tag = object->Tag();
    TObjectSnapshot before = TObjectSnapshot::Of(*object);
    ole->SetObject(std::nullopt);
    // What the author saves in copies of the object just deleted must not
    // overwrite what comes in its place.
    m_oleEdits.ForgetObject(page, tag);
    bool inserted = false;
    if (TInsertObjectDialog *dialog = Dialogs().InsertObject) {
        dialog->Reset();
        if (Interaction().ExecDialog(*dialog) == QDialog::Accepted) {
            try {
                if (const TNewDocument *document = dialog->NewDocument())
                    ole->EmbedContent(document->FileName, NewDocumentContent(*document));
                else if (!dialog->FileName().isEmpty())
                    ole->EmbedFile(dialog->FileName());
                inserted = ole->Object().has_value();
            } catch (const TQZFileError &error) {
                ShowErrorMessage(error.Message());
            }
        }
    }
    TObjectSnapshot after = TObjectSnapshot::Of(*object);
    if (page && !(after == before))
        m_document.Push(new TChangeObject(m_document, QStringLiteral("Insert OLE Object"), page,
                                          tag, std::move(before), std::move(after)));
    update();
    // What was inserted opens at once in its own program, for editing.
    if (inserted)
        ole->Activate();
}

// The dialogs open once the press has been delivered: a modal dialog that
// opened inside it would take the button's release, and the window system
// would then swallow the author's next press on the page.
void TGlavnoOkno::RightPress(const TSender &sender)
{
    if (sender.Object) {
        EditorState.Dragging = false;
        TQZStran *page = m_document.CurrentPage();
        const qint32 tag = sender.Object->Tag();
        QMetaObject::invokeMethod(
            this,
            [this, page, tag] {
                TQZControl *object =
                    page && page == m_document.CurrentPage() ? page->FindObject(tag) : nullptr;
                if (object && ObjectProperties)
                    ObjectProperties(*object);
            },
            Qt::QueuedConnection);
        return;
    }
    if (sender.IsSurface && m_document.HasTest())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_document.HasTest() || !PageProperties)
                    return;
                PageProperties();
                UpdateCaption();
            },
            Qt::QueuedConnection);
}

bool TGlavnoOkno::MouseMove(const TSender &sender, QMouseEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    ChooseCursor(sender, modifiers);
    if (!EditorState.Dragging || sender.IsSurface || sender.IsOleContainer ||
        sender.IsRichTextEdit || !sender.Object)
        return false;

    QWidget *face = sender.Face;
    TQZControl *object = sender.Object;
    const QPoint p = mapFromGlobal(event->globalPosition().toPoint());
    m_movedSincePress = true;
    const QRect before = ObjectGeometry(*object);
    if (modifiers & Qt::ShiftModifier) {
        const qint32 w = std::max(Snapped(p.x() - face->x(), modifiers), 8);
        const qint32 h = std::max(Snapped(p.y() - face->y(), modifiers), 8);
        object->ResizeTo(w, h);
        if (m_tools)
            m_tools->setWindowTitle(ToolsCaption("W:", face->width(), "H:", face->height()));
        EditorState.TypeDefaults.TakeSize(object->ObjectTypeTag(), w, h);
    } else {
        const qint32 l = Snapped(p.x() - EditorState.GrabOffset.x(), modifiers);
        const qint32 t = Snapped(p.y() - EditorState.GrabOffset.y(), modifiers);
        if (m_tools)
            m_tools->setWindowTitle(ToolsCaption("L:", l, "T:", t));
        object->MoveTo(l, t);
    }
    const QRect after = ObjectGeometry(*object);
    if (after != before)
        m_document.Push(new TMoveObject(m_document, m_document.CurrentPage(), object->Tag(), before,
                                        after, m_dragSerial));
    return true;
}

qint32 TGlavnoOkno::Snapped(qint32 value, Qt::KeyboardModifiers modifiers) const
{
    const qint32 step = EditorState.GridStep;
    if (!EditorState.SnapToGrid || (modifiers & Qt::ControlModifier) || step <= 0)
        return value;
    return value / step * step;
}

void TGlavnoOkno::ChooseCursor(const TSender &sender, Qt::KeyboardModifiers modifiers)
{
    if (sender.IsSurface)
        return;
    QCursor cursor = (modifiers & Qt::ShiftModifier) ? QCursor(Qt::SizeFDiagCursor)
                                                     : BuilderCursor(crObjectSize);
    if (EditorState.DeleteMode)
        cursor = BuilderCursor(crDelete);
    if (sender.IsOleContainer)
        cursor = EditorState.OleInsertMode ? BuilderCursor(crOleInsert) : QCursor(Qt::ArrowCursor);
    sender.Control->setCursor(cursor);
}

bool TGlavnoOkno::MouseUp(const TSender &sender, QMouseEvent *)
{
    const bool wasDragging = EditorState.Dragging;
    EditorState.Dragging = false;
    if (m_tools)
        m_tools->setWindowTitle(QStringLiteral("Tools"));
    const bool moved = std::exchange(m_movedSincePress, false);
    if (sender.IsSurface)
        return false;
    // A button whose object was just dragged must not also click.
    if (moved && qobject_cast<QAbstractButton *>(sender.Control)) {
        auto *button = static_cast<QAbstractButton *>(sender.Control);
        button->setDown(false);
        return true;
    }
    return (wasDragging || sender.Object) && !TakesPresses(sender.Control);
}

void TGlavnoOkno::FormClick(QObject *sender)
{
    TQZNaloga *test = m_document.Test();
    TQZStran *page = m_document.CurrentPage();
    if (!test || !page)
        return;
    const auto program = Corvella::TPlayProgram::Builder([this] { ShowResult(); });
    if (Corvella::TPlayRules(*test, program).Click(*page, TagOf(sender)))
        m_document.TakeShownPageFromTest();
}

void TGlavnoOkno::ShowResult()
{
    if (!m_result)
        m_result = new TRezultatDialog(this);
    m_result->Execute(*m_document.Test(), ScoreEarned, ScoreMax);
}

void TGlavnoOkno::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        Help().ShowContents();
        return;
    }
    TQZPageSurface::keyPressEvent(event);
}

void TGlavnoOkno::showEvent(QShowEvent *event)
{
    TQZPageSurface::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_tools) {
        m_tools->move(2, 300);
        m_tools->show();
    }
}

void TGlavnoOkno::changeEvent(QEvent *event)
{
    TQZPageSurface::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_activated)
        FirstActivation(size());
    if (event->type() == QEvent::WindowStateChange)
        Maximise();
}

void TGlavnoOkno::closeEvent(QCloseEvent *event)
{
    CommitTyping();
    if (!m_document.IsModified()) {
        if (!ConfirmYesNo(QStringLiteral("Do you want to exit?"))) {
            event->ignore();
            return;
        }
    } else if (ConfirmYesNo(QStringLiteral("Project is not saved!\n"
                                           "Do you want to save it before quitting?")) &&
               m_tools) {
        m_tools->Save();
    }
    event->accept();
    if (m_tools)
        m_tools->hide();
    m_document.CloseTest();
}

void TGlavnoOkno::resizeEvent(QResizeEvent *event)
{
    TQZPageSurface::resizeEvent(event);
    Maximise();
}

// The state is put back from the event loop: changing it inside the resize
// or state change that reported it would recurse.
void TGlavnoOkno::Maximise()
{
    if (m_maximisePending || !isVisible() || (windowState() & Qt::WindowMaximized))
        return;
    m_maximisePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_maximisePending = false;
            if (isVisible())
                setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        },
        Qt::QueuedConnection);
}

} // namespace CorvBuilder
