#include "QZInsertObjectDialog.h"

#include "QZInteraction.h"
#include "QZNewDocuments.h"
#include "QZOleIcon.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

// The help topic of the OLE content commands.
constexpr int InsertObjectHelpContext = 180;
constexpr int KindIconSize = 32;

} // namespace

TInsertObjectDialog::TInsertObjectDialog(QWidget *parent)
    : TQZPropertyDialog(parent, QStringLiteral("Insert Object"), InsertObjectHelpContext)
    , m_createNew(new QRadioButton(QStringLiteral("Create new"), this))
    , m_fromFile(new QRadioButton(QStringLiteral("From file"), this))
    , m_kinds(new QListWidget(this))
    , m_file(new QLineEdit(this))
    , m_browse(new QPushButton(QStringLiteral("Browse..."), this))
{
    m_createNew->setObjectName(QStringLiteral("CreateNewButton"));
    m_fromFile->setObjectName(QStringLiteral("FromFileButton"));
    auto *group = new QButtonGroup(this);
    group->addButton(m_createNew);
    group->addButton(m_fromFile);

    m_kinds->setObjectName(QStringLiteral("KindList"));
    m_kinds->setAccessibleName(QStringLiteral("Object type"));
    m_kinds->setIconSize(QSize(KindIconSize, KindIconSize));
    for (const TNewDocument &document : NewDocuments()) {
        auto *item = new QListWidgetItem(OleTypeIcon(document.MimeType), document.Label, m_kinds);
        item->setToolTip(document.FileName);
    }
    const QFontMetrics metrics(m_kinds->font());
    m_kinds->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 36,
                            (qMax(KindIconSize, metrics.height()) + 8) * NewDocuments().size());

    m_file->setObjectName(QStringLiteral("FileEdit"));
    m_file->setAccessibleName(QStringLiteral("File"));
    m_browse->setObjectName(QStringLiteral("BrowseButton"));

    auto *typeLabel = new QLabel(QStringLiteral("Object type:"), this);
    typeLabel->setBuddy(m_kinds);
    auto *fileLabel = new QLabel(QStringLiteral("File:"), this);
    fileLabel->setBuddy(m_file);

    auto *grid = new QGridLayout;
    grid->addWidget(m_createNew, 0, 0, 1, 3);
    grid->addWidget(typeLabel, 1, 1, 1, 2);
    grid->addWidget(m_kinds, 2, 1, 1, 2);
    grid->addWidget(m_fromFile, 3, 0, 1, 3);
    grid->addWidget(fileLabel, 4, 1, 1, 2);
    grid->addWidget(m_file, 5, 1);
    grid->addWidget(m_browse, 5, 2);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(1, 1);

    QDialogButtonBox *buttons = MakeButtons();
    m_ok = buttons->button(QDialogButtonBox::Ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(m_createNew, &QRadioButton::toggled, this, &TInsertObjectDialog::UpdateControls);
    connect(m_file, &QLineEdit::textChanged, this, &TInsertObjectDialog::UpdateControls);
    // Picking a kind or typing a file name chooses its way of inserting.
    connect(m_kinds, &QListWidget::itemClicked, m_createNew,
            [this] { m_createNew->setChecked(true); });
    connect(m_file, &QLineEdit::textEdited, m_fromFile, [this] { m_fromFile->setChecked(true); });
    connect(m_browse, &QPushButton::clicked, this, &TInsertObjectDialog::Browse);
    connect(m_kinds, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    Reset();
    FixSize();
}

void TInsertObjectDialog::Reset()
{
    m_createNew->setChecked(true);
    m_kinds->setCurrentRow(0);
    m_file->clear();
    UpdateControls();
    m_kinds->setFocus();
}

bool TInsertObjectDialog::CreatesNew() const { return m_createNew->isChecked(); }

const TNewDocument *TInsertObjectDialog::NewDocument() const
{
    const int row = m_kinds->currentRow();
    if (!CreatesNew() || row < 0 || row >= NewDocuments().size())
        return nullptr;
    return &NewDocuments().at(row);
}

QString TInsertObjectDialog::FileName() const
{
    return CreatesNew() ? QString() : m_file->text().trimmed();
}

void TInsertObjectDialog::Browse()
{
    const QString fileName = Interaction().OpenFileName(this, QStringLiteral("Insert Object"),
                                                        QStringLiteral("All files (*)"), QString());
    if (fileName.isEmpty())
        return;
    m_fromFile->setChecked(true);
    m_file->setText(fileName);
}

void TInsertObjectDialog::UpdateControls()
{
    if (m_ok)
        m_ok->setEnabled(CreatesNew() ? m_kinds->currentRow() >= 0 : !FileName().isEmpty());
}

} // namespace CorvBuilder
