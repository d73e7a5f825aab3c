// The start-up baseline: a bare Qt program that shows one maximised window
// and quits as soon as the window has been painted once.
#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>

namespace {

class TBareWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        // Quit once this first frame has reached the screen.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    TBareWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.showMaximized();
    return QApplication::exec();
}
