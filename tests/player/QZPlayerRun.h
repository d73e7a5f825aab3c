// The player as corvview starts it, for tests: a 1024 x 768 screen with a
// 19-pixel caption (a client area of 1024 x 749), the interaction scripted,
// and ways to answer the shown page's real controls.
#pragma once

#include "QZPlayerTestFiles.h"

#include "QZRTGlavnoOkno.h"
#include "QZRTPlayer.h"
#include "QZScriptedInteraction.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class QAbstractButton;

using CorvPlayer::TGlavnoOkno;
using CorvPlayer::TPlayer;
using CorvPlayer::TPlayerOptions;
using CorvPlayer::TPrvaStran;

extern const QString MustAnswer;
extern const QString Incorrect;
extern const QString IncorrectShown;

struct TRun
{
    TQZScriptedInteraction Script;
    std::unique_ptr<TPlayer> Player;
    // What the result dialog showed.
    QString Percent;
    QString Comment;

    // `arguments` follow the program name.
    explicit TRun(const QStringList &arguments, CorvPlayer::TRecordingOptions recording = {});

    bool Start() { return Player->Start(); }
    TGlavnoOkno &Window() const { return Player->MainWindow(); }
    TQZNaloga *Test() const { return Window().Test(); }
    QString PageName() const;

    // The shown button (push button, choice or answer button) with this
    // caption, or null.
    QAbstractButton *Shown(const char *caption) const;
    // Clicks it with the mouse; false when none is shown.
    bool Click(const char *caption) const;
    // Types into the shown input box; false when there is none.
    bool Type(const QString &text) const;
};

// Keeps the process-wide state of one test function from the next and gives
// it a folder for test files.
class TPlayerTest : public QObject
{
    Q_OBJECT

protected:
    QString File(const QString &name) const { return m_dir.filePath(name); }
    // Where runs record their attempts unless told otherwise
    // ($CORVELLA_RESULTS while a test function runs).
    QString Results() const { return m_results.filePath(QStringLiteral("results")); }
    QString Write(const QString &name, const TTestPlan &plan) const
    {
        return WriteTestFile(File(name), plan);
    }

private slots:
    void init();
    void cleanup();

private:
    QTemporaryDir m_dir;
    // Beside the test files' folder, which some tests expect to hold only
    // what they put there.
    QTemporaryDir m_results;
    qint32 m_screenWidth = 0;
    qint32 m_screenHeight = 0;
    QString m_applicationName;
};
