// Runs the player's test classes one after the other.
#include <QApplication>
#include <QTest>

#include <memory>

QObject *NewTestRun();
QObject *NewTestStartup();
QObject *NewTestClips();
QObject *NewTestEmbeddedFiles();
QObject *NewTestRecording();

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int failures = 0;
    for (auto make :
         {&NewTestRun, &NewTestStartup, &NewTestClips, &NewTestEmbeddedFiles, &NewTestRecording}) {
        const std::unique_ptr<QObject> test(make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
