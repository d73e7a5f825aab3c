// corvtemplatepreview: draws the picture that previews a page template in the
// builder's "New Page from Template" dialog. The page is built on an
// off-screen page surface of 1024 x 768 pixels, as the player would show it,
// and saved scaled down as a bitmap.
//
//   corvtemplatepreview PAGE.cvp PICTURE.BMP
#include "QZControls.h"
#include "QZNaloga.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int PageWidth = 1024;
constexpr int PageHeight = 768;
constexpr int PictureWidth = 256;

int Fail(const QString &message)
{
    QTextStream(stderr) << "corvtemplatepreview: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // A build step never opens a window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return Fail(QStringLiteral("usage: corvtemplatepreview PAGE.cvp PICTURE.BMP"));

    ScreenWidth = PageWidth;
    ScreenHeight = PageHeight;
    TQZPageSurface surface;
    surface.resize(PageWidth, PageHeight);
    {
        TQZNaloga test(&surface, &WidgetObjectFactory());
        try {
            TestLoading = true;
            test.LoadPageFromFile(arguments.at(1));
            TestLoading = false;
        } catch (const TQZFileError &error) {
            return Fail(error.Message());
        }
        test.GoToPage(0);
        surface.show();
        QCoreApplication::processEvents();
        const QImage page = surface.grab().toImage();
        // The page is 4 : 3, and so is the picture.
        const QImage picture = page.scaledToWidth(PictureWidth, Qt::SmoothTransformation)
                                   .convertToFormat(QImage::Format_RGB888);
        if (!picture.save(arguments.at(2), "BMP"))
            return Fail(
                QStringLiteral("%1: the picture could not be written").arg(arguments.at(2)));
    }
    return 0;
}
