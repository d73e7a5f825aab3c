#include "QZFonts.h"

#include "QZFont.h"

#include <QFontMetrics>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

// Suffixes Windows adds to a face name to pick a script of the same font.
constexpr const char *ScriptSuffixes[] = {" CE",     " Cyr",      " Greek",   " Tur",
                                          " Baltic", " (Hebrew)", " (Arabic)"};

const QHash<QString, QString> &FreeFamilies()
{
    // Keys in lower case. The Liberation fonts share the metrics of the
    // faces they stand for; DejaVu is the nearest for the rest.
    static const QHash<QString, QString> families = {
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("ms sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("microsoft sans serif"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("arial narrow"), QStringLiteral("Liberation Sans Narrow")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("ms serif"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
        {QStringLiteral("tahoma"), QStringLiteral("DejaVu Sans")},
        {QStringLiteral("verdana"), QStringLiteral("DejaVu Sans")},
    };
    return families;
}

} // namespace

QString FreeFamilyOf(const QString &windowsFace)
{
    QString face = windowsFace.trimmed();
    for (const char *suffix : ScriptSuffixes) {
        const QString s = QString::fromLatin1(suffix);
        if (face.endsWith(s, Qt::CaseInsensitive)) {
            face.chop(s.size());
            break;
        }
    }
    return FreeFamilies().value(face.toLower(), face);
}

QFont FaceFont(const TFontRecord &record)
{
    QFont font = RecordToFont(record).Font;
    font.setFamily(FreeFamilyOf(font.family()));
    if (record.Height > 0) {
        // A cell height: size the characters so that a line of the free
        // family is that high.
        font.setPixelSize(record.Height);
        const int cell = QFontMetrics(font).height();
        if (cell > 0)
            font.setPixelSize(
                std::max(1, int(std::lround(double(record.Height) * record.Height / cell))));
    }
    // Draw with whole pixels so that text widths are the same on every run.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QColor FaceColor(quint32 value) { return ColorFromValue(value); }
