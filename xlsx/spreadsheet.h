#ifndef SPREADSHEET_H
#define SPREADSHEET_H

// The spreadsheet library in one include: create or load a
// Spreadsheet::Document, write and read values in its worksheets, save it as
// an .xlsx package with its pictures and charts; read a large worksheet row
// by row with SheetReader.
#include "celladdress.h"
#include "cellarea.h"
#include "cellformula.h"
#include "cellnote.h"
#include "chart.h"
#include "chartsheet.h"
#include "conditionalformatting.h"
#include "datavalidation.h"
#include "document.h"
#include "format.h"
#include "pagesetup.h"
#include "richstring.h"
#include "sheetcell.h"
#include "sheetimage.h"
#include "sheetprotection.h"
#include "sheettable.h"
#include "sheetreader.h"
#include "sheetwriter.h"
#include "workbook.h"
#include "worksheet.h"

/*!
    \file spreadsheet.h
    The spreadsheet library in one include: every header a program that
    writes or reads workbooks needs.

    \code
    #include <spreadsheet/spreadsheet.h>
    \endcode
*/

/*!
    \namespace Spreadsheet
    Writing and reading .xlsx workbooks: create or load a Document, write and
    read values in its worksheets, save it as an Office Open XML package with
    its pictures and charts; read a large worksheet row by row with
    SheetReader.

    Rows and columns are numbered from 1 everywhere, as spreadsheet programs
    number them; cell A1 is row 1, column 1.
*/

#endif // SPREADSHEET_H
