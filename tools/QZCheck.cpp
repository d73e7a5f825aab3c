#include "QZCheck.h"

#include "QZAnswerMatch.h"
#include "QZClipLookup.h"
#include "QZCodePage.h"
#include "QZNaloga.h"
#include "QZOleActivation.h"
#include "QZOleObject.h"
#include "QZPicture.h"
#include "QZRecordFields.h"
#include "QZRecords.h"
#include "QZStream.h"
#include "QZTestSettings.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>

namespace {

const QString ForwardTarget = QLatin1String(ForwardTargetName);
constexpr int ChoiceSlots = 6;
constexpr int AnswerSlots = 5;

template<typename Record> Record RecordOf(const TQZControl &object)
{
    return RecordFromBytes<Record>(object.Record().constData());
}

QString Quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// Why the payload of a picture or OLE object would stop the player from
// opening the test; empty when it decodes. The steps are the objects' own
// when they take their payload. Rich text has no such fault: what is not RTF
// is shown as plain text.
QString PayloadFault(const TQZControl &object)
{
    const QByteArray payload = object.Payload();
    switch (object.ObjectTypeTag()) {
    case ObjSlika: {
        const auto record = RecordOf<TSlikaRecord>(object);
        if (record.PictureKind > 2)
            return QStringLiteral("the picture is of no kind this program shows (%1)")
                .arg(record.PictureKind);
        TQZPicture picture;
        QString error;
        if (!picture.Load(payload, TPictureKind(record.PictureKind), &error))
            return QStringLiteral("the picture cannot be read: %1").arg(error);
        return {};
    }
    case ObjOle: {
        if (RecordOf<TOleRecord>(object).IsEmpty != 0)
            return {};
        try {
            TOleObject::FromStream(payload);
        } catch (const TQZFileError &error) {
            return QStringLiteral("the OLE object cannot be read: %1").arg(error.Cause());
        }
        return {};
    }
    default: return {};
    }
}

// Why the player will not open an OLE object that the student may open by a
// double-click, as it would tell the student; empty when it would ask to
// open it, or when the object cannot be opened by the student anyway.
QString OpeningFault(const TQZControl &object)
{
    const auto record = RecordOf<TOleRecord>(object);
    if (record.IsEmpty != 0 || record.ActivationEnabled != 1)
        return {};
    try {
        QString refusal = PrepareOleOpening(TOleObject::FromStream(object.Payload())).Refusal;
        if (refusal.isEmpty())
            return {};
        // The message is a sentence; a problem's text is a clause.
        refusal[0] = refusal.at(0).toLower();
        if (refusal.endsWith(QLatin1Char('.')))
            refusal.chop(1);
        return refusal;
    } catch (const TQZFileError &) {
        return {}; // listed as a payload that cannot be read
    }
}

QString ClipFault(const TQZControl &object)
{
    const QString clip = DecodeDefault(RecordOf<TMediaRecord>(object).MediaFile.Bytes());
    const QString name = Quoted(clip);
    const QString onlyInside =
        QStringLiteral(": only clips in the test's folder or a folder below it are opened");
    switch (LookUpClip(clip).Fault) {
    case TClipFault::None: return {};
    case TClipFault::NoName: return QStringLiteral("no clip is named");
    case TClipFault::Address:
        return QStringLiteral("the clip %1 is not a file: addresses and devices are never opened")
            .arg(name);
    case TClipFault::FullPath:
        return QStringLiteral("the clip %1 is named by a full path").arg(name) + onlyInside;
    case TClipFault::NoTestFolder:
        return QStringLiteral("the clip %1 cannot be looked for: the test has no folder").arg(name);
    case TClipFault::OutsideFolder:
        return QStringLiteral("the clip %1 lies outside the test's folder").arg(name) + onlyInside;
    case TClipFault::OtherMount:
        return QStringLiteral("the clip %1 lies on another drive or share than the test")
                   .arg(name) +
               onlyInside;
    case TClipFault::Missing:
        return QStringLiteral("the clip %1 cannot be found or opened").arg(name);
    case TClipFault::NotAFile:
        return QStringLiteral("the clip %1 is a folder, a device or a pipe, not a file").arg(name);
    case TClipFault::TestFile:
        return QStringLiteral("the clip %1 is the test file itself").arg(name);
    case TClipFault::UnknownKind:
        return QStringLiteral("the clip %1 is not a sound, video or MIDI file by its extension")
            .arg(name);
    case TClipFault::WrongContent:
        return QStringLiteral("the clip %1 does not hold what its extension says").arg(name);
    case TClipFault::Unplayable:
        return QStringLiteral("the clip %1 is a playlist or a broken MIDI file and cannot be "
                              "played")
            .arg(name);
    }
    return {};
}

// A question no answer can make right: the player counts a choices question
// right only when the checked choices are exactly the right ones, and an
// input box when the typed text, which must not be blank, is an accepted
// answer.
QString QuestionFault(const TQZControl &object)
{
    if (object.ObjectTypeTag() == ObjIzbire) {
        const auto record = RecordOf<TIzbireRecord>(object);
        const int shown = std::clamp<int>(record.ChoiceCount, 0, ChoiceSlots);
        int right = 0;
        for (int i = 1; i <= shown; ++i)
            right += record.CorrectSet.Contains(i) ? 1 : 0;
        if (right == 0)
            return QStringLiteral("no right choice is marked");
        if (record.SingleAnswer && right > 1)
            return QStringLiteral("%1 choices are marked right, but only one can be chosen")
                .arg(right);
    } else if (object.ObjectTypeTag() == ObjVnosnoOkno) {
        const auto record = RecordOf<TVnosnoOknoRecord>(object);
        const int answerSlots = std::clamp<qint32>(record.AnswerCount, 0, AnswerSlots);
        for (int slot = 1; slot <= answerSlots; ++slot)
            if (!TrimmedName(DecodeDefault(record.Answers[slot].Bytes())).isEmpty())
                return {};
        return QStringLiteral("no accepted answer is given");
    }
    return {};
}

// What the settings of an input box cannot do as meant: values of the wrong
// type or out of range, and an edit distance so long that any answer as
// short as an accepted one is right.
QStringList InputSettingsFaults(const TQZControl &object)
{
    if (object.ObjectTypeTag() != ObjVnosnoOkno || object.Extra().isEmpty())
        return {};
    QStringList faults = TInputSettings::Faults(object.Extra());
    const TInputSettings settings = TInputSettings::FromJson(object.Extra());
    if (settings.EditDistance == 0)
        return faults;
    const auto record = RecordOf<TVnosnoOknoRecord>(object);
    const int answerSlots = std::clamp<qint32>(record.AnswerCount, 0, AnswerSlots);
    for (int slot = 1; slot <= answerSlots; ++slot) {
        const QString answer =
            DecodeText(record.Answers[slot].Bytes(), CodePageOfCharset(record.Font.Charset));
        const QString compared = NormalizedAnswer(answer, record.CaseSensitive, settings);
        // Numbers are compared by value, where the distance plays no part.
        if (compared.isEmpty() || (settings.NumberTolerance && AnswerNumber(compared)))
            continue;
        if (settings.EditDistance >= compared.size())
            faults << QStringLiteral("an edit distance of %1 accepts any answer as short as "
                                     "accepted answer %2")
                          .arg(settings.EditDistance)
                          .arg(slot);
    }
    return faults;
}

class TChecker
{
public:
    explicit TChecker(const TQZNaloga &test)
        : m_test(test)
    {
    }

