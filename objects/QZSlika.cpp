#include "QZSlika.h"

namespace {
constexpr quint32 White = 0x00FFFFFF;
} // namespace

TQZSlika::TQZSlika(QWidget *parent, const TSlikaRecord &record)
    : TQZPlaceholder(ObjSlika, parent, record, White, QStringLiteral("Picture"))
{
    // A picture is painted on the page itself, beneath the framed objects.
    StackAsGraphic(Frame());
}
