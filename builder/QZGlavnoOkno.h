// The builder's main window, which is also the page design surface: it fills
// the screen and shows the current page of the open test live, as the player
// would. Objects are moved by dragging, resized by dragging with Shift,
// deleted or given OLE content by a press while a mode is on, and opened in
// their property dialog with the right button; a right press on the bare
// surface opens the page's properties.
#pragma once

#include "QZBuilderDocument.h"
#include "QZEditorState.h"
#include "QZOleEdits.h"
#include "QZSurface.h"

#include <QPointer>
#include <QStringList>

#include <functional>

class QMouseEvent;
class TRezultatDialog;

namespace CorvBuilder {

class TOrodja;

class TGlavnoOkno : public TQZPageSurface
{
    Q_OBJECT

public:
    // Resets the editor state and the type defaults and loads the cursors.
    explicit TGlavnoOkno(QWidget *parent = nullptr);
    ~TGlavnoOkno() override;

    // The open test and its undo stack.
    TBuilderDocument &Document() { return m_document; }
    const TBuilderDocument &Document() const { return m_document; }
    // The embedded documents the author opened, whose saves come back.
    TOleEdits &OleEdits() { return m_oleEdits; }

    void SetTools(TOrodja *tools) { m_tools = tools; }
    TOrodja *Tools() const { return m_tools; }
    void SetResultDialog(TRezultatDialog *dialog) { m_result = dialog; }
    // The program's arguments, the program first; a file named as the only
    // argument is opened at the first activation.
    void SetArguments(const QStringList &arguments) { m_arguments = arguments; }

    // What a right press opens: an object's property dialog, and the page's.
    // Unset, the press opens nothing.
    std::function<void(TQZControl &)> ObjectProperties;
    std::function<void()> PageProperties;

    // The first activation: the surface's client size becomes the screen size
    // of the scaling, the grid step follows from it, and a file named on the
    // command line is opened. Later calls do nothing; false then.
    bool FirstActivation(QSize clientSize);
    bool Activated() const { return m_activated; }

    // Title, page name and file name of the open test, or the program's name.
    void UpdateCaption();
    // Takes the test's current page as the page shown and readies its faces
    // for editing.
    void PageChanged();
    // Routes the mouse events of an object's controls here and gives them
    // the editing cursors; done for every object shown on the surface.
    void PrepareObject(TQZControl *object);
    // The object last pressed on the page shown, which Copy and Cut take;
    // null when the last press was on the bare surface or the object is gone.
    TQZControl *PressedObject() const;
    // Typing in a rich text box on the surface becomes one edit when the box
    // loses the focus, or now.
    void CommitTyping();

    bool FaceMouseEvent(QWidget *face, QMouseEvent *event) override;
    // A button object's push button was clicked: its action runs against the
    // open test. A press that moved the object ends in no click.
    void FormClick(QObject *sender) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The control pressed, the object it belongs to (null for the surface)
    // and what kind of control it is.
    struct TSender
    {
        QWidget *Control = nullptr;
        QWidget *Face = nullptr; // the object's outer control, or the surface
        TQZControl *Object = nullptr;
        bool IsSurface = false;
        bool IsOleContainer = false;
        bool IsRichTextEdit = false;
    };
    TSender SenderOf(QWidget *control) const;

    // True when the event was used up and the control must not see it.
    bool MouseDown(const TSender &sender, QMouseEvent *event);
    bool MouseMove(const TSender &sender, QMouseEvent *event);
    bool MouseUp(const TSender &sender, QMouseEvent *event);
    void ChooseCursor(const TSender &sender, Qt::KeyboardModifiers modifiers);
    void LeftPress(const TSender &sender, QPoint globalPosition);
    void RightPress(const TSender &sender);
    // `edit` names the edit on the undo stack.
    void DeleteLater(TQZControl *object, const QString &edit);
    // Fills an OLE frame from "Insert Object" and opens what was inserted.
    void InsertOleContent(TQZControl *object);
    // The percentage and comment of the totals.
    void ShowResult();
    qint32 Snapped(qint32 value, Qt::KeyboardModifiers modifiers) const;
    void Maximise();

    void StartTyping(QWidget *box);

    TBuilderDocument m_document;
    TOleEdits m_oleEdits{m_document};
    TOrodja *m_tools = nullptr;
    TRezultatDialog *m_result = nullptr;
    // The object of the last press, by its page and tag.
    TQZStran *m_pressedPage = nullptr;
    qint32 m_pressedTag = 0;
    // Numbers the drags, so that the moves of one drag merge into one edit.
    int m_dragSerial = 0;
    // The rich text box being typed in and its object as it was before.
    QPointer<QWidget> m_typingBox;
    TQZStran *m_typingPage = nullptr;
    qint32 m_typingTag = 0;
    TObjectSnapshot m_typingBefore;
    QStringList m_arguments;
    bool m_activated = false;
    bool m_shown = false;
    bool m_maximisePending = false;
    // Set while the object pressed has been moved or sized since the press:
    // the release that ends such a press clicks no button.
    bool m_movedSincePress = false;
};

} // namespace CorvBuilder
