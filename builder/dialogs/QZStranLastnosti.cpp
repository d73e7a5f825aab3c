#include "QZStranLastnosti.h"

#include "QZRecordFields.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int HelpContextPage = 120;
constexpr int TextWidth = 360;
// Long page names scroll in the boxes instead of widening the dialog.
constexpr int TargetBoxCharacters = 30;

QComboBox *NewTargetBox(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    // A list to pick from that also takes a typed page name; typing adds
    // nothing to the list.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(TargetBoxCharacters);
    box->setMinimumWidth(TextWidth);
    return box;
}

// A target that is one of the list's items is selected, so that the arrow
// keys go on from it; any other text only stands in the box.
void ShowTarget(QComboBox *box, const QString &target)
{
    box->setCurrentIndex(box->findText(target, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box->setEditText(target);
}

} // namespace

TStranLastnosti::TStranLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Page - Properties"), HelpContextPage,
                    ZeroRecord<TPageRecord>())
    , m_name(new QLineEdit(this))
    , m_correct(NewTargetBox(this, QStringLiteral("CorrectTargetBox"),
                             QStringLiteral("If the answer is correct move to")))
    , m_wrong(NewTargetBox(this, QStringLiteral("WrongTargetBox"),
                           QStringLiteral("If the answer is incorrect move to")))
    , m_look(new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Row, this))
{
    m_name->setObjectName(QStringLiteral("PageNameEdit"));
    m_name->setAccessibleName(QStringLiteral("Page name"));
    m_name->setMinimumWidth(TextWidth);
    QPushButton *colorButton = m_look->AddColorButton(QStringLiteral("Color..."));
    colorButton->setAutoDefault(false);
    m_look->AddSwatch(QStringLiteral("Page color"))
        ->setFixedSize(48, colorButton->sizeHint().height());

    auto *grid = new QGridLayout;
    const auto addRow = [this, grid](int row, const QString &text, QWidget *field) {
        auto *label = new QLabel(text, this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    addRow(0, QStringLiteral("Page name:"), m_name);
    addRow(1, QStringLiteral("If the answer is correct move to:"), m_correct);
    addRow(2, QStringLiteral("If the answer is incorrect move to:"), m_wrong);

    grid->addWidget(m_look, 3, 1, Qt::AlignLeft);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MakeButtons());

    SetPageNames({});
    FixSize();
}

void TStranLastnosti::SetPageNames(const QStringList &names)
{
    const QStringList items = QStringList{ForwardTarget()} + names;
    for (QComboBox *box : {m_correct, m_wrong}) {
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(-1);
    }
}

void TStranLastnosti::ShowRecord(const TPageRecord &record)
{
    m_name->setText(FieldText(record.PageName));
    ShowTarget(m_correct, FieldText(record.CorrectTarget));
    ShowTarget(m_wrong, FieldText(record.WrongTarget));
    m_look->SetColor(record.PageColor);
    m_name->setFocus();
}

void TStranLastnosti::TakeRecord(TPageRecord &record)
{
    TakeFieldText(record.PageName, m_name->text());
    TakeFieldText(record.CorrectTarget, m_correct->currentText());
    TakeFieldText(record.WrongTarget, m_wrong->currentText());
    record.PageColor = m_look->Color();
}

} // namespace CorvBuilder
