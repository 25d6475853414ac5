#ifndef SPREADSHEET_CELLMEASURE_P_H
#define SPREADSHEET_CELLMEASURE_P_H

#include "format.h"

#include <QFont>
#include <QHash>
#include <QImage>

namespace Spreadsheet {

class RichString;

// How wide texts show in cells, in pixels at 100 % (96 dots per inch), with
// the fonts of their formats as Qt finds them. Calibri, the default font of
// workbooks, is measured with its metric twin Carlito where it is missing.
// Without a QGuiApplication, which Qt's fonts need, widths are estimated
// from the font's size.
class CellMeasure
{
public:
    CellMeasure();

    // The widest line of the text (lines end at line breaks).
    double textWidth(const QString &text, const Format &format);
    // The same for rich text, each run in its own font over the cell's.
    double richTextWidth(const RichString &text, const Format &cellFormat);

    // The column width, in the default font's digit widths as the file
    // stores it, that shows a text of that many pixels whole.
    static double columnWidthFor(double pixels);

private:
    QFont fontFor(const Format &format) const;
    double lineWidth(const QString &line, const Format &format);

    bool m_haveFonts = false;
    bool m_calibriMissing = false;
    QImage m_device;   // a paint device of 96 dots per inch
    QHash<QString, double> m_widths;   // by font and text, for columns of repeated values
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CELLMEASURE_P_H
