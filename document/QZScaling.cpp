#include "QZScaling.h"

#include <cmath>
#include <cstring>
#include <limits>

qint32 ScreenWidth = DesignWidth;
qint32 ScreenHeight = DesignHeight;

qint32 RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // The default floating-point rounding mode is to nearest, ties to even.
    const double rounded = std::nearbyint(value);
    if (rounded >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (rounded <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(rounded);
}

// The factor is computed first, then multiplied, as the stored files expect:
// the order changes the result where the product falls near a half.
qint32 ToScreenX(qint32 v) { return RoundHalfEven(v * (ScreenWidth * (1.0 / DesignWidth))); }

qint32 ToScreenY(qint32 v) { return RoundHalfEven(v * (ScreenHeight * (1.0 / DesignHeight))); }

qint32 FromScreenX(qint32 v)
{
    return ScreenWidth == 0 ? 0 : RoundHalfEven(v * (double(DesignWidth) / ScreenWidth));
}

qint32 FromScreenY(qint32 v)
{
    return ScreenHeight == 0 ? 0 : RoundHalfEven(v * (double(DesignHeight) / ScreenHeight));
}

qint32 Margin() { return RoundHalfEven(ScreenWidth * 0.00625); }

qint32 AnswerButtonHeight() { return RoundHalfEven(ScreenHeight * 0.05); }

qint32 SurfaceFontHeight() { return RoundHalfEven(ScreenHeight * 0.04); }

qint32 GridStep() { return RoundHalfEven(ScreenWidth * 0.009); }

namespace {

struct TScaledFields
{
    int X[2];
    int Y[4];
    int YCount;
};

// Byte offsets of the converted fields of each record; no other field changes.
// Font heights stand 260 bytes into their font record.
constexpr TScaledFields ScaledFields[ObjectTypeCount] = {
    /* 0 choices     */ {{0, 8}, {4, 1848 + 260, 2116 + 260, 0}, 3},
    /* 1 input box   */ {{0, 8}, {4, 632 + 260, 0, 0}, 2},
    /* 2 alternative */ {{0, 8}, {4, 0, 0, 0}, 1},
    /* 3 text        */ {{0, 8}, {4, 12, 276 + 260, 0}, 3},
    /* 4 panel text  */ {{0, 8}, {4, 12, 272 + 260, 0}, 3},
    /* 5 rich text   */ {{0, 8}, {4, 12, 0, 0}, 2},
    /* 6 picture     */ {{0, 8}, {4, 12, 0, 0}, 2},
    /* 7 media       */ {{360, 368}, {364, 372, 0, 0}, 2},
    /* 8 OLE         */ {{12, 20}, {16, 24, 0, 0}, 2},
    /* 9 page        */ {{-1, -1}, {0, 0, 0, 0}, 0},
    /* 10 button     */ {{0, 8}, {4, 12, 272 + 260, 0}, 3},
};

void ConvertField(char *record, int offset, qint32 (*convert)(qint32))
{
    TInt32 field;
    std::memcpy(&field, record + offset, sizeof field);
    field = convert(field);
    std::memcpy(record + offset, &field, sizeof field);
}

} // namespace

void ConvertRecordBytes(int tag, char *record, TScaleDirection direction)
{
    if (tag < 0 || tag >= ObjectTypeCount || tag == ObjPage)
        return;
    const TScaledFields &fields = ScaledFields[tag];
    const bool toScreen = direction == TScaleDirection::ToScreen;
    for (int offset : fields.X)
        ConvertField(record, offset, toScreen ? ToScreenX : FromScreenX);
    for (int i = 0; i < fields.YCount; ++i)
        ConvertField(record, fields.Y[i], toScreen ? ToScreenY : FromScreenY);
}
