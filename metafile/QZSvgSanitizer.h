// The SVG a metafile converter hands back is rewritten before Qt draws it,
// keeping only the elements and attributes the converters write: no document
// type or entity declarations, no scripts or styles, and no link that is not
// a picture inside the document itself (a data: URI of a bitmap image). A
// drawing can then never make the renderer read a file or reach a network.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The cleaned document; empty, with `error` saying why, when `svg` is not
// well-formed XML or not an SVG drawing.
QByteArray SanitizedSvg(QByteArrayView svg, QString *error = nullptr);
