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

class TPrvaStran : public QWidget
{
    Q_OBJECT

public:
    // `measure` gives the client size of the maximised main window, the area
    // pages are shown in; the primary screen's size when it is empty.
    explicit TPrvaStran(std::function<QSize()> measure = {}, QWidget *parent = nullptr);

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
    // the application title and takes the size of the page surface.
    void FormActivate();

    std::function<QSize()> m_measure;
    QLabel *m_loadingPanel;
    QProgressBar *m_progressBar;
    bool m_activated = false;
    QElapsedTimer m_lastPaint;
};

} // namespace CorvPlayer
