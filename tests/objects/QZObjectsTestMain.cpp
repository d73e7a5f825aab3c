#include "QZObjectsTest.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

std::unique_ptr<QObject> NewQuestionsTest();
std::unique_ptr<QObject> NewFacesTest();

void TObjectsTestCase::init()
{
    m_screenWidth = ScreenWidth;
    m_screenHeight = ScreenHeight;
    m_fileVersion = FileVersion;
    m_testLoading = TestLoading;
    ScreenWidth = 1024;
    ScreenHeight = 749;
    FileVersion = CurrentFileVersion;
    TestLoading = false;
}

void TObjectsTestCase::cleanup()
{
    ScreenWidth = m_screenWidth;
    ScreenHeight = m_screenHeight;
    FileVersion = m_fileVersion;
    TestLoading = m_testLoading;
}

bool ShowAndActivate(QWidget &window)
{
    window.resize(1024, 749);
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

int StackIndex(const QWidget *face)
{
    return int(face->parentWidget()->children().indexOf(const_cast<QWidget *>(face)));
}

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int failures = 0;
    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(NewQuestionsTest());
    tests.push_back(NewFacesTest());
    for (const auto &test : tests)
        failures += QTest::qExec(test.get(), argc, argv);
    return failures == 0 ? 0 : 1;
}
