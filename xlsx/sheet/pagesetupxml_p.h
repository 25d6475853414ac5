#ifndef SPREADSHEET_PAGESETUPXML_P_H
#define SPREADSHEET_PAGESETUPXML_P_H

#include "keptxml_p.h"
#include "pagesetup.h"

class QXmlStreamWriter;

namespace Spreadsheet {

class XmlScanner;

// A worksheet's page setup in its XML: "printOptions", "pageMargins",
// "pageSetup", "headerFooter", "rowBreaks" and "colBreaks", and the fit-to-
// page switch of "pageSetUpPr" in the sheet's properties. What a loaded
// sheet's elements hold beyond the model (printer settings, resolution,
// copies) is kept and written back.
class PageSetupXml
{
public:
    PageSetup setup;
    bool changed = false;   // set, or loaded: the elements are written
    KeptAttributes printOptionsAttributes;
    KeptAttributes marginsAttributes;
    KeptAttributes pageSetupAttributes;   // the printer settings' r:id among them
    KeptAttributes headerFooterAttributes;
    KeptAttributes pageSetUpPrAttributes;  // autoPageBreaks
    bool pageSetUpPrLoaded = false;

    void readPrintOptions(XmlScanner &scanner);
    void readMargins(XmlScanner &scanner);
    void readPageSetup(XmlScanner &scanner);
    void readHeaderFooter(XmlScanner &scanner);
    void readBreaks(XmlScanner &scanner, QList<int> &breaks, int limit);
    void readPageSetUpPr(XmlScanner &scanner);

    void writePrintOptions(QXmlStreamWriter &writer) const;
    void writeMargins(QXmlStreamWriter &writer) const;
    void writePageSetup(QXmlStreamWriter &writer) const;
    void writeHeaderFooter(QXmlStreamWriter &writer) const;
    static void writeBreaks(QXmlStreamWriter &writer, const char *name, const QList<int> &breaks, int span);
    bool writesPageSetUpPr() const { return setup.fitToPages || pageSetUpPrLoaded; }
    void writePageSetUpPr(QXmlStreamWriter &writer) const;

    // A copy for another sheet: without the printer settings, which belong
    // to the sheet's own relationships.
    PageSetupXml withoutRelationships() const;
    // Whether the values can replace the current ones; the breaks come out
    // sorted and single.
    static bool normalize(PageSetup &setup, const PageSetup &current, int maxRow, int maxColumn);
};

} // namespace Spreadsheet

#endif // SPREADSHEET_PAGESETUPXML_P_H
