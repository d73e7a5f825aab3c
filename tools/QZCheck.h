// `corvtool check`: loads a test or page file as the player does, decodes
// every payload, and lists what a teacher should fix before handing the test
// out: payloads that cannot be decoded, clips that cannot be found, embedded
// files that the player refuses to open, targets and Page buttons naming no
// page, questions that can never be answered right, input boxes whose
// tolerances cannot work as meant, and pages that nothing leads to from the
// first page, and a settings block after the last page that is damaged or of
// a newer format. It writes nothing and starts nothing.
#pragma once

#include <QString>
#include <QTextStream>

#include <vector>

class TQZNaloga;

struct TCheckProblem
{
    int Page = 0;   // 1-based; 0 for the test as a whole
    int Object = 0; // 1-based within the page; 0 for the page itself
    QString PageName;
    QString ObjectKind; // the object's type, as corvtool names it; empty for a page
    QString Text;

    // One line: `page 2 "Quiz", object 3 (picture): the picture cannot be read: ...`,
    // or the text alone for the test as a whole.
    QString Line() const;
};

// The problems of a loaded test: those of the test as a whole (its settings
// block) first, then those of its pages in page and object order. Clip names are
// looked up as the player looks them up: in the folder of the test file set
// with SetTestFile, and nowhere else.
std::vector<TCheckProblem> CheckTest(const TQZNaloga &test);

// Loads `fileName` (a test file, or a page file by its ".cvp" extension) and
// writes its problems to `out`, one a line. Returns 0 when there are none, 1
// when some are listed, and 2, with the reason written to `err`, when the file
// cannot be opened at all.
int CheckFile(const QString &fileName, QTextStream &out, QTextStream &err);

// The whole command, from main's arguments (argv[1] is "check"): makes the
// headless application that decoding needs and runs CheckFile.
int CheckMain(int argc, char *argv[]);
