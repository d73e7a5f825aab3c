// The destinations of RTF: which groups hold shown text, tables or pictures,
// and which are skipped whole.
#include "QZRtfParser.h"

#include <algorithm>
#include <string_view>

namespace {

// Destinations whose content is never shown, sorted for a binary search.
bool IsSkippedDestination(QByteArrayView word)
{
    static constexpr std::string_view skipped[] = {"annotation",
                                                   "atnauthor",
                                                   "atndate",
                                                   "atnid",
                                                   "author",
                                                   "bkmkend",
                                                   "bkmkstart",
                                                   "buptim",
                                                   "colorschememapping",
                                                   "comment",
                                                   "company",
                                                   "creatim",
                                                   "datastore",
                                                   "defchp",
                                                   "defpap",
                                                   "do",
                                                   "doccomm",
                                                   "docvar",
                                                   "falt",
                                                   "fchars",
                                                   "file",
                                                   "filetbl",
                                                   "fldinst",
                                                   "fontemb",
                                                   "fontfile",
                                                   "footer",
                                                   "footerf",
                                                   "footerl",
                                                   "footerr",
                                                   "footnote",
                                                   "ftnalt",
                                                   "ftncn",
                                                   "ftnsep",
                                                   "ftnsepc",
                                                   "generator",
                                                   "header",
                                                   "headerf",
                                                   "headerl",
                                                   "headerr",
                                                   "info",
                                                   "keywords",
                                                   "latentstyles",
                                                   "lchars",
                                                   "listpicture",
                                                   "listtext",
                                                   "macpict",
                                                   "mmathPr",
                                                   "nonesttables",
                                                   "nonshppict",
                                                   "objclass",
                                                   "objdata",
                                                   "objname",
                                                   "operator",
                                                   "panose",
                                                   "passwordhash",
                                                   "pgdsctbl",
                                                   "pgptbl",
                                                   "pnseclvl",
                                                   "pntext",
                                                   "printim",
                                                   "private",
                                                   "protusertbl",
                                                   "revtbl",
                                                   "revtim",
                                                   "rsidtbl",
                                                   "shpinst",
                                                   "stylesheet",
                                                   "subject",
                                                   "tc",
                                                   "template",
                                                   "themedata",
                                                   "title",
                                                   "txe",
                                                   "upr",
                                                   "userprops",
                                                   "wgrffmtfilter",
                                                   "xe",
                                                   "xmlnstbl",
                                                   "xmlopen"};
    static_assert(std::is_sorted(std::begin(skipped), std::end(skipped)));
    return std::binary_search(std::begin(skipped), std::end(skipped),
                              std::string_view(word.data(), size_t(word.size())));
}

} // namespace

bool TRtfParser::Destination(QByteArrayView word, bool starred)
{
    TGroup &group = Top();
    if (group.Dest == TDest::Skip) {
        if (word == "ud")
            group.Dest = TDest::Text;
        return true;
    }
    if (word == "fonttbl") {
        group.Dest = TDest::FontTable;
    } else if (word == "colortbl") {
        group.Dest = TDest::ColorTable;
        m_colors.clear();
    } else if (word == "pict") {
        group.Dest = TDest::Pict;
        m_pict = TPict();
    } else if (word == "pn") {
        group.Dest = TDest::Pn;
        group.Par.List = TRtfList::Decimal;
        group.Par.ListStart = 1;
    } else if (word == "listtable") {
        group.Dest = TDest::ListTable;
    } else if (word == "listoverridetable") {
        group.Dest = TDest::ListOverrides;
    } else if (word == "ud" || word == "shppict" || word == "fldrslt" || word == "result" ||
               word == "shprslt" || word == "nesttableprops" || word == "field" ||
               word == "object" || word == "shp") {
        // Shown content, or containers of it.
        group.Dest = TDest::Text;
    } else if (IsSkippedDestination(word) || starred) {
        group.Dest = TDest::Skip;
    } else {
        return false;
    }
    return true;
}
