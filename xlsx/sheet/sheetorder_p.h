#ifndef SPREADSHEET_SHEETORDER_P_H
#define SPREADSHEET_SHEETORDER_P_H

namespace Spreadsheet {

// The order of the worksheet's elements in the file format.
enum SheetOrder {
    SheetPrOrder, DimensionOrder, SheetViewsOrder, SheetFormatPrOrder, ColsOrder, SheetDataOrder, SheetCalcPrOrder,
    SheetProtectionOrder, ProtectedRangesOrder, ScenariosOrder, AutoFilterOrder, SortStateOrder,
    DataConsolidateOrder, CustomSheetViewsOrder, MergeCellsOrder, PhoneticPrOrder, ConditionalFormattingOrder,
    DataValidationsOrder, HyperlinksOrder, PrintOptionsOrder, PageMarginsOrder, PageSetupOrder, HeaderFooterOrder,
    RowBreaksOrder, ColBreaksOrder, CustomPropertiesOrder, CellWatchesOrder, IgnoredErrorsOrder, SmartTagsOrder,
    DrawingOrder, LegacyDrawingOrder, LegacyDrawingHFOrder, DrawingHFOrder, PictureOrder, OleObjectsOrder,
    ControlsOrder, WebPublishItemsOrder, TablePartsOrder, ExtLstOrder
};

} // namespace Spreadsheet

#endif // SPREADSHEET_SHEETORDER_P_H
