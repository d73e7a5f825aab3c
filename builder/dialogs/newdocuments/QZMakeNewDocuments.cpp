// Writes the empty OpenDocument files that "Insert Object" creates new objects
// from: a text document, a spreadsheet, a presentation and a drawing. Run by
// the build; the files are put in the builder's resources. Each is a zip
// package as OpenDocument asks: "mimetype" first, stored and without extra
// fields, then the manifest, the content and the styles. Every entry carries
// the same fixed time, so that the files are the same on every build.
//
// Usage: corvmakenewdocuments FOLDER
#include <gsf/gsf.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char ContentHead[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0" office:version="1.2">
<office:body>
)";
const char ContentTail[] = R"(</office:body>
</office:document-content>
)";

const char StylesHead[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:presentation="urn:oasis:names:tc:opendocument:xmlns:presentation:1.0" office:version="1.2">
)";
const char StylesTail[] = R"(</office:document-styles>
)";

// A page layout and the master page that the document's pages use.
std::string MasterStyles(const char *master, const char *width, const char *height,
                         const char *margin)
{
    std::string styles = "<office:automatic-styles>\n<style:page-layout style:name=\"PM1\">";
    styles += "<style:page-layout-properties fo:page-width=\"";
    styles += width;
    styles += "\" fo:page-height=\"";
    styles += height;
    styles += "\" fo:margin-top=\"";
    styles += margin;
    styles += "\" fo:margin-bottom=\"";
    styles += margin;
    styles += "\" fo:margin-left=\"";
    styles += margin;
    styles += "\" fo:margin-right=\"";
    styles += margin;
    styles += "\"/></style:page-layout>\n</office:automatic-styles>\n";
    styles += "<office:master-styles>\n<style:master-page style:name=\"";
    styles += master;
    styles += "\" style:page-layout-name=\"PM1\"/>\n</office:master-styles>\n";
    return styles;
}

struct TDocument
{
    const char *FileName;
    const char *MimeType;
    const char *Body; // the office:body's one child
    const char *Master;
    const char *Width;
    const char *Height;
    const char *Margin;
};

const TDocument Documents[] = {
    {"text.odt", "application/vnd.oasis.opendocument.text",
     "<office:text><text:p/></office:text>\n", "Standard", "21cm", "29.7cm", "2cm"},
    {"spreadsheet.ods", "application/vnd.oasis.opendocument.spreadsheet",
     "<office:spreadsheet><table:table table:name=\"Sheet1\"><table:table-column/>"
     "<table:table-row><table:table-cell/></table:table-row></table:table>"
     "</office:spreadsheet>\n",
     "Default", "21cm", "29.7cm", "2cm"},
    {"presentation.odp", "application/vnd.oasis.opendocument.presentation",
     "<office:presentation><draw:page draw:name=\"page1\" draw:master-page-name=\"Default\"/>"
     "</office:presentation>\n",
     "Default", "28cm", "15.75cm", "0cm"},
    {"drawing.odg", "application/vnd.oasis.opendocument.graphics",
     "<office:drawing><draw:page draw:name=\"page1\" draw:master-page-name=\"Default\"/>"
     "</office:drawing>\n",
     "Default", "21cm", "29.7cm", "1cm"},
};

bool Add(GsfOutfile *zip, GDateTime *time, const char *name, const std::string &content,
         bool compressed)
{
    GsfOutput *entry = gsf_outfile_new_child_full(zip, name, FALSE, "compression-level",
                                                  compressed ? GSF_ZIP_DEFLATED : GSF_ZIP_STORED,
                                                  "modtime", time, nullptr);
    if (!entry)
        return false;
    const bool written =
        gsf_output_write(entry, content.size(), reinterpret_cast<const guint8 *>(content.data()));
    const bool closed = gsf_output_close(entry);
    g_object_unref(entry);
    return written && closed;
}

bool Write(const std::string &folder, const TDocument &document, GDateTime *time)
{
    const std::string path = folder + "/" + document.FileName;
    GError *error = nullptr;
    GsfOutput *file = gsf_output_stdio_new(path.c_str(), &error);
    if (!file) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error ? error->message : "not written");
        if (error)
            g_error_free(error);
        return false;
    }
    GsfOutfile *zip = gsf_outfile_zip_new(file, &error);
    bool ok = zip != nullptr;
    if (ok) {
        const std::string manifest =
            std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:"
                        "xmlns:manifest:1.0\" manifest:version=\"1.2\">\n"
                        "<manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
                        "manifest:media-type=\"") +
            document.MimeType +
            "\"/>\n"
            "<manifest:file-entry manifest:full-path=\"content.xml\" "
            "manifest:media-type=\"text/xml\"/>\n"
            "<manifest:file-entry manifest:full-path=\"styles.xml\" "
            "manifest:media-type=\"text/xml\"/>\n"
            "</manifest:manifest>\n";
        const std::string content = std::string(ContentHead) + document.Body + ContentTail;
        const std::string styles =
            std::string(StylesHead) +
            MasterStyles(document.Master, document.Width, document.Height, document.Margin) +
            StylesTail;
        ok = Add(zip, time, "mimetype", document.MimeType, false) &&
             Add(zip, time, "META-INF/manifest.xml", manifest, true) &&
             Add(zip, time, "content.xml", content, true) &&
             Add(zip, time, "styles.xml", styles, true);
        ok = gsf_output_close(GSF_OUTPUT(zip)) && ok;
        g_object_unref(zip);
    } else {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error ? error->message : "no zip");
        if (error)
            g_error_free(error);
    }
    g_object_unref(file);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    gsf_init();
    GDateTime *time = g_date_time_new_utc(2024, 1, 1, 0, 0, 0);
    bool ok = true;
    for (const TDocument &document : Documents)
        ok = Write(argv[1], document, time) && ok;
    g_date_time_unref(time);
    gsf_shutdown();
    return ok ? 0 : 1;
}
