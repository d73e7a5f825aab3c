// Load and save speed of a large test file, against reading the same file's
// bytes into memory.
//
// The file is built once, before the benchmarks run, through the document
// classes: 200 pages of 100 headless objects each. Every fifth object is a
// bitmap picture and every tenth a rich text with an RTF payload; the rest
// cycle through the other object types with the records new objects start
// with. The pictures carry most of the bytes, so the file comes to about
// 50 MB, a large illustrated test.
#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZStream.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr int PageCount = 200;
constexpr int ObjectsPerPage = 100;
// Within a page: object i is a picture when i % 5 == 0, a rich text when
// i % 10 == 1, and one of the types below otherwise (70 of the 100; the OLE
// frames are empty, so none of these has a payload).
constexpr int PlainTypes[] = {ObjIzbire,        ObjVnosnoOkno, ObjDaNe,  ObjBesedilo,
                              ObjPanelBesedilo, ObjGumb,       ObjMedia, ObjOle};
// A 64 x 48 bitmap of 24-bit pixels is 9270 bytes as a BMP file. With 4000
// of them, the 14 000 records (about 11 MB) and the rich texts (about 3 MB),
// the file comes to about 50 MB.
constexpr int PictureWidth = 64;
constexpr int PictureHeight = 48;
constexpr int RtfParagraphs = 12;

// The files the benchmarks share: the test file built before they run and the
// file BM_SaveTest writes.
struct TBenchFiles
{
    QString TestFile;
    QString SaveFile;
    qint64 TestFileSize = 0;
};

TBenchFiles Files;

// A BMP file image that differs from picture to picture, as the pictures of a
// real test do; `n` numbers the picture within the test.
QByteArray PictureBytes(int n)
{
    QImage image(PictureWidth, PictureHeight, QImage::Format_RGB888);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x)
            image.setPixel(x, y,
                           qRgb((x * 4 + n) & 0xFF, (y * 5 + n / 3) & 0xFF, (x ^ y ^ n) & 0xFF));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        return {};
    return bytes;
}

// About 1.5 KB of RTF, as a rich text frame with a few paragraphs saves it.
QByteArray RtfBytes(int n)
{
    QByteArray rtf = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1250\\deff0"
                                       "{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial CE;}}"
                                       "{\\colortbl ;\\red0\\green0\\blue128;}"
                                       "\\viewkind4\\uc1\\pard\\cf1\\lang1060\\f0\\fs20 ");
    for (int p = 0; p < RtfParagraphs; ++p) {
        rtf += "Paragraph " + QByteArray::number(p + 1) + " of rich text " + QByteArray::number(n);
        rtf += ": {\\b bold}, {\\i italic} and plain words that fill a line or two of the frame.";
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

std::unique_ptr<TQZRecordObject> NewObject(int typeTag)
{
    return std::make_unique<TQZRecordObject>(typeTag, NewObjectRecord(typeTag));
}

// False when a picture could not be made.
bool BuildTest(TQZNaloga &naloga)
{
    naloga.TestRecord() = NewTestRecord();
    naloga.TestRecord().Title.SetBytes(QByteArrayLiteral("Load and save benchmark"));
    int pictures = 0;
    int texts = 0;
    int plain = 0;
    for (int p = 0; p < PageCount; ++p) {
        auto page = naloga.NewPage();
        page->SetPageRecord(NewPageRecord("Page " + QByteArray::number(p + 1),
                                          QByteArrayLiteral("(Forward)"),
                                          QByteArrayLiteral("(Forward)")));
        for (int i = 0; i < ObjectsPerPage; ++i) {
            if (i % 5 == 0) {
                auto object = NewObject(ObjSlika);
                const QByteArray picture = PictureBytes(pictures++);
                if (picture.isEmpty())
                    return false;
                object->SetPayload(picture);
                page->AddObject(std::move(object));
            } else if (i % 10 == 1) {
                auto object = NewObject(ObjMemo);
                object->SetPayload(RtfBytes(texts++));
                page->AddObject(std::move(object));
            } else {
                constexpr int kinds = int(std::size(PlainTypes));
                page->AddObject(NewObject(PlainTypes[plain++ % kinds]));
            }
        }
        naloga.AddPage(std::move(page));
    }
    return true;
}

// Loading must come back with every page and object, or the timings measure a
// load that stopped early.
bool LoadsWhole(const QString &fileName)
{
    TQZNaloga naloga;
    naloga.LoadTestFile(fileName);
    if (naloga.PageCount() != PageCount)
        return false;
    for (int p = 0; p < PageCount; ++p)
        if (naloga.Page(p)->ObjectCount() != ObjectsPerPage)
            return false;
    return true;
}

// Throughput in bytes of the test file per second, next to the times.
void CountFileBytes(benchmark::State &state)
{
    state.SetBytesProcessed(qint64(state.iterations()) * Files.TestFileSize);
}

// The baseline: the bytes of the file into memory, as the load starts.
void BM_ReadBytes(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(Files.TestFile);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the test file cannot be opened");
            break;
        }
        const QByteArray data = file.readAll();
        benchmark::DoNotOptimize(data.constData());
    }
    CountFileBytes(state);
}

