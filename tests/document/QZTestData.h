// Test doubles and sample documents shared by the document tests.
#pragma once

#include "QZControl.h"
#include "QZNaloga.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// Records the surface calls a page makes.
class TFakeSurface : public TQZSurface
{
public:
    void SetPageColor(quint32 color) override { Colors << color; }
    void ShowError(const QString &message) override { Errors << message; }

    QList<quint32> Colors;
    QStringList Errors;
};

// An object whose answers, media and saving are set by the test.
class TFakeObject : public TQZActiveControl
{
public:
    explicit TFakeObject(int typeTag);

    void MoveTo(qint32, qint32) override {}
    void ResizeTo(qint32 width, qint32 height) override;
    void SaveToStream(QByteArray &stream) const override;
    void SetShown(bool visible) override { Shown = visible; }
    QByteArray Record() const override { return RecordBytes; }
    bool OpenMedia() override;
    bool CloseMedia() override;

    bool IsAnswered() const override { return Answered; }
    bool IsCorrect() const override { return Correct; }
    void AddScore(qint32 &earned) const override { earned += Earned; }
    void ShowCorrectAnswer() override { ShownCorrect = true; }
    void AddMaxScore(qint32 &possible) const override { possible += Points; }

    QByteArray RecordBytes;
    bool Shown = true;
    bool Answered = false;
    bool Correct = false;
    bool ShownCorrect = false;
    qint32 Earned = 0;
    qint32 Points = 0;
    bool MediaOpens = true;
    bool MediaCloses = true;
    int OpenCount = 0;
    int ResizeCount = 0;
    bool FailOnSave = false;
};

// A record object of the type with its default record and a payload.
std::unique_ptr<TQZRecordObject> MakeObject(int typeTag, const QByteArray &payload = {});

// A page named `name` holding one object of every type, with payloads.
std::unique_ptr<TQZStran> PageWithEveryType(const TQZNaloga &test, const QString &name);

// A test of `pages` pages named as given, each with objects of every type.
std::unique_ptr<TQZNaloga> SampleTest(const QStringList &pageNames);

// The bytes of a test file holding `pageNames`, one page each.
QByteArray SampleTestFile(const QStringList &pageNames);

QString CorpusFolder();
