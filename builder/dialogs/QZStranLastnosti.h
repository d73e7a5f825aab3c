// "Page - Properties": a page's name, its colour and the pages it leads to
// after a right and after a wrong answer.
#pragma once

#include "QZDialogParts.h"
#include "QZRecords.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

class TStranLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    explicit TStranLastnosti(QWidget *parent = nullptr);

    // The target that means the next page.
    static QString ForwardTarget() { return QStringLiteral("(Forward)"); }

    // Empties both target lists and fills each with "(Forward)" followed by
    // the names of the test's pages in order. Call before Load.
    void SetPageNames(const QStringList &names);
    // Keeps a working copy of the whole page record; the object count and
    // the type list pass through it.
    void Load(const TPageRecord &record);
    // The working copy with the name, the targets and the colour as they now
    // stand. Texts are stored as typed or picked, cut to 255 characters,
    // without any check that a page of that name exists; a text left as it
    // was loaded keeps its bytes.
    TPageRecord Store();

    // The colour value the sample shows.
    quint32 Color() const { return m_color; }

private:
    void KolorClick();
    void ShowColor();

    TPageRecord m_record;
    quint32 m_color;
    QString m_loadedName;
    QString m_loadedCorrect;
    QString m_loadedWrong;
    QLineEdit *m_name;
    QComboBox *m_correct;
    QComboBox *m_wrong;
    QPushButton *m_colorButton;
    QFrame *m_sample;
};
