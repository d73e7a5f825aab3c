#include "QZSkoci.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

// The dialog has no help topic of its own: F1 shows the help contents.
constexpr int NoHelpContext = 0;
constexpr int PageListCharacters = 30;

} // namespace

TSkoci::TSkoci(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Move to a Certain Page"), NoHelpContext)
    , m_pages(new QComboBox(this))
{
    m_pages->setObjectName(QStringLiteral("PageList"));
    m_pages->setAccessibleName(QStringLiteral("Move to page"));
    m_pages->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_pages->setMinimumContentsLength(PageListCharacters);

    auto *label = new QLabel(QStringLiteral("Move to page:"), this);
    label->setBuddy(m_pages);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_pages, 1);

    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    FixSize();
}

void TSkoci::SetPages(const QStringList &names, int current)
{
    m_pages->clear();
    m_pages->addItems(names);
    m_pages->setCurrentIndex(current >= 0 && current < names.size() ? current : -1);
    m_pages->setFocus();
}

int TSkoci::SelectedIndex() const { return m_pages->currentIndex(); }

} // namespace CorvBuilder
