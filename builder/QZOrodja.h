// The tools window: a small floating window above the design surface with
// the program's menu and a panel of speed buttons. Every command on the test
// starts here; while an object is dragged, the caption shows its position or
// size.
#pragma once

#include "QZRecords.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;
class QMenuBar;
class QToolButton;
class TQZControl;
class TQZStran;

namespace CorvBuilder {

class TBuilderDocument;
class TGlavnoOkno;

class TOrodja : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientHeight = 70;
    static constexpr int WidthWithTest = 406;
    static constexpr int WidthWithoutTest = 150;

    explicit TOrodja(TGlavnoOkno *surface);

    // The two menu states.
    void SetNoTestState();
    void SetTestOpenState();

    // Commands. Each sets the main caption again where it changes the page
    // or the file.
    void New();
    void Open();
    // The load step of Open, also used for a file named on the command line.
    void OpenFile(const QString &fileName);
    void Save();
    void SaveAs();
    void SaveWithPassword();
    void CloseAndSave();
    void CloseWithoutSaving();
    void PrintSetup();
    void Print();
    void Exit();
    void TestProperties();
    void InsertChoices();
    void InsertAlternative();
    void InsertInputBox();
    void InsertRichText();
    void InsertOleFrame();
    void InsertTransparentText();
    void InsertTextWithBackground();
    void InsertButton();
    void InsertGraphics();
    void InsertMultimedia();
    void ToggleDelete();
    void ToggleOleInsert();
    void ToggleStep();
    void AddPage();
    void InsertPage();
    void DeletePage();
    void PreviousPage();
    void NextPage();
    void MoveToPage();
    void Run();
    void Undo();
    void Redo();
    // Copy and Cut take the object last pressed; with none, the next press
    // on an object copies (or cuts) it.
    void Copy();
    void Cut();
    void Paste();
    void HelpContents();
    void HelpTopic(int context);
    void About();
    void TestExplorer();
    // Asks for a results folder and shows the window over it.
    void Results();
    void NewPageFromTemplate();

    // The speed button with a hint ("New", "Choices" ...), the menu item with
    // a caption ("Save", "Step" ...); null when there is none.
    QToolButton *SpeedButton(const QString &hint) const;
    QToolButton *HelpButton() const { return m_helpButton; }
    QAction *MenuItem(const QString &caption) const;
    QMenuBar *MenuBar() const { return m_menuBar; }
    // The height of the menu bar above the button panel.
    int MenuHeight() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildButtons(QWidget *panel);
    void BuildMenus();
    QAction *AddItem(QMenu *menu, const QString &caption, void (TOrodja::*command)(),
                     int helpContext = 0);
    QMenu *AddMenu(QMenu *parent, const QString &caption, int helpContext = 0);

    // Writes the file; a written file is the saved state of the document.
    void WriteFile();
    TBuilderDocument &Doc() const;
    // Pushes an object just added to the page shown as an edit.
    void PushInserted(TQZControl *object, int typeTag);
    void BuildUndoActions(QMenu *test);
    // Destroys the open test and goes to the no-test state.
    void CloseTest();
    // Creates an object from a record in pixels on the surface, adds it to the
    // current page, shows it and pushes the insertion as an edit.
    TQZControl *AddNewObject(int typeTag, const QByteArray &record);
    QString NewPageName(bool mustBeNew);
    std::unique_ptr<TQZStran> MakePage(const QString &name, const QString &targets);
    bool HasPage() const;

    TGlavnoOkno *m_surface;
    QMenuBar *m_menuBar = nullptr;
    QWidget *m_panel = nullptr;
    QHash<QString, QToolButton *> m_buttons;
    QHash<QString, QAction *> m_items;
    QToolButton *m_helpButton = nullptr;
    // Set while the window is hidden because another program is in front.
    bool m_hiddenWhileInactive = false;
};

// The save dialog's and open dialog's file filter.
QString TestFileFilter();

} // namespace CorvBuilder
