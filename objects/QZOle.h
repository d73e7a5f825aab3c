#pragma once

#include "QZControls.h"
#include "QZFaceParts.h"
#include "QZOleObject.h"

#include <functional>
#include <optional>

class TOleView;

// OLE object: a frame in the record's Color holding a view that draws the
// embedded object's presentation by SizeMode. The object stream is kept as
// read and saved back unchanged; an empty frame (no object) saves its record
// alone. A double-click opens the object when activation is on.
class TQZOle final : public TQZFaceControl<TOleRecord>
{
public:
    TQZOle(QWidget *parent, const TOleRecord &record);

    void MoveTo(qint32 left, qint32 top) override;
    void ResizeTo(qint32 width, qint32 height) override;
    void SaveToStream(QByteArray &stream) const override;
    // A stream that does not parse raises TQZFileError. In the builder a
    // loaded object always activates on double-click.
    void LoadPayload(QByteArrayView payload) override;
    QByteArray Payload() const override;

    // Builder: takes a whole new record: size mode, colour; activation by
    // double-click.
    void ApplyRecord(const TOleRecord &record);
    // Builder: embeds a file as a package object shown as an icon, replacing
    // whatever the frame held. Raises TQZFileError when it cannot be read.
    void EmbedFile(const QString &fileName);
    // Builder: embeds `content` as a package object of a file named
    // `fileName`, shown as an icon, replacing whatever the frame held.
    void EmbedContent(const QString &fileName, const QByteArray &content);
    void SetObject(std::optional<TOleObject> object);

    const std::optional<TOleObject> &Object() const { return m_object; }
    TQZObjectFrame *Frame() const;
    QWidget *View() const;
    // Whether a double-click opens the object now.
    bool ActivatesOnDoubleClick() const;
    // Opens the object as a double-click does: a file of a type that may be
    // opened is opened once the user says yes to the question naming it; a
    // refusal or a failure is shown in a warning. False when nothing was
    // opened.
    bool Activate();

private:
    std::optional<TOleObject> m_object;
    TOleView *m_view = nullptr;
    bool m_alwaysActivate = false;
};

// Called when Activate has opened a copy of an object's file at `path`,
// written with `content`: the builder watches the copy and takes what the
// author saves there back into the test. The player sets none, and so never
// writes back. Returns the handler installed before.
using TOleCopyOpened =
    std::function<void(TQZOle &object, const QString &path, const QByteArray &content)>;
TOleCopyOpened SetOleCopyOpened(TOleCopyOpened handler);

// The builder lets the author open every object whatever its record says; the
// player leaves it off.
void SetOleAlwaysActivate(bool always);
bool OleAlwaysActivate();
