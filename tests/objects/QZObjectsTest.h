// Shared by the page object tests: a surface that records what reaches it,
// the screen every test runs on, and new records of each type.
#pragma once

#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZSurface.h"

#include <QList>
#include <QMouseEvent>
#include <QObject>
#include <QPointer>

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

// Every test runs on a 1024 x 749 surface with no file being read; the
// process-wide state is given back afterwards.
class TObjectsTestCase : public QObject
{
    Q_OBJECT

protected slots:
    void init();
    void cleanup();

private:
    qint32 m_screenWidth = 0;
    qint32 m_screenHeight = 0;
    qint32 m_fileVersion = 0;
    bool m_testLoading = false;
};

template<typename RecordType> RecordType NewRecord()
{
    return RecordFromBytes<RecordType>(NewObjectRecord(TypeTagOf<RecordType>()));
}

// Shows a top-level window at the test screen's size and makes it active.
bool ShowAndActivate(QWidget &window);

// Place of a face among its parent's children, counted from the bottom of
// the stack.
int StackIndex(const QWidget *face);
