#pragma once

#include "QZPlaceholders.h"

// Rich text: the RTF payload. Saving stores the height the inner text box has
// now (the frame less a margin above and below) as SavedEditHeight.
class TQZMemo final : public TQZPlaceholder<TMemoRecord>
{
public:
    TQZMemo(QWidget *parent, const TMemoRecord &record);
    void SaveToStream(QByteArray &stream) const override;
    // Builder: takes a whole new record and its colour.
    void ApplyRecord(const TMemoRecord &record);
};
