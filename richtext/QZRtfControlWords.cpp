// The control words of RTF: what each does to the group state, the tables
// and the text, by the destination it appears in.
#include "QZRtfParser.h"

#include "QZCodePage.h"

#include <algorithm>

void TRtfParser::ControlWord(QByteArrayView word, bool hasParam, int param)
{
    if (m_groups.empty())
        return;
    EndLeadByte();
    TGroup &group = Top();
    if (word == "bin") {
        const qint64 length = std::clamp<qint64>(hasParam ? param : 0, 0, m_data.size() - m_pos);
        if (group.Dest == TDest::Pict && m_sink.WantsPictures())
            m_pict.Data.append(m_data.sliced(m_pos, length));
        m_pos += length;
        ConsumeFallback();
        return;
    }
    if (group.Dest == TDest::Skip) {
        if (word == "ud")
            group.Dest = TDest::Text;
        return;
    }
    if (Destination(word, false))
        return;
    if (m_fallbackToSkip > 0 && word != "u") {
        --m_fallbackToSkip;
        return;
    }
    TRtfCharState &ch = group.Char;
    TRtfParState &par = group.Par;
    const int value = hasParam ? param : 1;

    switch (group.Dest) {
    case TDest::FontTable:
        if (word == "f") {
            if (m_fontIndex >= 0 && !m_fontNameBytes.isEmpty())
                StoreFont();
            m_font = TRtfFont();
            m_fontNameBytes.clear();
            m_fontIndex = param;
        } else if (word == "fcharset") {
            m_font.Charset = param;
            if (param == 0)
                m_font.CodePage =
                    m_ansiCodePage.isEmpty() ? QByteArrayLiteral("windows-1252") : m_ansiCodePage;
            else if (param != 1)
                m_font.CodePage = CodePageOfCharset(param);
        } else if (word == "cpg") {
            const QByteArray codePage = CodePageOfNumber(param);
            if (!codePage.isEmpty())
                m_font.CodePage = codePage;
        }
        return;
    case TDest::ColorTable:
        if (word == "red")
            m_red = param;
        else if (word == "green")
            m_green = param;
        else if (word == "blue")
            m_blue = param;
        return;
    case TDest::Pict:
        if (word == "pngblip")
            m_pict.Kind = 1;
        else if (word == "jpegblip")
            m_pict.Kind = 2;
        else if (word == "dibitmap")
            m_pict.Kind = 3;
        else if (word == "wmetafile" || word == "emfblip" || word == "wbitmap" ||
                 word == "macpict" || word == "pmmetafile")
            m_pict.Kind = 0; // shown only through a metafile or device bitmap layer
        else if (word == "picwgoal")
            m_pict.GoalWidth = std::clamp(param, 0, 31680 * 10);
        else if (word == "pichgoal")
            m_pict.GoalHeight = std::clamp(param, 0, 31680 * 10);
        else if (word == "picscalex")
            m_pict.ScaleX = std::clamp(param, 1, 1000);
        else if (word == "picscaley")
            m_pict.ScaleY = std::clamp(param, 1, 1000);
        return;
    case TDest::Pn:
        if (word == "pnlvlblt")
            par.List = TRtfList::Bullet;
        else if (word == "pndec" || word == "pnlvlbody")
            par.List = par.List == TRtfList::Bullet ? par.List : TRtfList::Decimal;
        else if (word == "pnlcltr")
            par.List = TRtfList::LowerAlpha;
        else if (word == "pnucltr")
            par.List = TRtfList::UpperAlpha;
        else if (word == "pnlcrm")
            par.List = TRtfList::LowerRoman;
        else if (word == "pnucrm")
            par.List = TRtfList::UpperRoman;
        else if (word == "pnlvl")
            par.ListLevel = std::clamp(param - 1, 0, 8);
        else if (word == "pnstart")
            par.ListStart = std::clamp(param, 0, 1000000);
        return;
    case TDest::ListTable:
        if (word == "list")
            m_listLevels.clear();
        else if (word == "listlevel" && m_listLevels.size() < 9)
            m_listLevels.push_back(0);
        else if ((word == "levelnfc" || word == "levelnfcn") && !m_listLevels.empty())
            m_listLevels.back() = param;
        else if (word == "listid" && m_lists.size() < 10000)
            m_lists.insert(param, m_listLevels);
        return;
    case TDest::ListOverrides:
        if (word == "listoverride")
            m_overrideListId = 0;
        else if (word == "listid")
            m_overrideListId = param;
        else if (word == "ls" && m_overrides.size() < 10000)
            m_overrides.insert(param, m_overrideListId);
        return;
    default: break;
    }

    // Header words.
    if (word == "ansicpg") {
        m_ansiCodePage = CodePageOfNumber(param);
    } else if (word == "ansi") {
        m_baseCodePage = QByteArrayLiteral("windows-1252");
    } else if (word == "mac") {
        m_baseCodePage = QByteArrayLiteral("macintosh");
    } else if (word == "pc") {
        m_baseCodePage = QByteArrayLiteral("IBM437");
    } else if (word == "pca") {
        m_baseCodePage = QByteArrayLiteral("IBM850");
    } else if (word == "deff") {
        m_defaultFont = param;
    } else if (word == "uc") {
        group.Uc = std::clamp(param, 0, 16);
    } else if (word == "u") {
        Unicode(std::clamp(param, -32768, 65535));
    }
    // Character formatting.
    else if (word == "plain") {
        ch = TRtfCharState();
    } else if (word == "f") {
        ch.Font = param;
    } else if (word == "fs") {
        ch.HalfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24;
    } else if (word == "b") {
        ch.Bold = value != 0;
    } else if (word == "i") {
        ch.Italic = value != 0;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
               word == "ulwave" || word == "uldash" || word == "uldashd" || word == "uldashdd" ||
               word == "ulth" || word == "ulhwave" || word == "ululdbwave") {
        ch.Underline = value != 0;
    } else if (word == "ulnone") {
        ch.Underline = false;
    } else if (word == "strike" || word == "striked") {
        ch.Strike = value != 0;
    } else if (word == "cf") {
        ch.Color = param;
    } else if (word == "highlight" || word == "cb" || word == "chcbpat") {
        ch.Back = param;
    } else if (word == "super") {
        ch.VAlign = 1;
    } else if (word == "sub") {
        ch.VAlign = 2;
    } else if (word == "nosupersub") {
        ch.VAlign = 0;
    } else if (word == "v") {
        ch.Hidden = value != 0;
    }
    // Paragraph formatting.
    else if (word == "pard") {
        par = TRtfParState();
    } else if (word == "ql") {
        par.Align = 0;
    } else if (word == "qr") {
        par.Align = 1;
    } else if (word == "qc") {
        par.Align = 2;
    } else if (word == "qj" || word == "qd") {
        par.Align = 3;
    } else if (word == "li") {
        par.Left = std::clamp(param, -31680, 31680);
    } else if (word == "ri") {
        par.Right = std::clamp(param, -31680, 31680);
    } else if (word == "fi") {
        par.First = std::clamp(param, -31680, 31680);
    } else if (word == "ls") {
        par.ListOverride = param;
    } else if (word == "ilvl") {
        par.ListLevel = std::clamp(param, 0, 8);
    }
    // Special characters and breaks.
    else if (word == "par" || word == "page" || word == "sect" || word == "row" ||
             word == "nestrow") {
        EndParagraph();
    } else if (word == "cell" || word == "nestcell") {
        FlushText();
        m_pendingCellTab = true;
    } else if (word == "line") {
        FlushText();
        m_sink.LineBreak(ch);
    } else if (word == "tab") {
        AppendChar(QLatin1Char('\t'));
    } else if (word == "emdash") {
        AppendChar(QChar(0x2014));
    } else if (word == "endash") {
        AppendChar(QChar(0x2013));
    } else if (word == "bullet") {
        AppendChar(QChar(0x2022));
    } else if (word == "lquote") {
        AppendChar(QChar(0x2018));
    } else if (word == "rquote") {
        AppendChar(QChar(0x2019));
    } else if (word == "ldblquote") {
        AppendChar(QChar(0x201C));
    } else if (word == "rdblquote") {
        AppendChar(QChar(0x201D));
    } else if (word == "emspace") {
        AppendChar(QChar(0x2003));
    } else if (word == "enspace") {
        AppendChar(QChar(0x2002));
    } else if (word == "qmspace") {
        AppendChar(QChar(0x2005));
    }
}