    std::vector<TCheckProblem> Run()
    {
        std::vector<std::vector<int>> links(size_t(m_test.PageCount()));
        for (int i = 0; i < m_test.PageCount(); ++i)
            CheckPage(i, links[size_t(i)]);
        ReportUnreached(links);
        std::stable_sort(m_problems.begin(), m_problems.end(),
                         [](const TCheckProblem &a, const TCheckProblem &b) {
                             return std::pair(a.Page, a.Object) < std::pair(b.Page, b.Object);
                         });
        return std::move(m_problems);
    }

private:
    void Add(int page, int object, const QString &kind, const QString &text)
    {
        m_problems.push_back({page + 1, object, m_test.Page(page)->PageName(), kind, text});
    }

    // The page a target moves to after an evaluation, or -1 for none.
    int TargetPage(int page, const QString &target) const
    {
        const QString name = TrimmedName(target);
        if (name == ForwardTarget)
            return page + 1 < m_test.PageCount() ? page + 1 : -1;
        const int found = m_test.FindPage(name);
        return found < m_test.PageCount() ? found : -1;
    }

    void CheckPage(int index, std::vector<int> &links)
    {
        const TQZStran &page = *m_test.Page(index);
        bool confirms = false;
        int number = 0;
        for (const auto &object : page.Objects()) {
            ++number;
            const int tag = object->ObjectTypeTag();
            const QString kind = DescriptionOfType(tag);
            for (const QString &fault : {PayloadFault(*object), QuestionFault(*object)})
                if (!fault.isEmpty())
                    Add(index, number, kind, fault);
            for (const QString &fault : InputSettingsFaults(*object))
                Add(index, number, kind, fault);
            if (tag == ObjMedia)
                if (const QString fault = ClipFault(*object); !fault.isEmpty())
                    Add(index, number, kind, fault);
            if (tag == ObjOle)
                if (const QString fault = OpeningFault(*object); !fault.isEmpty())
                    Add(index, number, kind, fault);
            if (tag != ObjGumb)
                continue;
            const auto button = RecordOf<TGumbRecord>(*object);
            if (button.ButtonKind == KindForward && index + 1 < m_test.PageCount()) {
                links.push_back(index + 1);
            } else if (button.ButtonKind == KindPage) {
                const QString target = DecodeDefault(button.TargetPage.Bytes());
                const int found = m_test.FindPage(target);
                if (found < m_test.PageCount())
                    links.push_back(found);
                else
                    Add(index, number, kind,
                        QStringLiteral("the button goes to page %1, which does not exist")
                            .arg(Quoted(TrimmedName(target))));
            } else if (button.ButtonKind == KindConfirm) {
                confirms = true;
            }
        }
        if (!confirms)
            return;
        // Targets count only where a button confirms the page.
        const std::pair<QString, QString> targets[] = {
            {page.CorrectTarget(), QStringLiteral("right")},
            {page.WrongTarget(), QStringLiteral("wrong")}};
        for (const auto &[target, which] : targets) {
            const int found = TargetPage(index, target);
            if (found >= 0)
                links.push_back(found);
            else if (TrimmedName(target).isEmpty())
                Add(index, 0, {},
                    QStringLiteral("the page is confirmed but names no page to go to after %1 "
                                   "answers")
                        .arg(which));
            else if (TrimmedName(target) != ForwardTarget)
                Add(index, 0, {},
                    QStringLiteral("after %1 answers the page goes to page %2, which does not "
                                   "exist")
                        .arg(which, Quoted(TrimmedName(target))));
        }
    }

