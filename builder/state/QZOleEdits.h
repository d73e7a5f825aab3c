// Embedded documents the author opened from the builder: the copy each was
// opened as is watched, and what the author saves there in the other program
// comes back into the test as one edit of the object, which marks the test
// modified. Only the builder makes one; the player never writes back.
#pragma once

#include "QZOle.h"
#include "QZOleCopyWatch.h"

#include <QHash>
#include <QObject>

class TQZStran;

namespace CorvBuilder {

class TBuilderDocument;

class TOleEdits : public QObject
{
    Q_OBJECT

public:
    // Installs itself as the handler of opened copies for its lifetime; the
    // handler before it comes back when it goes.
    explicit TOleEdits(TBuilderDocument &document, QObject *parent = nullptr);
    ~TOleEdits() override;

    // Watches the copy of `object` (on the document's test) at `path`.
    void Opened(TQZOle &object, const QString &path, const QByteArray &content);
    // Saves of the object's copies are no longer taken: its content was
    // replaced.
    void ForgetObject(const TQZStran *page, qint32 tag);
    // How many copies are watched.
    int Watched() const { return int(m_objects.size()); }

    TOleCopyWatch &Watch() { return m_watch; }

private:
    struct TTarget
    {
        const TQZStran *Page = nullptr;
        qint32 Tag = 0;
    };

    void Saved(int key, const QByteArray &content);
    void Unreadable(int key, const QString &reason);
    TQZOle *Target(int key) const;

    TBuilderDocument &m_document;
    TOleCopyWatch m_watch;
    QHash<int, TTarget> m_objects;
    TOleCopyOpened m_previous;
};

// The name of the edit that takes a saved copy into the test.
QString UpdateOleObjectEdit();

} // namespace CorvBuilder
