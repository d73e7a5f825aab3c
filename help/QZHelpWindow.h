// The help window: a non-modal top-level window with the list of topics on
// the left and the topic text on the right. Links in the text lead to other
// topics; Back returns through the topics shown, Contents goes to topic 0.
//
// Keys: Alt+Left goes back; Alt+Home and F1 show the contents; Escape closes
// the window. Tab moves between the buttons, the list and the text; the arrow
// keys in the list show topic after topic, and Enter there moves into the
// text, where Tab goes from link to link and Enter follows one.
#pragma once

#include "QZHelpFile.h"

#include <QList>
#include <QWidget>

class QListWidget;
class QPushButton;
class QTextBrowser;

class TQZHelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TQZHelpWindow(QWidget *parent = nullptr);

    // Takes the topics to show; the history starts again at the contents.
    void SetHelpFile(TQZHelpFile file);
    const TQZHelpFile &HelpFile() const { return m_file; }

    // Shows topic 0.
    void ShowContents();
    // Shows the topic of a context number, or the contents when there is no
    // such topic. The topic shown before goes on the Back history.
    void ShowTopic(int context);
    // The context number shown.
    int CurrentTopic() const { return m_current; }

    bool CanGoBack() const { return !m_history.isEmpty(); }
    void GoBack();

    QListWidget *TopicList() const { return m_list; }
    QTextBrowser *TopicView() const { return m_view; }
    QPushButton *BackButton() const { return m_back; }
    QPushButton *ContentsButton() const { return m_contents; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Display(int context, bool remember);
    void FollowLink(const QUrl &url);
    void TopicPicked(int row);

    TQZHelpFile m_file;
    int m_current = TQZHelpFile::ContentsContext;
    QList<int> m_history;
    QListWidget *m_list;
    QTextBrowser *m_view;
    QPushButton *m_back;
    QPushButton *m_contents;
};
