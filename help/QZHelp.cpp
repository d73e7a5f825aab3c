#include "QZHelp.h"

#include "QZDataFolders.h"
#include "QZHelpFile.h"
#include "QZHelpWindow.h"
#include "QZInteraction.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <utility>

TQZHelp::~TQZHelp() = default;

namespace {

QString &HelpFileName()
{
    static QString name = QStringLiteral("help_eng.hlp");
    return name;
}

// Shows the help file in the help window.
class TWindowHelp final : public TQZHelp
{
public:
    void ShowContents() override { Show(TQZHelpFile::ContentsContext); }
    void ShowTopic(int context) override { Show(context); }

    TQZHelpWindow *Window() const { return m_window; }

private:
    void Show(int context)
    {
        const QString fileName = HelpFile();
        if (!m_window || m_fileName != fileName) {
            TQZHelpFile file;
            if (!file.Load(fileName)) {
                ShowErrorMessage(file.Error());
                return;
            }
            if (!m_window) {
                m_window = new TQZHelpWindow;
                // The window has no owner while no dialog holds it; it goes
                // when the event loop ends.
                QObject::connect(qApp, &QCoreApplication::aboutToQuit, m_window,
                                 [window = m_window] { delete window; });
            }
            m_window->SetHelpFile(std::move(file));
            m_fileName = fileName;
        }
        Attach();
        m_window->ShowTopic(context);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }

    // A modal dialog blocks every window but its own: while one is up the
    // help becomes a window of that dialog, and a free window again after.
    void Attach()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == m_window)
            return;
        if (m_window->parentWidget() == modal)
            return;
        const QRect geometry = m_window->geometry();
        const bool shown = m_window->isVisible();
        m_window->setParent(modal, Qt::Window);
        if (shown)
            m_window->setGeometry(geometry);
    }

    QPointer<TQZHelpWindow> m_window;
    QString m_fileName;
};

TWindowHelp &WindowHelp()
{
    static TWindowHelp help;
    return help;
}

TQZHelp *&Installed()
{
    static TQZHelp *installed = nullptr;
    return installed;
}

} // namespace

TQZHelp &Help()
{
    TQZHelp *installed = Installed();
    return installed ? *installed : WindowHelp();
}

TQZHelp *SetHelp(TQZHelp *help) { return std::exchange(Installed(), help); }

void SetHelpFile(const QString &fileName) { HelpFileName() = fileName; }

QString HelpFile()
{
    const QString &name = HelpFileName();
    if (QFileInfo(name).isAbsolute() || name.contains(QLatin1Char('/')))
        return name;
    return DataFile(name);
}

TQZHelpWindow *HelpWindow() { return WindowHelp().Window(); }
