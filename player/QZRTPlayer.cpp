#include "QZRTPlayer.h"

#include "QZInteraction.h"
#include "QZOlePrivateFolder.h"
#include "QZRTGlavnoOkno.h"
#include "QZRezultat.h"
#include "QZWindowPlacement.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

namespace CorvPlayer {

// --help and --version are answered only alone, before any of this; with
// other arguments they are unknown options like any other. A negative count
// ("-3") would read as an option, so such arguments are
// taken aside and put back after the other positional ones, where a count
// stands.
TPlayerOptions TPlayerOptions::FromCommandLine(const QStringList &arguments, QString &error)
{
    QCommandLineParser parser;
    const QCommandLineOption student(QStringLiteral("student"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption results(QStringLiteral("results"), QString(), QStringLiteral("DIR"));
    parser.addOptions({student, results});

    static const QRegularExpression negativeNumber(QStringLiteral("^-[0-9]+$"));
    QStringList parsed;
    QStringList numbers;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool optionValue = i > 0 && (arguments.at(i - 1) == QLatin1String("--student") ||
                                           arguments.at(i - 1) == QLatin1String("--results"));
        if (i > 0 && !optionValue && negativeNumber.match(argument).hasMatch())
            numbers << argument;
        else
            parsed << argument;
    }
    error.clear();
    if (!parser.parse(parsed))
        error = parser.errorText();

    TPlayerOptions options;
    options.Arguments = QStringList{arguments.value(0)} + parser.positionalArguments() + numbers;
    if (parser.isSet(student))
        options.Recording.Student = parser.value(student);
    options.Recording.ResultsFolder = parser.value(results);
    return options;
}

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
    if (opened == TGlavnoOkno::TOpenResult::Opened)
        m_mainWindow->StartRecording(m_options.Recording);
    return true;
}

} // namespace CorvPlayer
