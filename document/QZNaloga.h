// The test document: an ordered list of pages, the test header and the
// bookkeeping of the page shown; the test file (.cvl) and page file (.cvp).
#pragma once

#include "QZExtensionBlock.h"
#include "QZRecords.h"
#include "QZStran.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <random>
#include <vector>

// Process-wide state shared by the document, the objects and the programs.
// The format version of the file being read: 768 except while LoadTestFile
// reads pages, when it holds the file's version.
extern qint32 FileVersion;
// While set, objects that are created start hidden.
extern bool TestLoading;
// True when the open test has no unsaved changes.
extern bool Saved;
// Running points of a test run.
extern qint32 ScoreEarned;
extern qint32 ScoreMax;

// The banner written at the start of every test file (readers ignore it).
extern const QByteArray FileBanner;

// Shuffling and thinning out of the pages of a test being loaded, as the
// player's command line asks for them.
struct TShuffleOptions
{
    bool Shuffle = false;
    // Keep only this many of the pages that take part (a whole decimal
    // number); set only together with Shuffle.
    bool Thin = false;
    QString KeepCount;

    // From the program's arguments (arguments[0] is the program): the second
    // argument beginning with "/R" shuffles, and exactly three arguments thin
    // out to the third.
    static TShuffleOptions FromArguments(const QStringList &arguments);
};

struct TLoadOptions
{
    TShuffleOptions Shuffle;
    // Source of the random picks; seeded from the clock when null.
    std::mt19937 *Random = nullptr;
    // Called after each page is read, with the number read and the total.
    std::function<void(int loaded, int total)> Progress;
};

class TQZNaloga
{
public:
    explicit TQZNaloga(TQZSurface *surface = nullptr, TQZObjectFactory *factory = nullptr);
    ~TQZNaloga();
    TQZNaloga(const TQZNaloga &) = delete;
    TQZNaloga &operator=(const TQZNaloga &) = delete;

    const TTestRecord &TestRecord() const { return m_record; }
    TTestRecord &TestRecord() { return m_record; }
    QString Title() const;
    QString Comment(int index) const;

    int PageCount() const { return int(m_pages.size()); }
    TQZStran *Page(int index) const;
    qint32 CurrentIndex() const { return m_currentIndex; }
    qint32 PreviousIndex() const { return m_previousIndex; }
    TQZStran *CurrentPage() const { return Page(m_currentIndex); }
    const std::vector<int> &ShuffleList() const { return m_shuffleList; }

    // A new empty page on this document's surface, made with its factory.
    std::unique_ptr<TQZStran> NewPage() const;

    void AddPage(std::unique_ptr<TQZStran> page);
    // Inserts before the page shown; CurrentIndex then names the new page.
    void InsertPage(std::unique_ptr<TQZStran> page);
    void DeletePage(int index);
    // Appends a copy named "Copy of " and the old name.
    void DuplicatePage(int index);

    // The page stream of one page, the page file format.
    QByteArray PageToBytes(int index) const;
    void SavePageToFile(int index, const QString &fileName) const;
    void LoadPageFromFile(const QString &fileName);

    // The whole test file. Fills the banner, the current version, the reserved
    // byte and the page count into the header first.
    QByteArray ToBytes();
    // Writes the test file; the old file is replaced only by a complete new
    // one. Sets Saved on success. Raises TQZFileError naming the file.
    void SaveTestFile(const QString &fileName);

    // Reads a test file into this empty document. Raises TQZNewerVersionError
    // for a file newer than this program and TQZFileError, naming the file, for
    // one that cannot be read; the pages read so far stay in the document.
    void LoadTestFile(const QString &fileName, const TLoadOptions &options = {});
    void LoadFromBytes(const QByteArray &data, const TLoadOptions &options = {});

    void GoToPage(int index);
    // Makes a page current without hiding or showing anything and without
    // touching the previous index or the score totals, for callers that show
    // pages themselves. An index outside the list is ignored.
    void SetCurrentIndex(int index);
    void MovePage(int from, int to);
    // An editor's hooks: take a page out (the current index follows the page
    // shown, as DeletePage does) and put one back at a place in the list.
    // Neither hides nor shows anything.
    std::unique_ptr<TQZStran> TakePage(int index);
    void InsertPageAt(int index, std::unique_ptr<TQZStran> page);
    int IndexOfPage(const TQZStran *page) const;
    // Index of the first page whose trimmed name equals the trimmed name, or
    // the page count when there is none.
    int FindPage(const QString &name) const;
    bool PageExists(const QString &name) const { return FindPage(name) < PageCount(); }

    // Shuffles and thins out the pages whose names do not begin with "/".
    void Shuffle(const TShuffleOptions &options, std::mt19937 &random);

    // The check value of an edit password: 15 hexadecimal digits of its MD5.
    static QByteArray PasswordValue(const QString &password);
    void SetEditPassword(const QString &password);
    bool CheckEditPassword(const QString &password) const;
    bool HasEditPassword() const { return m_record.EditPassword.Length != 0; }

    // The test's own settings kept in the extension block after the last
    // page (QZTestSettings.h reads them); empty for a test that keeps every
    // default, and for one whose block was damaged or of a newer format.
    // Settings of pages and objects are held by them (Extra()).
    const QJsonObject &Extensions() const { return m_extensions.Settings; }
    // Replaces the test's settings; keys other than the known ones are kept
    // as given. A "pages" array among them is spread onto the pages and
    // their objects in place of what they held. A block read from the file
    // is written back as it was while the settings gathered for writing
    // equal those it held.
    void SetExtensions(const QJsonObject &extensions);
    // Everything the block after the last page is written from: the test's
    // settings and "pages" gathered from the pages and their objects.
    QJsonObject GatheredExtensions() const;
    // A clause for each entry of page or object settings read that names no
    // page or object; such entries are not kept.
    const QStringList &ExtensionOrphans() const { return m_extensionOrphans; }
    // The whole block, for an editor that puts a former state back.
    const TExtensionBlock &ExtensionBlock() const { return m_extensions; }
    void SetExtensionBlock(const TExtensionBlock &block);
    // Why the block read after the last page is not used (damaged, or of a
    // newer format), as a clause; empty when it is used or there is none.
    const QString &ExtensionProblem() const { return m_extensionProblem; }

private:
    void BuildShuffleList();
    // Spreads a "pages" array onto the pages and their objects, replacing
    // what they held; the entries that name nothing go to the orphans.
    void SpreadPageSettings(const QJsonValue &pages);
    // Fills the banner, the current version, the reserved byte and the page
    // count into the header before it is written.
    void PrepareHeader();

    TTestRecord m_record;
    std::vector<std::unique_ptr<TQZStran>> m_pages;
    TQZSurface *m_surface;
    TQZObjectFactory *m_factory;
    qint32 m_currentIndex = 0;
    qint32 m_previousIndex = 0;
    std::vector<int> m_shuffleList;
    TExtensionBlock m_extensions;
    QString m_extensionProblem;
    QStringList m_extensionOrphans;
};

// Removes leading and trailing blanks and control characters.
QString TrimmedName(const QString &name);
