#include "QZNalogaLastnosti.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int HelpContextTest = 130;
// Room for a comment of about sixty characters without scrolling.
constexpr int TextEditWidth = 520;

} // namespace

TNalogaLastnosti::TNalogaLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Test - Properties"), HelpContextTest,
                    ZeroRecord<TTestRecord>())
    , m_title(new QLineEdit(this))
    , m_comments{}
    , m_wrongAnswerMode(new QButtonGroup(this))
    , m_tabs(new QTabWidget(this))
    , m_askStudentName(nullptr)
    , m_recordAttempts(nullptr)
{
    auto *general = new QWidget(m_tabs);
    general->setObjectName(QStringLiteral("GeneralTab"));
    auto *layout = new QVBoxLayout(general);

    auto *titleLabel = new QLabel(QStringLiteral("The title of the program"), general);
    titleLabel->setBuddy(m_title);
    m_title->setObjectName(QStringLiteral("TitleEdit"));
    m_title->setAccessibleName(QStringLiteral("The title of the program"));
    m_title->setMinimumWidth(TextEditWidth);
    layout->addWidget(titleLabel);
    layout->addWidget(m_title);

    auto *commentsBox = new QGroupBox(
        QStringLiteral("Comments on students achievements       BAD  -->   GOOD"), general);
    commentsBox->setObjectName(QStringLiteral("CommentsBox"));
    auto *commentsLayout = new QVBoxLayout(commentsBox);
    for (int i = 0; i < CommentCount; ++i) {
        auto *edit = new QLineEdit(commentsBox);
        edit->setObjectName(QStringLiteral("CommentEdit%1").arg(i));
        QString name = QStringLiteral("Comment %1 of %2").arg(i + 1).arg(CommentCount);
        if (i == 0)
            name += QStringLiteral(" (worst)");
        else if (i == CommentCount - 1)
            name += QStringLiteral(" (best)");
        edit->setAccessibleName(name);
        edit->setMinimumWidth(TextEditWidth);
        commentsLayout->addWidget(edit);
        m_comments[size_t(i)] = edit;
    }
    layout->addWidget(commentsBox);

    auto *modeBox = new QGroupBox(QStringLiteral("If answer is incorrect"), general);
    modeBox->setObjectName(QStringLiteral("WrongAnswerBox"));
    auto *modeLayout = new QVBoxLayout(modeBox);
    const QString items[WrongAnswerModeCount] = {
        QStringLiteral("don't show anything"),
        QStringLiteral("show the right answer"),
        QStringLiteral("show: \"The answer is incorrect!\""),
    };
    for (int i = 0; i < WrongAnswerModeCount; ++i) {
        auto *item = new QRadioButton(items[i], modeBox);
        item->setObjectName(QStringLiteral("WrongAnswerMode%1").arg(i));
        m_wrongAnswerMode->addButton(item, i);
        modeLayout->addWidget(item);
    }
    layout->addWidget(modeBox);
    m_tabs->addTab(general, QStringLiteral("&General"));

    auto *player = new QWidget(m_tabs);
    player->setObjectName(QStringLiteral("PlayerTab"));
    auto *playerLayout = new QVBoxLayout(player);
    const auto addBox = [player, playerLayout](const QString &name, const QString &text) {
        auto *box = new QCheckBox(text, player);
        box->setObjectName(name);
        box->setAccessibleName(text);
        playerLayout->addWidget(box);
        return box;
    };
    m_askStudentName = addBox(QStringLiteral("AskStudentNameBox"),
                              QStringLiteral("Ask for the student's name at start"));
    m_recordAttempts =
        addBox(QStringLiteral("RecordAttemptsBox"), QStringLiteral("Record each attempt"));
    playerLayout->addStretch();
    m_tabs->addTab(player, QStringLiteral("&Player"));

    auto *dialogLayout = new QVBoxLayout(this);
    dialogLayout->addWidget(m_tabs);
    dialogLayout->addWidget(MakeButtons());
    FixSize();
}

void TNalogaLastnosti::LoadSettings(const QJsonObject &extensions)
{
    m_extensions = extensions;
    m_settings = TTestSettings::FromJson(extensions);
    m_askStudentName->setChecked(m_settings.AskStudentName);
    m_recordAttempts->setChecked(m_settings.RecordAttempts);
}

QJsonObject TNalogaLastnosti::StoreSettings() const
{
    QJsonObject extensions = m_extensions;
    const TTestSettings defaults;
    const auto take = [&extensions](const QString &key, bool loaded, bool now, bool standard) {
        if (now == loaded)
            return;
        if (now == standard)
            extensions.remove(key);
        else
            extensions.insert(key, now);
    };
    take(AskStudentNameKey, m_settings.AskStudentName, m_askStudentName->isChecked(),
         defaults.AskStudentName);
    take(RecordAttemptsKey, m_settings.RecordAttempts, m_recordAttempts->isChecked(),
         defaults.RecordAttempts);
    return extensions;
}

void TNalogaLastnosti::ShowRecord(const TTestRecord &record)
{
    m_title->setText(FieldText(record.Title));
    for (int i = 0; i < CommentCount; ++i)
        m_comments[size_t(i)]->setText(FieldText(record.Comments[i]));
    // A mode outside the three items leaves none of them selected.
    ShowChoice(m_wrongAnswerMode, record.WrongAnswerMode);
    m_tabs->setCurrentIndex(0);
    m_title->setFocus();
}

void TNalogaLastnosti::TakeRecord(TTestRecord &record)
{
    TakeFieldText(record.Title, m_title->text());
    for (int i = 0; i < CommentCount; ++i)
        TakeFieldText(record.Comments[i], m_comments[size_t(i)]->text());
    TakeChoice(m_wrongAnswerMode, record.WrongAnswerMode);
}

} // namespace CorvBuilder
