// Objects on the system clipboard: under a MIME type of our own, a page stream
// holding the object (its record in virtual units and its payload, as a page
// file holds it), so that a copy keeps its place and size on any screen and
// pastes into another builder; as text, the object's JSON form; and, for the
// types that have one, the live record under the type's own format.
#pragma once

#include <memory>
#include <vector>

class QString;
class TQZControl;
class TQZStran;
class TQZNaloga;

namespace CorvBuilder {

QString ObjectMimeType();

void CopyObjectToClipboard(const TQZControl &object);

// The objects on the clipboard, made for pages of the test and hidden; none
// when the clipboard holds no object (or a damaged one).
std::vector<std::unique_ptr<TQZControl>> ObjectsFromClipboard(const TQZNaloga &test);

// Moves the object by one grid step right and down while an object of the
// page stands in exactly its place, so that a copy pasted onto its own page
// is seen.
void KeepOffOthers(TQZControl &object, const TQZStran &page, int gridStep);

} // namespace CorvBuilder
