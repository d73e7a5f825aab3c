// "Page - Properties": a page's name, its colour and the pages it leads to
// after a right and after a wrong answer.
#pragma once

#include "QZFontColorPanel.h"
#include "QZRecordDialog.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;

namespace CorvBuilder {

// The object count and the type list pass through the dialog. Store takes the
// name, the targets and the colour as they now stand: texts as typed or
// picked, cut to 255 characters, without any check that a page of that name
// exists; a text left as it was loaded keeps its bytes.
class TStranLastnosti : public TRecordDialog<TPageRecord>
{
    Q_OBJECT

public:
    explicit TStranLastnosti(QWidget *parent = nullptr);

    // The target that means the next page.
    static QString ForwardTarget() { return QStringLiteral("(Forward)"); }

    // Empties both target lists and fills each with "(Forward)" followed by
    // the names of the test's pages in order. Call before Load.
    void SetPageNames(const QStringList &names);

    // The colour value the sample shows.
    quint32 Color() const { return m_look->Color(); }

private:
    void ShowRecord(const TPageRecord &record) override;
    void TakeRecord(TPageRecord &record) override;

    QLineEdit *m_name;
    QComboBox *m_correct;
    QComboBox *m_wrong;
    TQZFontColorPanel *m_look;
};

} // namespace CorvBuilder
