// Reading a 5 MB RTF document to plain text, against `unrtf --text` on the
// same file in the same run. Prints the median times and their ratio.
//
//   corvbenchrtf [RUNS]

#include "QZRtf.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

// A word-processor-like document: a font and colour table, paragraphs of
// mixed runs with code page bytes, \uN characters, bullets and a table row.
QByteArray MakeDocument(qsizetype targetSize)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 "
                     "Arial;}{\\f1\\froman\\fcharset238 Times New Roman;}{\\f2\\fnil\\fcharset2 "
                     "Symbol;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\n"
                     "{\\*\\generator Corvella bench;}\\viewkind4\\uc1\n";
    int paragraph = 0;
    while (rtf.size() < targetSize) {
        ++paragraph;
        rtf += "\\pard\\sa200\\sl276\\slmult1\\f1\\fs24 Paragraph " +
               QByteArray::number(paragraph) +
               ": \\b bold \\'e8\\'9a\\'9e\\b0 , \\i italic\\i0 , \\cf1 red\\cf0  and "
               "\\u8364? euro, {\\ul underlined words} in a sentence long enough to wrap "
               "across a line or two of an ordinary text box.\\par\n";
        if (paragraph % 10 == 0)
            rtf += "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb"
                   "\\'B7}}\\fi-360\\li720 A bulleted item\\par\n"
                   "\\trowd\\cellx2000\\cellx4000\\intbl Cell one\\cell Cell two\\cell\\row\n";
    }
    rtf += "}\n";
    return rtf;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = std::max(1, app.arguments().value(1, QStringLiteral("5")).toInt());
    QTextStream out(stdout);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bench.rtf"));
    const QByteArray rtf = MakeDocument(5 * 1000 * 1000);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(rtf) != rtf.size())
        return 1;
    file.close();

    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    std::vector<double> ours;
    std::vector<double> theirs;
    qsizetype characters = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QFile input(path);
        if (!input.open(QIODevice::ReadOnly))
            return 1;
        const std::optional<QString> text = RtfToPlainText(input.readAll());
        ours.push_back(double(timer.nsecsElapsed()) / 1e6);
        characters = text ? text->size() : -1;

        if (!unrtf.isEmpty()) {
            QProcess process;
            process.setStandardOutputFile(QProcess::nullDevice());
            timer.restart();
            process.start(unrtf, {QStringLiteral("--text"), path});
            process.waitForFinished(-1);
            theirs.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }

    out << QStringLiteral("RTF document: %1 MB, %2 characters of text, median of %3 runs\n")
               .arg(double(rtf.size()) / 1e6, 0, 'f', 1)
               .arg(characters)
               .arg(runs);
    out << QStringLiteral("RtfToPlainText  %1 ms\n").arg(Median(ours), 8, 'f', 1);
    if (theirs.empty()) {
        out << "unrtf --text    (unrtf not installed)\n";
        return 0;
    }
    out << QStringLiteral("unrtf --text    %1 ms\n").arg(Median(theirs), 8, 'f', 1);
    out << QStringLiteral("ratio           %1 x unrtf\n")
               .arg(Median(ours) / Median(theirs), 0, 'f', 3);
    return 0;
}
