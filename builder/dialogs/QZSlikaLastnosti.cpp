#include "QZSlikaLastnosti.h"

#include "QZInteraction.h"
#include "QZPlainText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int PreviewSide = 160;

struct TPictureFilter
{
    QString Text;
    QStringList Suffixes;
};

const TPictureFilter PictureFilters[] = {
    {QStringLiteral("All (*.bmp;*.ico;*.emf;*.wmf)"),
     {QStringLiteral("bmp"), QStringLiteral("ico"), QStringLiteral("emf"), QStringLiteral("wmf")}},
    {QStringLiteral("Bitmaps (*.bmp)"), {QStringLiteral("bmp")}},
    {QStringLiteral("Icons (*.ico)"), {QStringLiteral("ico")}},
    {QStringLiteral("Enhanced Metafiles (*.emf)"), {QStringLiteral("emf")}},
    {QStringLiteral("Metafiles (*.wmf)"), {QStringLiteral("wmf")}},
};

// "*.[bB][mM][pP]": the name pattern of a suffix in any case.
QString AnyCasePattern(const QString &suffix)
{
    QString pattern = QStringLiteral("*.");
    for (const QChar c : suffix)
        pattern += c.isLetter() ? QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']')
                                : QString(c);
    return pattern;
}

// Qt's file dialog takes an entry's patterns from its trailing parenthesis,
// separated by blanks (a list joined with ';' would be one pattern), and with
// HideNameFilterDetails shows only what stands before it: so each entry is
// its text as shown followed by its patterns, in any case.
QStringList NameFilters()
{
    QStringList filters;
    for (const TPictureFilter &filter : PictureFilters) {
        QStringList patterns;
        for (const QString &suffix : filter.Suffixes)
            patterns << AnyCasePattern(suffix);
        filters << filter.Text + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

} // namespace

TPictureOpenDialog::TPictureOpenDialog(QWidget *parent)
    : QFileDialog(parent, QStringLiteral("Open"))
    , m_preview(new QLabel(this))
{
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilters(NameFilters());

    m_preview->setObjectName(QStringLiteral("Preview"));
    m_preview->setAccessibleName(QStringLiteral("Preview"));
    m_preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFixedSize(PreviewSide + 8, PreviewSide + 8);
    // Qt's own file dialog lays itself out on a grid with the file list in
    // row 1; the preview goes beside the list.
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addWidget(m_preview, 1, grid->columnCount(), Qt::AlignTop);
    // The preview follows the file under the cursor in the list and the name
    // in the file name edit, which shows the selected file or what the
    // author typed.
    connect(this, &QFileDialog::currentChanged, this, &TPictureOpenDialog::ShowPreview);
    if (auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        connect(name, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (!text.isEmpty())
                ShowPreview(directory().absoluteFilePath(text));
        });
}

QString TPictureOpenDialog::PictureFile() const
{
    const QStringList files = selectedFiles();
    if (files.isEmpty() || !QFileInfo(files.constFirst()).isFile())
        return {};
    return files.constFirst();
}

void TPictureOpenDialog::ShowPreview(const QString &fileName)
{
    if (fileName == m_previewFile)
        return;
    m_previewFile = fileName;
    m_picture.Clear();
    m_preview->clear();
    if (!QFileInfo(fileName).isFile() || !m_picture.LoadFile(fileName))
        return;
    QSize size = m_picture.NaturalSize();
    if (size.isEmpty())
        return;
    // Large pictures are shown smaller, keeping their proportions; small ones
    // at their own size.
    if (size.width() > PreviewSide || size.height() > PreviewSide)
        size.scale(PreviewSide, PreviewSide, Qt::KeepAspectRatio);
    m_preview->setPixmap(QPixmap::fromImage(m_picture.Rendered(size.expandedTo(QSize(1, 1)))));
}

TSlikaLastnosti::TSlikaLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Graphics - Properties"), 50, ZeroRecord<TSlikaRecord>())
    , m_stretch(new QCheckBox(QStringLiteral("&Stretch"), this))
    , m_openButton(new QPushButton(QStringLiteral("Open the &picture file"), this))
    , m_fileLabel(new QLabel(this))
    , m_openDialog(new TPictureOpenDialog(this))
{
    m_stretch->setObjectName(QStringLiteral("StretchBox"));
    m_openButton->setObjectName(QStringLiteral("OpenButton"));
    connect(m_openButton, &QPushButton::clicked, this, &TSlikaLastnosti::OpenClick);
    m_fileLabel->setObjectName(QStringLiteral("FileLabel"));
    m_fileLabel->setAccessibleName(QStringLiteral("Picture file"));
    m_fileLabel->setTextFormat(Qt::PlainText);
    m_fileLabel->setMinimumWidth(240);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_stretch);
    layout->addWidget(m_openButton, 0, Qt::AlignLeft);
    layout->addWidget(m_fileLabel);
    layout->addStretch(1);
    layout->addWidget(MakeButtons());
    FixSize();
}

void TSlikaLastnosti::ShowRecord(const TSlikaRecord &record)
{
    ShowFlag(m_stretch, record.Stretch);
    m_chosenFile.clear();
    m_fileLabel->clear();
    m_fileLabel->setToolTip(QString());
}

void TSlikaLastnosti::TakeRecord(TSlikaRecord &record) { TakeFlag(m_stretch, record.Stretch); }

void TSlikaLastnosti::OpenClick()
{
    if (Interaction().ExecDialog(*m_openDialog) != QDialog::Accepted)
        return;
    const QString file = m_openDialog->PictureFile();
    if (file.isEmpty())
        return;
    m_chosenFile = file;
    m_fileLabel->setText(QFileInfo(file).fileName());
    m_fileLabel->setToolTip(PlainToolTip(QDir::toNativeSeparators(file)));
}

} // namespace CorvBuilder
