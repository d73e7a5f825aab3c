#include "QZMediaLastnosti.h"

#include "QZClipLookup.h"
#include "QZInteraction.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

struct TClipFilter
{
    const char *Name;
    const char *Suffixes[4];
};

const TClipFilter ClipFilters[] = {
    {"Multimedia", {"WAV", "MID", "AVI", "MPG"}},
    {"MIDI", {"MID"}},
    {"AVI", {"AVI"}},
    {"MPEG", {"MPG"}},
    {"WAV", {"WAV"}},
};

} // namespace

TMediaLastnosti::TMediaLastnosti(QWidget *parent)
    : TRecordDialog(parent, QStringLiteral("Multimedia - Properties"), 60,
                    ZeroRecord<TMediaRecord>())
    , m_file(new QLineEdit(this))
    , m_browse(new QPushButton(QStringLiteral("&Browse..."), this))
    , m_caption(new QLineEdit(this))
    , m_warningTitle(new QLabel(QStringLiteral("Warning:"), this))
    , m_warningText(new QLabel(
          QStringLiteral(
              "If we want that the test runs on other computers, the file featuring sound, film "
              "and animation must necessarily be put into the directory where the test itself "
              "is installed without using any of the paths to the directory in the file name."),
          this))
{
    auto *fileLabel = new QLabel(QStringLiteral("&File name"), this);
    fileLabel->setBuddy(m_file);
    m_file->setObjectName(QStringLiteral("FileEdit"));
    m_file->setAccessibleName(QStringLiteral("File name"));
    m_file->setMinimumWidth(300);
    m_browse->setObjectName(QStringLiteral("BrowseButton"));
    connect(m_browse, &QPushButton::clicked, this, &TMediaLastnosti::BrowseClick);

    auto *captionLabel = new QLabel(QStringLiteral("&Text"), this);
    captionLabel->setBuddy(m_caption);
    m_caption->setObjectName(QStringLiteral("CaptionEdit"));
    m_caption->setAccessibleName(QStringLiteral("Text"));
    m_caption->setMaxLength(255);

    auto *note = new QFrame(this);
    note->setObjectName(QStringLiteral("WarningNote"));
    note->setFrameStyle(QFrame::Box | QFrame::Sunken);
    QFont bold = m_warningTitle->font();
    bold.setBold(true);
    m_warningTitle->setFont(bold);
    m_warningText->setWordWrap(true);
    auto *noteLayout = new QVBoxLayout(note);
    noteLayout->addWidget(m_warningTitle);
    noteLayout->addWidget(m_warningText);

    auto *grid = new QGridLayout(this);
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(m_file, 0, 1);
    grid->addWidget(m_browse, 0, 2);
    grid->addWidget(captionLabel, 1, 0);
    grid->addWidget(m_caption, 1, 1, 1, 2);
    grid->addWidget(note, 2, 0, 1, 3);
    grid->addWidget(MakeButtons(), 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    // A word-wrapped note takes its height from the width it is given.
    note->setMinimumWidth(440);
    FixSize();
}

QString TMediaLastnosti::ClipFilter()
{
    QStringList entries;
    for (const TClipFilter &filter : ClipFilters) {
        QStringList patterns;
        for (const char *suffix : filter.Suffixes) {
            if (!suffix)
                break;
            const QString upper = QLatin1String(suffix);
            patterns << QStringLiteral("*.") + upper << QStringLiteral("*.") + upper.toLower();
        }
        entries << QLatin1String(filter.Name) + QStringLiteral(" (") +
                       patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

void TMediaLastnosti::ShowRecord(const TMediaRecord &record)
{
    m_file->setText(FieldText(record.MediaFile).trimmed());
    m_caption->setText(FieldText(record.Caption));
}

void TMediaLastnosti::TakeRecord(TMediaRecord &record)
{
    TakeFieldText(record.MediaFile, m_file->text().trimmed().left(MaxFileName));
    TakeFieldText(record.Caption, m_caption->text());
}

void TMediaLastnosti::BrowseClick()
{
    const QString chosen = Interaction().OpenFileName(this, QStringLiteral("Open"), ClipFilter(),
                                                      QString(), TestFolder());
    if (chosen.isEmpty())
        return;
    if (TestFile().isEmpty()) {
        m_file->setText(chosen);
        Tell(NotSavedNote());
        return;
    }
    const QString name = ClipNameForFile(chosen);
    if (!name.isEmpty()) {
        m_file->setText(name);
        return;
    }
    m_file->setText(chosen);
    Tell(OutsideNote(QDir::toNativeSeparators(chosen), QDir::toNativeSeparators(TestFolder())));
}

void TMediaLastnosti::Tell(const QString &note)
{
    Interaction().Message(TQZMessageKind::Information, QStringLiteral("Information"), note,
                          TQZButton::Ok);
}

QString TMediaLastnosti::OutsideNote(const QString &clip, const QString &folder)
{
    return QStringLiteral("The player will not open a clip outside the test's folder.\n\n"
                          "Clip: %1\nTest's folder: %2\n\n"
                          "Copy the clip into the test's folder, or into a folder below it, and "
                          "choose it there.")
        .arg(clip, folder);
}

QString TMediaLastnosti::NotSavedNote()
{
    return QStringLiteral("The player will not open a clip outside the test's folder, and this "
                          "test has not been saved yet, so it has no folder.\n\n"
                          "Save the test, copy the clip into its folder, and choose it there.");
}

} // namespace CorvBuilder
