// The result of a test run: the score in percent and the comment of its
// band. The player shows it when an Exit button ends the test; the builder
// shows it for its own score totals.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class TQZNaloga;

class TRezultatDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int CommentCount = 8;

    explicit TRezultatDialog(QWidget *parent = nullptr);

    // round(earned / possible * 100), halves to even; 0 when possible is 0.
    static qint32 Percentage(qint32 earned, qint32 possible);
    // The comment band: round(7 / possible * earned), halves to even. A
    // negative score takes the worst comment, and an index that negative
    // points push outside the eight comments takes the nearest one.
    static int CommentIndex(qint32 earned, qint32 possible);

    // Fills the panels; `comments` holds the eight comments of the test,
    // the worst first (missing ones show empty).
    void SetResult(qint32 earned, qint32 possible, const QStringList &comments);
    // Fills the panels from the test's comments and shows the dialog modally.
    void Execute(const TQZNaloga &test, qint32 earned, qint32 possible);

    QString PercentText() const;
    QString CommentText() const;

private:
    QLabel *m_uspehPanel;
    QLabel *m_komentarLabel;
};
