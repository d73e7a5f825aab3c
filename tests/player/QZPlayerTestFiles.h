// Test files for the player's tests, built with the document's own classes
// and saved the way the builder saves them.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>

// One object to place on a page: its type tag and its record in pixels of the
// virtual area.
struct TObjectPlan
{
    int Tag;
    QByteArray Record;
};

// Texts are Latin-1.
// Single-answer choices are radio buttons, others check boxes; `right` holds
// the numbers (from 1) of the right choices.
TObjectPlan Choices(std::initializer_list<const char *> choices, std::initializer_list<int> right,
                    bool single, qint32 points);
// Answer buttons "Yes" and "No".
TObjectPlan Alternative(bool firstIsCorrect, qint32 points);
TObjectPlan InputBox(const QByteArray &answer, qint32 points);
// Kinds: 0 forward, 1 back, 2 confirm, 3 page, 4 exit.
TObjectPlan Button(const QByteArray &caption, quint8 kind, const QByteArray &target = {});

struct TPagePlan
{
    QByteArray Name;
    QList<TObjectPlan> Objects;
    QByteArray CorrectTarget = QByteArrayLiteral("(Forward)");
    QByteArray WrongTarget = QByteArrayLiteral("(Forward)");
};

struct TTestPlan
{
    QString Title = QStringLiteral("Player test");
    quint8 WrongAnswerMode = 1;
    // "Comment 0" ... "Comment 7" unless set.
    QStringList Comments;
    QList<TPagePlan> Pages;
    // The settings of the extension block; none when empty.
    QJsonObject Extensions;
};

// The test file's bytes; objects stand one below the other on their page.
QByteArray TestFileBytes(const TTestPlan &plan);
// Writes the file and returns its name.
QString WriteTestFile(const QString &fileName, const TTestPlan &plan);

// A multimedia object playing `clip`, named as the test stores it.
TObjectPlan Clip(const QByteArray &clip);
