#include "QZSavePassword.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

// The dialog has no help topic of its own: F1 shows the help contents.
constexpr int NoHelpContext = 0;
constexpr int PasswordWidth = 220;
const QColor TipColor(0x00, 0x00, 0x80); // navy

} // namespace

void MakePasswordEdit(QLineEdit *edit)
{
    edit->setEchoMode(QLineEdit::Password);
    // The style's own mask character differs between styles.
    edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    edit->setMinimumWidth(PasswordWidth);
}

TSavePassword::TSavePassword(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Password for Editing"), NoHelpContext)
    , m_password(new QLineEdit(this))
    , m_retyped(new QLineEdit(this))
{
    setObjectName(QStringLiteral("SavePassword"));
    m_password->setObjectName(QStringLiteral("PasswordEdit"));
    m_password->setAccessibleName(QStringLiteral("Enter password"));
    m_retyped->setObjectName(QStringLiteral("RetypedEdit"));
    m_retyped->setAccessibleName(QStringLiteral("Retype password"));
    MakePasswordEdit(m_password);
    MakePasswordEdit(m_retyped);

    auto *grid = new QGridLayout;
    auto *passwordLabel = new QLabel(QStringLiteral("Enter password:"), this);
    passwordLabel->setBuddy(m_password);
    auto *retypedLabel = new QLabel(QStringLiteral("Retype password:"), this);
    retypedLabel->setBuddy(m_retyped);
    grid->addWidget(passwordLabel, 0, 0);
    grid->addWidget(m_password, 0, 1);
    grid->addWidget(retypedLabel, 1, 0);
    grid->addWidget(m_retyped, 1, 1);

    auto *tip = new QLabel(
        QStringLiteral("TIP: Use a blank password to remove the password from the test."), this);
    tip->setObjectName(QStringLiteral("Tip"));
    QPalette palette = tip->palette();
    palette.setColor(QPalette::WindowText, TipColor);
    tip->setPalette(palette);

    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(tip);
    layout->addWidget(buttons);
    FixSize();
}

void TSavePassword::Clear()
{
    m_password->clear();
    m_retyped->clear();
}

QString TSavePassword::Password() const { return m_password->text(); }

QString TSavePassword::Retyped() const { return m_retyped->text(); }

void TSavePassword::showEvent(QShowEvent *event)
{
    TQZPropertyDialog::showEvent(event);
    m_password->setFocus();
}

} // namespace CorvBuilder
