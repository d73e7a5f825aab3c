#include "QZObjectTest.h"

#include "QZNaloga.h"
#include "QZScaling.h"

#include <utility>

TIzbireRecord ChoicesRecord(int count, bool single, const QList<int> &correct, qint32 points)
{
    auto record = NewRecord<TIzbireRecord>(); // fonts "Arial CE" of height -19
    record.ChoiceCount = quint8(count);
    record.SingleAnswer = single;
    record.Points = points;
    record.CorrectSet = ZeroRecord<TByteSet>();
    for (int i : correct)
        record.CorrectSet.Include(i);
    return record;
}

TObjectTestSettings::TObjectTestSettings()
{
    m_saved[0] = std::exchange(ScreenWidth, 1024);
    m_saved[1] = std::exchange(ScreenHeight, 749);
    m_saved[2] = std::exchange(FileVersion, CurrentFileVersion);
    m_testLoading = std::exchange(TestLoading, false);
}

TObjectTestSettings::~TObjectTestSettings()
{
    ScreenWidth = m_saved[0];
    ScreenHeight = m_saved[1];
    FileVersion = m_saved[2];
    TestLoading = m_testLoading;
}
