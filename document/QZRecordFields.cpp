#include "QZRecordFields.h"

#include <array>
#include <cstring>

namespace {

struct TTypeNames
{
    const char *ClassName;
    const char *ClipboardFormat;
    const char *Description;
};

constexpr TTypeNames TypeNames[ObjectTypeCount] = {
    {"TQZIzbire", "QZC_IZBI", "choices"},
    {"TQZVnosnoOkno", "QZC_VNOS", "input box"},
    {"TQZDaNe", "QZC_DANE", "alternative"},
    {"TQZBesedilo", "QZC_BESD", "transparent text"},
    {"TQZPanelBesedilo", "QZC_PBES", "text with background"},
    {"TQZMemo", "QZC_MEMO", "rich text"},
    {"TQZSlika", "QZC_SLIK", "picture"},
    {"TQZMedia", "QZC_MEDI", "multimedia"},
    {"TQZOle", "QZC_OLE_", "OLE object"},
    {"", "QZC_STRA", "page"},
    {"TQZGumb", "QZC_GUMB", "button"},
};

bool IsTypeTag(int tag) { return tag >= 0 && tag < ObjectTypeCount; }

void SetText(auto &field, const char *text) { field.SetBytes(QByteArray(text)); }

using K = TFieldKind;

constexpr TRecordField IzbireFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"QuestionText", 12, K::String, 255, 1, 1848},
    {"ChoiceCount", 268, K::Byte},
    {"SingleAnswer", 269, K::Bool},
    {"Choices", 270, K::StringArray, 255, 6, 2116},
    {"CorrectSet", 1806, K::ByteSet},
    {"Points", 1840, K::Int32},
    {"Color", 1844, K::Color},
    {"QuestionFont", 1848, K::Font},
    {"ChoiceFont", 2116, K::Font},
};

constexpr TRecordField VnosnoOknoFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"AnswerCount", 12, K::Int32},
    {"Answers", 16, K::StringArray, 100, 6, 632},
    {"CaseSensitive", 622, K::Bool},
    {"Points", 624, K::Int32},
    {"Color", 628, K::Color},
    {"Font", 632, K::Font},
};

constexpr TRecordField DaNeFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"FirstIsCorrect", 12, K::Bool},
    {"Color", 16, K::Color},
    {"FirstText", 20, K::String, 255},
    {"SecondText", 276, K::String, 255},
    {"Points", 532, K::Int32},
};

constexpr TRecordField BesediloFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"Height", 12, K::Int32},
    {"Text", 16, K::String, 255, 1, 276},
    {"Alignment", 272, K::Byte},
    {"Font", 276, K::Font},
};

constexpr TRecordField PanelBesediloFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"Height", 12, K::Int32},
    {"Text", 16, K::String, 255, 1, 272},
    {"Font", 272, K::Font},
    {"TextPosition", 540, K::Byte},
    {"Alignment", 541, K::Byte},
    {"Color", 544, K::Color},
};

constexpr TRecordField MemoFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"Height", 12, K::Int32},
    {"Color", 16, K::Color},
    {"RtfLength", 20, K::Int32},
    {"SavedEditHeight", 24, K::Int32},
};

constexpr TRecordField SlikaFields[] = {
    {"Left", 0, K::Int32},           {"Top", 4, K::Int32},     {"Width", 8, K::Int32},
    {"Height", 12, K::Int32},        {"Stretch", 16, K::Byte}, {"PictureKind", 17, K::Byte},
    {"PictureLength", 20, K::Int32},
};

constexpr TRecordField MediaFields[] = {
    {"MediaFile", 0, K::String, 100}, {"Caption", 101, K::String, 255}, {"Left", 360, K::Int32},
    {"Top", 364, K::Int32},           {"Width", 368, K::Int32},         {"Height", 372, K::Int32},
};

constexpr TRecordField OleFields[] = {
    {"IsEmpty", 0, K::Byte},           {"Color", 4, K::Color},   {"SizeMode", 8, K::Byte},
    {"ActivationEnabled", 9, K::Byte}, {"Left", 12, K::Int32},   {"Top", 16, K::Int32},
    {"Width", 20, K::Int32},           {"Height", 24, K::Int32}, {"OleLength", 28, K::Int32},
};

constexpr TRecordField GumbFields[] = {
    {"Left", 0, K::Int32},
    {"Top", 4, K::Int32},
    {"Width", 8, K::Int32},
    {"Height", 12, K::Int32},
    {"Caption", 16, K::String, 255, 1, 272},
    {"Font", 272, K::Font},
    {"Color", 540, K::Color},
    {"TargetPage", 544, K::String, 255},
    {"ButtonKind", 800, K::Byte},
};

} // namespace

QString ClassNameOfType(int typeTag)
{
    return IsTypeTag(typeTag) ? QString::fromLatin1(TypeNames[typeTag].ClassName) : QString();
}

QString ClipboardFormatOfType(int typeTag)
{
    return IsTypeTag(typeTag) ? QString::fromLatin1(TypeNames[typeTag].ClipboardFormat) : QString();
}

QString DescriptionOfType(int typeTag)
{
    return IsTypeTag(typeTag) ? QString::fromLatin1(TypeNames[typeTag].Description)
                              : QStringLiteral("unknown type %1").arg(typeTag);
}

TGeometryOffsets GeometryOffsets(int typeTag)
{
    switch (typeTag) {
    case ObjIzbire:
    case ObjVnosnoOkno:
    case ObjDaNe: return {0, 4, 8, -1};
    case ObjMedia: return {360, 364, 368, 372};
    case ObjOle: return {12, 16, 20, 24};
    default: return {0, 4, 8, 12};
    }
}

