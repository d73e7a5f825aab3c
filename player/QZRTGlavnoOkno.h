// The player's main window: the maximised surface on which the pages of the
// test are shown, and the handler of every button object's click.
#pragma once

#include "QZNaloga.h"
#include "QZSurface.h"

#include <QHash>
#include <QString>

#include <memory>
#include <optional>

class TRezultatDialog;

namespace CorvPlayer {

class TAttemptRecorder;
class TPrvaStran;

// How the run is recorded.
struct TRecordingOptions
{
    // The student's name from the command line; when there is none and the
    // test asks for a name, the student is asked.
    std::optional<QString> Student;
    // The --results folder; empty for the default (see ResultsFolder).
    QString ResultsFolder;
};

class TGlavnoOkno : public TQZPageSurface
{
    Q_OBJECT

public:
    enum class TOpenResult {
        Opened,    // page 0 is shown
        Failed,    // "Opening error: " and the cause were shown; the window stays empty
        Cancelled, // the open dialog was cancelled; the program ends
        Ended,     // the file is too new; the program was told to end
    };

    explicit TGlavnoOkno(QWidget *parent = nullptr);
    ~TGlavnoOkno() override;

    // Opens a test once per run: `fileName`, or the one chosen in the open
    // dialog when it is empty. `loading` shows the progress; `arguments` are
    // the program's, for shuffling. Does nothing when a test is loaded.
    TOpenResult OpenTest(const QString &fileName, const QStringList &arguments,
                         TPrvaStran *loading);

    // With a test shown whose settings ask for it: asks for the student's
    // name, offers to resume an unfinished attempt of the same test by the
    // same student, and starts recording. A folder that cannot be written is
    // reported once; the test plays on unrecorded.
    void StartRecording(const TRecordingOptions &options);
    // Null when the run is not recorded.
    const TAttemptRecorder *Recorder() const { return m_recorder.get(); }

    // The dialog ShowResult fills and shows (not owned).
    void SetResultDialog(TRezultatDialog *dialog) { m_result = dialog; }

    TQZNaloga *Test() const { return m_test.get(); }
    // The page whose buttons are being answered; null until a test is shown.
    TQZStran *ShownPage() const { return m_page; }
    const QString &FileName() const { return m_fileName; }

    // A button object's push button was clicked: moves, evaluates the page or
    // ends the test by the button's kind, then takes the test's current page
    // as the shown page. Other senders do nothing.
    void FormClick(QObject *sender) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The percentage and comment of the totals.
    void ShowResult();
    // Takes the test's current page as the shown page and puts the keyboard
    // focus on its first control, so that a test can be taken by keyboard.
    void PageChanged();
    // Whether the widget is a control the student reaches by Tab: shown,
    // enabled, of this window and taking focus from the keyboard.
    bool IsTabStop(const QWidget *widget) const;
    void Maximise();

    std::unique_ptr<TQZNaloga> m_test;
    TQZStran *m_page = nullptr;
    QString m_fileName;
    // The /R arguments as given.
    QString m_shuffle;
    // Each page's index in the test file, before shuffling.
    QHash<const TQZStran *, int> m_fileIndexes;
    std::unique_ptr<TAttemptRecorder> m_recorder;
    TRezultatDialog *m_result = nullptr;
    bool m_maximisePending = false;
    // Set once an Exit button has ended the test: the window then neither
    // acts on buttons nor asks before closing.
    bool m_ended = false;
};

} // namespace CorvPlayer
