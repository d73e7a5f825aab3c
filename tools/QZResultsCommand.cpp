#include "QZResultsCommand.h"

#include "QZNaloga.h"
#include "QZResultsExport.h"
#include "QZStream.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSet>

#include <optional>

using namespace Corvella;

namespace {

// Takes "NAME VALUE" out of the arguments; false when NAME has no value.
bool TakeOption(QStringList &arguments, const QString &name, QString &value)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0)
        return true;
    if (at + 1 >= arguments.size())
        return false;
    value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return true;
}

bool IsQuestion(int typeTag)
{
    return typeTag == ObjIzbire || typeTag == ObjVnosnoOkno || typeTag == ObjDaNe;
}

// The test file's hash, title and pages; an error message when it cannot be
// read.
std::optional<TTestOutline> ReadOutline(const QString &fileName, QString &error)
{
    TTestOutline outline;
    try {
        const QByteArray bytes = ReadWholeFile(fileName);
        outline.Sha256 = BytesSha256(bytes);
        TQZNaloga test;
        test.LoadFromBytes(bytes);
        outline.Title = test.Title();
        outline.FileName = QFileInfo(fileName).fileName();
        for (int i = 0; i < test.PageCount(); ++i) {
            const TQZStran *page = test.Page(i);
            bool questions = false;
            for (const auto &object : page->Objects())
                questions = questions || IsQuestion(object->ObjectTypeTag());
            outline.Pages.append({page->PageName(), questions});
        }
    } catch (const TQZNewerVersionError &) {
        error = QStringLiteral("%1: the test file is newer than this program reads").arg(fileName);
        return std::nullopt;
    } catch (const TQZFileError &fileError) {
        TQZFileError named = fileError;
        if (named.FileName().isEmpty())
            named.SetFileName(fileName);
        error = named.Message();
        return std::nullopt;
    }
    return outline;
}

bool WriteOutput(const QString &fileName, const QByteArray &bytes, QTextStream &err)
{
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    err << "corvtool: " << fileName << ": " << file.errorString() << '\n';
    return false;
}

} // namespace

int ResultsCommand(QStringList arguments, QTextStream &out, QTextStream &err, QString &usageError)
{
    QString testFile;
    QString csv;
    QString html;
    QString xapi;
    const std::pair<const char *, QString *> options[] = {
        {"--test", &testFile}, {"--csv", &csv}, {"--html", &html}, {"--xapi", &xapi}};
    for (const auto &[name, value] : options) {
        if (!TakeOption(arguments, QLatin1String(name), *value)) {
            usageError = QStringLiteral("%1 needs a file name").arg(QLatin1String(name));
            return 1;
        }
    }
    if (arguments.size() != 1 || arguments.at(0).startsWith(QLatin1String("--"))) {
        usageError = arguments.isEmpty() ? QStringLiteral("results needs a folder")
                                         : QStringLiteral("wrong number of arguments");
        return 1;
    }
    const QString folder = arguments.at(0);

    std::optional<TTestOutline> outline;
    if (!testFile.isEmpty()) {
        QString error;
        outline = ReadOutline(testFile, error);
        if (!outline) {
            err << "corvtool: " << error << '\n';
            return 1;
        }
    }

    std::vector<TAttempt> attempts;
    std::vector<TSkippedRecord> skipped;
    QString error;
    if (!ReadAttemptFolder(folder, attempts, skipped, &error)) {
        err << "corvtool: " << error << '\n';
        return 1;
    }
    for (const TSkippedRecord &record : skipped) {
        const char *kind = record.Status == TAttemptReader::TStatus::Foreign      ? "not used"
                           : record.Status == TAttemptReader::TStatus::Unreadable ? "unreadable"
                                                                                  : "damaged";
        err << "corvtool: skipped " << QDir::toNativeSeparators(record.FileName) << " (" << kind
            << "): " << record.Reason << '\n';
    }

    if (!outline) {
        QSet<QString> tests;
        for (const TAttempt &attempt : attempts)
            tests.insert(attempt.TestSha256);
        if (tests.size() > 1)
            err << "corvtool: the folder holds attempts at " << tests.size()
                << " different tests; --test FILE reports on one of them\n";
    }
    const TResultsAnalysis analysis(std::move(attempts), outline ? &*outline : nullptr);
    if (analysis.OtherTests() > 0)
        err << "corvtool: " << analysis.OtherTests() << " attempts at other tests were left out\n";

    bool ok = true;
    if (!csv.isEmpty())
        ok = WriteOutput(csv, ResultsCsv(analysis), err) && ok;
    if (!html.isEmpty())
        ok = WriteOutput(html, ResultsHtml(analysis), err) && ok;
    if (!xapi.isEmpty())
        ok = WriteOutput(xapi, QJsonDocument(ResultsXapi(analysis)).toJson(QJsonDocument::Indented),
                         err) &&
             ok;
    if (csv.isEmpty() && html.isEmpty() && xapi.isEmpty())
        out << ResultsSummary(analysis);
    return ok ? 0 : 1;
}
