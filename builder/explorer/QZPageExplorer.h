// "Test Explorer": a floating tool window beside the design surface that
// lists the pages of the open test by name and works on whole pages: going to
// one, moving it up or down, duplicating, deleting, its properties, and saving
// it to or loading one from a page file. It does not block the other windows.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;
class TQZPageSurface;

namespace CorvBuilder {

class TBuilderDocument;

// What the explorer does through the design surface and the tools window;
// start-up sets each. Both follow the document for the rest.
struct TPageCommands
{
    // The current page's property dialog, the surface's caption after it.
    std::function<void()> PageProperties;
    // The tools window's Delete page, on the current page.
    std::function<void()> DeletePage;
};

class TPageExplorer : public QWidget
{
    Q_OBJECT

public:
    // The surface outlives the explorer: it is a child of the surface.
    TPageExplorer(TQZPageSurface *surface, TBuilderDocument &document, TPageCommands pageCommands);

    // Empties the list and fills it with the page names of the open test in
    // order, selecting the current page's line; with no test open the list
    // stays empty. Done whenever the document's pages change while the
    // explorer is shown, and whenever it becomes active.
    Q_INVOKABLE void Refresh();

    // The selected line, -1 when there is none.
    int SelectedIndex() const;
    QListWidget *PageList() const { return m_list; }
    // The button with a caption ("Move Up" ... "OK"); null when there is none.
    QPushButton *Button(const QString &caption) const;

    // The page commands, each on the selected line.
    void MoveUp();
    void MoveDown();
    void Duplicate();
    void DeletePage();
    void Properties();
    void SavePage();
    void LoadPage();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void LineSelected(int row);
    void Move(int delta);

    TBuilderDocument *m_document;
    TPageCommands m_commands;
    QListWidget *m_list;
    QList<QPushButton *> m_buttons;
    bool m_placed = false;
};

// The page files' filter and extension, in the file dialogs' form.
QString PageFileFilter();
QString PageFileExtension();
// The name a page is saved under by default: its name, with the characters
// no file name may hold replaced by "_".
QString ProposedPageFileName(const QString &pageName);

// Builds the objects of pages read while it lives hidden, the way a test is
// loaded; going to the page shows them and opens its clips.
class TPageLoadingScope
{
public:
    TPageLoadingScope();
    ~TPageLoadingScope();
    TPageLoadingScope(const TPageLoadingScope &) = delete;
    TPageLoadingScope &operator=(const TPageLoadingScope &) = delete;

private:
    bool m_saved;
};

} // namespace CorvBuilder
