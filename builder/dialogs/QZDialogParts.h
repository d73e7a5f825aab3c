// Pieces shared by the builder's property dialogs: the dialog frame with OK,
// Cancel and Help, the "AaBbCc" sample panel, font and colour choice through
// the interaction layer, whole-number fields and record texts.
#pragma once

#include "QZRecords.h"
#include "QZTypes.h"

#include <QDialog>
#include <QFrame>
#include <QString>
#include <QStringList>

#include <optional>

class QButtonGroup;
class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace CorvBuilder {

// A fixed-size modal dialog centred on the screen with a help context: F1 and
// its Help button open the help topic of that number.
class TQZPropertyDialog : public QDialog
{
    Q_OBJECT

public:
    TQZPropertyDialog(QWidget *parent, const QString &caption, int helpContext);

    int HelpContext() const { return m_helpContext; }

protected:
    // OK, Cancel and Help; OK accepts, Cancel rejects, Help opens the topic.
    QDialogButtonBox *MakeButtons();
    // Fixes the dialog at the size its layout asks for; call once the
    // controls are in place.
    void FixSize();
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    int m_helpContext;
};

// Shows "AaBbCc" in a font record's face, size, style and colour on a
// background colour value.
class TQZSamplePanel : public QFrame
{
    Q_OBJECT

public:
    explicit TQZSamplePanel(QWidget *parent = nullptr);

    void SetFontRecord(const TFontRecord &font);
    const TFontRecord &FontRecord() const { return m_font; }
    void SetColor(quint32 color);
    quint32 Color() const { return m_color; }
    QLabel *Sample() const { return m_sample; }

private:
    QLabel *m_sample;
    TFontRecord m_font;
    quint32 m_color;
};

// The font dialog preset to a font record; on OK the record takes the chosen
// face, height and style (its colour and character set stay; a face that is
// the free stand-in of the record's face keeps the record's face name).
// False when cancelled, with the record unchanged.
bool ChooseFontRecord(QWidget *parent, TFontRecord &font);
// The colour dialog preset to a colour value; on OK the value is the chosen
// RGB colour.
bool ChooseColorValue(QWidget *parent, quint32 &color);

// A whole number typed in a field, blanks around it allowed (" 7 " is 7).
std::optional<qint32> WholeNumber(const QString &text);
// The message of a field that does not hold a whole number.
QString NotWholeNumberMessage(const QString &text);
// WholeNumber, or the message in an error box and nothing.
std::optional<qint32> ReadWholeNumber(const QString &text);

// Record texts: a text shown in a font is in the code page of the font's
// character set; other texts are in the default code page.
QString DecodeFieldText(const QByteArray &bytes, const TFontRecord *font);
QByteArray EncodeFieldText(const QString &text, const TFontRecord *font);
template<int N> QString FieldText(const TShortString<N> &field, const TFontRecord *font = nullptr)
{
    return DecodeFieldText(field.Bytes(), font);
}
// Stores a text, cut to the field's capacity; bytes past it keep what they
// held. Characters the code page cannot hold become "?".
template<int N>
void SetFieldText(TShortString<N> &field, const QString &text, const TFontRecord *font = nullptr)
{
    field.SetBytes(EncodeFieldText(text, font).left(N));
}

// Writes a text back into a record field only when it differs from what the
// field holds, so an unedited text whose bytes the code page does not map
// both ways comes back byte for byte.
template<int N>
void TakeFieldText(TShortString<N> &field, const QString &text, const TFontRecord *font = nullptr)
{
    if (FieldText(field, font) != text)
        SetFieldText(field, text, font);
}

// A titled frame of radio buttons for a one-byte choice: item k has id k in
// `group` (made as a child of the frame, exclusive).
QGroupBox *MakeChoiceGroup(QWidget *parent, const QString &title, const QStringList &items,
                           QButtonGroup *&group);
// The text line of the two text objects' dialogs, at most 255 characters,
// with its "&Text:" label (returned).
QLabel *PrepareTextLine(QWidget *parent, QLineEdit *text, int minimumWidth);
// Their "Alignment" frame: Left Justify, Right Justify, Center.
QGroupBox *MakeAlignmentGroup(QWidget *parent, QButtonGroup *&group);
// Checks the item of `value`; a value no item stands for (a damaged record)
// checks none.
void ShowChoice(QButtonGroup *group, int value);
// The checked item's id; `value` stays as it was when none is checked.
void TakeChoice(const QButtonGroup *group, quint8 &value);
// A boolean byte in a check box: any value but 0 checks it, and the byte is
// written only when the box changed, so a stored true other than 1 stays.
void ShowFlag(QCheckBox *box, quint8 value);
void TakeFlag(const QCheckBox *box, quint8 &value);

} // namespace CorvBuilder
