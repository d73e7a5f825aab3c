#include "QZRTPrvaStran.h"

#include "QZFonts.h"
#include "QZScaling.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace CorvPlayer {

namespace {

const QColor Navy(0, 0, 128);

// Pixel sizes, so that the window keeps its look whatever the system font
// size is.
QFont WindowFont(int pixelHeight, bool bold, bool italic = false)
{
    QFont font(FreeFamilyOf(QStringLiteral("Arial")));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QLabel *NavyLabel(const QString &text, const QFont &font, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Navy);
    label->setPalette(palette);
    label->setGeometry(geometry);
    return label;
}

} // namespace

TPrvaStran::TPrvaStran(std::function<QSize()> measure, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_measure(std::move(measure))
{
    if (!m_measure)
        m_measure = [] {
            const QScreen *screen = QGuiApplication::primaryScreen();
            return screen ? screen->size() : QSize(DesignWidth, DesignHeight);
        };
    setFixedSize(514, 198);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(palette);

    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setGeometry(rect());

    NavyLabel(QStringLiteral("Corvella Viewer"), WindowFont(40, true, true), QRect(24, 24, 466, 56),
              this)
        ->setObjectName(QStringLiteral("ProgramName"));
    NavyLabel(QStringLiteral("ver. 2.1"), WindowFont(14, true), QRect(24, 84, 200, 20), this)
        ->setObjectName(QStringLiteral("VersionLabel"));

    m_loadingPanel = new QLabel(QStringLiteral("Loading....."), this);
    m_loadingPanel->setObjectName(QStringLiteral("LoadingPanel"));
    m_loadingPanel->setFont(WindowFont(14, true));
    m_loadingPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_loadingPanel->setAlignment(Qt::AlignCenter);
    m_loadingPanel->setGeometry(24, 120, 466, 24);
    m_loadingPanel->hide();

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->setGeometry(24, 152, 466, 20);
    m_progressBar->hide();

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TPrvaStran::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        FormActivate();
    }
}

void TPrvaStran::FormActivate()
{
    QCoreApplication::setApplicationName(QStringLiteral("Corvella Builder"));
    const QSize client = m_measure();
    ScreenWidth = client.width();
    ScreenHeight = client.height();
}

void TPrvaStran::ShowLoading()
{
    m_loadingPanel->show();
    m_progressBar->show();
    repaint();
}

void TPrvaStran::SetProgress(int loaded, int total)
{
    // Painting the bar costs more than reading a page: show it at most about
    // 25 times a second, and always at the last page. The bar repaints itself
    // whenever its value changes visibly, so the value is set only then too.
    if (!m_lastPaint.isValid() || m_lastPaint.elapsed() >= 40 || loaded >= total) {
        m_progressBar->setMaximum(total);
        m_progressBar->setValue(loaded);
        m_progressBar->repaint();
        m_lastPaint.start();
    }
}

} // namespace CorvPlayer
