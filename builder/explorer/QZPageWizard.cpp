#include "QZPageWizard.h"

#include "QZDataFolders.h"

#include "QZControls.h"
#include "QZDialogs.h"
#include "QZEditorState.h"
#include "QZInteraction.h"
#include "QZPlainText.h"
#include "QZRecordFields.h"
#include "QZStream.h"
#include "QZSurface.h"
#include "QZUndoCommands.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QSet>
#include <QStyle>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int HelpContextTemplates = 400;
// The preview panel keeps the proportions of the page, 4 : 3.
constexpr int PreviewWidth = 256;
constexpr int PreviewHeight = 192;
constexpr int ListWidth = 220;

} // namespace

TPageWizard::TPageWizard(TQZPageSurface *surface, TBuilderDocument &document,
                         TPageCommands pageCommands)
    : TQZPropertyDialog(surface, QStringLiteral("New Page from Template"), HelpContextTemplates)
    , m_surface(surface)
    , m_document(&document)
    , m_commands(std::move(pageCommands))
    , m_name(new QLineEdit(this))
    , m_templates(new QListWidget(this))
    , m_preview(new QLabel)
{
    m_name->setObjectName(QStringLiteral("PageNameEdit"));
    m_name->setAccessibleName(QStringLiteral("Page name"));
    auto *nameLabel = new QLabel(QStringLiteral("Page name:"), this);
    nameLabel->setBuddy(m_name);

    m_templates->setObjectName(QStringLiteral("TemplateList"));
    m_templates->setAccessibleName(QStringLiteral("Select Template"));
    m_templates->setSelectionMode(QAbstractItemView::SingleSelection);
    m_templates->setMinimumWidth(ListWidth);
    m_templates->setIconSize(QSize(16, 16));
    connect(m_templates, &QListWidget::currentRowChanged, this, &TPageWizard::ShowPreview);
    auto *listLabel = new QLabel(QStringLiteral("Select Template:"), this);
    listLabel->setBuddy(m_templates);

    // The picture lies over the words and hides them while it is shown.
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("PreviewPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedSize(PreviewWidth + 2 * panel->frameWidth(),
                        PreviewHeight + 2 * panel->frameWidth());
    auto *none = new QLabel(QStringLiteral("No Preview Available"), panel);
    none->setAlignment(Qt::AlignCenter);
    m_preview->setParent(panel);
    m_preview->setObjectName(QStringLiteral("PreviewImage"));
    m_preview->setAccessibleName(QStringLiteral("Preview"));
    m_preview->setScaledContents(true);
    m_preview->hide();
    auto *stack = new QGridLayout(panel);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(none, 0, 0);
    stack->addWidget(m_preview, 0, 0);
    auto *previewLabel = new QLabel(QStringLiteral("Preview:"), this);

    auto *left = new QVBoxLayout;
    left->addWidget(nameLabel);
    left->addWidget(m_name);
    left->addWidget(listLabel);
    left->addWidget(m_templates, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(previewLabel);
    right->addWidget(panel);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(MakeButtons());
    FixSize();
}

QStringList TPageWizard::DefaultTemplateFolders()
{
    QStringList folders{
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("templates"))};
    // Then the installed data folder and the per-user and system data
    // folders of the desktop.
    folders << DataFolders(QStringLiteral("templates"));
    // A data folder that is the program's own folder is listed once.
    QStringList unique;
    QSet<QString> seen;
    for (const QString &folder : std::as_const(folders)) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        const QString key = canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
        if (!seen.contains(key)) {
            seen.insert(key);
            unique << folder;
        }
    }
    return unique;
}

QStringList TPageWizard::TemplateFolders() const
{
    return m_folders ? *m_folders : DefaultTemplateFolders();
}

QString TPageWizard::PreviewFileOf(const QString &templatePath)
{
    const QFileInfo info(templatePath);
    const QString name = info.fileName();
    if (name.size() < 4)
        return {};
    const QString wanted = name.chopped(4) + QStringLiteral(".BMP");
    const QDir folder = info.dir();
    if (QFileInfo(folder.filePath(wanted)).isFile())
        return folder.filePath(wanted);
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return {};
}

