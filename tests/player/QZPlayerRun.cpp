#include "QZPlayerRun.h"

#include "QZNaloga.h"
#include "QZRezultat.h"
#include "QZScaling.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

const QString MustAnswer = QStringLiteral("You must answer on all questions!");
const QString Incorrect = QStringLiteral("The answer is incorrect!!!");
const QString IncorrectShown =
    QStringLiteral("The answer is incorrect!!!\nCorrect answers are shown.");

TRun::TRun(const QStringList &arguments, CorvPlayer::TRecordingOptions recording)
{
    Script.OnDialog = [this](QDialog &dialog) {
        if (auto *result = qobject_cast<TRezultatDialog *>(&dialog)) {
            Percent = result->PercentText();
            Comment = result->CommentText();
        }
        return int(QDialog::Accepted);
    };
    TPlayerOptions options;
    options.Arguments = QStringList{QStringLiteral("corvview")} + arguments;
    options.Recording = std::move(recording);
    options.MeasureScreen = [] {
        return QSize(1024, 749);
    };
    Player = std::make_unique<TPlayer>(options);
}

QString TRun::PageName() const
{
    return Window().ShownPage() ? Window().ShownPage()->PageName() : QString();
}

QAbstractButton *TRun::Shown(const char *caption) const
{
    const auto buttons = Window().findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons)
        if (button->isVisibleTo(&Window()) && button->text() == QLatin1String(caption))
            return button;
    return nullptr;
}

bool TRun::Click(const char *caption) const
{
    QAbstractButton *button = Shown(caption);
    if (!button)
        return false;
    // Near the left edge: a choice reacts only on its mark and caption.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    return true;
}

bool TRun::Type(const QString &text) const
{
    const auto edits = Window().findChildren<QLineEdit *>();
    for (QLineEdit *edit : edits) {
        if (edit->isVisibleTo(&Window())) {
            edit->setFocus();
            QTest::keyClicks(edit, text);
            return true;
        }
    }
    return false;
}

void TPlayerTest::init()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_results.isValid());
    m_screenWidth = ScreenWidth;
    m_screenHeight = ScreenHeight;
    m_applicationName = QCoreApplication::applicationName();
    // Runs record their attempts into a folder of the test function's own,
    // never into the user's.
    QDir(Results()).removeRecursively();
    qputenv("CORVELLA_RESULTS", QFile::encodeName(Results()));
}

void TPlayerTest::cleanup()
{
    ScreenWidth = m_screenWidth;
    ScreenHeight = m_screenHeight;
    ScoreEarned = 0;
    ScoreMax = 0;
    TestLoading = false;
    FileVersion = CurrentFileVersion;
    Saved = true;
    QCoreApplication::setApplicationName(m_applicationName);
    qunsetenv("CORVELLA_RESULTS");
}
