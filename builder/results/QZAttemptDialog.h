// One attempt page by page: each page in the order shown with the answers
// given, its points, the seconds spent on it and where it went next.
#pragma once

#include "QZResultsAnalysis.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace CorvBuilder {

class TAttemptDialog : public QDialog
{
    Q_OBJECT

public:
    // `test`, when given, is the test the attempt was made at: the pages
    // take their names from it.
    TAttemptDialog(QWidget *parent, const Corvella::TAttempt &attempt,
                   const Corvella::TTestOutline *test = nullptr);

    QTableWidget *Pages() const { return m_pages; }
    QLabel *Summary() const { return m_summary; }

private:
    QLabel *m_summary;
    QTableWidget *m_pages;
};

// The answers on a page as one line, each question's as a report describes
// it ("choice 2", "\"Jupiter\"", "no answer"), "; " between them.
QString AnswersText(const Corvella::TPageVisit &visit);

} // namespace CorvBuilder