void TPageWizard::showEvent(QShowEvent *event)
{
    TQZPropertyDialog::showEvent(event);
    ListTemplates();
}

void TPageWizard::ListTemplates()
{
    const QSignalBlocker blocker(m_templates);
    m_templates->clear();
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    QSet<QString> names;
    const QStringList folders = TemplateFolders();
    for (const QString &folder : folders) {
        // Name filters match in either case: "*.cvp" also lists QUIZ.CVP.
        const QFileInfoList files = QDir(folder).entryInfoList(
            {QStringLiteral("*.cvp")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &file : files) {
            // A name met in an earlier folder is told apart by its folder.
            QString text = file.fileName();
            if (names.contains(text))
                text += QStringLiteral(" (") + QDir::toNativeSeparators(file.absolutePath()) +
                        QLatin1Char(')');
            names.insert(file.fileName());
            auto *item = new QListWidgetItem(icon, text, m_templates);
            item->setData(Qt::UserRole, file.absoluteFilePath());
            item->setToolTip(PlainToolTip(QDir::toNativeSeparators(file.absoluteFilePath())));
        }
    }
    if (m_templates->count() > 0)
        m_templates->setCurrentRow(0);
    ShowPreview();
}

QString TPageWizard::SelectedTemplate() const
{
    const QListWidgetItem *item = m_templates->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

bool TPageWizard::PreviewShown() const { return !m_preview->isHidden(); }

// Any failure to read the picture leaves "No Preview Available" in view.
void TPageWizard::ShowPreview()
{
    const QString chosen = SelectedTemplate();
    const QString picture = chosen.isEmpty() ? QString() : PreviewFileOf(chosen);
    QImage image;
    if (!picture.isEmpty())
        image.load(picture);
    if (image.isNull()) {
        m_preview->clear();
        m_preview->hide();
        return;
    }
    m_preview->setPixmap(QPixmap::fromImage(image));
    m_preview->show();
}

void TPageWizard::accept()
{
    const QString path = SelectedTemplate();
    if (path.isEmpty()) {
        ShowWarning(QStringLiteral("No template is selected."));
        return;
    }
    if (AddTemplatePage(path))
        QDialog::accept();
}

bool TPageWizard::AddTemplatePage(const QString &path)
{
    // A new test is kept aside until its page has been read, so that a
    // template that cannot be read leaves the builder without a test.
    std::unique_ptr<TQZNaloga> fresh;
    TBuilderDocument &document = *m_document;
    TQZNaloga *test = document.Test();
    TQZStran *before = nullptr;
    auto *explorer = qobject_cast<TPageExplorer *>(Dialogs().Explorer);
    if (!test) {
        fresh = std::make_unique<TQZNaloga>(m_surface, &WidgetObjectFactory());
        fresh->TestRecord() = NewTestRecord();
        test = fresh.get();
    } else {
        // The page the explorer shows selected; it follows the current page.
        const bool listed = explorer && explorer->isVisible() && explorer->SelectedIndex() >= 0;
        document.GoToPage(listed ? explorer->SelectedIndex() : test->CurrentIndex());
        before = document.CurrentPage();
    }
    try {
        const TPageLoadingScope loading;
        test->LoadPageFromFile(path);
    } catch (const TQZFileError &error) {
        ShowErrorMessage(QStringLiteral("Opening error: ") + path + QStringLiteral("\n") +
                         error.Cause());
        return false;
    }

    if (fresh)
        document.SetTest(std::move(fresh), UntitledFileName(), true);
    const int last = test->PageCount() - 1;
    if (!m_name->text().isEmpty()) {
        TQZStran *page = test->Page(last);
        TPageRecord record = page->PageRecord();
        SetFieldText(record.PageName, m_name->text());
        page->SetPageRecord(record);
    }
    document.GoToPage(last);
    if (before)
        document.Push(new TInsertPage(document, QStringLiteral("New Page from Template"),
                                      test->Page(last), before));
    else
        document.NotifyPagesChanged();
    return true;
}

} // namespace CorvBuilder
