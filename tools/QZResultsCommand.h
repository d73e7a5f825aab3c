// corvtool results: the attempt records of a results folder as a summary, a
// CSV table, an HTML report and xAPI statements.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// Runs `results DIR [--test FILE] [--csv OUT] [--html OUT] [--xapi OUT]`
// with the arguments after the command's name. A wrong command line sets
// `usageError` and returns 1; other failures are written to `err` and give 1.
int ResultsCommand(QStringList arguments, QTextStream &out, QTextStream &err, QString &usageError);
