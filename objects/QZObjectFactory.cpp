#include "QZControls.h"
#include "QZMedia.h"
#include "QZMemo.h"
#include "QZOle.h"
#include "QZQuestions.h"
#include "QZSlika.h"
#include "QZTexts.h"

namespace {

template<typename Class, typename RecordType>
std::unique_ptr<TQZControl> Make(TQZPageSurface *surface, const QByteArray &bytes)
{
    // Records are never validated; a short one is completed with zeros.
    QByteArray record = bytes.left(sizeof(RecordType));
    record.append(QByteArray(qsizetype(sizeof(RecordType)) - record.size(), '\0'));
    return std::make_unique<Class>(surface, RecordFromBytes<RecordType>(record));
}

// Objects with widget faces on a page surface. Without a page surface there
// is nowhere to put a face, and a type without a class has none: such objects
// are record objects, which still keep and save their bytes.
class TWidgetObjectFactory final : public TQZObjectFactory
{
public:
    std::unique_ptr<TQZControl> CreateObject(int typeTag, const QByteArray &record,
                                             TQZSurface *surface) override
    {
        if (auto *parent = dynamic_cast<TQZPageSurface *>(surface)) {
            switch (typeTag) {
            case ObjIzbire: return Make<TQZIzbire, TIzbireRecord>(parent, record);
            case ObjVnosnoOkno: return Make<TQZVnosnoOkno, TVnosnoOknoRecord>(parent, record);
            case ObjDaNe: return Make<TQZDaNe, TDaNeRecord>(parent, record);
            case ObjBesedilo: return Make<TQZBesedilo, TBesediloRecord>(parent, record);
            case ObjPanelBesedilo:
                return Make<TQZPanelBesedilo, TPanelBesediloRecord>(parent, record);
            case ObjMemo: return Make<TQZMemo, TMemoRecord>(parent, record);
            case ObjSlika: return Make<TQZSlika, TSlikaRecord>(parent, record);
            case ObjMedia: return Make<TQZMedia, TMediaRecord>(parent, record);
            case ObjOle: return Make<TQZOle, TOleRecord>(parent, record);
            case ObjGumb: return Make<TQZGumb, TGumbRecord>(parent, record);
            default: break;
            }
        }
        return std::make_unique<TQZRecordObject>(typeTag, record);
    }
};

} // namespace

TQZObjectFactory &WidgetObjectFactory()
{
    static TWidgetObjectFactory factory;
    return factory;
}
