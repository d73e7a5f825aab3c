// Records and helpers shared by the tests of the question property dialogs:
// records of random bytes with the shown fields set, a scripted interaction
// that remembers the font and colour dialogs' presets, and the author's keys
// and clicks.
#pragma once

#include "QZFont.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

// Also records what the font and colour dialogs were preset to.
class TPresetInteraction : public TQZScriptedInteraction
{
public:
    bool ChooseFont(QWidget *parent, QFont &font) override
    {
        FontPresets << font;
        return TQZScriptedInteraction::ChooseFont(parent, font);
    }
    bool ChooseColor(QWidget *parent, QColor &color) override
    {
        ColorPresets << color;
        return TQZScriptedInteraction::ChooseColor(parent, color);
    }
    QList<QFont> FontPresets;
    QList<QColor> ColorPresets;
};

// A record of random bytes: string tails, padding, unused slots and set
// elements keep them; the tests set the fields the dialogs show.
template<typename Record> Record RandomRecord(quint32 seed)
{
    QByteArray bytes(sizeof(Record), Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return RecordFromBytes<Record>(bytes);
}

// A usable font over random bytes: its name tail and padding stay random.
inline void SetFont(TFontRecord &font)
{
    font.Name.SetBytes("Arial CE");
    font.Height = -19;
    font.Style = 0;
    font.Charset = 238;
    font.Color = 0x80000008u;
}

inline TIzbireRecord ChoicesRecord(quint32 seed, bool single, QList<int> marks)
{
    auto record = RandomRecord<TIzbireRecord>(seed);
    record.QuestionText.SetBytes("Which are rivers?");
    const char *choices[6] = {"Sava", "Drava", "Triglav", "Mura", "Krka", "Bled"};
    for (int i = 0; i < 6; ++i)
        record.Choices[i].SetBytes(choices[i]);
    record.ChoiceCount = 5;
    record.SingleAnswer = single;
    for (int i = 1; i <= 6; ++i)
        record.CorrectSet.Include(i, marks.contains(i));
    record.Points = -3;
    SetFont(record.QuestionFont);
    SetFont(record.ChoiceFont);
    return record;
}

inline TVnosnoOknoRecord InputBoxRecord(quint32 seed)
{
    auto record = RandomRecord<TVnosnoOknoRecord>(seed);
    record.AnswerCount = 3;
    record.Answers[1].SetBytes("Ljubljana");
    record.Answers[2].SetBytes("LJ");
    record.Answers[3].SetBytes(QByteArray(100, 'x'));
    record.CaseSensitive = 1;
    record.Points = 4;
    SetFont(record.Font);
    return record;
}

inline TDaNeRecord AlternativeRecord(quint32 seed)
{
    auto record = RandomRecord<TDaNeRecord>(seed);
    record.FirstIsCorrect = 0;
    record.FirstText.SetBytes("Yes");
    record.SecondText.SetBytes(QByteArray(255, 'N'));
    record.Points = 2;
    return record;
}

// The offsets at which two records differ.
template<typename Record> QList<int> Differences(const Record &a, const Record &b)
{
    const QByteArray x = RecordToBytes(a);
    const QByteArray y = RecordToBytes(b);
    QList<int> offsets;
    for (int i = 0; i < x.size(); ++i)
        if (x[i] != y[i])
            offsets << i;
    return offsets;
}

// Something changed, and only bytes of [begin, end).
#define CHANGED_ONLY(before, after, begin, end)                                                    \
    do {                                                                                           \
        const QList<int> offsets = Differences(before, after);                                     \
        QVERIFY2(!offsets.isEmpty(), "nothing changed");                                           \
        for (int offset : offsets)                                                                 \
            QVERIFY2(offset >= int(begin) && offset < int(end),                                    \
                     qPrintable(QStringLiteral("byte %1 changed").arg(offset)));                   \
    } while (false)

#define FIELD(Record, Field)                                                                       \
    offsetof(Record, Field), offsetof(Record, Field) + sizeof(Record::Field)

inline void Replace(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Ticks a preview choice on its indicator.
inline void Tick(QAbstractButton *choice)
{
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(4, choice->height() / 2));
}

inline QFont PixelFont(const char *windowsFace, int pixels)
{
    QFont font(FreeFamilyOf(QString::fromLatin1(windowsFace)));
    font.setPixelSize(pixels);
    return font;
}

inline QList<int> CheckedChoices(const TQZIzbire &preview)
{
    QList<int> checked;
    for (int i = 1; i <= 6; ++i)
        if (preview.Choice(i)->isChecked())
            checked << i;
    return checked;
}
