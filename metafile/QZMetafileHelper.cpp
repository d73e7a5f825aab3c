// corvmetafilehelper: converts metafiles to SVG for the programs, in a
// process of its own, so that a fault in the C converters takes down only
// this helper. It reads requests on standard input and answers on standard
// output until its input ends:
//
//   request:  u32 length, then that many bytes of a metafile
//   answer:   u32 status (0 drawn, 1 rejected), i32 width, i32 height,
//             u32 length, then that many bytes: the SVG document, or the
//             reason for the rejection in UTF-8
//
// (all little-endian). It runs with limits: address space (--memory-mb),
// processor time per metafile (--cpu-seconds; the kernel ends the helper when
// a metafile takes longer), no files written, no core dumps, and it dies
// with the program that started it.
#include "QZMetafile.h"
#include "QZMetafileProtocol.h"

#include "QZByteReader.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

bool ReadAll(int fd, char *data, size_t size)
{
    while (size > 0) {
        const ssize_t got = read(fd, data, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= size_t(got);
    }
    return true;
}

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t put = write(fd, data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= size_t(put);
    }
    return true;
}

long Argument(int argc, char **argv, std::string_view name, long fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (name == argv[i])
            return std::strtol(argv[i + 1], nullptr, 10);
    return fallback;
}

void SetLimit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

// The processor time this process has used, in whole seconds rounded up.
rlim_t CpuSecondsUsed()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return rlim_t(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1);
}

} // namespace

int main(int argc, char **argv)
{
    // Dies with the program that started it, and never gains privileges.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    if (getppid() == 1)
        return 1;
    const long memoryMb = Argument(argc, argv, "--memory-mb", MetafileHelperMemoryMb);
    const long cpuSeconds = Argument(argc, argv, "--cpu-seconds", MetafileHelperCpuSeconds);
    // The sanitizers reserve terabytes of address space for their shadow
    // memory; under them the address space stays open.
    if (!Sanitized && memoryMb > 0)
        SetLimit(RLIMIT_AS, rlim_t(memoryMb) * 1024 * 1024, rlim_t(memoryMb) * 1024 * 1024);
    SetLimit(RLIMIT_CORE, 0, 0);
    std::signal(SIGXFSZ, SIG_IGN);
    SetLimit(RLIMIT_FSIZE, 0, 0);
    std::signal(SIGPIPE, SIG_IGN);

    for (;;) {
        char lengthBytes[4];
        if (!ReadAll(STDIN_FILENO, lengthBytes, sizeof lengthBytes))
            return 0;
        const quint32 length = LeAt<quint32>(QByteArrayView(lengthBytes, 4), 0);
        if (length > quint32(MaxMetafileBytes))
            return 2;
        QByteArray metafile(qsizetype(length), Qt::Uninitialized);
        if (!ReadAll(STDIN_FILENO, metafile.data(), length))
            return 2;

        // The kernel ends this process when this metafile takes longer.
        SetLimit(RLIMIT_CPU, CpuSecondsUsed() + rlim_t(cpuSeconds), RLIM_INFINITY);
        const TMetafileSvg converted = MetafileToSvg(metafile);
        SetLimit(RLIMIT_CPU, RLIM_INFINITY, RLIM_INFINITY);

        const bool drawn = !converted.Svg.isEmpty();
        const QByteArray payload = drawn ? converted.Svg : converted.Error.toUtf8();
        QByteArray answer;
        AppendLe<quint32>(answer, drawn ? MetafileDrawn : MetafileRejected);
        AppendLe<qint32>(answer, converted.NaturalSize.width());
        AppendLe<qint32>(answer, converted.NaturalSize.height());
        AppendLe<quint32>(answer, quint32(payload.size()));
        static_assert(MetafileAnswerHeaderBytes == 16);
        if (!WriteAll(STDOUT_FILENO, answer.constData(), size_t(answer.size())) ||
            !WriteAll(STDOUT_FILENO, payload.constData(), size_t(payload.size())))
            return 0;
    }
}
