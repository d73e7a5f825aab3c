#include "QZSvgSanitizer.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

QSet<QString> NameSet(std::initializer_list<const char *> names)
{
    QSet<QString> set;
    for (const char *name : names)
        set.insert(QString::fromLatin1(name));
    return set;
}

const QSet<QString> &AllowedElements()
{
    static const QSet<QString> elements = NameSet({
        "svg",
        "g",
        "defs",
        "clipPath",
        "path",
        "polygon",
        "polyline",
        "rect",
        "ellipse",
        "circle",
        "line",
        "text",
        "tspan",
        "image",
        "pattern",
        "linearGradient",
        "radialGradient",
        "stop",
    });
    return elements;
}

const QSet<QString> &AllowedAttributes()
{
    static const QSet<QString> attributes = NameSet({
        "id",
        "x",
        "y",
        "width",
        "height",
        "cx",
        "cy",
        "r",
        "rx",
        "ry",
        "x1",
        "y1",
        "x2",
        "y2",
        "fx",
        "fy",
        "d",
        "points",
        "transform",
        "style",
        "fill",
        "fill-rule",
        "fill-opacity",
        "stroke",
        "stroke-width",
        "stroke-linecap",
        "stroke-linejoin",
        "stroke-dasharray",
        "stroke-dashoffset",
        "stroke-miterlimit",
        "stroke-opacity",
        "opacity",
        "clip-path",
        "clip-rule",
        "font-family",
        "font-size",
        "font-style",
        "font-weight",
        "font-variant",
        "text-anchor",
        "text-decoration",
        "letter-spacing",
        "word-spacing",
        "dominant-baseline",
        "xml:space",
        "preserveAspectRatio",
        "version",
        "baseProfile",
        "viewBox",
        "xmlns",
        "xmlns:xlink",
        "xlink:href",
        "href",
        "patternUnits",
        "patternContentUnits",
        "patternTransform",
        "gradientUnits",
        "gradientTransform",
        "spreadMethod",
        "offset",
        "stop-color",
        "stop-opacity",
        "visibility",
        "display",
        "color",
    });
    return attributes;
}

// Texts are kept only where they are drawn.
bool HoldsText(QStringView element)
{
    return element == QLatin1String("text") || element == QLatin1String("tspan");
}

// A link may only carry a bitmap in the document itself. SVG is not among
// them: an SVG picture could link further.
bool AllowedLink(QStringView value)
{
    static const QRegularExpression bitmap(
        QStringLiteral("^\\s*data:image/(png|jpeg|jpg|gif|bmp)[;,]"),
        QRegularExpression::CaseInsensitiveOption);
    return bitmap.match(value).hasMatch();
}

// References inside a value (fill:url(#p1)) may only name something in the
// document.
bool AllowedValue(QStringView value)
{
    static const QRegularExpression reference(
        QStringLiteral("url\\s*\\(\\s*['\"]?\\s*([^'\"\\s)]?)"),
        QRegularExpression::CaseInsensitiveOption);
    auto matches = reference.globalMatch(value);
    while (matches.hasNext())
        if (matches.next().capturedView(1) != QLatin1String("#"))
            return false;
    return !value.contains(QLatin1String("@import"), Qt::CaseInsensitive);
}

} // namespace

QByteArray SanitizedSvg(QByteArrayView svg, QString *error)
{
    QXmlStreamReader reader(svg.toByteArray());
    // The converters use the xlink prefix without always declaring it.
    reader.setNamespaceProcessing(false);
    QByteArray cleaned;
    QXmlStreamWriter writer(&cleaned);
    writer.writeStartDocument();
    bool root = false;
    int depth = 0;
    int skipped = 0; // depth inside an element that is left out
    QStringList open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QStringView name = reader.qualifiedName();
            if (depth == 0) {
                if (root || name != QLatin1String("svg")) {
                    if (error)
                        *error = QStringLiteral("the drawing is not SVG");
                    return {};
                }
                root = true;
            }
            ++depth;
            if (skipped > 0 || !AllowedElements().contains(name.toString())) {
                ++skipped;
                break;
            }
            writer.writeStartElement(name.toString());
            const QString element = name.toString();
            for (const QXmlStreamAttribute &attribute : reader.attributes()) {
                const QString attributeName = attribute.qualifiedName().toString();
                const QStringView value = attribute.value();
                if (!AllowedAttributes().contains(attributeName))
                    continue;
                const bool link = attributeName == QLatin1String("href") ||
                                  attributeName == QLatin1String("xlink:href");
                if (link ? !AllowedLink(value) : !AllowedValue(value))
                    continue;
                writer.writeAttribute(attributeName, value.toString());
            }
            open.append(element);
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            if (skipped > 0) {
                --skipped;
                break;
            }
            writer.writeEndElement();
            open.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (skipped == 0 && !open.isEmpty() && HoldsText(open.constLast()))
                writer.writeCharacters(reader.text().toString());
            break;
        default: // the document type, entities, comments, processing instructions
            break;
        }
    }
    if (reader.hasError()) {
        if (error)
            *error =
                QStringLiteral("the drawing is not well-formed (%1)").arg(reader.errorString());
        return {};
    }
    if (!root || depth != 0) {
        if (error)
            *error = QStringLiteral("the drawing is empty");
        return {};
    }
    writer.writeEndDocument();
    return cleaned;
}
