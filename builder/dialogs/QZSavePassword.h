// "Password for Editing" when saving: the new edit password, typed twice.
// The caller compares the two texts and stores the password; an empty
// password removes it from the test.
#pragma once

#include "QZDialogParts.h"

#include <QString>

class QLineEdit;

namespace CorvBuilder {

class TSavePassword : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TSavePassword(QWidget *parent = nullptr);

    // Empties both fields.
    void Clear();
    QString Password() const;
    QString Retyped() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_password;
    QLineEdit *m_retyped;
};

// Makes an edit show every typed character as "*".
void MakePasswordEdit(QLineEdit *edit);

} // namespace CorvBuilder
