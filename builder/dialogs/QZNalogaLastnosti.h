// "Test - Properties": the test's title, the eight comments on the result,
// worst first, and what the player does after a wrong answer.
#pragma once

#include "QZDialogParts.h"
#include "QZRecords.h"

#include <QString>

#include <array>

class QButtonGroup;
class QLineEdit;

class TNalogaLastnosti : public TQZPropertyDialog
{
    Q_OBJECT

public:
    static constexpr int CommentCount = 8;
    static constexpr int WrongAnswerModeCount = 3;

    explicit TNalogaLastnosti(QWidget *parent = nullptr);

    // Keeps a working copy of the whole header; the fields the dialog does not
    // show (banner, version, edit password, page count) pass through it.
    void Load(const TTestRecord &record);
    // The working copy with the title, the comments and the wrong-answer mode
    // as they now stand. Texts are cut to 255 characters; a text left as it was
    // loaded keeps its bytes, and a mode no item stands for stays as loaded.
    TTestRecord Store();

private:
    TTestRecord m_record;
    QString m_loadedTitle;
    std::array<QString, CommentCount> m_loadedComments;
    QLineEdit *m_title;
    std::array<QLineEdit *, CommentCount> m_comments;
    QButtonGroup *m_wrongAnswerMode;
};
