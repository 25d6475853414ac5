#ifndef SPREADSHEET_PAGESETUP_H
#define SPREADSHEET_PAGESETUP_H

//! \file pagesetup.h
//! How a worksheet prints: PageSetup and the sections of its headers and footers.

#include <QList>
#include <QString>

namespace Spreadsheet {

/*!
  The three sections of a page's header or footer.

  Each section is text with the codes spreadsheet programs replace when they
  print: "&P" the page number, "&N" the number of pages, "&D" the date, "&T"
  the time, "&F" the workbook's file name, "&Z" its folder, "&A" the sheet's
  name; "&B" bold, "&I" italic, "&U" underlined and "&S" struck out (each
  turns on and off), "&12" a size in points, "&\"Arial,Bold Italic\"" a font
  and its style, "&K" followed by six hexadecimal digits a colour; "&&" is
  one ampersand.

  \code
  Spreadsheet::HeaderFooter footer;
  footer.left = QStringLiteral("&F");
  footer.right = QStringLiteral("Page &P of &N");
  \endcode
*/
struct HeaderFooter
{
    QString left;     //!< The section on the left.
    QString center;   //!< The section in the middle.
    QString right;    //!< The section on the right.

    //! Whether no section holds anything.
    bool isEmpty() const { return left.isEmpty() && center.isEmpty() && right.isEmpty(); }
    //! The sections as one text, as the file stores them ("&LLab&CPage &P").
    QString toText() const;
    /*!
      The sections of a stored text. Text before the first section code
      belongs to the centre, as spreadsheet programs read it; a section
      given twice gathers both texts.
    */
    static HeaderFooter fromText(const QString &text);

    //! Whether both have the same sections.
    bool operator==(const HeaderFooter &other) const
    {
        return left == other.left && center == other.center && right == other.right;
    }
    //! Whether a section differs.
    bool operator!=(const HeaderFooter &other) const { return !(*this == other); }
};

/*!
  How a worksheet prints: paper, orientation, margins, scale, headers and
  footers, and where pages break.

  The defaults are those of a new sheet in spreadsheet programs: the
  printer's paper and orientation, at 100 %, margins of 0.7 inch left and
  right and 0.75 inch top and bottom.

  \code
  Spreadsheet::PageSetup page;
  page.paperSize = Spreadsheet::PageSetup::A4;
  page.orientation = Spreadsheet::PageSetup::Landscape;
  page.fitToPages = true;            // one page wide, as many tall as needed
  page.fitToPagesWide = 1;
  page.fitToPagesTall = 0;
  page.header.center = QStringLiteral("&BAcidity&B, &D");
  page.footer.right = QStringLiteral("Page &P of &N");
  page.rowBreaks << 41;              // row 41 starts a new page
  sheet->setPageSetup(page);
  \endcode

  \sa Worksheet::setPageSetup(), Worksheet::setPrintArea(), Worksheet::setPrintTitles()
*/
struct PageSetup
{
    //! The orientation of the paper.
    enum Orientation {
        DefaultOrientation,   //!< The printer's (portrait on most).
        Portrait,             //!< Taller than wide.
        Landscape,            //!< Wider than tall.
    };
    //! The order in which a sheet wider and taller than a page is printed.
    enum PageOrder {
        DownThenOver,   //!< The pages down the sheet first, then those to their right.
        OverThenDown,   //!< The pages across the sheet first, then those below.
    };
    //! Paper sizes by their codes in the file format; paperSize takes any other code as well.
    enum PaperSize {
        DefaultPaper = 0,        //!< The printer's.
        Letter = 1,              //!< Letter, 8.5 × 11 inches.
        Tabloid = 3,             //!< Tabloid, 11 × 17 inches.
        Ledger = 4,              //!< Ledger, 17 × 11 inches.
        Legal = 5,               //!< Legal, 8.5 × 14 inches.
        Statement = 6,           //!< Statement, 5.5 × 8.5 inches.
        Executive = 7,           //!< Executive, 7.25 × 10.5 inches.
        A3 = 8,                  //!< A3, 297 × 420 mm.
        A4 = 9,                  //!< A4, 210 × 297 mm.
        A5 = 11,                 //!< A5, 148 × 210 mm.
        B4 = 12,                 //!< B4 (JIS), 257 × 364 mm.
        B5 = 13,                 //!< B5 (JIS), 182 × 257 mm.
        Folio = 14,              //!< Folio, 8.5 × 13 inches.
        Quarto = 15,             //!< Quarto, 215 × 275 mm.
        Note = 18,               //!< Note, 8.5 × 11 inches.
        Envelope10 = 20,         //!< Envelope #10, 4.125 × 9.5 inches.
        EnvelopeDL = 27,         //!< Envelope DL, 110 × 220 mm.
        EnvelopeC5 = 28,         //!< Envelope C5, 162 × 229 mm.
        EnvelopeC4 = 30,         //!< Envelope C4, 229 × 324 mm.
        EnvelopeB5 = 34,         //!< Envelope B5, 176 × 250 mm.
        EnvelopeMonarch = 37,    //!< Envelope Monarch, 3.875 × 7.5 inches.
        A2 = 66,                 //!< A2, 420 × 594 mm.
        A6 = 70,                 //!< A6, 105 × 148 mm.
    };

