#include "QZGumbLastnosti.h"

#include "QZNaloga.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace CorvBuilder {

TGumbLastnosti::TGumbLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Button - Properties"), 110, ZeroRecord<TGumbRecord>())
    , m_caption(new QLineEdit(this))
    , m_kind(new QComboBox(this))
    , m_pageLabel(new QLabel(QStringLiteral("&Move to page:"), this))
    , m_pages(new QComboBox(this))
    , m_look(new TQZFontColorPanel(TQZFontColorPanel::TArrangement::Column, this))
{
    m_look->AddFontButton(QStringLiteral("&Font..."));
    m_look->AddColorButton(QStringLiteral("C&olor..."));
    m_look->AddSample();

    auto *captionLabel = new QLabel(QStringLiteral("&Caption:"), this);
    captionLabel->setBuddy(m_caption);
    m_caption->setObjectName(QStringLiteral("CaptionEdit"));
    m_caption->setAccessibleName(QStringLiteral("Caption"));
    m_caption->setMaxLength(255);
    m_caption->setMinimumWidth(240);

    auto *kindLabel = new QLabel(QStringLiteral("T&ype:"), this);
    kindLabel->setBuddy(m_kind);
    m_kind->setObjectName(QStringLiteral("KindList"));
    m_kind->setAccessibleName(QStringLiteral("Type"));
    m_kind->addItems({QStringLiteral("Forward"), QStringLiteral("Back"),
                      QStringLiteral("Confirm the answer"), QStringLiteral("Page"),
                      QStringLiteral("Exit")});
    connect(m_kind, &QComboBox::currentIndexChanged, this, &TGumbLastnosti::KindChange);

    m_pageLabel->setBuddy(m_pages);
    m_pages->setObjectName(QStringLiteral("PageList"));
    m_pages->setAccessibleName(QStringLiteral("Move to page"));
    m_pages->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pages->setMinimumContentsLength(24);
    // The list comes and goes with the kind; the dialog keeps its size.
    for (QWidget *widget : {static_cast<QWidget *>(m_pageLabel), static_cast<QWidget *>(m_pages)}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }

    auto *grid = new QGridLayout(this);
    grid->addWidget(captionLabel, 0, 0);
    grid->addWidget(m_caption, 0, 1);
    grid->addWidget(kindLabel, 1, 0);
    grid->addWidget(m_kind, 1, 1);
    grid->addWidget(m_pageLabel, 2, 0);
    grid->addWidget(m_pages, 2, 1);
    grid->addWidget(m_look, 0, 2, 4, 1);
    grid->setRowStretch(3, 1);
    grid->addWidget(MakeButtons(), 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    FixSize();
}

void TGumbLastnosti::SetPageNames(const QStringList &names) { m_pageNames = names; }

void TGumbLastnosti::ShowRecord(const TGumbRecord &record)
{
    m_caption->setText(FieldText(record.Caption, &record.Font));

    const QString target = FieldText(record.TargetPage);
    const QString wanted = TrimmedName(target);
    m_pages->clear();
    m_pages->addItems(m_pageNames);
    m_loadedPage = -1;
    for (int i = 0; i < m_pageNames.size() && m_loadedPage < 0; ++i)
        if (TrimmedName(m_pageNames.at(i)) == wanted)
            m_loadedPage = i;
    if (m_loadedPage < 0) {
        m_pages->insertItem(0, target);
        m_pages->setItemData(0, QStringLiteral("No page of the test has this name"),
                             Qt::ToolTipRole);
        m_loadedPage = 0;
    }
    m_pages->setCurrentIndex(m_loadedPage);

    const int kind = record.ButtonKind;
    m_kind->setCurrentIndex(kind < m_kind->count() ? kind : -1);
    KindChange();

    m_look->SetFontRecord(record.Font);
    m_look->SetColor(record.Color);
}

void TGumbLastnosti::TakeRecord(TGumbRecord &record)
{
    TakeFieldText(record.Caption, m_caption->text(), &record.Font);
    if (m_kind->currentIndex() >= 0)
        record.ButtonKind = quint8(m_kind->currentIndex());
    // The item Load selected stands for the stored bytes themselves.
    if (m_pages->currentIndex() >= 0 && m_pages->currentIndex() != m_loadedPage)
        SetFieldText(record.TargetPage, m_pages->currentText());
    record.Font = m_look->FontRecord();
    record.Color = m_look->Color();
}

void TGumbLastnosti::KindChange()
{
    const bool page = m_kind->currentIndex() == PageKind;
    m_pageLabel->setVisible(page);
    m_pages->setVisible(page);
}

} // namespace CorvBuilder
