#pragma once

#include "QZPlaceholders.h"

// OLE object: the object stream, present only while IsEmpty is 0.
class TQZOle final : public TQZPlaceholder<TOleRecord>
{
public:
    TQZOle(QWidget *parent, const TOleRecord &record);
    void SaveToStream(QByteArray &stream) const override;
    // Builder: takes a whole new record and its colour.
    void ApplyRecord(const TOleRecord &record);
};
