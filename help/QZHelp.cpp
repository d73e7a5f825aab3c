#include "QZHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

TQZHelp::~TQZHelp() = default;

namespace {

QString &HelpFileName()
{
    static QString name = QStringLiteral("help_eng.hlp");
    return name;
}

class TNoHelp final : public TQZHelp
{
public:
    void ShowContents() override {}
    void ShowTopic(int) override {}
};

TQZHelp *&Installed()
{
    static TQZHelp *installed = nullptr;
    return installed;
}

} // namespace

TQZHelp &Help()
{
    static TNoHelp window;
    TQZHelp *installed = Installed();
    return installed ? *installed : window;
}

TQZHelp *SetHelp(TQZHelp *help) { return std::exchange(Installed(), help); }

void SetHelpFile(const QString &fileName) { HelpFileName() = fileName; }

QString HelpFile()
{
    const QString &name = HelpFileName();
    if (QFileInfo(name).isAbsolute() || name.contains(QLatin1Char('/')))
        return name;
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}
