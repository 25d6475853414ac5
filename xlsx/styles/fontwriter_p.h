#ifndef SPREADSHEET_FONTWRITER_P_H
#define SPREADSHEET_FONTWRITER_P_H

class QXmlStreamWriter;

namespace Spreadsheet {

class Format;

// The font of a format as the package writes it in three places: a font of
// the style table, the font of a differential format, and the run properties
// of a rich text in the shared strings. The three take the same elements in
// the same order; they differ in which ones they hold.
class FontWriter
{
public:
    enum Kind {
        CellFont,           // "font" in "fonts": every property, the name always
        DifferentialFont,   // "font" in "dxf": no size, name, charset, family or scheme
        RunProperties       // "rPr": no condense, extend or charset; the name as "rFont" when set
    };

    // Writes the child elements; the caller writes the enclosing element.
    static void writeProperties(QXmlStreamWriter &writer, const Format &format, Kind kind);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_FONTWRITER_P_H
