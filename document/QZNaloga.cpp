#include "QZNaloga.h"

#include "QZCodePage.h"
#include "QZStream.h"

#include <QCryptographicHash>
#include <QJsonArray>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

qint32 FileVersion = CurrentFileVersion;
bool TestLoading = false;
bool Saved = true;
qint32 ScoreEarned = 0;
qint32 ScoreMax = 0;

const QByteArray FileBanner = QByteArrayLiteral("Corvella Builder 2.1 test file");

namespace {

// Holds FileVersion at a file's version while its pages are read and puts the
// current version back however the reading ends.
class TFileVersionScope
{
public:
    explicit TFileVersionScope(qint32 version) { FileVersion = version; }
    ~TFileVersionScope() { FileVersion = CurrentFileVersion; }
};

int RandomIndex(std::mt19937 &random, size_t count)
{
    return std::uniform_int_distribution<int>(0, int(count) - 1)(random);
}

} // namespace

TShuffleOptions TShuffleOptions::FromArguments(const QStringList &arguments)
{
    TShuffleOptions options;
    options.Shuffle = arguments.size() > 2 && arguments.at(2).startsWith(QStringLiteral("/R"));
    options.Thin = options.Shuffle && arguments.size() == 4;
    if (options.Thin)
        options.KeepCount = arguments.at(3);
    return options;
}

QString TrimmedName(const QString &name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && name.at(end - 1).unicode() <= 0x20)
        --end;
    return name.mid(begin, end - begin);
}

TQZNaloga::TQZNaloga(TQZSurface *surface, TQZObjectFactory *factory)
    : m_record(ZeroRecord<TTestRecord>())
    , m_surface(surface)
    , m_factory(factory)
{
}

// Pages are destroyed in list order.
TQZNaloga::~TQZNaloga()
{
    for (auto &page : m_pages)
        page.reset();
}

QString TQZNaloga::Title() const { return DecodeDefault(m_record.Title.Bytes()); }

QString TQZNaloga::Comment(int index) const
{
    return index >= 0 && index < 8 ? DecodeDefault(m_record.Comments[index].Bytes()) : QString();
}

TQZStran *TQZNaloga::Page(int index) const
{
    return index >= 0 && index < PageCount() ? m_pages[size_t(index)].get() : nullptr;
}

std::unique_ptr<TQZStran> TQZNaloga::NewPage() const
{
    return std::make_unique<TQZStran>(m_surface, m_factory);
}

void TQZNaloga::AddPage(std::unique_ptr<TQZStran> page)
{
    m_pages.push_back(std::move(page));
    Saved = false;
}

void TQZNaloga::InsertPage(std::unique_ptr<TQZStran> page)
{
    const int at = std::clamp<int>(m_currentIndex, 0, PageCount());
    m_pages.insert(m_pages.begin() + at, std::move(page));
    Saved = false;
}

void TQZNaloga::DeletePage(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    if (index < m_currentIndex)
        --m_currentIndex;
    m_pages.erase(m_pages.begin() + index);
    Saved = false;
}

void TQZNaloga::DuplicatePage(int index)
{
    const QByteArray stream = PageToBytes(index);
    if (stream.isEmpty())
        return;
    auto copy = NewPage();
    TQZReader reader(stream);
    copy->LoadFromStream(reader);
    TPageRecord record = copy->PageRecord();
    record.PageName.SetBytes(QByteArrayLiteral("Copy of ") + record.PageName.Bytes());
    copy->SetPageRecord(record);
    copy->SetExtraEntry(Page(index)->ExtraEntry());
    AddPage(std::move(copy));
}

QByteArray TQZNaloga::PageToBytes(int index) const
{
    QByteArray stream;
    if (TQZStran *page = Page(index))
        page->SaveToStream(stream);
    return stream;
}

void TQZNaloga::SavePageToFile(int index, const QString &fileName) const
{
    QByteArray data = PageToBytes(index);
    if (const TQZStran *page = Page(index))
        data.append(page->SettingsBlock());
    WriteWholeFile(fileName, data);
}

void TQZNaloga::LoadPageFromFile(const QString &fileName)
{
    const QByteArray data = ReadWholeFile(fileName);
    auto page = NewPage();
    try {
        TFileVersionScope version(CurrentFileVersion);
        TQZReader reader(data);
        page->LoadFromStream(reader);
        page->ReadSettingsBlock(reader.Data().sliced(reader.Position()));
    } catch (TQZFileError &error) {
        error.SetFileName(fileName);
        throw;
    }
    AddPage(std::move(page));
}

void TQZNaloga::PrepareHeader()
{
    std::memset(m_record.Banner.Chars, 0, sizeof m_record.Banner.Chars);
    m_record.Banner.SetBytes(FileBanner.left(50));
    m_record.FileVersion = CurrentFileVersion;
    m_record.Reserved = 0;
    m_record.PageCount = PageCount();
}

