// corvsweep: opens damaged variants of test files the way `corvtool check`
// and the player open them, and reports how each ended and the slowest time.
//
//   corvsweep [--stride N] [--part K/M] [--as-is] FILE...
//
// For every FILE: the file itself and, unless --as-is, every truncation and
// every single-byte corruption (the byte inverted) at each N-th position
// (N = 1: every position). --part K/M takes only the K-th of every M of those
// positions (K from 0), so that M processes share a long sweep. Each variant
// must either open or give an opening error; the program fails only if
// something else happens (a crash, which the sanitizers report, or a check
// status other than 0, 1 or 2).
#include "QZCheck.h"
#include "QZNaloga.h"
#include "QZRTGlavnoOkno.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

struct TTally
{
    int Variants = 0;
    int CheckStatus[3] = {0, 0, 0};
    int PlayerOpened = 0;
    int PlayerRefused = 0;
    qint64 SlowestCheckMs = 0;
    qint64 SlowestPlayerMs = 0;
    QString SlowestCheck;
    QString SlowestPlayer;
    bool Failed = false;
};

void Sweep(const QString &variantFile, const QString &label, TTally &tally)
{
    ++tally.Variants;
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QElapsedTimer clock;
    clock.start();
    const int status = CheckFile(variantFile, outStream, errStream);
    const qint64 checkMs = clock.elapsed();
    if (status < 0 || status > 2) {
        std::fprintf(stderr, "%s: check ended with %d\n", qPrintable(label), status);
        tally.Failed = true;
    } else {
        ++tally.CheckStatus[status];
    }
    if (checkMs > tally.SlowestCheckMs) {
        tally.SlowestCheckMs = checkMs;
        tally.SlowestCheck = label;
    }

    TQZScriptedInteraction script;
    clock.restart();
    {
        CorvPlayer::TGlavnoOkno window;
        const auto result = window.OpenTest(variantFile, {}, nullptr);
        if (result == CorvPlayer::TGlavnoOkno::TOpenResult::Opened)
            ++tally.PlayerOpened;
        else
            ++tally.PlayerRefused;
    }
    const qint64 playerMs = clock.elapsed();
    TestLoading = false;
    if (playerMs > tally.SlowestPlayerMs) {
        tally.SlowestPlayerMs = playerMs;
        tally.SlowestPlayer = label;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    qsizetype stride = 1;
    qsizetype part = 0;
    qsizetype parts = 1;
    bool asIs = false;
    if (arguments.size() >= 2 && arguments.at(0) == QLatin1String("--stride")) {
        stride = qMax(1, arguments.at(1).toInt());
        arguments.remove(0, 2);
    }
    if (arguments.size() >= 2 && arguments.at(0) == QLatin1String("--part")) {
        const QStringList share = arguments.at(1).split(QLatin1Char('/'));
        parts = share.size() == 2 ? share.at(1).toInt() : 0;
        part = share.size() == 2 ? share.at(0).toInt() : -1;
        if (parts < 1 || part < 0 || part >= parts) {
            std::fprintf(stderr, "corvsweep: --part wants K/M with 0 <= K < M\n");
            return 2;
        }
        arguments.remove(0, 2);
    }
    if (!arguments.isEmpty() && arguments.at(0) == QLatin1String("--as-is")) {
        asIs = true;
        arguments.removeFirst();
    }
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "Usage: corvsweep [--stride N] [--part K/M] [--as-is] FILE...\n");
        return 2;
    }

    QTemporaryDir folder;
    const QString variant = folder.filePath(QStringLiteral("variant.cvl"));
    const auto write = [&variant](const QByteArray &bytes) {
        QFile file(variant);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(variant));
    };

    TTally tally;
    for (const QString &name : std::as_const(arguments)) {
        const QByteArray whole = ReadWholeFile(name);
        if (asIs) {
            // Opened where it is, so that its clips are looked for beside it.
            Sweep(name, name, tally);
            continue;
        }
        if (part == 0) {
            write(whole);
            Sweep(variant, name, tally);
        }
        for (qsizetype at = part * stride; at < whole.size(); at += stride * parts) {
            write(whole.left(at));
            Sweep(variant, QStringLiteral("%1 cut at %2").arg(name).arg(at), tally);
            QByteArray damaged = whole;
            damaged[at] = char(~damaged[at]);
            write(damaged);
            Sweep(variant, QStringLiteral("%1 byte %2 inverted").arg(name).arg(at), tally);
        }
    }
    std::printf("%d variants; check: %d clean, %d with problems, %d not opened; player: %d "
                "opened, %d opening errors\nslowest check %lld ms (%s)\nslowest player %lld ms "
                "(%s)\n",
                tally.Variants, tally.CheckStatus[0], tally.CheckStatus[1], tally.CheckStatus[2],
                tally.PlayerOpened, tally.PlayerRefused, tally.SlowestCheckMs,
                qPrintable(tally.SlowestCheck), tally.SlowestPlayerMs,
                qPrintable(tally.SlowestPlayer));
    // The leak check at exit may end the process before stdio is flushed.
    std::fflush(stdout);
    return tally.Failed ? 1 : 0;
}
