// The property dialog of the button, "Button - Properties": caption, kind,
// the page a "Page" button goes to, font and frame colour.
#pragma once

#include "QZDialogParts.h"

#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TGumbLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    // The kind the page list belongs to.
    static constexpr int PageKind = 3;

    explicit TGumbLastnosti(QWidget *parent = nullptr);

    // The names of the test's pages, in order, for the page list; call before
    // Load.
    void SetPageNames(const QStringList &names);
    // Takes a copy of a record (pixels) and sets every control from it. The
    // page list selects the page TargetPage names (compared without blanks
    // around, as the button finds its page). A target that names no page is
    // listed first, as it stands, so that it comes back unchanged unless the
    // author picks a page.
    void Load(const TGumbRecord &record);
    // The loaded record with the controls' values; TargetPage is the selected
    // name, and a kind byte no item stands for stays as loaded.
    TGumbRecord Store();

    QLineEdit *CaptionEdit() const { return m_caption; }
    // Items 0 "Forward", 1 "Back", 2 "Confirm the answer", 3 "Page", 4 "Exit".
    QComboBox *KindList() const { return m_kind; }
    QComboBox *PageList() const { return m_pages; }
    QLabel *PageLabel() const { return m_pageLabel; }
    QPushButton *FontButton() const { return m_fontButton; }
    QPushButton *ColorButton() const { return m_colorButton; }
    TQZSamplePanel *Sample() const { return m_sample; }

private:
    void KindChange();
    void FontClick();
    void ColorClick();

    TGumbRecord m_record;
    QStringList m_pageNames;
    // The page list's item that Load selected for TargetPage.
    int m_loadedPage = -1;
    QLineEdit *m_caption;
    QComboBox *m_kind;
    QLabel *m_pageLabel;
    QComboBox *m_pages;
    QPushButton *m_fontButton;
    QPushButton *m_colorButton;
    TQZSamplePanel *m_sample;
};
