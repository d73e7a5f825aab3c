// The rich text editor, "Rich Text - Properties": a small word processor in a
// modal window with its own menus, toolbar, ruler and status bar, in which
// the content of a rich text object is edited. The design surface loads the
// object's RTF and background colour into it, shows it, and takes both back
// however it is closed. Rich text and plain text files can be opened, saved
// and printed from it as well.
#pragma once

#include <QDialog>

#include <memory>

class QAction;
class QCheckBox;
class QActionGroup;
class QComboBox;
class QFileDialog;
class QLabel;
class QMenuBar;
class QPrinter;
class QSpinBox;
class QStatusBar;
class QTextCharFormat;
class QToolBar;
class QToolButton;
class TQZMemo;

namespace CorvBuilder {

class TMemoEditor;
class TMemoRuler;
class TMemoRulerMarker;

class TMemoLastnosti : public QDialog
{
    Q_OBJECT

public:
    explicit TMemoLastnosti(QWidget *parent = nullptr);
    ~TMemoLastnosti() override;

    // The exchange with a rich text object: its RTF and its background colour
    // value go in before the window is shown, and come out after it closed.
    // RTF that cannot be read leaves the editor empty. The loaded text is
    // unmodified and cannot be undone.
    void LoadContent(const QByteArray &rtf, quint32 color);
    QByteArray Content() const;
    quint32 Color() const { return m_color; }

    // The name of the file last opened or saved, "Untitled" for none.
    const QString &FileName() const { return m_fileName; }
    static QString Untitled() { return QStringLiteral("Untitled"); }
    // The filter of the open and save dialogs.
    static QString FileFilter();

    // The commands, as the menus and the toolbar run them.
    void FileNew();
    void FileOpen();
    // False when nothing was written (cancelled or failed).
    bool FileSave();
    bool FileSaveAs();
    void FilePrint();
    // Opens the first of the files as Open does, after asking to save.
    void FilesDropped(const QStringList &fileNames);
    void ChooseEditorFont();
    void ChooseBackgroundColor();

    TMemoEditor *Editor() const { return m_editor; }
    TMemoRuler *Ruler() const { return m_ruler; }
    QMenuBar *MenuBar() const { return m_menuBar; }
    QToolBar *ToolBar() const { return m_toolBar; }
    QStatusBar *StatusBar() const { return m_statusBar; }
    // The status bar's three panels: caret position, change state, spare.
    QLabel *StatusPanel(int index) const;
    QComboBox *FontName() const { return m_fontName; }
    QSpinBox *FontSize() const { return m_fontSize; }
    // A toolbar button by its action.
    QToolButton *ButtonOf(QAction *action) const;

    // The menu items and toolbar buttons.
    QAction *NewAction() const { return m_new; }
    QAction *OpenAction() const { return m_open; }
    QAction *SaveAction() const { return m_save; }
    QAction *SaveAsAction() const { return m_saveAs; }
    QAction *PrintAction() const { return m_print; }
    QAction *CloseAction() const { return m_close; }
    QAction *UndoAction() const { return m_undo; }
    QAction *CutAction() const { return m_cut; }
    QAction *CopyAction() const { return m_copy; }
    QAction *PasteAction() const { return m_paste; }
    QAction *FontAction() const { return m_font; }
    QAction *BackgroundAction() const { return m_background; }
    QAction *HelpAction() const { return m_help; }
    QAction *BoldAction() const { return m_bold; }
    QAction *ItalicAction() const { return m_italic; }
    QAction *UnderlineAction() const { return m_underline; }
    QAction *ColorButtonAction() const { return m_colorButton; }
    QAction *LeftAlignAction() const { return m_alignLeft; }
    QAction *CenterAlignAction() const { return m_alignCenter; }
    QAction *RightAlignAction() const { return m_alignRight; }
    QAction *BulletsAction() const { return m_bullets; }

    // Brings the toolbar, the ruler and the first status panel in line with
    // the selection; the toolbar's handlers do nothing meanwhile.
    void SelectionChange();
    bool Updating() const { return m_updating; }

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The actions, menus and bars (QZMemoLastnostiActions.cpp).
    void MakeActions();
    void MakeMenus();
    void MakeToolBar();
    void MakeStatusBar();

    // The window brought in line with the text (QZMemoLastnosti.cpp).
    void ShowPanels(bool shown);
    void RefreshChangeState();
    void RefreshPasteState();
    void ShowBackground();
    void PlaceRulerMarkers();
    void ShowCaretPosition();

    // Formatting from the toolbar and the ruler (QZMemoLastnostiFormat.cpp).
    void StyleToggled(QAction *action, bool down);
    void FontNamePicked(const QString &name);
    void FontSizeChanged(int size);
    void AlignmentPicked(QAction *action);
    void BulletsToggled(bool down);
    void RulerMarkerReleased(TMemoRulerMarker *marker);
    void MergeAttributes(const QTextCharFormat &format);

    // Files (QZMemoLastnostiFiles.cpp).
    // Asks "Save %s?" when the text was changed; false when the operation that
    // asked should stop.
    bool SaveCheck();
    void OpenFile(const QString &fileName, bool readOnly);
    bool SaveTo(const QString &fileName);
    void ReportError(const QString &words, const QString &fileName, const QString &error);
    QFileDialog &OpenDialog();
    QFileDialog &SaveDialog();
    QPrinter &Printer();

    TMemoEditor *m_editor;
    TMemoRuler *m_ruler;
    QMenuBar *m_menuBar;
    QToolBar *m_toolBar;
    QStatusBar *m_statusBar;
    QLabel *m_panels[3];
    QComboBox *m_fontName = nullptr;
    QSpinBox *m_fontSize = nullptr;
    QActionGroup *m_alignGroup = nullptr;

    QAction *m_new = nullptr;
    QAction *m_open = nullptr;
    QAction *m_save = nullptr;
    QAction *m_saveAs = nullptr;
    QAction *m_print = nullptr;
    QAction *m_close = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_font = nullptr;
    QAction *m_background = nullptr;
    QAction *m_help = nullptr;
    QAction *m_bold = nullptr;
    QAction *m_italic = nullptr;
    QAction *m_underline = nullptr;
    QAction *m_colorButton = nullptr;
    QAction *m_alignLeft = nullptr;
    QAction *m_alignCenter = nullptr;
    QAction *m_alignRight = nullptr;
    QAction *m_bullets = nullptr;

    QString m_fileName;
    quint32 m_color;
    bool m_updating = false;
    // Made on first use; they keep their folder between uses.
    std::unique_ptr<QFileDialog> m_openDialog;
    QCheckBox *m_readOnlyBox = nullptr;
    std::unique_ptr<QFileDialog> m_saveDialog;
    std::unique_ptr<QPrinter> m_printer;
};

// Edits a rich text object's content and background colour in the editor:
// loads them, shows the window modally, and however it was closed puts the
// editor's text back into the object's box and the colour into its record,
// which the object applies again.
void EditRichText(TMemoLastnosti &dialog, TQZMemo &memo);

} // namespace CorvBuilder
