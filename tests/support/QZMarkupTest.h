// A test file whose every text holds markup. Read as markup, each text would
// show a link and load a picture from a FIFO, and opening a FIFO to read it
// blocks until someone writes. The FIFO is watched: whoever opens it is let go
// at once and counted, so a test that reads the markup still finishes and
// can tell that it did.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <thread>

// The test, in the order a student takes it (every name below stands for
// Markup(name)):
//   title "Title [*]", comments "Comment 0" ... "Comment 7";
//   page "Page 1", both targets "Page 2": choices (question "Question", single
//     answer, "Choice 1" ... "Choice 6", the first right), an alternative
//     ("First" right, "Second"), an input box (answers "Answer 1" ...
//     "Answer 5"), a text "Text", a text on a panel "Panel text" and a confirm
//     button "Confirm" with the target "Page 2";
//   page "Page 2", both targets "Page 3": rich text (see RichText), a clip
//     "Clip" captioned "Clip caption", an OLE object of the type "OLE type",
//     and a button "Go on" to the page "Page 3";
//   page "Page 3", both targets "Page 2" (a target of the first page would
//     clear the score): an exit button "Exit" with the target "Page 1".
// Each question is worth a point.
class TMarkupTestFile
{
public:
    // Makes a folder with the FIFO and starts watching it.
    TMarkupTestFile();
    ~TMarkupTestFile();
    TMarkupTestFile(const TMarkupTestFile &) = delete;
    TMarkupTestFile &operator=(const TMarkupTestFile &) = delete;

    // False when the folder or the FIFO could not be made.
    bool IsValid() const { return m_valid; }
    QString Folder() const { return m_folder.path(); }
    QString Fifo() const;

    // <img src="FIFO"><a href="https://example.invalid/">name</a>
    QString Markup(const QString &name) const;
    // The text the rich text object shows: the markup of "Rich text" as
    // typed, then on a line of its own the result of a link field whose
    // address is the FIFO; a picture field naming the FIFO shows nothing.
    QString RichText() const;

    // How often the FIFO was opened for reading so far.
    int FifoReads() const { return m_reads.load(); }

    // Writes the test into the folder and returns its path.
    QString Write(const QString &fileName = QStringLiteral("markup.cvl")) const;

private:
    QTemporaryDir m_folder;
    bool m_valid = false;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_reads{0};
    std::thread m_watch;
};

class QWidget;

// Every text the widgets below `root` hold (all of them, or only those shown
// within it): labels, edit boxes, the items of lists and combo boxes,
// buttons, frames and text boxes. A label that reads its text as markup is
// listed as "markup: " and the text.
enum class TWidgetsTaken { All, Shown };
QStringList WidgetTexts(const QWidget &root, TWidgetsTaken taken = TWidgetsTaken::All);
// The labels among `texts` that read their text as markup, one a line.
QString MarkupLabels(const QStringList &texts);
