#include "QZMedia.h"

#include "QZCodePage.h"
#include "QZInteraction.h"
#include "QZNaloga.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVideoWidget>

namespace {

// The system's button-face colour.
constexpr quint32 ButtonFace = 0x8000000F;

const QString CanNotOpenMedia = QStringLiteral("I can not open the Media Player");

} // namespace

TQZMediaDisplay::TQZMediaDisplay(QWidget *parent)
    : TQZObjectFrame(parent, ButtonFace)
    , m_caption(new QLabel(this))
{
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setWordWrap(true);
    // Presses on the caption or the picture are presses on the display.
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    SetInner(m_caption);
}

QVideoWidget *TQZMediaDisplay::MakeVideo()
{
    if (!m_video) {
        PrepareMediaBackend();
        m_video = new QVideoWidget(this);
        m_video->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_video->setAspectRatioMode(Qt::IgnoreAspectRatio);
        m_video->setGeometry(rect());
        m_video->hide();
    }
    return m_video;
}

void TQZMediaDisplay::DropVideo() { delete m_video.data(); }

void TQZMediaDisplay::ShowPicture(bool shown)
{
    if (!m_video)
        return;
    m_video->setGeometry(rect());
    m_video->setVisible(shown);
    if (shown)
        m_video->raise();
}

void TQZMediaDisplay::resizeEvent(QResizeEvent *event)
{
    TQZObjectFrame::resizeEvent(event);
    if (m_video)
        m_video->setGeometry(rect());
}

TQZMedia::TQZMedia(QWidget *parent, const TMediaRecord &record)
    : TQZFaceControl(ObjMedia, parent, record)
{
    auto *display = new TQZMediaDisplay(parent);
    SetFace(display);

    auto *bar = new QWidget(parent);
    m_bar = bar;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    using Command = void (TQZMediaDevice::*)();
    const std::pair<QString, Command> buttons[] = {
        {QStringLiteral("Play"), &TQZMediaDevice::Play},
        {QStringLiteral("Pause"), &TQZMediaDevice::Pause},
        {QStringLiteral("Stop"), &TQZMediaDevice::Stop},
        {QStringLiteral("Previous"), &TQZMediaDevice::Previous},
    };
    for (const auto &[text, command] : buttons) {
        auto *button = new QPushButton(text, bar);
        button->setObjectName(text);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(false);
        layout->addWidget(button);
        QObject::connect(button, &QPushButton::clicked, &m_device,
                         [this, command] { (m_device.*command)(); });
    }
    bar->setVisible(!TestLoading);

    QObject::connect(&m_device, &TQZMediaDevice::PictureStateChanged, display,
                     [this] { UpdatePicture(); });

    display->CaptionLabel()->setText(CaptionText());
    display->setAccessibleName(CaptionText());
    display->Place(FaceRect(m_record.Left, m_record.Top, m_record.Width, m_record.Height));
    PlaceBar();
    if (!TestLoading)
        OpenOrTell();
}

// The clip goes before the display that shows its picture.
TQZMedia::~TQZMedia()
{
    m_device.disconnect();
    m_device.Close();
    delete m_bar.data();
}

TQZMediaDisplay *TQZMedia::Display() const { return static_cast<TQZMediaDisplay *>(Face()); }

QString TQZMedia::ClipName() const { return DecodeDefault(m_record.MediaFile.Bytes()).trimmed(); }

QString TQZMedia::CaptionText() const { return DecodeDefault(m_record.Caption.Bytes()); }

void TQZMedia::PlaceBar()
{
    const QWidget *display = Display();
    // The four buttons share the display's width: the captions take the
    // largest font, up to the page's own, in which the longest one fits.
    const int buttonWidth = display->width() / 4;
    QFont font = m_parent->font();
    const int padding = 2 * m_bar->style()->pixelMetric(QStyle::PM_ButtonMargin) + 4;
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    for (font.setPixelSize(pixels);
         pixels > 6 &&
         QFontMetrics(font).horizontalAdvance(QStringLiteral("Previous")) + padding > buttonWidth;
         font.setPixelSize(--pixels)) {
    }
    m_bar->setFont(font);
    m_bar->setGeometry(display->x(), display->y() + display->height(), display->width(),
                       m_bar->sizeHint().height());
}

void TQZMedia::UpdatePicture()
{
    if (auto *display = Display())
        display->ShowPicture(m_device.HasVideo() && m_device.IsStarted());
}

void TQZMedia::OpenOrTell()
{
    if (!OpenMedia())
        ShowPlainError(CanNotOpenMedia);
}

void TQZMedia::MoveTo(qint32 left, qint32 top)
{
    m_record.Left = left;
    m_record.Top = top;
    Display()->move(FaceCoordinate(left), FaceCoordinate(top));
    PlaceBar();
}

void TQZMedia::ResizeTo(qint32 width, qint32 height)
{
    m_record.Width = width;
    m_record.Height = height;
    TQZMediaDisplay *display = Display();
    display->Place(FaceRect(display->x(), display->y(), width, height));
    // The picture fills the display, also while the page is not on screen.
    if (display->Video())
        display->Video()->setGeometry(display->rect());
    PlaceBar();
}

void TQZMedia::SetShown(bool visible)
{
    TQZFaceControl::SetShown(visible);
    if (m_bar)
        m_bar->setVisible(visible);
}

bool TQZMedia::OpenMedia()
{
    const bool opened = m_device.Open(ClipName(), Display()->MakeVideo());
    if (!opened)
        Display()->DropVideo();
    UpdatePicture();
    return opened;
}

bool TQZMedia::CloseMedia()
{
    const bool closed = m_device.Close();
    Display()->DropVideo();
    return closed;
}

void TQZMedia::ApplyRecord(const TMediaRecord &record)
{
    m_record = record;
    Display()->CaptionLabel()->setText(CaptionText());
    Display()->setAccessibleName(CaptionText());
    m_device.Close();
    OpenOrTell();
}