    Orientation orientation = DefaultOrientation;   //!< The paper's orientation.
    int paperSize = DefaultPaper;                   //!< A PaperSize, or another code (up to 32767) a printer knows.
    int scale = 100;                                //!< Percent of the natural size, 10 to 400 (unless fitToPages).
    /*!
      Whether the sheet is scaled down to fitToPagesWide by fitToPagesTall
      pages instead of printed at scale.
    */
    bool fitToPages = false;
    int fitToPagesWide = 1;   //!< Pages across; 0 for as many as needed.
    int fitToPagesTall = 1;   //!< Pages down; 0 for as many as needed.
    int firstPageNumber = 0;  //!< The first page's number; 0 to count on from the previous sheet.
    PageOrder pageOrder = DownThenOver;   //!< The order of the pages.
    bool blackAndWhite = false;           //!< Printed without colours.
    bool draft = false;                   //!< Printed in draft quality, without pictures.
    bool printGridLines = false;          //!< The gridlines printed.
    bool printHeadings = false;           //!< The row numbers and column letters printed.
    bool centerHorizontally = false;      //!< The printed cells centred between the left and right margins.
    bool centerVertically = false;        //!< The printed cells centred between the top and bottom margins.

    double leftMargin = 0.7;      //!< Inches from the left edge of the paper to the cells.
    double rightMargin = 0.7;     //!< Inches from the right edge of the paper to the cells.
    double topMargin = 0.75;      //!< Inches from the top edge of the paper to the cells.
    double bottomMargin = 0.75;   //!< Inches from the bottom edge of the paper to the cells.
    double headerMargin = 0.3;    //!< Inches from the top edge of the paper to the header.
    double footerMargin = 0.3;    //!< Inches from the bottom edge of the paper to the footer.

    HeaderFooter header;        //!< The header of every page (of odd pages with differentOddEven).
    HeaderFooter footer;        //!< The footer of every page (of odd pages with differentOddEven).
    bool differentOddEven = false;   //!< Whether even pages take evenHeader and evenFooter.
    HeaderFooter evenHeader;    //!< The header of even pages.
    HeaderFooter evenFooter;    //!< The footer of even pages.
    bool differentFirst = false;     //!< Whether the first page takes firstHeader and firstFooter.
    HeaderFooter firstHeader;   //!< The header of the first page.
    HeaderFooter firstFooter;   //!< The footer of the first page.
    bool scaleHeaderFooterWithDocument = true;   //!< Headers and footers scaled with the sheet.
    bool alignHeaderFooterWithMargins = true;    //!< Headers and footers aligned with the page's margins.

    //! Rows that begin a new page, ascending (row 41: rows 1 to 40 end the page before).
    QList<int> rowBreaks;
    //! Columns that begin a new page, ascending.
    QList<int> columnBreaks;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_PAGESETUP_H
