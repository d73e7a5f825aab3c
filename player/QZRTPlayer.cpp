#include "QZRTPlayer.h"

#include "QZInteraction.h"
#include "QZOlePrivateFolder.h"
#include "QZRTGlavnoOkno.h"
#include "QZRezultat.h"
#include "QZWindowPlacement.h"

#include <QCoreApplication>

namespace CorvPlayer {

TPlayer::TPlayer(TPlayerOptions options)
    : m_options(std::move(options))
{
}

TPlayer::~TPlayer() = default;

bool TPlayer::Start()
{
    QCoreApplication::setApplicationName(QStringLiteral("Corvella Viewer"));
    // Copies of embedded files that runs which crashed or were killed left.
    RemoveStaleOleFolders();
    m_mainWindow = std::make_unique<TGlavnoOkno>();

    // Showing the loading window measures the page area, before any object
    // of the test is built: the client area of the main window, shown
    // maximised first so that the window manager has placed it.
    auto measure = m_options.MeasureScreen;
    if (!measure)
        measure = [this] {
            return ShowMaximisedAndMeasure(*m_mainWindow);
        };
    m_loadingWindow = std::make_unique<TPrvaStran>(std::move(measure));
    m_loadingWindow->show();
    m_loadingWindow->repaint();

    const QString fileName = m_options.Arguments.value(1);
    const auto opened =
        m_mainWindow->OpenTest(fileName, m_options.Arguments, m_loadingWindow.get());
    m_loadingWindow->hide();
    switch (opened) {
    case TGlavnoOkno::TOpenResult::Ended: return false;
    case TGlavnoOkno::TOpenResult::Cancelled: Interaction().Exit(0); return false;
    case TGlavnoOkno::TOpenResult::Opened:
    case TGlavnoOkno::TOpenResult::Failed: break;
    }

    m_resultDialog = new TRezultatDialog(m_mainWindow.get());
    m_mainWindow->SetResultDialog(m_resultDialog);
    m_mainWindow->showMaximized();
    return true;
}

} // namespace CorvPlayer
