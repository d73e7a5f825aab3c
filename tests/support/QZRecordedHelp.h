// The help of tests: records every help request instead of showing a window.
#pragma once

#include "QZHelp.h"

#include <QList>

class TQZRecordedHelp : public TQZHelp
{
public:
    // Installs itself for its lifetime.
    TQZRecordedHelp()
        : m_previous(SetHelp(this))
    {
    }
    ~TQZRecordedHelp() override { SetHelp(m_previous); }

    void ShowContents() override { Requests << 0; }
    void ShowTopic(int context) override { Requests << context; }

    // 0 for the contents, else the context numbers asked for, in order.
    QList<int> Requests;

private:
    TQZHelp *m_previous;
};
