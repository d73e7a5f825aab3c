// The page object family as the document sees it. A page owns its objects and
// talks to them only through these virtual operations; the objects' faces
// (widgets) live in the objects library, which supplies them through a
// TQZObjectFactory. Without one, pages hold TQZRecordObject: the record and
// payload alone, so that every file loads and saves headless.
#pragma once

#include "QZRecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>

#include <memory>

// The window on which every page places its objects. The document needs only
// these two things of it; the player's and the builder's main windows
// implement it.
class TQZSurface
{
public:
    virtual ~TQZSurface();
    // Paints the surface in a page colour (0x00BBGGRR or a system colour).
    virtual void SetPageColor(quint32 color) = 0;
    // A modal message box captioned "Error" with an OK button.
    virtual void ShowError(const QString &message) = 0;
};

class TQZControl
{
public:
    explicit TQZControl(int typeTag);
    virtual ~TQZControl();
    TQZControl(const TQZControl &) = delete;
    TQZControl &operator=(const TQZControl &) = delete;

    int ObjectTypeTag() const { return m_typeTag; }
    bool IsQuestion() const { return IsQuestionType(m_typeTag); }
    // The object's number within its page; never stored in a file.
    qint32 Tag() const { return m_tag; }

    // Screen pixels.
    virtual void MoveTo(qint32 left, qint32 top) = 0;
    virtual void ResizeTo(qint32 width, qint32 height) = 0;
    // Appends the record, converted to virtual units, and the payload.
    virtual void SaveToStream(QByteArray &stream) const = 0;
    virtual void SetShown(bool visible) = 0;
    virtual void SetObjectTag(qint32 tag) { m_tag = tag; }

    // The live record in screen pixels, exactly RecordSize(ObjectTypeTag())
    // bytes.
    virtual QByteArray Record() const = 0;
    // Rich text, picture and OLE objects take their payload from the page
    // stream here; a payload the object rejects raises TQZFileError.
    virtual void LoadPayload(QByteArrayView payload);
    // The same, for a payload that lies inside `owner` (which may be null):
    // an object that keeps its payload may share owner's bytes instead of
    // copying them. The default copies, as LoadPayload does.
    virtual void LoadSharedPayload(QByteArrayView payload, const QByteArray &owner);
    // The payload as SaveToStream writes it (empty for other types).
    virtual QByteArray Payload() const { return {}; }

    // Media objects open their clip when their page is shown and close it when
    // it is left; false when that failed.
    virtual bool OpenMedia() { return true; }
    virtual bool CloseMedia() { return true; }

    // Settings of the object that its record has no room for, kept in the
    // test's extension block (QZAssessment.h reads them); empty while the
    // object keeps every default.
    const QJsonObject &Extra() const { return m_extra; }
    void SetExtra(const QJsonObject &extra) { m_extra = extra; }

private:
    int m_typeTag;
    qint32 m_tag = 0;
    QJsonObject m_extra;
};

// The question objects (type tags 0 to 2). The answer is read from the face at
// the moment of the call.
class TQZActiveControl : public TQZControl
{
public:
    using TQZControl::TQZControl;
    virtual bool IsAnswered() const = 0;
    virtual bool IsCorrect() const = 0;
    virtual void AddScore(qint32 &earned) const = 0;
    virtual void ShowCorrectAnswer() = 0;
    virtual void AddMaxScore(qint32 &possible) const = 0;
};

// Makes the object of a type tag from its record in pixels.
class TQZObjectFactory
{
public:
    virtual ~TQZObjectFactory();
    virtual std::unique_ptr<TQZControl> CreateObject(int typeTag, const QByteArray &record,
                                                     TQZSurface *surface) = 0;
};

// The factory of headless record objects.
TQZObjectFactory &RecordObjectFactory();

// An object without a face: its record and payload, kept for saving, with the
// evaluation of an unanswered question. Used by corvtool, the benchmarks and
// wherever a page is handled without a window.
class TQZRecordObject final : public TQZActiveControl
{
public:
    TQZRecordObject(int typeTag, const QByteArray &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SaveToStream(QByteArray &stream) const override;
    void SetShown(bool visible) override { m_shown = visible; }
    QByteArray Record() const override { return m_record; }
    void LoadPayload(QByteArrayView payload) override;
    QByteArray Payload() const override { return m_payload; }

    bool IsShown() const { return m_shown; }
    void SetRecord(const QByteArray &record);
    void SetPayload(const QByteArray &payload);
    // A rich text record normally saves the height of its inner box as it is
    // now; a record built from a source file keeps the height it was given.
    void SetKeepSavedEditHeight(bool keep) { m_keepSavedEditHeight = keep; }

    bool IsAnswered() const override { return false; }
    bool IsCorrect() const override { return false; }
    void AddScore(qint32 &) const override {}
    void ShowCorrectAnswer() override {}
    void AddMaxScore(qint32 &possible) const override;

private:
    QByteArray m_record;
    QByteArray m_payload;
    bool m_keepSavedEditHeight = false;
    bool m_shown;
};

// Writes an object the way every object class does: fills the payload length
// field (and IsEmpty of an OLE record) from the payload, converts a copy of
// the record to virtual units and appends it, then the payload. `record` is in
// pixels; `hasContent` is false for an empty OLE frame.
void WriteObjectToStream(QByteArray &stream, int typeTag, QByteArray record,
                         const QByteArray &payload, bool hasContent = true);
