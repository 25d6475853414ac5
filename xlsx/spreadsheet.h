#ifndef SPREADSHEET_H
#define SPREADSHEET_H

// The spreadsheet writer in one include: create a Spreadsheet::Document, write
// values into its worksheet, save it as an .xlsx package.
#include "celladdress.h"
#include "cellarea.h"
#include "cellformula.h"
#include "document.h"
#include "format.h"
#include "richstring.h"
#include "sheetcell.h"
#include "workbook.h"
#include "worksheet.h"

#endif // SPREADSHEET_H
