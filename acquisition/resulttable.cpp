#include "resulttable.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalMapper>
#include <QTableWidget>

namespace {

QTableWidgetItem *textItem(const QString &text, Qt::Alignment alignment = {})
{
    auto *item = new QTableWidgetItem(text);
    if (alignment)
        item->setData(Qt::TextAlignmentRole, int(alignment));
    return item;
}

QWidget *checkBoxCell()
{
    auto *cell = new QWidget;
    auto *layout = new QHBoxLayout(cell);
    layout->addWidget(new QCheckBox);
    layout->setAlignment(Qt::AlignCenter);
    layout->setContentsMargins(0, 0, 0, 0);
    return cell;
}

QString itemText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->data(Qt::DisplayRole).toString() : QString();
}

} // namespace

ResultTable::ResultTable(QTableWidget *table)
    : table(table)
{
}

void ResultTable::clear()
{
    // All rows at once: taking row 0 away one row at a time costs time growing
    // with the square of the rows (half a minute for 10,000 rows).
    table->setRowCount(0);
    table->sortItems(CheckColumn, Qt::AscendingOrder);
}

void ResultTable::addRow(const SampleRow &row, QSignalMapper *sampleNameMapper)
{
    auto *date = new QTableWidgetItem;
    date->setData(Qt::DisplayRole, row.timestamp);
    const QString identity = QString::number(row.rowId);

    const int r = row.rowId;
    table->insertRow(r);
    table->setCellWidget(r, CheckColumn, checkBoxCell());
    table->setItem(r, DateColumn, date);
    table->setItem(r, MatrixColumn, textItem(row.matrix));
    table->setItem(r, AnalysisColumn, textItem(row.analysis));

    table->setItem(r, SampleColumn, textItem(row.sampleName));
    auto *editor = new QLineEdit;
    editor->setFrame(false);
    editor->setText(row.sampleName);
    table->setCellWidget(r, SampleColumn, editor);
    QObject::connect(editor, &QLineEdit::editingFinished, sampleNameMapper,
                     QOverload<>::of(&QSignalMapper::map));
    sampleNameMapper->setMapping(editor, identity);

    table->setItem(r, ResultColumn, textItem(row.resultLines));
    table->setItem(r, UmColumn, textItem(row.umLines));
    table->setItem(r, KColumn, textItem(row.kLines, Qt::AlignRight | Qt::AlignVCenter));
    table->setItem(r, QColumn, textItem(row.qLines, Qt::AlignRight | Qt::AlignVCenter));
    table->setItem(r, NoteColumn, textItem(row.noteLines, Qt::AlignLeft | Qt::AlignVCenter));
    table->setItem(r, SymbolsColumn, textItem(row.symbolLines));
    table->setItem(r, IdentityColumn, textItem(identity));
}

void ResultTable::storeSampleName(const QString &identity)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (itemText(table, row, IdentityColumn) != identity)
            continue;
        if (auto *editor = qobject_cast<QLineEdit *>(table->cellWidget(row, SampleColumn)))
            table->setItem(row, SampleColumn, textItem(editor->text()));
    }
}

QCheckBox *ResultTable::checkBox(int row) const
{
    QWidget *cell = table->cellWidget(row, CheckColumn);
    return cell ? cell->findChild<QCheckBox *>() : nullptr;
}

void ResultTable::setAllTicked(bool ticked)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QCheckBox *box = checkBox(row))
            box->setChecked(ticked);
    }
}

bool ResultTable::isTicked(int row) const
{
    const QCheckBox *box = checkBox(row);
    return box && box->isChecked();
}

bool ResultTable::anyTicked() const
{
    for (int row = 0; row < table->rowCount(); ++row) {
        if (isTicked(row))
            return true;
    }
    return false;
}

QVector<TableRow> ResultTable::rows() const
{
    QVector<TableRow> rows;
    rows.reserve(table->rowCount());
    for (int r = 0; r < table->rowCount(); ++r) {
        TableRow row;
        row.ticked = isTicked(r);
        const QTableWidgetItem *date = table->item(r, DateColumn);
        row.values.timestamp = date ? date->data(Qt::DisplayRole).toDateTime() : QDateTime();
        row.values.matrix = itemText(table, r, MatrixColumn);
        row.values.analysis = itemText(table, r, AnalysisColumn);
        row.values.sampleName = itemText(table, r, SampleColumn);
        row.values.resultLines = itemText(table, r, ResultColumn);
        row.values.umLines = itemText(table, r, UmColumn);
        row.values.kLines = itemText(table, r, KColumn);
        row.values.qLines = itemText(table, r, QColumn);
        row.values.noteLines = itemText(table, r, NoteColumn);
        row.values.symbolLines = itemText(table, r, SymbolsColumn);
        row.values.rowId = itemText(table, r, IdentityColumn).toInt();
        rows.append(row);
    }
    return rows;
}
