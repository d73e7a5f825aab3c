// corvtool run as a separate program by its tests, and the file layout they
// read its output with. The files it is given are written byte by byte, and
// the files it writes are read back the same way, so that the document
// library never checks itself.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <vector>

const QString CorvtoolPath = QStringLiteral(CORVTOOL_PATH);
const QString DemoSource = QStringLiteral(CORVELLA_EXAMPLES_DIR "/Demo.json");

// ---------------------------------------------------------------------------
// The file layout, as far as these tests need it.

constexpr int TestRecordSize = 2400;
constexpr int BannerEnd = 52; // the banner, rewritten on every save
constexpr int FileVersionAt = 52;
constexpr int PageCountAt = 2396;
constexpr int PageRecordSize = 1292;
constexpr int ObjectCountAt = 768;
constexpr int ObjectTypesAt = 772;
constexpr int MaxObjects = 512;
constexpr qint32 CurrentVersion = 768;

constexpr int TagMemo = 5;
constexpr int TagPicture = 6;
constexpr int TagOle = 8;
// Fixed record size of each type tag; tag 9 is the page record, no object.
constexpr std::array<int, 11> RecordSizes = {2384, 900, 536, 544, 548, 28, 24, 376, 32, 0, 804};
constexpr std::array<int, 10> ObjectTags = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10};

constexpr int MemoHeightAt = 12;
constexpr int RtfLengthAt = 20;
constexpr int SavedEditHeightAt = 24;
constexpr int PictureKindAt = 17;
constexpr int PictureLengthAt = 20;
constexpr int OleIsEmptyAt = 0;
constexpr int OleLengthAt = 28;
constexpr int TextAt = 16; // Text of the transparent text record

// The inner box of a rich text frame is the frame less a margin above and
// below; the margin is 0.625 % of the screen width, 13 pixels at 2048.
constexpr qint32 MarginAt2048 = 13;

qint32 Int32At(const QByteArray &data, qsizetype at);
void SetInt32At(QByteArray &data, qsizetype at, qint32 value);
// The meaningful bytes of a string[N] at `at`.
QByteArray ShortStringAt(const QByteArray &data, qsizetype at);

struct TObjectSpan
{
    int Tag;
    qsizetype RecordAt;
    bool HasPayload;
    QByteArray Payload;
};

struct TPageSpan
{
    qsizetype RecordAt;
    QByteArray Name;
    qint32 ObjectCount;
    std::vector<TObjectSpan> Objects;
};

// The pages of a whole test file; false unless they fill it exactly.
bool ReadTestFilePages(const QByteArray &data, std::vector<TPageSpan> &pages);
// The single page of a page file; false unless it fills the file exactly.
bool ReadPageFilePage(const QByteArray &data, std::vector<TPageSpan> &pages);

// The first byte at which two files differ, -1 when they are equal.
qsizetype FirstDifference(const QByteArray &a, const QByteArray &b);
// Empty when equal, else the sizes and the first difference.
QString SizeAndDifference(const QByteArray &expected, const QByteArray &actual);

// ---------------------------------------------------------------------------
// Running corvtool.

struct TRun
{
    int ExitCode = -1; // -1: did not start, crashed or hung
    QByteArray Out;
    QString Err;
};

// The environment of the test without a code page setting of the developer's.
QProcessEnvironment CleanEnvironment();
TRun Corvtool(const QStringList &arguments,
              const QProcessEnvironment &environment = CleanEnvironment());

#define EXPECT_EXIT(run, code)                                                                     \
    QVERIFY2((run).ExitCode == (code), qPrintable(QStringLiteral("exit code %1, expected %2; "     \
                                                                 "stderr: %3")                     \
                                                      .arg((run).ExitCode)                         \
                                                      .arg(code)                                   \
                                                      .arg((run).Err)))

bool WriteFile(const QString &fileName, const QByteArray &data);
QByteArray ReadFile(const QString &fileName);
QJsonObject ParseObject(const QByteArray &json, QString *error);
QByteArray Sha256Hex(const QByteArray &data);

// The folder of one test program: the files corvtool is given and writes.
class TCorvtoolFolder
{
public:
    bool IsValid() const { return m_dir.isValid(); }
    QString FilePath(const QString &name) const { return m_dir.filePath(name); }
    // Packs a JSON document held in memory into `output`, through a source
    // file `name` in the folder.
    TRun Pack(const QString &name, const QJsonObject &json, const QString &output,
              const QProcessEnvironment &environment = CleanEnvironment()) const;

private:
    QTemporaryDir m_dir;
};

// examples/Demo.json and the test file packed from it.
struct TPackedDemo
{
    QString Path; // in the folder
    QByteArray Bytes;
    QJsonObject Source;
};

// Fails the running test function unless corvtool was built and the folder
// made; for an initTestCase.
void CheckCorvtool(const TCorvtoolFolder &folder);
// Packs the demo into the folder after CheckCorvtool, failing the running
// test function when that does not work.
void PackDemo(const TCorvtoolFolder &folder, TPackedDemo &demo);
