// corvbld, the builder: makes and edits tests page by page.
#include "QZBuilder.h"
#include "QZProgramInfo.h"

#include <QApplication>

using namespace CorvBuilder;

const TProgramInfo BuilderInfo{"corvbld", "[TEST-FILE]",
                               "Makes and edits on-screen tests page by page.\n"
                               "\n"
                               "  TEST-FILE  the test file (.cvl) to open at start\n"};

int main(int argc, char *argv[])
{
    if (AnswerInfoOption(argc, argv, BuilderInfo))
        return 0;
    QApplication application(argc, argv);
    TBuilder builder(QCoreApplication::arguments());
    builder.Create();
    builder.Show();
    return application.exec();
}
