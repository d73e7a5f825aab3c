#include "QZMemo.h"

#include "QZFonts.h"
#include "QZRtf.h"
#include "QZStream.h"

#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QTextDocument>
#include <QTextEdit>

bool RichTextEditable = false;

namespace {

// The box's own mouse presses go to the page surface as well (a right-click
// there opens the builder's editor); moves and releases stay with the box, so
// that selecting and scrolling work.
class TPressForwarder final : public QObject
{
public:
    TPressForwarder(QTextEdit *box, TQZPageSurface *surface)
        : QObject(box)
        , m_box(box)
        , m_surface(surface)
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress || !m_surface)
            return false;
        return m_surface->FaceMouseEvent(m_box, static_cast<QMouseEvent *>(event));
    }

private:
    QTextEdit *m_box;
    QPointer<TQZPageSurface> m_surface;
};

} // namespace

TQZMemo::TQZMemo(QWidget *parent, const TMemoRecord &record)
    : TQZFaceControl(ObjMemo, parent, record)
{
    auto *frame = new TQZObjectFrame(parent, m_record.Color);
    SetFace(frame);
    m_box = new QTextEdit(frame);
    m_box->setAcceptRichText(true);
    m_box->setReadOnly(!RichTextEditable);
    m_box->setFrameShape(QFrame::NoFrame);
    // Both scroll bars stay, as the box always had them; they are only
    // enabled when the text needs them.
    m_box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Pictures live in the document itself; a name that is not one of them
    // (pasted HTML, say) is never looked up in a file.
    m_box->document()->setResourceProvider([](const QUrl &) { return QVariant(QImage()); });
    if (auto *surface = qobject_cast<TQZPageSurface *>(parent))
        m_box->viewport()->installEventFilter(new TPressForwarder(m_box, surface));
    frame->setAccessibleName(QStringLiteral("Rich text"));
    ApplyColor();
    frame->SetInner(m_box);
    frame->Place(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
}

TQZObjectFrame *TQZMemo::Frame() const { return static_cast<TQZObjectFrame *>(Face()); }

qint32 TQZMemo::BoxHeight() const
{
    return qint32(std::max<qint64>(qint64(Frame()->height()) - 2 * qint64(Margin()), 0));
}

void TQZMemo::ApplyColor()
{
    Frame()->SetColor(m_record.Color);
    SetBackgroundColor(m_box->viewport(), m_record.Color);
}

void TQZMemo::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Frame()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZMemo::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    Frame()->Place(FaceRect(Frame()->x(), Frame()->y(), width, height));
}

void TQZMemo::SetObjectTag(qint32 tag)
{
    TQZFaceControl::SetObjectTag(tag);
    SetTag(m_box, tag);
}

void TQZMemo::LoadPayload(QByteArrayView payload)
{
    QTextDocument *document = m_box->document();
    ReadRichText(payload, *document);
    RescaleRichTextFonts(*document, BoxHeight(), m_record.SavedEditHeight, m_box->logicalDpiY());
    m_box->moveCursor(QTextCursor::Start);
}

QByteArray TQZMemo::Payload() const { return WriteRtf(*m_box->document()); }

void TQZMemo::SaveToStream(QByteArray &stream) const
{
    TMemoRecord record = m_record;
    record.SavedEditHeight = BoxHeight();
    WriteObjectToStream(stream, ObjMemo, RecordToBytes(record), Payload());
}

void TQZMemo::ApplyRecord(const TMemoRecord &record)
{
    m_record = record;
    ApplyColor();
}
