#pragma once

#include "QZPlaceholders.h"

// Multimedia: the clip named by MediaFile; opening and closing always succeed
// until the clip is played for real.
class TQZMedia final : public TQZPlaceholder<TMediaRecord>
{
public:
    TQZMedia(QWidget *parent, const TMediaRecord &record);
    bool OpenMedia() override { return true; }
    bool CloseMedia() override { return true; }
    // Builder: takes a whole new record and shows its clip's name.
    void ApplyRecord(const TMediaRecord &record);

private:
    QString KindText() const;
};
