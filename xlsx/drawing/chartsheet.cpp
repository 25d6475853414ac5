#include "chartsheet.h"
#include "chartsheet_p.h"

#include "chart.h"
#include "chart_p.h"
#include "drawing.h"
#include "namespaces.h"
#include "partnames_p.h"
#include "relationships.h"

#include <QXmlStreamWriter>

namespace Spreadsheet {

// A new chart sheet's chart fills the sheet: an absolute anchor at the top
// left, the size spreadsheet programs give it before they fit it to the window.
Chartsheet::Chartsheet(const QString &name, int sheetId, Workbook *workbook, CreationMode mode)
    : AbstractSheet(new ChartsheetPrivate(this, mode, workbook, name, sheetId))
{
    Q_D(Chartsheet);
    if (mode != NewFromScratch)
        return;
    d->chart = QSharedPointer<Chart>::create();
    d->drawing = QSharedPointer<Drawing>::create(NewFromScratch);
    DrawingObject frame;
    frame.kind = DrawingObject::ChartFrame;
    frame.chart = d->chart;
    frame.anchor = DrawingAnchor::absolute(QPoint(0, 0), QSize(910, 661));
    d->drawing->addObject(frame);
}

Chartsheet::~Chartsheet() = default;

Chart *Chartsheet::chart() const
{
    Q_D(const Chartsheet);
    return d->chart.data();
}

void Chartsheet::writeXml(QIODevice *device) const
{
    Q_D(const Chartsheet);
    relationships()->clear();
    relationships()->setSourcePart(partPath());
    QXmlStreamWriter writer(device);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    writer.writeStartElement(QStringLiteral("chartsheet"));
    writer.writeAttribute(QStringLiteral("xmlns"), Namespace::spreadsheetMain);
    writer.writeAttribute(QStringLiteral("xmlns:r"), Namespace::documentRelationships);
    writer.writeEmptyElement(QStringLiteral("sheetPr"));
    writer.writeStartElement(QStringLiteral("sheetViews"));
    writer.writeEmptyElement(QStringLiteral("sheetView"));
    writer.writeAttribute(QStringLiteral("zoomToFit"), QStringLiteral("1"));
    writer.writeAttribute(QStringLiteral("workbookViewId"), QStringLiteral("0"));
    writer.writeEndElement();
    writer.writeEmptyElement(QStringLiteral("pageMargins"));
    writer.writeAttribute(QStringLiteral("left"), QStringLiteral("0.7"));
    writer.writeAttribute(QStringLiteral("right"), QStringLiteral("0.7"));
    writer.writeAttribute(QStringLiteral("top"), QStringLiteral("0.75"));
    writer.writeAttribute(QStringLiteral("bottom"), QStringLiteral("0.75"));
    writer.writeAttribute(QStringLiteral("header"), QStringLiteral("0.3"));
    writer.writeAttribute(QStringLiteral("footer"), QStringLiteral("0.3"));
    if (d->drawing) {
        writer.writeEmptyElement(QStringLiteral("drawing"));
        writer.writeAttribute(QStringLiteral("r:id"), relationships()->addDocumentRelationship(
                                                          QStringLiteral("/drawing"),
                                                          PartNames::relative(partPath(), d->drawing->partPath())));
    }
    writer.writeEndElement();
    writer.writeEndDocument();
}

bool Chartsheet::readXml(QIODevice *)
{
    return true;
}

AbstractSheet *Chartsheet::copy(const QString &name, int sheetId) const
{
    Q_D(const Chartsheet);
    if (!d->keptRelationshipId.isEmpty())
        return nullptr;   // a loaded chart sheet is kept, not copied
    auto *copied = new Chartsheet(name, sheetId, d->workbook, NewFromScratch);
    copied->d_func()->chart->d_func()->copyFrom(*d->chart->d_func());
    return copied;
}

} // namespace Spreadsheet
