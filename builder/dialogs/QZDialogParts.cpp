#include "QZDialogParts.h"

#include "QZCodePage.h"
#include "QZFont.h"
#include "QZFonts.h"
#include "QZHelp.h"
#include "QZInteraction.h"
#include "QZRecordFields.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace CorvBuilder {

TQZPropertyDialog::TQZPropertyDialog(QWidget *parent, const QString &caption, int helpContext)
    : QDialog(parent)
    , m_helpContext(helpContext)
{
    setWindowTitle(caption);
    setModal(true);
}

QDialogButtonBox *TQZPropertyDialog::MakeButtons()
{
    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { Help().ShowTopic(m_helpContext); });
    return buttons;
}

void TQZPropertyDialog::FixSize()
{
    adjustSize();
    setFixedSize(sizeHint().expandedTo(size()));
}

void TQZPropertyDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        Help().ShowTopic(m_helpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TQZPropertyDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TQZSamplePanel::TQZSamplePanel(QWidget *parent)
    : QFrame(parent)
    , m_sample(new QLabel(QStringLiteral("AaBbCc"), this))
    , m_font(WindowFontRecord())
    , m_color(WindowColor)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumSize(120, 60);
    m_sample->setAlignment(Qt::AlignCenter);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_sample);
    setAccessibleName(QStringLiteral("Sample"));
    SetFontRecord(m_font);
    SetColor(m_color);
}

void TQZSamplePanel::SetFontRecord(const TFontRecord &font)
{
    m_font = font;
    m_sample->setFont(FaceFont(font));
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::WindowText, FaceColor(font.Color));
    m_sample->setPalette(palette);
}

void TQZSamplePanel::SetColor(quint32 color)
{
    m_color = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, FaceColor(color));
    setPalette(palette);
    setAutoFillBackground(true);
}

bool ChooseFontRecord(QWidget *parent, TFontRecord &font)
{
    QFont chosen = FaceFont(font);
    if (!Interaction().ChooseFont(parent, chosen))
        return false;
    const QString oldFace = DecodeFieldText(font.Name.Bytes(), &font).trimmed();
    TFontRecord record = FontToRecord(chosen, font.Color, font.Charset);
    if (chosen.family() == FreeFamilyOf(oldFace))
        record.Name = font.Name;
    font = record;
    return true;
}

bool ChooseColorValue(QWidget *parent, quint32 &color)
{
    QColor chosen = FaceColor(color);
    if (!Interaction().ChooseColor(parent, chosen))
        return false;
    color = ValueFromColor(chosen);
    return true;
}

std::optional<qint32> WholeNumber(const QString &text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QString NotWholeNumberMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

std::optional<qint32> ReadWholeNumber(const QString &text)
{
    const auto value = WholeNumber(text);
    if (!value)
        ShowErrorMessage(NotWholeNumberMessage(text));
    return value;
}

QString DecodeFieldText(const QByteArray &bytes, const TFontRecord *font)
{
    return font ? DecodeText(bytes, CodePageOfCharset(font->Charset)) : DecodeDefault(bytes);
}

QByteArray EncodeFieldText(const QString &text, const TFontRecord *font)
{
    return font ? EncodeText(text, CodePageOfCharset(font->Charset)) : EncodeDefault(text);
}

QLabel *PrepareTextLine(QWidget *parent, QLineEdit *text, int minimumWidth)
{
    auto *label = new QLabel(QStringLiteral("&Text:"), parent);
    label->setBuddy(text);
    text->setObjectName(QStringLiteral("TextEdit"));
    text->setAccessibleName(QStringLiteral("Text"));
    text->setMaxLength(255);
    text->setMinimumWidth(minimumWidth);
    return label;
}

QGroupBox *MakeAlignmentGroup(QWidget *parent, QButtonGroup *&group)
{
    QGroupBox *alignment = MakeChoiceGroup(
        parent, QStringLiteral("Alignment"),
        {QStringLiteral("Left Justify"), QStringLiteral("Right Justify"), QStringLiteral("Center")},
        group);
    alignment->setObjectName(QStringLiteral("AlignmentGroup"));
    return alignment;
}

QGroupBox *MakeChoiceGroup(QWidget *parent, const QString &title, const QStringList &items,
                           QButtonGroup *&group)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    for (int k = 0; k < items.size(); ++k) {
        auto *item = new QRadioButton(items.at(k), box);
        group->addButton(item, k);
        layout->addWidget(item);
    }
    return box;
}

void ShowChoice(QButtonGroup *group, int value)
{
    if (QAbstractButton *item = group->button(value)) {
        item->setChecked(true);
        return;
    }
    // An exclusive group keeps one button down; let go of it to clear all.
    group->setExclusive(false);
    for (QAbstractButton *item : group->buttons())
        item->setChecked(false);
    group->setExclusive(true);
}

void TakeChoice(const QButtonGroup *group, quint8 &value)
{
    const int checked = group->checkedId();
    if (checked >= 0)
        value = quint8(checked);
}

void ShowFlag(QCheckBox *box, quint8 value) { box->setChecked(value != 0); }

void TakeFlag(const QCheckBox *box, quint8 &value)
{
    if (box->isChecked() != (value != 0))
        value = box->isChecked() ? 1 : 0;
}

} // namespace CorvBuilder