QByteArray TQZNaloga::ToBytes()
{
    PrepareHeader();
    QByteArray data;
    WriteRecord(data, m_record);
    for (auto &page : m_pages)
        page->SaveToStream(data);
    data.append(m_extensions.ToBytes(GatheredExtensions()));
    return data;
}

// Written page by page through one re-used buffer: a large test is never
// held twice in memory, and the buffer stops growing after the largest page.
void TQZNaloga::SaveTestFile(const QString &fileName)
{
    PrepareHeader();
    TQZFileWriter file(fileName);
    try {
        file.Write(QByteArrayView(reinterpret_cast<const char *>(&m_record), sizeof m_record));
        QByteArray buffer;
        for (auto &page : m_pages) {
            buffer.resize(0);
            page->SaveToStream(buffer);
            file.Write(buffer);
        }
        file.Write(m_extensions.ToBytes(GatheredExtensions()));
        file.Commit();
    } catch (TQZFileError &error) {
        error.SetFileName(fileName);
        throw;
    }
    Saved = true;
}

void TQZNaloga::LoadTestFile(const QString &fileName, const TLoadOptions &options)
{
    TestLoading = true;
    const QByteArray data = ReadWholeFile(fileName);
    try {
        LoadFromBytes(data, options);
    } catch (TQZFileError &error) {
        error.SetFileName(fileName);
        throw;
    }
}

void TQZNaloga::LoadFromBytes(const QByteArray &data, const TLoadOptions &options)
{
    TestLoading = true;
    TQZReader reader(data);
    m_record = reader.ReadRecord<TTestRecord>("the test header");
    if (m_record.FileVersion > CurrentFileVersion)
        throw TQZNewerVersionError(m_record.FileVersion);

    {
        TFileVersionScope version(m_record.FileVersion);
        const qint32 count = m_record.PageCount;
        for (qint32 i = 0; i < count; ++i) {
            auto page = NewPage();
            TQZStran *added = page.get();
            AddPage(std::move(page));
            try {
                added->LoadFromStream(reader);
            } catch (const TQZFileError &error) {
                throw TQZFileError(
                    QStringLiteral("page %1 of %2: %3").arg(i + 1).arg(count).arg(error.Cause()));
            }
            if (options.Progress)
                options.Progress(i + 1, count);
        }
    }

    // A damaged block leaves the defaults: the test is still whole.
    const TExtensionRead extensions = ReadExtensionBlock(reader.Data().sliced(reader.Position()));
    m_extensions = extensions.Block;
    m_extensionProblem = extensions.Problem;
    // Spread before any shuffle: entries name pages by their place in the
    // file.
    SpreadPageSettings(m_extensions.Settings.value(PagesKey));
    m_extensions.Settings.remove(PagesKey);

    BuildShuffleList();
    if (options.Shuffle.Shuffle) {
        if (options.Random) {
            Shuffle(options.Shuffle, *options.Random);
        } else {
            std::mt19937 random(
                quint32(std::chrono::steady_clock::now().time_since_epoch().count()));
            Shuffle(options.Shuffle, random);
        }
    }
}

void TQZNaloga::BuildShuffleList()
{
    m_shuffleList.clear();
    for (int i = 0; i < PageCount(); ++i)
        if (!m_pages[size_t(i)]->PageRecord().PageName.Bytes().startsWith('/'))
            m_shuffleList.push_back(i);
}

void TQZNaloga::Shuffle(const TShuffleOptions &options, std::mt19937 &random)
{
    BuildShuffleList();
    if (!options.Shuffle)
        return;
    // Exchanging pages at indices taken from the list keeps the set of indices
    // in the list: pages whose names begin with "/" never move.
    const size_t count = m_shuffleList.size();
    for (size_t k = 0; k < count; ++k) {
        const int a = m_shuffleList[size_t(RandomIndex(random, count))];
        const int b = m_shuffleList[size_t(RandomIndex(random, count))];
        std::swap(m_pages[size_t(a)], m_pages[size_t(b)]);
    }
    if (!options.Thin)
        return;

    bool isNumber = false;
    qint64 keep = options.KeepCount.trimmed().toLongLong(&isNumber, 10);
    if (!isNumber)
        throw TQZFileError(
            QStringLiteral("'%1' is not a valid number of pages to keep").arg(options.KeepCount));
    // A negative count keeps none of the shuffled pages.
    keep = std::clamp<qint64>(keep, 0, qint64(m_shuffleList.size()));
    while (qint64(m_shuffleList.size()) > keep) {
        DeletePage(m_shuffleList[size_t(RandomIndex(random, m_shuffleList.size()))]);
        BuildShuffleList();
    }
}

void TQZNaloga::GoToPage(int index)
{
    if (index == 0) {
        ScoreEarned = 0;
        ScoreMax = 0;
    }
    const int last = PageCount() - 1;
    if (m_currentIndex > last || index > last || index < 0)
        return;
    m_previousIndex = m_currentIndex;
    if (TQZStran *shown = Page(m_currentIndex))
        shown->Deactivate();
    m_currentIndex = index;
    m_pages[size_t(index)]->Activate();
}