int PointsOffset(int typeTag)
{
    switch (typeTag) {
    case ObjIzbire: return offsetof(TIzbireRecord, Points);
    case ObjVnosnoOkno: return offsetof(TVnosnoOknoRecord, Points);
    case ObjDaNe: return offsetof(TDaNeRecord, Points);
    default: return -1;
    }
}

TFontRecord WindowFontRecord()
{
    auto font = ZeroRecord<TFontRecord>();
    font.Color = 0x80000008u;
    SetText(font.Name, "Arial CE");
    font.Height = -19;
    font.Style = 0;
    font.Charset = 238;
    return font;
}

QByteArray NewObjectRecord(int typeTag)
{
    switch (typeTag) {
    case ObjIzbire: {
        auto r = ZeroRecord<TIzbireRecord>();
        r.Width = 200;
        SetText(r.QuestionText, "Question");
        for (int i = 0; i < 6; ++i)
            r.Choices[i].SetBytes("Choice " + QByteArray::number(i + 1));
        r.ChoiceCount = 3;
        r.SingleAnswer = 1;
        r.CorrectSet.Include(1);
        r.Points = 1;
        r.Color = WindowColor;
        r.QuestionFont = WindowFontRecord();
        r.ChoiceFont = WindowFontRecord();
        return RecordToBytes(r);
    }
    case ObjVnosnoOkno: {
        auto r = ZeroRecord<TVnosnoOknoRecord>();
        r.Width = 300;
        r.AnswerCount = 1;
        r.Points = 1;
        r.Color = WindowColor;
        r.Font = WindowFontRecord();
        return RecordToBytes(r);
    }
    case ObjDaNe: {
        auto r = ZeroRecord<TDaNeRecord>();
        r.Width = 200;
        r.FirstIsCorrect = 1;
        r.Color = WindowColor;
        SetText(r.FirstText, "Yes");
        SetText(r.SecondText, "No");
        r.Points = 1;
        return RecordToBytes(r);
    }
    case ObjBesedilo: {
        auto r = ZeroRecord<TBesediloRecord>();
        r.Width = 200;
        r.Height = 19;
        SetText(r.Text, "Text");
        r.Font = WindowFontRecord();
        return RecordToBytes(r);
    }
    case ObjPanelBesedilo: {
        auto r = ZeroRecord<TPanelBesediloRecord>();
        r.Width = 200;
        r.Height = 32;
        SetText(r.Text, "Text");
        r.Font = WindowFontRecord();
        r.Color = WindowColor;
        return RecordToBytes(r);
    }
    case ObjMemo: {
        auto r = ZeroRecord<TMemoRecord>();
        r.Width = 200;
        r.Height = 200;
        r.Color = WindowColor;
        return RecordToBytes(r);
    }
    case ObjSlika: {
        auto r = ZeroRecord<TSlikaRecord>();
        r.Width = 200;
        r.Height = 200;
        r.Stretch = 1;
        return RecordToBytes(r);
    }
    case ObjMedia: {
        auto r = ZeroRecord<TMediaRecord>();
        SetText(r.Caption, "MultiMedia");
        r.Width = 200;
        r.Height = 200;
        return RecordToBytes(r);
    }
    case ObjOle: {
        auto r = ZeroRecord<TOleRecord>();
        r.IsEmpty = 1;
        r.Color = WindowColor;
        r.SizeMode = 2;
        r.Width = 200;
        r.Height = 200;
        return RecordToBytes(r);
    }
    case ObjGumb: {
        auto r = ZeroRecord<TGumbRecord>();
        r.Width = 100;
        r.Height = 50;
        SetText(r.Caption, "Button");
        r.Font = WindowFontRecord();
        r.Color = WindowColor;
        r.ButtonKind = 3;
        return RecordToBytes(r);
    }
    default: return {};
    }
}

QString DefaultComment(int index)
{
    static const std::array<const char *, 8> comments = {
        "My chips can trace no knowledge in your head!",
        "You practically do not know anything about this!",
        "Your knowledge of this field is bad!",
        "You have still got to learn more of this!",
        "You are on a good way to succeed!",
        "It is a good result! Try to improve it!",
        "Very good. You have answered nearly all questions correctly!",
        "Excellent!!! Your knowledge is brilliant!",
    };
    return index >= 0 && index < 8 ? QString::fromLatin1(comments[size_t(index)]) : QString();
}

TTestRecord NewTestRecord()
{
    auto r = ZeroRecord<TTestRecord>();
    SetText(r.Title, "Untitled");
    r.WrongAnswerMode = 1;
    for (int i = 0; i < 8; ++i)
        r.Comments[i].SetBytes(DefaultComment(i).toLatin1());
    return r;
}

TPageRecord NewPageRecord(const QByteArray &name, const QByteArray &correctTarget,
                          const QByteArray &wrongTarget)
{
    auto r = ZeroRecord<TPageRecord>();
    r.PageName.SetBytes(name);
    r.CorrectTarget.SetBytes(correctTarget);
    r.WrongTarget.SetBytes(wrongTarget);
    r.PageColor = WindowColor;
    return r;
}

std::span<const TRecordField> RecordFields(int typeTag)
{
    switch (typeTag) {
    case ObjIzbire: return IzbireFields;
    case ObjVnosnoOkno: return VnosnoOknoFields;
    case ObjDaNe: return DaNeFields;
    case ObjBesedilo: return BesediloFields;
    case ObjPanelBesedilo: return PanelBesediloFields;
    case ObjMemo: return MemoFields;
    case ObjSlika: return SlikaFields;
    case ObjMedia: return MediaFields;
    case ObjOle: return OleFields;
    case ObjGumb: return GumbFields;
    default: return {};
    }
}
