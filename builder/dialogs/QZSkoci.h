// "Move to a Certain Page": picks one page of the test from a list of their
// names.
#pragma once

#include "QZDialogParts.h"

#include <QStringList>

class QComboBox;

namespace CorvBuilder {

class TSkoci : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TSkoci(QWidget *parent = nullptr);

    // Fills the list with the page names, in test order, and selects the
    // page at `current`.
    void SetPages(const QStringList &names, int current);
    // Index of the picked page; -1 when the list is empty.
    int SelectedIndex() const;

private:
    QComboBox *m_pages;
};

} // namespace CorvBuilder
