#include "QZOle.h"

#include "QZFonts.h"
#include "QZInteraction.h"
#include "QZOleActivation.h"
#include "QZOlePresentation.h"
#include "QZStream.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

bool &AlwaysActivate()
{
    static bool always = false;
    return always;
}

} // namespace

// The container: the object's area, painted in the record's colour with the
// presentation on it.
class TOleView : public QWidget
{
public:
    explicit TOleView(TQZOle *owner, QWidget *parent)
        : QWidget(parent)
        , m_owner(owner)
    {
        setCursor(Qt::ArrowCursor);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), FaceColor(m_owner->Data().Color));
        if (const auto &object = m_owner->Object())
            DrawOleObject(painter, rect(), *object, m_owner->Data().SizeMode);
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && m_owner->ActivatesOnDoubleClick())
            m_owner->Activate();
    }

private:
    TQZOle *m_owner;
};

TQZOle::TQZOle(QWidget *parent, const TOleRecord &record)
    : TQZFaceControl(ObjOle, parent, record)
{
    auto *frame = new TQZObjectFrame(parent, m_record.Color);
    SetFace(frame);
    m_view = new TOleView(this, frame);
    frame->SetInner(m_view);
    frame->setAccessibleName(QStringLiteral("OLE object"));
    RouteMouseEvents(m_view);
    frame->Place(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
}

TQZObjectFrame *TQZOle::Frame() const { return static_cast<TQZObjectFrame *>(Face()); }

QWidget *TQZOle::View() const { return m_view; }

void TQZOle::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Frame()->move(FaceCoordinate(left), FaceCoordinate(top));
}

void TQZOle::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    Frame()->Place(FaceRect(Frame()->x(), Frame()->y(), width, height));
}

void TQZOle::SaveToStream(QByteArray &stream) const
{
    WriteObjectToStream(stream, ObjOle, Record(), Payload(), m_object.has_value());
}

void TQZOle::LoadPayload(QByteArrayView payload)
{
    SetObject(TOleObject::FromStream(payload));
    m_alwaysActivate = OleAlwaysActivate();
}

QByteArray TQZOle::Payload() const { return m_object ? m_object->Stream() : QByteArray(); }

void TQZOle::ApplyRecord(const TOleRecord &record)
{
    m_record = record;
    m_alwaysActivate = true;
    Frame()->SetColor(m_record.Color);
    m_view->update();
}

void TQZOle::EmbedFile(const QString &fileName)
{
    const QByteArray content = ReadWholeFile(fileName);
    SetObject(TOleObject::FromStream(MakePackageStream(fileName, content)));
    m_alwaysActivate = true;
}

void TQZOle::SetObject(std::optional<TOleObject> object)
{
    m_object = std::move(object);
    m_record.IsEmpty = m_object ? 0 : 1;
    m_view->setAccessibleDescription(m_object ? OleFrameText(*m_object) : QString());
    m_view->update();
}

bool TQZOle::ActivatesOnDoubleClick() const
{
    return m_object && (m_record.ActivationEnabled == 1 || m_alwaysActivate);
}

bool TQZOle::Activate()
{
    if (!m_object)
        return false;
    const TOleActivationResult result = ActivateOleObject(*m_object);
    if (!result.Opened)
        ShowWarning(result.Message);
    return result.Opened;
}

void SetOleAlwaysActivate(bool always) { AlwaysActivate() = always; }

bool OleAlwaysActivate() { return AlwaysActivate(); }
