// The tools window's buttons as an author sees them: every one has an icon
// of its own that fills its square and stands out on a light and on a dark
// window at 16 and 24 pixels, and the icon theme's icon where the theme has
// one for the command.
#include "QZBuilderTest.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QToolButton>

#include <cmath>

namespace {

// The icon drawn at size × size device pixels on a transparent square.
QImage Render(const QIcon &icon, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, icon.pixmap(QSize(size, size), 1.0));
    return image;
}

double Luminance(QColor color)
{
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

// How many pixels of the icon, laid on `ground`, stand apart from it by the
// contrast ratio that text of a large size needs (3:1).
int PixelsStandingOut(const QImage &icon, QColor ground)
{
    QImage laid(icon.size(), QImage::Format_RGB32);
    laid.fill(ground);
    QPainter(&laid).drawImage(0, 0, icon);
    const double back = Luminance(ground);
    int count = 0;
    for (int y = 0; y < laid.height(); ++y)
        for (int x = 0; x < laid.width(); ++x) {
            const double l = Luminance(laid.pixelColor(x, y));
            if ((std::max(l, back) + 0.05) / (std::min(l, back) + 0.05) >= 3.0)
                ++count;
        }
    return count;
}

// The box of the pixels the icon paints.
QRect Painted(const QImage &icon)
{
    QRect box;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) > 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The icon at size × size fills most of its square, and enough of it stands
// out on Fusion's light window, its dark one and a darker one.
void ReadsAt(const QIcon &icon, int size, const QString &name)
{
    const QImage image = Render(icon, size);
    const QRect painted = Painted(image);
    const QString where = QStringLiteral("%1 at %2 px").arg(name).arg(size);
    QVERIFY2(std::max(painted.width(), painted.height()) >= size * 3 / 4, qPrintable(where));
    QVERIFY2(std::min(painted.width(), painted.height()) >= size / 2, qPrintable(where));
    for (QColor ground :
         {QColor(0xef, 0xef, 0xef), QColor(0x35, 0x35, 0x35), QColor(0x1e, 0x1e, 0x1e)}) {
        const int standing = PixelsStandingOut(image, ground);
        QVERIFY2(standing >= size * size / 10,
                 qPrintable(QStringLiteral("%1: %2 pixels stand out on %3")
                                .arg(where)
                                .arg(standing)
                                .arg(ground.name())));
    }
}

} // namespace

class TSpeedButtonTest : public QObject, public TBuilderFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        m_themeName = QIcon::themeName();
        m_themePaths = QIcon::themeSearchPaths();
        SetUp();
    }
    void cleanup()
    {
        TearDown();
        QIcon::setThemeSearchPaths(m_themePaths);
        QIcon::setThemeName(m_themeName);
    }

    // Without an icon theme, as on a fresh machine, every button shows one
    // of our own icons, each a different one, drawn to one size and reading
    // on a light window as on a dark one at the sizes toolbars use.
    void ownIcons()
    {
        QIcon::setThemeName(QStringLiteral("corvella-test-no-such-theme"));
        Start();
        Tools().New();
        const QList<QToolButton *> buttons =
            Tools().HelpButton()->parentWidget()->findChildren<QToolButton *>(
                Qt::FindDirectChildrenOnly);
        QCOMPARE(buttons.size(), 25); // 24 speed buttons and the large Help button

        QList<QImage> own;
        const QDir resources(QStringLiteral(":/speedbuttons"));
        for (const QString &file : resources.entryList({QStringLiteral("*.svg")}))
            own << Render(QIcon(resources.filePath(file)), 24);
        QCOMPARE(own.size(), buttons.size());

        QList<QImage> shown;
        for (const QToolButton *button : buttons) {
            const QString name = button->accessibleName();
            QVERIFY(!name.isEmpty());
            QCOMPARE(button->toolTip(), name);
            QVERIFY2(!button->icon().isNull(), qPrintable(name));
            const QImage image = Render(button->icon(), 24);
            QVERIFY2(own.contains(image), qPrintable(name));
            QVERIFY2(!shown.contains(image), qPrintable(name));
            shown << image;
            for (int size : {16, 24}) {
                ReadsAt(button->icon(), size, name);
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

    // Our icons share one grid and depend on no font or file of the machine.
    void ownIconFiles()
    {
        const QDir resources(QStringLiteral(":/speedbuttons"));
        const QStringList files = resources.entryList({QStringLiteral("*.svg")});
        QVERIFY(!files.isEmpty());
        for (const QString &file : files) {
            QFile source(resources.filePath(file));
            QVERIFY(source.open(QIODevice::ReadOnly));
            const QByteArray svg = source.readAll();
            QVERIFY2(svg.contains(R"(width="24" height="24" viewBox="0 0 24 24")"),
                     qPrintable(file));
            QVERIFY2(!svg.contains("<text"), qPrintable(file));
            QVERIFY2(!svg.contains("href"), qPrintable(file));
        }
    }

    // The theme's icon wins for the commands it names; the rest keep ours.
    void themeIcons()
    {
        const std::pair<const char *, const char *> named[] = {
            {"New", "document-new"},
            {"Open", "document-open"},
            {"Save", "document-save"},
            {"Previous page", "go-previous"},
            {"Next page", "go-next"},
            {"Delete object", "edit-delete"},
            {"Run the Test", "media-playback-start"},
            {"Undo", "edit-undo"},
            {"Redo", "edit-redo"},
            {"Help", "help-contents"},
        };
        QDir theme(m_dir.path());
        QVERIFY(theme.mkpath(QStringLiteral("test-theme/24x24/actions")));
        QFile index(theme.filePath(QStringLiteral("test-theme/index.theme")));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=Test\nDirectories=24x24/actions\n\n"
                    "[24x24/actions]\nSize=24\nType=Fixed\n");
        index.close();
        const auto colourOf = [](int i) {
            return QColor::fromHsv(i * 30, 255, 200);
        };
        for (size_t i = 0; i < std::size(named); ++i) {
            QImage square(24, 24, QImage::Format_RGB32);
            square.fill(colourOf(int(i)));
            QVERIFY(square.save(theme.filePath(QStringLiteral("test-theme/24x24/actions/%1.png")
                                                   .arg(QLatin1String(named[i].second)))));
        }
        QIcon::setThemeSearchPaths({m_dir.path()});
        QIcon::setThemeName(QStringLiteral("test-theme"));

        Start();
        QCOMPARE(Render(Tools().HelpButton()->icon(), 24).pixel(12, 12), colourOf(9).rgb());
        Tools().New();
        for (size_t i = 0; i + 1 < std::size(named); ++i) {
            const QToolButton *button = Tools().SpeedButton(QLatin1String(named[i].first));
            QVERIFY(button);
            QCOMPARE(Render(button->icon(), 24).pixel(12, 12), colourOf(int(i)).rgb());
        }
        const QImage choices = Render(Tools().SpeedButton(QStringLiteral("Choices"))->icon(), 24);
        QCOMPARE(choices, Render(QIcon(QStringLiteral(":/speedbuttons/choices.svg")), 24));
    }

private:
    QString m_themeName;
    QStringList m_themePaths;
};

QTEST_MAIN(TSpeedButtonTest)
#include "tst_speedbuttons.moc"
