#include "QZDeferred.h"

#include "QZNaloga.h"

namespace {

// Builds faces hidden whatever the program's loading state.
class TBuildHidden
{
public:
    TBuildHidden()
        : m_saved(TestLoading)
    {
        TestLoading = true;
    }
    ~TBuildHidden() { TestLoading = m_saved; }

private:
    bool m_saved;
};

// Builds faces as the file they were read from lays them out: the version
// read is back at the current one by the time a page is first shown.
class TReadAsVersion
{
public:
    explicit TReadAsVersion(qint32 version)
        : m_saved(FileVersion)
    {
        FileVersion = version;
    }
    ~TReadAsVersion() { FileVersion = m_saved; }

private:
    qint32 m_saved;
};

bool HasPayload(int typeTag)
{
    return typeTag == ObjMemo || typeTag == ObjSlika || typeTag == ObjOle;
}

class TDeferredFactory final : public TQZObjectFactory
{
public:
    std::unique_ptr<TQZControl> CreateObject(int typeTag, const QByteArray &record,
                                             TQZSurface *surface) override
    {
        auto *parent = dynamic_cast<TQZPageSurface *>(surface);
        if (parent && TestLoading && !HasPayload(typeTag) && ObjectRecordSize(typeTag) > 0)
            return std::make_unique<TQZDeferredControl>(typeTag, record, parent,
                                                        WidgetObjectFactory());
        return WidgetObjectFactory().CreateObject(typeTag, record, surface);
    }
};

} // namespace

TQZDeferredControl::TQZDeferredControl(int typeTag, const QByteArray &record,
                                       TQZPageSurface *surface, TQZObjectFactory &factory)
    : TQZActiveControl(typeTag)
    , m_record(record)
    , m_surface(surface)
    , m_factory(factory)
    , m_fileVersion(FileVersion)
{
}

TQZDeferredControl::~TQZDeferredControl() = default;

TQZControl &TQZDeferredControl::Real() const
{
    if (!m_real) {
        TBuildHidden hidden;
        TReadAsVersion version(m_fileVersion);
        m_real = m_factory.CreateObject(ObjectTypeTag(), m_record, m_surface);
        m_real->SetObjectTag(Tag());
    }
    return *m_real;
}

TQZActiveControl &TQZDeferredControl::Question() const
{
    // Only question types are asked for answers (the page selects them by
    // type tag), and the factory makes them TQZActiveControl.
    return static_cast<TQZActiveControl &>(Real());
}

void TQZDeferredControl::SaveToStream(QByteArray &stream) const
{
    if (m_real)
        m_real->SaveToStream(stream);
    else
        WriteObjectToStream(stream, ObjectTypeTag(), m_record, {});
}

void TQZDeferredControl::SetShown(bool visible)
{
    if (visible || m_real)
        Real().SetShown(visible);
}

void TQZDeferredControl::SetObjectTag(qint32 tag)
{
    TQZActiveControl::SetObjectTag(tag);
    if (m_real)
        m_real->SetObjectTag(tag);
}

TQZObjectFactory &DeferredWidgetObjectFactory()
{
    static TDeferredFactory factory;
    return factory;
}
