// The property dialog of the choices question, "Choices - Properties". It
// holds a live choices object as its preview: the author marks the right
// answers by checking the preview's own options, and every edit in the dialog
// is shown in the preview at once without losing those marks.
#pragma once

#include "QZDialogParts.h"

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class TQZIzbire;

class TIzbireLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TIzbireLastnosti(QWidget *parent = nullptr);
    ~TIzbireLastnosti() override;

    // Takes a copy of a record (pixels) and sets every control and the
    // preview from it.
    void Load(const TIzbireRecord &record);
    // The whole record as edited. Nothing, after an error box, when the
    // points text is not a whole number; the working copy then stays as it
    // was.
    std::optional<TIzbireRecord> Store();

    // OK with a points text that is not a whole number shows the error and
    // keeps the dialog open.
    void accept() override;

    // The preview object; its options carry the marks.
    TQZIzbire *Preview() const { return m_preview.get(); }
    QLineEdit *QuestionEdit() const { return m_question; }
    QComboBox *CountList() const { return m_count; }
    QCheckBox *SingleAnswerBox() const { return m_single; }
    QLineEdit *PointsEdit() const { return m_points; }
    // Choice edit 1 to 6.
    QLineEdit *ChoiceEdit(int number) const { return m_choices[size_t(number - 1)]; }
    QPushButton *QuestionFontButton() const { return m_questionFont; }
    QPushButton *ChoiceFontButton() const { return m_choiceFont; }
    QPushButton *ColorButton() const { return m_color; }
    QScrollArea *PreviewArea() const { return m_previewArea; }

private:
    void QuestionEdited(const QString &text);
    void ChoiceEdited(int number, const QString &text);
    void CountChosen(int index);
    void SingleAnswerClicked(bool checked);
    void QuestionFontClick();
    void ChoiceFontClick();
    void ColorClick();

    // The marks: the working copy's set with the preview's options shown
    // taking the place of their elements.
    TByteSet Marks() const;
    // Shows the working copy in the preview, keeping the marks.
    void RefreshPreview();
    void ShowChoiceEdits();
    void FitPreviewPanel();

    TIzbireRecord m_record;
    QLineEdit *m_question;
    QComboBox *m_count;
    QCheckBox *m_single;
    QLineEdit *m_points;
    std::array<QLineEdit *, 6> m_choices{};
    QPushButton *m_questionFont;
    QPushButton *m_choiceFont;
    QPushButton *m_color;
    QScrollArea *m_previewArea;
    QWidget *m_previewPanel;
    std::unique_ptr<TQZIzbire> m_preview;
};
