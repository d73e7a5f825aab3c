// The property dialog of the multimedia object, "Multimedia - Properties":
// the clip's file name, found with an open dialog, and the display's text.
// A clip chosen in the open test's folder or below it is named relative to
// that folder, with "/" separators, as the player looks it up; one chosen
// outside it, or for a test never saved, is named as chosen, and the author
// is told that the player will not open it.
#pragma once

#include "QZRecordDialog.h"

class QLineEdit;
class QPushButton;

namespace CorvBuilder {

class TMediaLastnosti : public TRecordDialog<TMediaRecord>
{
    Q_OBJECT

public:
    // The most characters a clip's file name keeps.
    static constexpr int MaxFileName = 100;

    explicit TMediaLastnosti(QWidget *parent = nullptr);

    // The open dialog's filter: the clip kinds, each pattern in either case.
    static QString ClipFilter();
    // The information shown when the chosen clip lies outside the test's
    // folder (both named as the file system shows them), and when the test
    // has never been saved.
    static QString OutsideNote(const QString &clip, const QString &folder);
    static QString NotSavedNote();

    // The file name is shown, and stored, without blanks around it; it is
    // stored cut to MaxFileName characters.
    QLineEdit *FileEdit() const { return m_file; }
    QPushButton *BrowseButton() const { return m_browse; }
    QLineEdit *CaptionEdit() const { return m_caption; }
    QLabel *WarningTitle() const { return m_warningTitle; }
    QLabel *WarningText() const { return m_warningText; }

private:
    void ShowRecord(const TMediaRecord &record) override;
    void TakeRecord(TMediaRecord &record) override;
    void BrowseClick();
    void Tell(const QString &note);

    QLineEdit *m_file;
    QPushButton *m_browse;
    QLineEdit *m_caption;
    QLabel *m_warningTitle;
    QLabel *m_warningText;
};

} // namespace CorvBuilder