void BM_LoadTest(benchmark::State &state)
{
    for (auto _ : state) {
        TQZNaloga naloga;
        try {
            naloga.LoadTestFile(Files.TestFile);
        } catch (const TQZFileError &error) {
            state.SkipWithError(error.what());
            break;
        }
        benchmark::DoNotOptimize(naloga.PageCount());
    }
    CountFileBytes(state);
}

void BM_SaveTest(benchmark::State &state)
{
    TQZNaloga naloga;
    try {
        naloga.LoadTestFile(Files.TestFile);
    } catch (const TQZFileError &error) {
        state.SkipWithError(error.what());
        return;
    }
    for (auto _ : state) {
        try {
            naloga.SaveTestFile(Files.SaveFile);
        } catch (const TQZFileError &error) {
            state.SkipWithError(error.what());
            break;
        }
    }
    CountFileBytes(state);
}

// Fixed iteration counts, repeated three times, keep the whole run to about
// twenty seconds. run.sh compares the medians of the repetitions: the save
// waits for the disk, and one repetition of it can be a quarter off the next.
template<int Iterations> void TimeInMilliseconds(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(Iterations)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_ReadBytes)->Apply(TimeInMilliseconds<50>);
BENCHMARK(BM_LoadTest)->Apply(TimeInMilliseconds<30>);
BENCHMARK(BM_SaveTest)->Apply(TimeInMilliseconds<20>);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "corvbench: no temporary folder: %s\n", qPrintable(dir.errorString()));
        return 1;
    }
    Files.TestFile = dir.filePath(QStringLiteral("Bench.cvl"));
    Files.SaveFile = dir.filePath(QStringLiteral("Saved.cvl"));
    try {
        TQZNaloga naloga;
        if (!BuildTest(naloga)) {
            std::fprintf(stderr, "corvbench: a picture cannot be made as a BMP file\n");
            return 1;
        }
        naloga.SaveTestFile(Files.TestFile);
        if (!LoadsWhole(Files.TestFile)) {
            std::fprintf(stderr, "corvbench: the test file does not load back whole\n");
            return 1;
        }
    } catch (const TQZFileError &error) {
        std::fprintf(stderr, "corvbench: %s\n", error.what());
        return 1;
    }
    Files.TestFileSize = QFile(Files.TestFile).size();

    benchmark::AddCustomContext("test_file_bytes", std::to_string(Files.TestFileSize));
    benchmark::AddCustomContext("test_file_pages", std::to_string(PageCount));
    benchmark::AddCustomContext("test_file_objects", std::to_string(PageCount * ObjectsPerPage));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
