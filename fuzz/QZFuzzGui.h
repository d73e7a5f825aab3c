// The Qt application the fuzz targets that lay out text or draw need: fonts,
// image readers and the SVG renderer want a QGuiApplication. Made once, on
// the offscreen platform, with no arguments of the fuzzer's own.
#pragma once

#include <QGuiApplication>

inline void EnsureFuzzApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static int argc = 1;
    static char name[] = "corvfuzz";
    static char *argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}
