#include "QZCorvtoolRun.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QtEndian>

#include <utility>

qint32 Int32At(const QByteArray &data, qsizetype at)
{
    return qFromLittleEndian<qint32>(data.constData() + at);
}

void SetInt32At(QByteArray &data, qsizetype at, qint32 value)
{
    qToLittleEndian<qint32>(value, data.data() + at);
}

QByteArray ShortStringAt(const QByteArray &data, qsizetype at)
{
    return data.mid(at + 1, quint8(data.at(at)));
}

namespace {

// Walks `count` page streams from `at` as a reader of the format does. Returns
// the offset after the last one, or -1 when the data does not hold them.
qsizetype WalkPages(const QByteArray &data, qsizetype at, int count, std::vector<TPageSpan> &pages)
{
    for (int p = 0; p < count; ++p) {
        if (at + PageRecordSize > data.size())
            return -1;
        TPageSpan page{at, ShortStringAt(data, at), Int32At(data, at + ObjectCountAt), {}};
        if (page.ObjectCount < 0 || page.ObjectCount > MaxObjects)
            return -1;
        const qsizetype types = at + ObjectTypesAt;
        at += PageRecordSize;
        for (int i = 0; i < page.ObjectCount; ++i) {
            const int tag = quint8(data.at(types + i));
            const int size = tag < int(RecordSizes.size()) ? RecordSizes[size_t(tag)] : 0;
            if (size == 0)
                continue;
            if (at + size > data.size())
                return -1;
            TObjectSpan object{tag, at, false, {}};
            at += size;
            qint32 length = 0;
            if (tag == TagMemo) {
                object.HasPayload = true;
                length = Int32At(data, object.RecordAt + RtfLengthAt);
            } else if (tag == TagPicture) {
                object.HasPayload = true;
                length = Int32At(data, object.RecordAt + PictureLengthAt);
            } else if (tag == TagOle && data.at(object.RecordAt + OleIsEmptyAt) == 0) {
                object.HasPayload = true;
                length = Int32At(data, object.RecordAt + OleLengthAt);
            }
            if (object.HasPayload) {
                if (length < 0 || at + length > data.size())
                    return -1;
                object.Payload = data.mid(at, length);
                at += length;
            }
            page.Objects.push_back(std::move(object));
        }
        pages.push_back(std::move(page));
    }
    return at;
}

} // namespace

bool ReadTestFilePages(const QByteArray &data, std::vector<TPageSpan> &pages)
{
    if (data.size() < TestRecordSize)
        return false;
    return WalkPages(data, TestRecordSize, Int32At(data, PageCountAt), pages) == data.size();
}

bool ReadPageFilePage(const QByteArray &data, std::vector<TPageSpan> &pages)
{
    return WalkPages(data, 0, 1, pages) == data.size();
}

qsizetype FirstDifference(const QByteArray &a, const QByteArray &b)
{
    const qsizetype common = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i)
        if (a.at(i) != b.at(i))
            return i;
    return a.size() == b.size() ? -1 : common;
}

QString SizeAndDifference(const QByteArray &expected, const QByteArray &actual)
{
    const qsizetype at = FirstDifference(expected, actual);
    if (at < 0)
        return {};
    return QStringLiteral("%1 bytes expected, %2 written; first difference at byte %3")
        .arg(expected.size())
        .arg(actual.size())
        .arg(at);
}

QProcessEnvironment CleanEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("CORVELLA_CODEPAGE"));
    return environment;
}

TRun Corvtool(const QStringList &arguments, const QProcessEnvironment &environment)
{
    TRun run;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(CorvtoolPath, arguments);
    if (!process.waitForStarted(10000)) {
        run.Err = QStringLiteral("corvtool did not start: ") + process.errorString();
        return run;
    }
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        run.Err = QStringLiteral("corvtool did not finish");
        return run;
    }
    run.Out = process.readAllStandardOutput();
    run.Err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit)
        run.ExitCode = process.exitCode();
    else
        run.Err.prepend(QStringLiteral("corvtool crashed; "));
    return run;
}

bool WriteFile(const QString &fileName, const QByteArray &data)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray ReadFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject ParseObject(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        *error = parseError.errorString();
    else if (!document.isObject())
        *error = QStringLiteral("not a JSON object");
    return document.object();
}

QByteArray Sha256Hex(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

TRun TCorvtoolFolder::Pack(const QString &name, const QJsonObject &json, const QString &output,
                           const QProcessEnvironment &environment) const
{
    const QString source = FilePath(name);
    if (!WriteFile(source, QJsonDocument(json).toJson())) {
        TRun failed;
        failed.Err = QStringLiteral("cannot write ") + source;
        return failed;
    }
    return Corvtool({QStringLiteral("pack"), source, QStringLiteral("-o"), output}, environment);
}

void CheckCorvtool(const TCorvtoolFolder &folder)
{
    QVERIFY2(QFileInfo(CorvtoolPath).isExecutable(), qPrintable(CorvtoolPath));
    QVERIFY(folder.IsValid());
}

void PackDemo(const TCorvtoolFolder &folder, TPackedDemo &demo)
{
    CheckCorvtool(folder);
    if (QTest::currentTestFailed())
        return;

    QString error;
    demo.Source = ParseObject(ReadFile(DemoSource), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    demo.Path = folder.FilePath(QStringLiteral("Demo.cvl"));
    const TRun run =
        Corvtool({QStringLiteral("pack"), DemoSource, QStringLiteral("-o"), demo.Path});
    EXPECT_EXIT(run, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    demo.Bytes = ReadFile(demo.Path);
}