void TQZNaloga::SetCurrentIndex(int index)
{
    if (index >= 0 && index < PageCount())
        m_currentIndex = index;
}

void TQZNaloga::MovePage(int from, int to)
{
    const int last = PageCount() - 1;
    if (to > last || to < 0 || from < 0 || from > last)
        return;
    auto page = std::move(m_pages[size_t(from)]);
    m_pages.erase(m_pages.begin() + from);
    m_pages.insert(m_pages.begin() + to, std::move(page));
    if (m_currentIndex >= to && m_currentIndex < last)
        ++m_currentIndex;
    GoToPage(to);
    Saved = false;
}

std::unique_ptr<TQZStran> TQZNaloga::TakePage(int index)
{
    if (index < 0 || index >= PageCount())
        return nullptr;
    if (index < m_currentIndex || (index == m_currentIndex && index == PageCount() - 1))
        m_currentIndex = std::max(0, m_currentIndex - 1);
    auto page = std::move(m_pages[size_t(index)]);
    m_pages.erase(m_pages.begin() + index);
    m_previousIndex = std::min(m_previousIndex, std::max(0, PageCount() - 1));
    Saved = false;
    return page;
}

void TQZNaloga::InsertPageAt(int index, std::unique_ptr<TQZStran> page)
{
    const int at = std::clamp(index, 0, PageCount());
    if (at <= m_currentIndex && PageCount() > 0)
        ++m_currentIndex;
    m_pages.insert(m_pages.begin() + at, std::move(page));
    Saved = false;
}

int TQZNaloga::IndexOfPage(const TQZStran *page) const
{
    for (int i = 0; i < PageCount(); ++i)
        if (m_pages[size_t(i)].get() == page)
            return i;
    return -1;
}

int TQZNaloga::FindPage(const QString &name) const
{
    const QString wanted = TrimmedName(name);
    for (int i = 0; i < PageCount(); ++i)
        if (TrimmedName(m_pages[size_t(i)]->PageName()) == wanted)
            return i;
    return PageCount();
}

QByteArray TQZNaloga::PasswordValue(const QString &password)
{
    if (password.isEmpty())
        return {};
    QString upper = password;
    for (QChar &c : upper)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    const QByteArray digest =
        QCryptographicHash::hash(EncodeDefault(upper), QCryptographicHash::Md5).toHex().toUpper();
    return digest.mid(4, 15);
}

void TQZNaloga::SetEditPassword(const QString &password)
{
    m_record.EditPassword.SetBytes(PasswordValue(password));
    Saved = false;
}

void TQZNaloga::SetExtensions(const QJsonObject &extensions)
{
    QJsonObject settings = extensions;
    if (settings.contains(PagesKey)) {
        SpreadPageSettings(settings.take(PagesKey));
        Saved = false;
    }
    if (settings == m_extensions.Settings)
        return;
    TExtensionBlock block = m_extensions;
    block.Settings = settings;
    SetExtensionBlock(block);
}

QJsonObject TQZNaloga::GatheredExtensions() const
{
    QJsonObject gathered = m_extensions.Settings;
    QJsonArray pages;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        QJsonObject entry = m_pages[i]->ExtraEntry();
        if (entry.isEmpty())
            continue;
        entry.insert(PageKey, qint64(i));
        pages.append(entry);
    }
    if (!pages.isEmpty())
        gathered.insert(PagesKey, pages);
    return gathered;
}

void TQZNaloga::SpreadPageSettings(const QJsonValue &pages)
{
    m_extensionOrphans.clear();
    for (auto &page : m_pages)
        page->SetExtraEntry({});
    if (pages.isUndefined())
        return;
    if (!pages.isArray()) {
        m_extensionOrphans << QStringLiteral("the settings of pages are not a list");
        return;
    }
    for (const QJsonValue &value : pages.toArray()) {
        const QJsonObject entry = value.toObject();
        const QJsonValue place = entry.value(PageKey);
        const double number = place.toDouble(-1);
        if (!value.isObject() || !place.isDouble() || number != std::floor(number) || number < 0 ||
            number >= double(PageCount())) {
            m_extensionOrphans << QStringLiteral(
                                      "settings for page %1, which the test does not have")
                                      .arg(place.isDouble() ? QString::number(number + 1)
                                                            : QStringLiteral("(unnamed)"));
            continue;
        }
        for (const QString &orphan : m_pages[size_t(number)]->SetExtraEntry(entry))
            m_extensionOrphans << QStringLiteral("page %1: %2").arg(number + 1).arg(orphan);
    }
}

void TQZNaloga::SetExtensionBlock(const TExtensionBlock &block)
{
    if (block == m_extensions)
        return;
    m_extensions = block;
    m_extensionProblem.clear();
    Saved = false;
}

bool TQZNaloga::CheckEditPassword(const QString &password) const
{
    const QByteArray stored = m_record.EditPassword.Bytes();
    return stored.isEmpty() || stored == PasswordValue(password);
}
