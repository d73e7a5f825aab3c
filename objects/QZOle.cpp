#include "QZOle.h"

#include "QZFonts.h"
#include "QZInteraction.h"
#include "QZOleActivation.h"
#include "QZOlePresentation.h"
#include "QZPicture.h"
#include "QZStream.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

bool &AlwaysActivate()
{
    static bool always = false;
    return always;
}

TOleCopyOpened &CopyOpened()
{
    static TOleCopyOpened handler;
    return handler;
}

// Metafile presentations are drawn by the picture layer. The picture is
// rendered no larger than this and scaled up when drawn.
constexpr int MaxRenderedSide = 4096;

QImage RenderMetafile(const QByteArray &metafile, const QSize &, const QSize &pixels)
{
    TQZPicture picture;
    if (pixels.isEmpty() || !picture.Load(metafile, TPictureKind::Metafile))
        return {};
    QSize size = pixels;
    if (size.width() > MaxRenderedSide || size.height() > MaxRenderedSide)
        size.scale(MaxRenderedSide, MaxRenderedSide, Qt::KeepAspectRatio);
    return picture.Rendered(size.expandedTo(QSize(1, 1)));
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

    // The drawing is kept until the object, its record or the size changes:
    // a metafile is not converted again on every paint.
    void Invalidate()
    {
        m_drawn = QImage();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_drawn.size() != size()) {
            m_drawn = QImage(size(), QImage::Format_ARGB32_Premultiplied);
            m_drawn.fill(FaceColor(m_owner->Data().Color));
            QPainter painter(&m_drawn);
            painter.setFont(font());
            if (const auto &object = m_owner->Object())
                DrawOleObject(painter, rect(), *object, m_owner->Data().SizeMode);
        }
        QPainter(this).drawImage(0, 0, m_drawn);
    }
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && m_owner->ActivatesOnDoubleClick())
            m_owner->Activate();
    }

private:
    TQZOle *m_owner;
    QImage m_drawn;
};

TQZOle::TQZOle(QWidget *parent, const TOleRecord &record)
    : TQZFaceControl(ObjOle, parent, record)
{
    static const bool metafiles = (SetOleMetafileRenderer(RenderMetafile), true);
    Q_UNUSED(metafiles);
    auto *frame = new TQZObjectFrame(parent, m_record.Color);
    SetFace(frame);
    m_view = new TOleView(this, frame);
    // Labels of packages and type names are in the desktop's own font, as
    // the presentations' natural sizes assume, not in the page's font.
    QFont desktop = QGuiApplication::font();
    desktop.setFamilies(desktop.families());
    if (desktop.pointSizeF() > 0)
        desktop.setPointSizeF(desktop.pointSizeF());
    else
        desktop.setPixelSize(desktop.pixelSize());
    m_view->setFont(desktop);
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
    m_view->Invalidate();
}

void TQZOle::EmbedFile(const QString &fileName) { EmbedContent(fileName, ReadWholeFile(fileName)); }

void TQZOle::EmbedContent(const QString &fileName, const QByteArray &content)
{
    SetObject(TOleObject::FromStream(MakePackageStream(fileName, content)));
    m_alwaysActivate = true;
}

void TQZOle::SetObject(std::optional<TOleObject> object)
{
    m_object = std::move(object);
    m_record.IsEmpty = m_object ? 0 : 1;
    m_view->setAccessibleDescription(m_object ? OleFrameText(*m_object) : QString());
    m_view->Invalidate();
}

bool TQZOle::ActivatesOnDoubleClick() const
{
    return m_object && (m_record.ActivationEnabled == 1 || m_alwaysActivate);
}

bool TQZOle::Activate()
{
    if (!m_object)
        return false;
    const TOleOpening opening = PrepareOleOpening(*m_object);
    if (!opening.Refusal.isEmpty()) {
        ShowWarning(opening.Refusal);
        return false;
    }
    // No is the default: Enter or closing the box opens nothing.
    const QString question = OleOpenQuestion(opening, OleApplicationName(opening.Type.Name));
    if (Interaction().MessageWithDefault(TQZMessageKind::Confirmation, OleOpenCaption(), question,
                                         TQZButton::Yes | TQZButton::No,
                                         TQZButton::No) != TQZButton::Yes)
        return false;
    const TOleActivationResult result = OpenOleFile(opening);
    if (!result.Opened) {
        ShowWarning(result.Message);
        return false;
    }
    if (const TOleCopyOpened &handler = CopyOpened())
        handler(*this, result.Path, opening.File.Content);
    return true;
}

TOleCopyOpened SetOleCopyOpened(TOleCopyOpened handler)
{
    return std::exchange(CopyOpened(), std::move(handler));
}

void SetOleAlwaysActivate(bool always) { AlwaysActivate() = always; }

bool OleAlwaysActivate() { return AlwaysActivate(); }
