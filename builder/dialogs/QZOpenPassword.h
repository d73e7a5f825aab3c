// "Password for Editing" when opening: asks the edit password of the test
// being opened. It has no Cancel: however it is closed, the typed text goes
// to the caller, which checks it.
#pragma once

#include "QZDialogParts.h"

#include <QString>

class QLineEdit;

namespace CorvBuilder {

class TOpenPassword : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TOpenPassword(QWidget *parent = nullptr);

    // Empties the field.
    void Clear();
    QString Password() const;

    // Escape and the window's close button end the dialog as OK does.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_password;
};

} // namespace CorvBuilder
