#ifndef RESULTTABLE_H
#define RESULTTABLE_H

#include "tablerow.h"

#include <QVector>

class QCheckBox;
class QSignalMapper;
class QTableWidget;

// Fills and reads the result table, the program's only results model: one row
// per sample, with a check box, the sample name in an editor and the
// multi-line result columns. Column 11 (hidden) holds the row's identity.
class ResultTable
{
public:
    enum Column {
        CheckColumn, DateColumn, MatrixColumn, AnalysisColumn, SampleColumn, ResultColumn,
        UmColumn, KColumn, QColumn, NoteColumn, SymbolsColumn, IdentityColumn
    };

    explicit ResultTable(QTableWidget *table);

    // Removes every row and sorts by the check-box column, which holds no
    // items, so that rows stay where they are inserted while filling.
    void clear();
    // Adds the row at row.rowId; its sample-name editor reports to the mapper
    // under the row's identity text.
    void addRow(const SampleRow &row, QSignalMapper *sampleNameMapper);
    // Stores the editor's text as the sample name of the row with that identity.
    void storeSampleName(const QString &identity);
    void setAllTicked(bool ticked);
    bool isTicked(int row) const;
    bool anyTicked() const;
    // Every row in the table's current order.
    QVector<TableRow> rows() const;

private:
    QCheckBox *checkBox(int row) const;

    QTableWidget *table;
};

#endif // RESULTTABLE_H
