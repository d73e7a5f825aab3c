// corvbld, the builder: makes and edits tests page by page.
#include "QZBuilder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    TBuilder builder(QCoreApplication::arguments());
    builder.Create();
    builder.Show();
    return application.exec();
}
