// "Test - Properties": on its first tab the test's title, the eight comments
// on the result, worst first, and what the player does after a wrong answer;
// on its second the settings the extension block holds (QZTestSettings.h).
#pragma once

#include "QZRecordDialog.h"
#include "QZTestSettings.h"

#include <QJsonObject>

#include <array>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTabWidget;

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

    // Keeps a copy of the test's settings object and shows the settings; a
    // caller loads them together with the record.
    void LoadSettings(const QJsonObject &extensions);
    // The kept object, changed only where the check boxes now differ from
    // what was loaded: keys the dialog does not know, and known keys left
    // alone, are given back as they were.
    QJsonObject StoreSettings() const;

private:
    void ShowRecord(const TTestRecord &record) override;
    void TakeRecord(TTestRecord &record) override;

    QLineEdit *m_title;
    std::array<QLineEdit *, CommentCount> m_comments;
    QButtonGroup *m_wrongAnswerMode;
    QTabWidget *m_tabs;
    QCheckBox *m_askStudentName;
    QCheckBox *m_recordAttempts;
    QJsonObject m_extensions;
    TTestSettings m_settings;
};

} // namespace CorvBuilder
