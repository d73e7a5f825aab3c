#include "QZTestMain.h"

#include <QGuiApplication>
#include <QTest>

std::map<QString, TTestFactory> &TestRegistry()
{
    static std::map<QString, TTestFactory> registry;
    return registry;
}

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    QStringList classes;
    if (arguments.size() > 1 && TestRegistry().count(arguments.at(1))) {
        classes << arguments.takeAt(1);
    } else {
        for (const auto &entry : TestRegistry())
            classes << entry.first;
    }
    int failures = 0;
    for (const QString &name : std::as_const(classes)) {
        const auto test = TestRegistry().at(name)();
        failures += QTest::qExec(test.get(), arguments);
    }
    return failures == 0 ? 0 : 1;
}
