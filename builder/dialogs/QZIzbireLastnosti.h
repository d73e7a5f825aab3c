// The property dialog of the choices question, "Choices - Properties". It
// holds a live choices object as its preview: the author marks the right
// answers by checking the preview's own options, and every edit in the dialog
// is shown in the preview at once without losing those marks. Store gives the
// record as the preview holds it, with the object's own place and width.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

#include <array>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class TQZIzbire;

namespace CorvBuilder {

class TIzbireLastnosti : public TRecordDialog<TIzbireRecord, true>
{
    Q_OBJECT

public:
    explicit TIzbireLastnosti(QWidget *parent = nullptr);
    ~TIzbireLastnosti() override;

    // The preview object; its options carry the marks.
    TQZIzbire *Preview() const { return m_preview.get(); }
    QLineEdit *QuestionEdit() const { return m_question; }
    QComboBox *CountList() const { return m_count; }
    QCheckBox *SingleAnswerBox() const { return m_single; }
    QLineEdit *PointsEdit() const { return Points(); }
    // Choice edit 1 to 6.
    QLineEdit *ChoiceEdit(int number) const { return m_choices[size_t(number - 1)]; }
    QPushButton *QuestionFontButton() const { return m_look->FontButton(QuestionFont); }
    QPushButton *ChoiceFontButton() const { return m_look->FontButton(ChoiceFont); }
    QPushButton *ColorButton() const { return m_look->ColorButton(); }
    QScrollArea *PreviewArea() const { return m_previewArea; }

private:
    // The fonts of the panel.
    enum { QuestionFont, ChoiceFont };

    void ShowRecord(const TIzbireRecord &record) override;
    void TakeRecord(TIzbireRecord &record) override;
    void QuestionEdited(const QString &text);
    void ChoiceEdited(int number, const QString &text);
    void CountChosen(int index);
    void SingleAnswerClicked(bool checked);
    void FontChosen(int font);
    void ColorChosen();

    // The marks: the working copy's set with the preview's options shown
    // taking the place of their elements.
    TByteSet Marks() const;
    // Shows the working copy in the preview, keeping the marks.
    void RefreshPreview();
    void ShowChoiceEdits();
    void FitPreviewPanel();

    QLineEdit *m_question;
    QComboBox *m_count;
    QCheckBox *m_single;
    std::array<QLineEdit *, 6> m_choices{};
    TQZFontColorPanel *m_look;
    QScrollArea *m_previewArea;
    QWidget *m_previewPanel;
    std::unique_ptr<TQZIzbire> m_preview;
};

} // namespace CorvBuilder
