#include "QZDaNeLastnosti.h"

#include "QZFonts.h"
#include "QZRecordFields.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int HelpContextAlternative = 90;
constexpr int StringCapacity = 255;

// A radio item showing an answer text as it is typed: "&" is no mnemonic.
void ShowAnswerText(QRadioButton *item, const QString &text, const QString &emptyName)
{
    item->setText(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
    item->setAccessibleName(text.isEmpty() ? emptyName : text);
}

QLineEdit *MakeTextEdit(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessibleName);
    edit->setMaxLength(StringCapacity);
    edit->setMinimumWidth(260);
    return edit;
}

} // namespace

TDaNeLastnosti::TDaNeLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Alternative Question - Properties"),
                    HelpContextAlternative, RecordFromBytes<TDaNeRecord>(NewObjectRecord(ObjDaNe)))
{
    auto *layout = new QVBoxLayout(this);

    auto *texts = new QGridLayout;
    auto *textLabel = new QLabel(QStringLiteral("Text:"), this);
    m_firstText = MakeTextEdit(this, QStringLiteral("FirstTextEdit"),
                               QStringLiteral("Text of the first answer"));
    m_secondText = MakeTextEdit(this, QStringLiteral("SecondTextEdit"),
                                QStringLiteral("Text of the second answer"));
    textLabel->setBuddy(m_firstText);
    texts->addWidget(textLabel, 0, 0);
    texts->addWidget(m_firstText, 0, 1);
    texts->addWidget(m_secondText, 1, 1);
    layout->addLayout(texts);

    auto *rightBox = new QGroupBox(QStringLiteral("Right answer"), this);
    rightBox->setObjectName(QStringLiteral("RightAnswerBox"));
    auto *rightLayout = new QVBoxLayout(rightBox);
    m_firstItem = new QRadioButton(rightBox);
    m_firstItem->setObjectName(QStringLiteral("FirstItem"));
    m_secondItem = new QRadioButton(rightBox);
    m_secondItem->setObjectName(QStringLiteral("SecondItem"));
    auto *items = new QButtonGroup(this);
    items->addButton(m_firstItem);
    items->addButton(m_secondItem);
    rightLayout->addWidget(m_firstItem);
    rightLayout->addWidget(m_secondItem);
    layout->addWidget(rightBox);

    auto *lower = new QHBoxLayout;
    auto *pointsLabel = new QLabel(QStringLiteral("Points:"), this);
    QLineEdit *points = MakePointsEdit();
    pointsLabel->setBuddy(points);
    m_look = new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Row, this);
    QPushButton *color = m_look->AddColorButton(QStringLiteral("Color..."));
    color->setAutoDefault(false);
    m_look->AddSwatch(QStringLiteral("Color sample"))->setFixedSize(48, 24);
    lower->addWidget(pointsLabel);
    lower->addWidget(points);
    lower->addStretch();
    lower->addWidget(m_look);
    layout->addLayout(lower);

    layout->addWidget(MakeButtons());

    // The items always read as the texts do, also while they are typed.
    connect(m_firstText, &QLineEdit::textChanged, this, [this](const QString &text) {
        ShowAnswerText(m_firstItem, text, QStringLiteral("First answer"));
    });
    connect(m_secondText, &QLineEdit::textChanged, this, [this](const QString &text) {
        ShowAnswerText(m_secondItem, text, QStringLiteral("Second answer"));
    });

    setTabOrder(m_firstText, m_secondText);
    setTabOrder(m_secondText, m_firstItem);
    setTabOrder(m_firstItem, m_secondItem);
    setTabOrder(m_secondItem, points);
    setTabOrder(points, color);

    Load(Kept());
    FixSize();
}

void TDaNeLastnosti::ShowRecord(const TDaNeRecord &record)
{
    m_firstText->setText(FieldText(record.FirstText));
    m_secondText->setText(FieldText(record.SecondText));
    if (record.FirstIsCorrect)
        m_firstItem->setChecked(true);
    else
        m_secondItem->setChecked(true);
    m_look->SetColor(record.Color);
    m_firstText->setFocus();
}

void TDaNeLastnosti::TakeRecord(TDaNeRecord &record)
{
    TakeFieldText(record.FirstText, m_firstText->text());
    TakeFieldText(record.SecondText, m_secondText->text());
    if ((record.FirstIsCorrect != 0) != m_firstItem->isChecked())
        record.FirstIsCorrect = m_firstItem->isChecked() ? 1 : 0;
    record.Color = m_look->Color();
}

} // namespace CorvBuilder
