// Fuzz target: any bytes as an attempt record, read as found in a results
// folder and again with every line given its checksum, so that the entries'
// JSON reaches the field readers rather than stopping at the checksums. Each
// record read goes through the item analysis and every report.
#include "QZAttemptLines.h"
#include "QZAttemptRecord.h"
#include "QZResultsExport.h"

#include <QJsonArray>

#include <cstddef>
#include <cstdint>

namespace {

void Report(Corvella::TAttemptReader &reader, const QByteArray &bytes)
{
    Corvella::TAttempt attempt;
    if (reader.Parse(bytes, attempt) != Corvella::TAttemptReader::TStatus::Ok)
        return;
    attempt.VisitedPercent();
    std::vector<Corvella::TAttempt> attempts{attempt, attempt};
    const Corvella::TResultsAnalysis analysis(std::move(attempts));
    analysis.Items();
    Corvella::ResultsCsv(analysis);
    Corvella::ResultsHtml(analysis);
    Corvella::ResultsXapi(analysis);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Corvella::TAttemptReader reader;
    Report(reader, bytes);
    QByteArray signed_;
    for (const QByteArray &line : bytes.split('\n'))
        signed_ += Corvella::Sha256Hex(line) + ' ' + line + '\n';
    Report(reader, signed_);
    return 0;
}
