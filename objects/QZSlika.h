#pragma once

#include "QZPlaceholders.h"

// Picture: the picture file image of kind PictureKind.
class TQZSlika final : public TQZPlaceholder<TSlikaRecord>
{
public:
    TQZSlika(QWidget *parent, const TSlikaRecord &record);
    void ApplyRecord(const TSlikaRecord &record) { m_record = record; }
};
