// "Insert Object": what fills an OLE frame, a new empty document of one of
// the kinds the desktop's office programs edit, or a file the author picks.
#pragma once

#include "QZDialogParts.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace CorvBuilder {

struct TNewDocument;

class TInsertObjectDialog : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TInsertObjectDialog(QWidget *parent = nullptr);

    // Starts over: "Create new" with the first kind, no file.
    void Reset();

    bool CreatesNew() const;
    // The kind to create; null for "From file".
    const TNewDocument *NewDocument() const;
    // The file to embed; empty for "Create new".
    QString FileName() const;

private:
    void Browse();
    void UpdateControls();

    QRadioButton *m_createNew;
    QRadioButton *m_fromFile;
    QListWidget *m_kinds;
    QLineEdit *m_file;
    QPushButton *m_browse;
    QPushButton *m_ok = nullptr;
};

} // namespace CorvBuilder
