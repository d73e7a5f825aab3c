#include "QZStranLastnosti.h"

#include "QZFonts.h"
#include "QZRecordFields.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

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
    : TQZPropertyDialog(parent, QStringLiteral("Page - Properties"), HelpContextPage)
    , m_record(ZeroRecord<TPageRecord>())
    , m_color(WindowColor)
    , m_name(new QLineEdit(this))
    , m_correct(NewTargetBox(this, QStringLiteral("CorrectTargetBox"),
                             QStringLiteral("If the answer is correct move to")))
    , m_wrong(NewTargetBox(this, QStringLiteral("WrongTargetBox"),
                           QStringLiteral("If the answer is incorrect move to")))
    , m_colorButton(new QPushButton(QStringLiteral("Color..."), this))
    , m_sample(new QFrame(this))
{
    m_name->setObjectName(QStringLiteral("PageNameEdit"));
    m_name->setAccessibleName(QStringLiteral("Page name"));
    m_name->setMinimumWidth(TextWidth);
    m_colorButton->setObjectName(QStringLiteral("ColorButton"));
    m_colorButton->setAutoDefault(false);
    m_sample->setObjectName(QStringLiteral("ColorSample"));
    m_sample->setAccessibleName(QStringLiteral("Page color"));
    m_sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_sample->setFixedSize(48, m_colorButton->sizeHint().height());
    m_sample->setAutoFillBackground(true);

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

    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(m_colorButton);
    colorRow->addWidget(m_sample);
    colorRow->addStretch();
    grid->addLayout(colorRow, 3, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(MakeButtons());
    connect(m_colorButton, &QPushButton::clicked, this, &TStranLastnosti::KolorClick);

    SetPageNames({});
    ShowColor();
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

void TStranLastnosti::Load(const TPageRecord &record)
{
    m_record = record;
    m_color = record.PageColor;
    m_loadedName = FieldText(record.PageName);
    m_loadedCorrect = FieldText(record.CorrectTarget);
    m_loadedWrong = FieldText(record.WrongTarget);
    m_name->setText(m_loadedName);
    ShowTarget(m_correct, m_loadedCorrect);
    ShowTarget(m_wrong, m_loadedWrong);
    ShowColor();
    m_name->setFocus();
}

TPageRecord TStranLastnosti::Store()
{
    // A field the author left as it was loaded keeps its bytes, also those
    // no code page character stands for.
    const auto store = [](auto &field, const QString &text, const QString &loaded) {
        if (text != loaded)
            SetFieldText(field, text);
    };
    store(m_record.PageName, m_name->text(), m_loadedName);
    store(m_record.CorrectTarget, m_correct->currentText(), m_loadedCorrect);
    store(m_record.WrongTarget, m_wrong->currentText(), m_loadedWrong);
    m_record.PageColor = m_color;
    return m_record;
}

void TStranLastnosti::KolorClick()
{
    if (ChooseColorValue(this, m_color))
        ShowColor();
}

void TStranLastnosti::ShowColor()
{
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Window, FaceColor(m_color));
    m_sample->setPalette(palette);
}
