// What the tests of the page objects share: a surface that records the
// presses and clicks it is told of, new records of each type, and the
// settings every test runs under.
#pragma once

#include "QZControls.h"
#include "QZRecordFields.h"

#include <QList>
#include <QMouseEvent>

class TRecordingSurface : public TQZPageSurface
{
public:
    bool FaceMouseEvent(QWidget *face, QMouseEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            Pressed << face;
        return false;
    }
    void FormClick(QObject *sender) override { Clicked << sender; }

    QList<QWidget *> Pressed;
    QList<QObject *> Clicked;
};

template<typename RecordType> RecordType NewRecord()
{
    return RecordFromBytes<RecordType>(NewObjectRecord(TypeTagOf<RecordType>()));
}

TIzbireRecord ChoicesRecord(int count, bool single, const QList<int> &correct, qint32 points);

// A 1024 x 749 screen, the current file version, and objects made outside
// test loading, for the lifetime of the object; what was set before comes
// back after it.
class TObjectTestSettings
{
public:
    TObjectTestSettings();
    ~TObjectTestSettings();
    TObjectTestSettings(const TObjectTestSettings &) = delete;
    TObjectTestSettings &operator=(const TObjectTestSettings &) = delete;

private:
    qint32 m_saved[3] = {};
    bool m_testLoading = false;
};
