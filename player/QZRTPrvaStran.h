// The player's loading window: a borderless box with the program's name that
// shows a progress bar while the test file is read.
#pragma once

#include <QElapsedTimer>
#include <QSize>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;

namespace CorvPlayer {

// What start-up takes of the display: the screen's pixel size and the height
// of a window caption bar.
struct TScreenInfo
{
    QSize Size;
    int CaptionHeight = 0;

    // The primary screen and the application style's caption height.
    static TScreenInfo FromPlatform();
};

class TPrvaStran : public QWidget
{
    Q_OBJECT

public:
    // `measure` stands in for the display (tests); the platform's when empty.
    explicit TPrvaStran(std::function<TScreenInfo()> measure = {}, QWidget *parent = nullptr);

    // Shows the "Loading....." panel and the progress bar and paints them at
    // once: loading runs before the event loop.
    void ShowLoading();
    // After page `loaded` of `total`; paints the bar without processing other
    // events.
    void SetProgress(int loaded, int total);

    QLabel *LoadingPanel() const { return m_loadingPanel; }
    QProgressBar *ProgressBar() const { return m_progressBar; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Runs when the window is first shown, before the test file is read: sets
    // the application title and takes the screen size for the page surface.
    void FormActivate();

    std::function<TScreenInfo()> m_measure;
    QLabel *m_loadingPanel;
    QProgressBar *m_progressBar;
    bool m_activated = false;
    QElapsedTimer m_lastPaint;
};

} // namespace CorvPlayer
