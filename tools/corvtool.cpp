// corvtool: looks into, converts and rewrites test (.cvl) and page (.cvp)
// files from the command line, through the document model alone, and reports
// on the attempt records (.cvr) of a results folder.

#include "QZCheck.h"
#include "QZCodePage.h"
#include "QZJson.h"
#include "QZNaloga.h"
#include "QZOleObject.h"
#include "QZProgramInfo.h"
#include "QZRecordFields.h"
#include "QZResultsCommand.h"
#include "QZRtf.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QTextStream>

#include <cstdio>

namespace {

const QString Usage = QStringLiteral("Usage:\n"
                                     "  corvtool info FILE\n"
                                     "  corvtool dump FILE [--screen WxH] [--no-data]\n"
                                     "  corvtool pack JSON -o FILE\n"
                                     "  corvtool resave IN OUT [--screen WxH]\n"
                                     "  corvtool check FILE\n"
                                     "  corvtool results DIR [--test FILE] [--csv OUT] [--html "
                                     "OUT] [--xapi OUT]\n"
                                     "FILE is a test file (.cvl) or a page file (.cvp); DIR a "
                                     "folder of attempt records (.cvr).\n");

// A usage error: reported with the usage text.
struct TUsageError
{
    QString Message;
};

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool IsPageFile(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("cvp"), Qt::CaseInsensitive) == 0;
}

// Takes "--screen WxH" out of the arguments and sets the screen size.
void TakeScreenOption(QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--screen"));
    if (at < 0)
        return;
    if (at + 1 >= arguments.size())
        throw TUsageError{QStringLiteral("--screen needs a size such as 1024x768")};
    const QStringList size = arguments.at(at + 1).split(QLatin1Char('x'));
    bool widthOk = false;
    bool heightOk = false;
    const int width = size.value(0).toInt(&widthOk);
    const int height = size.size() == 2 ? size.value(1).toInt(&heightOk) : 0;
    if (!widthOk || !heightOk || width <= 0 || height <= 0 || width > 100000 || height > 100000)
        throw TUsageError{QStringLiteral("\"%1\" is not a screen size such as 1024x768")
                              .arg(arguments.at(at + 1))};
    ScreenWidth = width;
    ScreenHeight = height;
    arguments.remove(at, 2);
}

bool TakeFlag(QStringList &arguments, const QString &flag) { return arguments.removeAll(flag) > 0; }

void ExpectCount(const QStringList &arguments, int count)
{
    if (arguments.size() != count)
        throw TUsageError{QStringLiteral("wrong number of arguments")};
}

// Loads a test or page file as the programs do; returns the file's version.
qint32 Load(TQZNaloga &test, const QString &fileName)
{
    if (IsPageFile(fileName)) {
        test.LoadPageFromFile(fileName);
        return CurrentFileVersion;
    }
    test.LoadTestFile(fileName);
    return test.TestRecord().FileVersion;
}

int Info(const QStringList &arguments)
{
    ExpectCount(arguments, 1);
    const QString fileName = arguments.at(0);
    TQZNaloga test;
    Load(test, fileName);
    QTextStream &out = Out();
    if (IsPageFile(fileName)) {
        out << "Page file: " << fileName << '\n';
    } else {
        out << "Title: " << test.Title() << '\n';
        out << "Version: " << test.TestRecord().FileVersion.Get() << '\n';
        out << "Edit password: " << (test.HasEditPassword() ? "yes" : "no") << '\n';
    }
    out << "Pages: " << test.PageCount() << '\n';
    for (int i = 0; i < test.PageCount(); ++i) {
        const TQZStran *page = test.Page(i);
        QMap<int, int> counts;
        for (const auto &object : page->Objects())
            ++counts[object->ObjectTypeTag()];
        QStringList kinds;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            kinds << QStringLiteral("%1 × %2").arg(it.value()).arg(DescriptionOfType(it.key()));
        qint32 points = 0;
        qint32 unused = 0;
        page->AddScores(unused, points);
        out << QStringLiteral("%1. \"%2\"  correct: \"%3\"  wrong: \"%4\"  points: %5\n")
                   .arg(i + 1, 3)
                   .arg(page->PageName(), page->CorrectTarget(), page->WrongTarget())
                   .arg(points);
        out << "     objects: "
            << (kinds.isEmpty() ? QStringLiteral("none") : kinds.join(QStringLiteral(", ")))
            << '\n';
    }
    return 0;
}

