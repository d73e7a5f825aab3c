// "New Page from Template": adds a page to the open test from a page file
// kept as a template, showing each template's picture as a preview; with no
// test open it starts a new test with that page. Templates are the page files
// of the folder "templates" beside the program and of the folders
// "corvella/templates" in the desktop's data folders (the author's own first,
// then the system's), listed together.
#pragma once

#include "QZDialogParts.h"
#include "QZPageExplorer.h"

#include <QString>
#include <QStringList>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class TQZPageSurface;

namespace CorvBuilder {

class TBuilderDocument;

class TPageWizard : public TQZPropertyDialog
{
    Q_OBJECT

public:
    // The surface outlives the dialog: it is a child of the surface.
    TPageWizard(TQZPageSurface *surface, TBuilderDocument &document, TPageCommands pageCommands);

    // The folders looked in, in order: "templates" beside the program, then
    // each existing "corvella/templates" data folder.
    static QStringList DefaultTemplateFolders();
    // Looks in these folders instead of the default ones (tests, and an
    // author who keeps templates elsewhere).
    void SetTemplateFolders(const QStringList &folders) { m_folders = folders; }
    QStringList TemplateFolders() const;

    // The picture that previews a template: the file of the template's name
    // with ".BMP" in place of its last four characters, in the template's
    // folder, its name matched in either case. Empty when there is none.
    static QString PreviewFileOf(const QString &templatePath);

    // Lists the templates of the folders, selects the first and shows its
    // preview; done each time the dialog is shown.
    void ListTemplates();
    // Full path of the selected template; empty when none is selected.
    QString SelectedTemplate() const;
    // True while a preview picture is shown over "No Preview Available".
    bool PreviewShown() const;

    QLineEdit *PageNameEdit() const { return m_name; }
    QListWidget *TemplateList() const { return m_templates; }

    // OK: the selected template's page is appended to the test (a new one
    // when none is open), named from the page name edit when that is not
    // empty, and shown. A template that cannot be read is reported and the
    // dialog stays open with the test as it was.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ShowPreview();
    // Appends the template's page to the test; false, with the failure
    // reported and the test unchanged, when it cannot be read.
    bool AddTemplatePage(const QString &path);

    TQZPageSurface *m_surface;
    TBuilderDocument *m_document;
    TPageCommands m_commands;
    std::optional<QStringList> m_folders;
    QLineEdit *m_name;
    QListWidget *m_templates;
    QLabel *m_preview;
};

} // namespace CorvBuilder
