#include "QZOleEdits.h"

#include "QZBuilderDocument.h"
#include "QZInteraction.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZStream.h"
#include "QZUndoCommands.h"

#include <QFileInfo>

namespace CorvBuilder {

TOleEdits::TOleEdits(TBuilderDocument &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
    connect(&m_watch, &TOleCopyWatch::Saved, this, &TOleEdits::Saved);
    connect(&m_watch, &TOleCopyWatch::Unreadable, this, &TOleEdits::Unreadable);
    // The pages the copies belong to go with their test.
    connect(&m_document, &TBuilderDocument::TestOpenedOrClosed, this, [this] {
        m_watch.ForgetAll();
        m_objects.clear();
    });
    m_previous =
        SetOleCopyOpened([this](TQZOle &object, const QString &path, const QByteArray &content) {
            Opened(object, path, content);
        });
}

TOleEdits::~TOleEdits() { SetOleCopyOpened(std::move(m_previous)); }

void TOleEdits::Opened(TQZOle &object, const QString &path, const QByteArray &content)
{
    const TQZNaloga *test = m_document.Test();
    if (!test)
        return;
    for (int i = 0; i < test->PageCount(); ++i) {
        const TQZStran *page = test->Page(i);
        if (page->FindObject(object.Tag()) == &object) {
            m_objects.insert(m_watch.Watch(path, content), {page, object.Tag()});
            return;
        }
    }
}

void TOleEdits::ForgetObject(const TQZStran *page, qint32 tag)
{
    for (auto it = m_objects.begin(); it != m_objects.end();) {
        if (it->Page == page && it->Tag == tag) {
            m_watch.Forget(it.key());
            it = m_objects.erase(it);
        } else {
            ++it;
        }
    }
}

TQZOle *TOleEdits::Target(int key) const
{
    const auto found = m_objects.constFind(key);
    const TQZNaloga *test = m_document.Test();
    // An object deleted, or on a page taken out, takes no saves; they come
    // again once an undo puts it back.
    if (found == m_objects.cend() || !test || test->IndexOfPage(found->Page) < 0)
        return nullptr;
    auto *ole = dynamic_cast<TQZOle *>(found->Page->FindObject(found->Tag));
    return ole && ole->Object() ? ole : nullptr;
}

void TOleEdits::Saved(int key, const QByteArray &content)
{
    TQZOle *ole = Target(key);
    if (!ole)
        return;
    const TTarget target = m_objects.value(key);
    QByteArray stream;
    try {
        stream = OleStreamWithFile(*ole->Object(), content);
    } catch (const TQZFileError &error) {
        Unreadable(key, error.Cause());
        return;
    }
    if (stream == ole->Payload())
        return;
    TObjectSnapshot before = TObjectSnapshot::Of(*ole);
    TObjectSnapshot after = before;
    after.Payload = stream;
    auto *page = const_cast<TQZStran *>(target.Page);
    if (!m_document.ReplaceObject(page, target.Tag, after))
        return;
    m_document.Push(new TChangeObject(m_document, UpdateOleObjectEdit(), page, target.Tag,
                                      std::move(before), std::move(after)));
}

void TOleEdits::Unreadable(int key, const QString &reason)
{
    if (!Target(key))
        return;
    ShowWarning(QStringLiteral("The embedded file \"%1\" was saved, but cannot be taken into the "
                               "test: %2.")
                    .arg(QFileInfo(m_watch.Path(key)).fileName(), reason));
}

QString UpdateOleObjectEdit() { return QStringLiteral("Update OLE Object"); }

} // namespace CorvBuilder