// Adds fields that are read from the objects rather than stored in their
// records: "oleClass" for each OLE object, and "text" for each rich text, its
// plain text with paragraphs separated by "\n" (a payload that is not RTF
// gives its text as it is shown). The dump's entries pair with
// the page's objects in order; entries of type tags that make no object have
// none.
void AddDerivedFields(QJsonObject &json, const TQZNaloga &test)
{
    QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    for (qsizetype i = 0; i < pages.size() && i < test.PageCount(); ++i) {
        QJsonObject page = pages.at(i).toObject();
        QJsonArray objects = page.value(QStringLiteral("objects")).toArray();
        const auto &live = test.Page(int(i))->Objects();
        size_t next = 0;
        for (qsizetype j = 0; j < objects.size() && next < live.size(); ++j) {
            QJsonObject object = objects.at(j).toObject();
            if (object.value(QStringLiteral("class")).toString().isEmpty())
                continue;
            const TQZControl &source = *live.at(next++);
            const QByteArray payload = source.Payload();
            if (source.ObjectTypeTag() == ObjOle && !payload.isEmpty()) {
                object.insert(QStringLiteral("oleClass"), OleTypeNameOf(payload));
            } else if (source.ObjectTypeTag() == ObjMemo) {
                object.insert(QStringLiteral("text"), RichTextToPlainText(payload));
            } else {
                continue;
            }
            objects[j] = object;
        }
        page.insert(QStringLiteral("objects"), objects);
        pages[i] = page;
    }
    json.insert(QStringLiteral("pages"), pages);
}

// A dump packs back as it is: the derived fields are read, never set.
QJsonObject WithoutDerivedFields(QJsonObject json)
{
    if (!json.contains(QStringLiteral("pages")))
        return json;
    QJsonArray pages = json.value(QStringLiteral("pages")).toArray();
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QJsonObject page = pages.at(i).toObject();
        QJsonArray objects = page.value(QStringLiteral("objects")).toArray();
        for (qsizetype j = 0; j < objects.size(); ++j) {
            QJsonObject object = objects.at(j).toObject();
            object.remove(QStringLiteral("oleClass"));
            if (object.value(QStringLiteral("class")).toString() == QLatin1String("TQZMemo"))
                object.remove(QStringLiteral("text"));
            objects[j] = object;
        }
        page.insert(QStringLiteral("objects"), objects);
        pages[i] = page;
    }
    json.insert(QStringLiteral("pages"), pages);
    return json;
}

int Dump(QStringList arguments)
{
    TakeScreenOption(arguments);
    const bool withData = !TakeFlag(arguments, QStringLiteral("--no-data"));
    ExpectCount(arguments, 1);
    const QString fileName = arguments.at(0);
    TQZNaloga test;
    const qint32 version = Load(test, fileName);
    QJsonObject json = DocumentToJson(test, IsPageFile(fileName), version, withData);
    AddDerivedFields(json, test);
    Out() << QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return 0;
}

