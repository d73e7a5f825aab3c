// "Test - Properties": the test's title, the eight comments on the result,
// worst first, and what the player does after a wrong answer.
#pragma once

#include "QZRecordDialog.h"

#include <array>

class QButtonGroup;
class QLineEdit;

namespace CorvBuilder {

// The fields the dialog does not show (banner, version, edit password, page
// count) pass through it. Store takes the title, the comments and the
// wrong-answer mode as they now stand: texts cut to 255 characters, a text
// left as it was loaded keeping its bytes, and a mode no item stands for
// staying as loaded.
class TNalogaLastnosti : public TRecordDialog<TTestRecord>
{
    Q_OBJECT

public:
    static constexpr int CommentCount = 8;
    static constexpr int WrongAnswerModeCount = 3;

    explicit TNalogaLastnosti(QWidget *parent = nullptr);

private:
    void ShowRecord(const TTestRecord &record) override;
    void TakeRecord(TTestRecord &record) override;

    QLineEdit *m_title;
    std::array<QLineEdit *, CommentCount> m_comments;
    QButtonGroup *m_wrongAnswerMode;
};

} // namespace CorvBuilder
