#include "QZOpenPassword.h"

#include "QZSavePassword.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

// The dialog has no help topic of its own: F1 shows the help contents.
constexpr int NoHelpContext = 0;

} // namespace

TOpenPassword::TOpenPassword(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Password for Editing"), NoHelpContext)
    , m_password(new QLineEdit(this))
{
    setObjectName(QStringLiteral("OpenPassword"));
    m_password->setObjectName(QStringLiteral("PasswordEdit"));
    m_password->setAccessibleName(QStringLiteral("Enter password"));
    MakePasswordEdit(m_password);

    auto *label = new QLabel(QStringLiteral("Enter password:"), this);
    label->setBuddy(m_password);
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_password, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Horizontal, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    FixSize();
}

void TOpenPassword::Clear() { m_password->clear(); }

QString TOpenPassword::Password() const { return m_password->text(); }

void TOpenPassword::reject() { accept(); }

void TOpenPassword::showEvent(QShowEvent *event)
{
    TQZPropertyDialog::showEvent(event);
    m_password->setFocus();
}

} // namespace CorvBuilder