int Pack(QStringList arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("-o"));
    if (at < 0 || at + 1 >= arguments.size())
        throw TUsageError{QStringLiteral("pack needs -o FILE")};
    const QString output = arguments.at(at + 1);
    arguments.remove(at, 2);
    ExpectCount(arguments, 1);
    const QString source = arguments.at(0);

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(ReadWholeFile(source), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw TQZFileError(QStringLiteral("%1 at character %2")
                               .arg(parseError.errorString())
                               .arg(parseError.offset),
                           source);
    if (!document.isObject())
        throw TQZFileError(QStringLiteral("the JSON is not an object"), source);

    TQZNaloga test;
    TJsonPackContext context;
    context.BaseFolder = QFileInfo(source).absolutePath();
    bool pageFile = false;
    try {
        pageFile = DocumentFromJson(test, WithoutDerivedFields(document.object()), context);
    } catch (TQZFileError &error) {
        error.SetFileName(source);
        throw;
    }
    if (pageFile != IsPageFile(output))
        context.Warnings << QStringLiteral(
                                "the JSON describes a %1 file, but %2 is named as a %3 file")
                                .arg(pageFile ? QStringLiteral("page") : QStringLiteral("test"),
                                     output,
                                     pageFile ? QStringLiteral("test") : QStringLiteral("page"));
    for (const QString &warning : std::as_const(context.Warnings))
        Err() << "corvtool: warning: " << source << ": " << warning << '\n';
    if (pageFile)
        test.SavePageToFile(0, output);
    else
        test.SaveTestFile(output);
    return 0;
}

int Resave(QStringList arguments)
{
    TakeScreenOption(arguments);
    ExpectCount(arguments, 2);
    const QString input = arguments.at(0);
    const QString output = arguments.at(1);
    TQZNaloga test;
    Load(test, input);
    if (IsPageFile(input))
        test.SavePageToFile(0, output);
    else
        test.SaveTestFile(output);
    return 0;
}

int Run(const QStringList &all)
{
    if (all.isEmpty())
        throw TUsageError{QStringLiteral("no command given")};
    const QString command = all.at(0);
    const QStringList arguments = all.mid(1);
    if (command == QLatin1String("info"))
        return Info(arguments);
    if (command == QLatin1String("dump"))
        return Dump(arguments);
    if (command == QLatin1String("pack"))
        return Pack(arguments);
    if (command == QLatin1String("resave"))
        return Resave(arguments);
    if (command == QLatin1String("results")) {
        QString usageError;
        const int code = ResultsCommand(arguments, Out(), Err(), usageError);
        if (!usageError.isEmpty())
            throw TUsageError{usageError};
        return code;
    }
    throw TUsageError{QStringLiteral("unknown command \"%1\"").arg(command)};
}

} // namespace

const TProgramInfo ToolInfo{
    "corvtool",
    "info FILE\n"
    "dump FILE [--screen WxH] [--no-data]\n"
    "pack JSON -o FILE\n"
    "resave IN OUT [--screen WxH]\n"
    "check FILE\n"
    "results DIR [--test FILE] [--csv OUT] [--html OUT] [--xapi OUT]",
    "Looks into, converts, rewrites and checks test files (.cvl) and page files\n"
    "(.cvp), and reports on the attempt records of a results folder.\n"
    "\n"
    "  info    the test's title, version and pages with their objects\n"
    "  dump    the whole file as JSON; --no-data leaves out the payloads\n"
    "  pack    writes the test or page file that a JSON dump describes\n"
    "  resave  reads a file and writes it back as the programs save it\n"
    "  check   loads the file as the player does and lists what to fix\n"
    "  results the attempt records (.cvr) in a results folder: a summary, or a\n"
    "          CSV table, an HTML report and xAPI statements for a record store;\n"
    "          --test keeps the attempts at that test file\n"
    "  --screen WxH  the screen size the file is read and written for\n"};

int main(int argc, char *argv[])
{
    // check decodes payloads, which needs a GUI application of its own.
    if (argc > 1 && qstrcmp(argv[1], "check") == 0)
        return CheckMain(argc, argv);
    if (AnswerInfoOption(argc, argv, ToolInfo))
        return 0;
    QCoreApplication application(argc, argv);
    try {
        return Run(QCoreApplication::arguments().mid(1));
    } catch (const TQZNewerVersionError &) {
        // As in the programs: the file is left alone and this is no failure.
        Err() << NewerVersionMessage << '\n';
        return 0;
    } catch (const TQZFileError &error) {
        Err() << "corvtool: " << error.Message() << '\n';
        return 1;
    } catch (const TUsageError &error) {
        Err() << "corvtool: " << error.Message << '\n' << Usage;
        return 1;
    }
}