    void ReportUnreached(const std::vector<std::vector<int>> &links)
    {
        if (links.empty())
            return;
        std::vector<bool> reached(links.size(), false);
        std::vector<int> pending{0};
        reached[0] = true;
        while (!pending.empty()) {
            const int page = pending.back();
            pending.pop_back();
            for (const int next : links[size_t(page)])
                if (!reached[size_t(next)]) {
                    reached[size_t(next)] = true;
                    pending.push_back(next);
                }
        }
        for (size_t i = 0; i < reached.size(); ++i)
            if (!reached[i])
                Add(int(i), 0, {},
                    QStringLiteral("no button or target leads to this page from the first page"));
    }

    const TQZNaloga &m_test;
    std::vector<TCheckProblem> m_problems;
};

} // namespace

QString TCheckProblem::Line() const
{
    if (Page == 0)
        return Text;
    QString line = QStringLiteral("page %1 %2").arg(Page).arg(Quoted(PageName));
    if (Object > 0)
        line += QStringLiteral(", object %1 (%2)").arg(Object).arg(ObjectKind);
    return line + QStringLiteral(": ") + Text;
}

std::vector<TCheckProblem> CheckTest(const TQZNaloga &test)
{
    std::vector<TCheckProblem> problems;
    if (!test.ExtensionProblem().isEmpty())
        problems.push_back({0, 0, {}, {}, test.ExtensionProblem()});
    for (const QString &fault : TTestSettings::Faults(test.Extensions()))
        problems.push_back({0, 0, {}, {}, fault});
    for (const QString &orphan : test.ExtensionOrphans())
        problems.push_back(
            {0, 0, {}, {}, orphan + QStringLiteral(": they are dropped when the test is saved")});
    for (TCheckProblem &problem : TChecker(test).Run())
        problems.push_back(std::move(problem));
    return problems;
}

int CheckFile(const QString &fileName, QTextStream &out, QTextStream &err)
{
    TQZNaloga test;
    try {
        if (QFileInfo(fileName).suffix().compare(QLatin1String("cvp"), Qt::CaseInsensitive) == 0)
            test.LoadPageFromFile(fileName);
        else
            test.LoadTestFile(fileName);
    } catch (const TQZNewerVersionError &) {
        err << "corvtool: " << fileName << ": " << NewerVersionMessage << '\n';
        TestLoading = false;
        return 2;
    } catch (const TQZFileError &error) {
        err << "corvtool: " << error.Message() << '\n';
        TestLoading = false;
        return 2;
    }
    TestLoading = false;
    SetTestFile(fileName);
    const std::vector<TCheckProblem> problems = CheckTest(test);
    for (const TCheckProblem &problem : problems)
        out << problem.Line() << '\n';
    out.flush();
    err.flush();
    return problems.empty() ? 0 : 1;
}

int CheckMain(int argc, char *argv[])
{
    // Decoding lays out rich text and draws metafiles, which needs fonts but
    // no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    // Qt's own warnings about odd content (a font of size 0, a missing
    // runtime folder) are not problems of the test: the lines are the report.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    QGuiApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    if (arguments.size() != 1) {
        err << "Usage: corvtool check FILE\n";
        return 2;
    }
    return CheckFile(arguments.at(0), out, err);
}
