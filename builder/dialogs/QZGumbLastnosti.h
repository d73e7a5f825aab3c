// The property dialog of the button, "Button - Properties": caption, kind,
// the page a "Page" button goes to, font and frame colour.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace CorvBuilder {

// Load selects in the page list the page TargetPage names (compared without
// blanks around, as the button finds its page); a target that names no page
// is listed first, as it stands, so that it comes back unchanged unless the
// author picks a page. Store takes the selected name; a kind byte no item
// stands for stays as loaded.
class TGumbLastnosti : public TRecordDialog<TGumbRecord>
{
    Q_OBJECT

public:
    // The kind the page list belongs to.
    static constexpr int PageKind = 3;

    explicit TGumbLastnosti(QWidget *parent = nullptr);

    // The names of the test's pages, in order, for the page list; call before
    // Load.
    void SetPageNames(const QStringList &names);

    QLineEdit *CaptionEdit() const { return m_caption; }
    // Items 0 "Forward", 1 "Back", 2 "Confirm the answer", 3 "Page", 4 "Exit".
    QComboBox *KindList() const { return m_kind; }
    QComboBox *PageList() const { return m_pages; }
    QLabel *PageLabel() const { return m_pageLabel; }
    QPushButton *FontButton() const { return m_look->FontButton(); }
    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    TQZSamplePanel *Sample() const { return m_look->Sample(); }

private:
    void ShowRecord(const TGumbRecord &record) override;
    void TakeRecord(TGumbRecord &record) override;
    void KindChange();

    QStringList m_pageNames;
    // The page list's item that Load selected for TargetPage.
    int m_loadedPage = -1;
    QLineEdit *m_caption;
    QComboBox *m_kind;
    QLabel *m_pageLabel;
    QComboBox *m_pages;
    TQZFontColorPanel *m_look;
};

} // namespace CorvBuilder
