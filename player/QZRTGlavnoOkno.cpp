#include "QZRTGlavnoOkno.h"

#include "QZDeferred.h"

#include "QZCodePage.h"
#include "QZControls.h"
#include "QZInteraction.h"
#include "QZMediaDevice.h"
#include "QZPlainText.h"
#include "QZPlayRules.h"
#include "QZProgramInfo.h"
#include "QZRTAttemptRecorder.h"
#include "QZRTPrvaStran.h"
#include "QZRezultat.h"
#include "QZStream.h"
#include "QZTestSettings.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QEvent>
#include <QFileInfo>
#include <QMetaObject>

#include <chrono>
#include <random>

namespace CorvPlayer {

TGlavnoOkno::TGlavnoOkno(QWidget *parent)
    : TQZPageSurface(parent)
    , m_fileName(QStringLiteral("Untitled.cvl"))
{
    // A single border with a system menu only: the window cannot be
    // minimised or restored from its own caption.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowTitle(QStringLiteral("Corvella Builder"));
    setWindowState(Qt::WindowMaximized);
}

// The test's objects own widgets that are children of this window; they go
// before the window does.
TGlavnoOkno::~TGlavnoOkno()
{
    m_recorder.reset();
    m_test.reset();
}

TGlavnoOkno::TOpenResult TGlavnoOkno::OpenTest(const QString &fileName,
                                               const QStringList &arguments, TPrvaStran *loading)
{
    if (m_test)
        return TOpenResult::Opened;

    QString name = fileName;
    if (name.isEmpty()) {
        name = Interaction().OpenFileName(this, QStringLiteral("Open"),
                                          QStringLiteral("Corvella Builder (*.cvl)"),
                                          QStringLiteral("cvl"));
        if (name.isEmpty()) {
            close();
            return TOpenResult::Cancelled;
        }
    }
    m_fileName = name;
    // Clips are looked for in the test's folder, and nowhere else.
    SetTestFile(name);

    if (loading)
        loading->ShowLoading();
    // Objects take the window's font (answer buttons show it), so it is set
    // from the screen before the first object is built.
    setFont(SurfaceFont());

    m_test = std::make_unique<TQZNaloga>(this, &DeferredWidgetObjectFactory());
    TLoadOptions options;
    if (loading)
        options.Progress = [loading](int loaded, int total) {
            loading->SetProgress(loaded, total);
        };
    m_shuffle = arguments.mid(2).join(QLatin1Char(' '));
    try {
        // Shuffled after reading, so that each page's place in the file is
        // known: a record names pages by it.
        m_test->LoadTestFile(name, options);
        for (int i = 0; i < m_test->PageCount(); ++i)
            m_fileIndexes.insert(m_test->Page(i), i);
        const TShuffleOptions shuffle = TShuffleOptions::FromArguments(arguments);
        if (shuffle.Shuffle) {
            std::mt19937 random(
                quint32(std::chrono::steady_clock::now().time_since_epoch().count()));
            m_test->Shuffle(shuffle, random);
        }
    } catch (const TQZNewerVersionError &) {
        ShowWarning(NewerVersionMessage);
        m_ended = true;
        Interaction().Exit(0);
        return TOpenResult::Ended;
    } catch (const TQZFileError &error) {
        // The partly read test stays, unshown: the window is left empty.
        ShowErrorMessage(QStringLiteral("Opening error: ") + name + QLatin1Char('\n') +
                         error.Cause());
        return TOpenResult::Failed;
    }

    // A test without pages shows nothing: GoToPage refuses page 0.
    m_test->GoToPage(0);
    PageChanged();
    setWindowTitle(PlainWindowTitle(m_test->Title()));
    return TOpenResult::Opened;
}

void TGlavnoOkno::StartRecording(const TRecordingOptions &options)
{
    if (m_recorder || !m_test || !m_page || m_ended)
        return;
    const TTestSettings settings = TTestSettings::FromJson(m_test->Extensions());
    if (!settings.RecordAttempts)
        return;

    QString student = options.Student.value_or(QString()).trimmed();
    if (!options.Student && settings.AskStudentName) {
        QString answer;
        // Cancelled or left empty, the attempt is anonymous.
        if (Interaction().InputText(this, windowTitle(), QStringLiteral("Your name:"), answer))
            student = answer.trimmed();
    }

    const QString folder = ResultsFolder(options.ResultsFolder);
    const QString sha256 = Corvella::FileSha256(m_fileName);
    m_recorder = std::make_unique<TAttemptRecorder>(*m_test);
    m_recorder->SetFileIndexes(m_fileIndexes);

    // An attempt another player is still writing is not offered.
    Corvella::TAttempt unfinished;
    if (!sha256.isEmpty() && Corvella::FindUnfinished(folder, sha256, student, unfinished) &&
        !Corvella::TAttemptWriter::IsHeld(unfinished.FileName) &&
        ConfirmYesNo(QStringLiteral("Resume the unfinished attempt?"))) {
        if (m_recorder->Resume(folder, unfinished))
            PageChanged();
        return;
    }

    Corvella::TAttempt attempt;
    attempt.Program = QStringLiteral("corvview ") + QLatin1String(CorvellaVersion());
    attempt.TestTitle = m_test->Title();
    attempt.TestFile = QFileInfo(m_fileName).fileName();
    attempt.TestSha256 = sha256;
    attempt.TestPages = int(m_fileIndexes.size());
    attempt.Student = student;
    attempt.Started = QDateTime::currentDateTime();
    attempt.Shuffle = m_shuffle;
    m_recorder->Start(folder, std::move(attempt));
}

void TGlavnoOkno::FormClick(QObject *sender)
{
    if (m_ended || !m_test || !m_page || sender == this)
        return;
    const auto endRun = [this] {
        m_ended = true;
        // An Exit whose run had no points to show ends here.
        if (m_recorder)
            m_recorder->End(QStringLiteral("exit"),
                            TRezultatDialog::Percentage(ScoreEarned, ScoreMax), QString());
        // The test goes with the window when the program ends: this click
        // comes from one of its buttons.
        Interaction().Exit(0);
    };
    auto program = Corvella::TPlayProgram::Player([this] { ShowResult(); }, endRun);
    if (m_recorder) {
        m_recorder->BeforeClick(*m_page);
        program.Evaluated = [this](bool counted) {
            m_recorder->Evaluated(counted);
        };
    }
    if (Corvella::TPlayRules(*m_test, program).Click(*m_page, TagOf(sender))) {
        if (m_recorder)
            m_recorder->AfterClick(m_test->CurrentPage());
        PageChanged();
    }
}

void TGlavnoOkno::ShowResult()
{
    if (!m_result)
        m_result = new TRezultatDialog(this);
    if (m_recorder) {
        // Recorded as it is shown: the student may leave the dialog open.
        m_recorder->End(QStringLiteral("result"),
                        TRezultatDialog::Percentage(ScoreEarned, ScoreMax),
                        m_test->Comment(TRezultatDialog::CommentIndex(ScoreEarned, ScoreMax)));
    }
    m_result->Execute(*m_test, ScoreEarned, ScoreMax);
}

void TGlavnoOkno::PageChanged()
{
    m_page = m_test ? m_test->CurrentPage() : nullptr;
    // The focus chain follows creation order, and a page's objects are made
    // in page order: the first tab stop in it is the page's first control.
    for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (IsTabStop(w)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool TGlavnoOkno::IsTabStop(const QWidget *widget) const
{
    if (widget == this || widget->window() != this || !widget->isEnabled() ||
        widget->focusProxy() || !widget->isVisibleTo(this))
        return false;
    if (widget->focusPolicy() & Qt::TabFocus)
        return true;
    // Qt gives Tab focus to one button of an exclusive group only, the one
    // checked last; every choice of the group still counts as a control.
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    return button && button->autoExclusive() && widget->focusPolicy() != Qt::NoFocus;
}

void TGlavnoOkno::closeEvent(QCloseEvent *event)
{
    if (m_test && !m_ended && !ConfirmYesNo(QStringLiteral("Do you want to exit?"))) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_recorder)
        m_recorder->End(QStringLiteral("closed"),
                        TRezultatDialog::Percentage(ScoreEarned, ScoreMax), QString());
    m_recorder.reset();
    m_page = nullptr;
    m_test.reset();
}

void TGlavnoOkno::resizeEvent(QResizeEvent *event)
{
    TQZPageSurface::resizeEvent(event);
    Maximise();
}

void TGlavnoOkno::changeEvent(QEvent *event)
{
    TQZPageSurface::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Maximise();
}

// The state is put back from the event loop: changing it inside the resize
// or state change that reported it would recurse.
void TGlavnoOkno::Maximise()
{
    if (m_maximisePending || !isVisible() || (windowState() & Qt::WindowMaximized) ||
        (windowState() & Qt::WindowMinimized))
        return;
    m_maximisePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_maximisePending = false;
            if (isVisible() && !(windowState() & Qt::WindowMinimized))
                setWindowState(windowState() | Qt::WindowMaximized);
        },
        Qt::QueuedConnection);
}

} // namespace CorvPlayer
