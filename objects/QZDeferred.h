// Objects whose faces are built when their page is first shown.
//
// A test is read whole before its first page appears, and building the faces
// of every page is most of that time. Objects made while a test file is read
// start hidden anyway, so the player's pages hold deferred objects that keep
// the record and build the real object, face and all, the first time anything
// needs more than the record: the page showing it, a media clip opening, an
// evaluation, a move. Until then they save and report their record as the
// real object would.
#pragma once

#include "QZControls.h"

class TQZDeferredControl final : public TQZActiveControl, public TQZFaced
{
public:
    TQZDeferredControl(int typeTag, const QByteArray &record, TQZPageSurface *surface,
                       TQZObjectFactory &factory);
    ~TQZDeferredControl() override;

    void MoveTo(qint32 left, qint32 top) override { Real().MoveTo(left, top); }
    void ResizeTo(qint32 width, qint32 height) override { Real().ResizeTo(width, height); }
    void SaveToStream(QByteArray &stream) const override;
    // Hiding an object that was never shown needs no face.
    void SetShown(bool visible) override;
    void SetObjectTag(qint32 tag) override;
    QByteArray Record() const override { return m_real ? m_real->Record() : m_record; }
    bool OpenMedia() override { return Real().OpenMedia(); }
    bool CloseMedia() override { return m_real ? m_real->CloseMedia() : true; }

    bool IsAnswered() const override { return Question().IsAnswered(); }
    bool IsCorrect() const override { return Question().IsCorrect(); }
    void AddScore(qint32 &earned) const override { Question().AddScore(earned); }
    void ShowCorrectAnswer() override { Question().ShowCorrectAnswer(); }
    void AddMaxScore(qint32 &possible) const override { Question().AddMaxScore(possible); }

    QWidget *Face() const override { return FaceOf(&Real()); }
    bool IsBuilt() const { return m_real != nullptr; }
    // The real object, built on first use (hidden; the caller shows it).
    TQZControl &Real() const;

private:
    TQZActiveControl &Question() const;

    QByteArray m_record;
    TQZPageSurface *m_surface;
    TQZObjectFactory &m_factory;
    // The version of the file the record was read from.
    qint32 m_fileVersion;
    mutable std::unique_ptr<TQZControl> m_real;
};

// Makes deferred objects for the types without a payload while a test file
// is read (TestLoading), and real widget objects otherwise. Objects with a
// payload are built at once, so that a damaged payload is an opening error.
TQZObjectFactory &DeferredWidgetObjectFactory();
