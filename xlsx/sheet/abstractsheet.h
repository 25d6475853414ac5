#ifndef SPREADSHEET_ABSTRACTSHEET_H
#define SPREADSHEET_ABSTRACTSHEET_H

#include "abstractooxmlfile.h"

#include <QString>

namespace Spreadsheet {

class AbstractSheetPrivate;
class Workbook;

// The base of the sheets of a workbook: name, id, visibility and the workbook.
class AbstractSheet : public AbstractOOXmlFile
{
    Q_DECLARE_PRIVATE(AbstractSheet)

public:
    // Dialog and macro sheets come only from loaded workbooks.
    enum SheetType { WorkSheet = 0, ChartSheet = 1, DialogSheet = 2, MacroSheet = 3 };
    enum SheetState { Visible = 0, Hidden = 1, VeryHidden = 2 };

    QString sheetName() const;
    int sheetId() const;
    SheetType sheetType() const;
    SheetState sheetState() const;
    // The last visible sheet of a workbook cannot be hidden.
    void setSheetState(SheetState state);
    bool isHidden() const;
    bool isVisible() const;
    void setHidden(bool hidden);
    void setVisible(bool visible);
    Workbook *workbook() const;

protected:
    friend class Workbook;
    friend class WorkbookPrivate;
    friend class DocumentPrivate;
    friend class DocumentLoader;
    AbstractSheet(AbstractSheetPrivate *d);
    void setSheetName(const QString &name);
    // A copy of this sheet under a new name and id, in the same workbook.
    virtual AbstractSheet *copy(const QString &name, int sheetId) const = 0;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_ABSTRACTSHEET_H
