// A page: its record and the objects placed on it, and the page stream that
// stores them (the page record, then each object's record and payload).
#pragma once

#include "QZControl.h"
#include "QZRecords.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TQZReader;

class TQZStran
{
public:
    // Objects of the page are made by `factory` (the headless record objects
    // when null) on `surface` (may be null for a page without a window).
    explicit TQZStran(TQZSurface *surface = nullptr, TQZObjectFactory *factory = nullptr);
    ~TQZStran();
    TQZStran(const TQZStran &) = delete;
    TQZStran &operator=(const TQZStran &) = delete;

    const TPageRecord &PageRecord() const { return m_record; }
    // Replaces the record and paints the surface in the new page colour.
    void SetPageRecord(const TPageRecord &record);

    // Names in the default code page.
    QString PageName() const;
    QString CorrectTarget() const;
    QString WrongTarget() const;
    quint32 PageColor() const { return m_record.PageColor; }

    const std::vector<std::unique_ptr<TQZControl>> &Objects() const { return m_objects; }
    int ObjectCount() const { return int(m_objects.size()); }
    qint32 TagCounter() const { return m_tagCounter; }
    TQZSurface *Surface() const { return m_surface; }
    TQZObjectFactory *Factory() const { return m_factory; }

    // Appends the object and gives it the next tag of the page.
    TQZControl *AddObject(std::unique_ptr<TQZControl> object);
    // Removes and destroys the first object with the tag, if any.
    void DeleteObject(qint32 tag);
    TQZControl *FindObject(qint32 tag) const;
    // The object's place in the stacking order (the order of the page
    // stream), -1 when the page has no object with the tag.
    int IndexOfObject(qint32 tag) const;
    // Takes the object with the tag out of the page, keeping its tag, for an
    // editor that may put it back; null when there is none.
    std::unique_ptr<TQZControl> TakeObject(qint32 tag);
    // Puts an object taken out (or made elsewhere) at a place in the stacking
    // order. An object with a tag keeps it; one without (tag 0) gets the
    // page's next tag. The index is clamped to the list.
    TQZControl *InsertObject(int index, std::unique_ptr<TQZControl> object);
    // Makes an object of this page's factory from a record in pixels and the
    // payload its type takes, as reading a page stream does; not added.
    std::unique_ptr<TQZControl> MakeObject(int typeTag, const QByteArray &record,
                                           QByteArrayView payload) const;
    void ShowObjects(bool visible);

    // Opens the media clips, paints the surface and shows the objects.
    void Activate();
    // Closes the media clips and hides the objects.
    void Deactivate();

    // A page without questions counts as answered and correct.
    bool AllAnswered() const;
    bool AllCorrect() const;
    void AddScores(qint32 &earned, qint32 &possible) const;
    void ShowCorrectAnswers();

    // Appends the page stream; objects after the 512th are not written.
    void SaveToStream(QByteArray &stream);
    // Reads a page stream into this empty page, with the page record layout of
    // the process-wide FileVersion. Raises TQZFileError on data that ends early,
    // an object count the record has no room for, or a payload the object
    // rejects.
    void LoadFromStream(TQZReader &reader);

    // Settings of the page that its record has no room for, kept in the
    // test's extension block; empty while the page keeps every default.
    const QJsonObject &Extra() const { return m_extra; }
    void SetExtra(const QJsonObject &extra) { m_extra = extra; }
    // The page's entry in an extension block: its own settings, and under
    // "objects" those of its objects, each with "object": its place in the
    // stacking order counted from 1 (the tag a loaded page gives it). Empty
    // when the page and all its objects keep their defaults.
    QJsonObject ExtraEntry() const;
    // Spreads such an entry onto the page and its objects, replacing what
    // they held; "page" and other keys that say where an entry belongs are
    // not kept. Returns a clause for each object entry that names no object
    // of the page.
    QStringList SetExtraEntry(const QJsonObject &entry);
    // The extension block a page file (or any lone page stream) carries
    // after the page: the entry as page 0; empty when there is nothing.
    QByteArray SettingsBlock() const;
    // Takes the settings from the bytes that follow a lone page stream;
    // bytes that are no block, or a damaged block, leave the defaults.
    void ReadSettingsBlock(QByteArrayView trailing);

private:
    template<typename Visit> void ForEachQuestion(Visit visit) const;

    TPageRecord m_record;
    std::vector<std::unique_ptr<TQZControl>> m_objects;
    qint32 m_tagCounter = 0;
    TQZSurface *m_surface;
    TQZObjectFactory *m_factory;
    QJsonObject m_extra;
};
