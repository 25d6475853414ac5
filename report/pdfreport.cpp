#include "pdfreport.h"
#include "reportdocument.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTextDocument>

#include <cmath>

namespace {

struct Layout
{
    QSizeF header;
    QSizeF footer;
    QSizeF bodyPage;
};

void setUpPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageMargins(QMarginsF(20, 10, 20, 10), QPageLayout::Millimeter);
}

// Lines break between words only: a narrow column grows to its longest word
// instead of splitting it ("Resul-t").
void keepWordsWhole(QTextDocument &document)
{
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(option);
}

QSizeF laidOut(QTextDocument &document, const QSizeF &pageSize, const QString &html)
{
    keepWordsWhole(document);
    document.setPageSize(pageSize);
    document.setHtml(html);
    return document.size();
}

QString pageText(int page, double pages)
{
    return QCoreApplication::translate("MainWindow", "Page %1 of %2").arg(page).arg(pages, 0, 'g', -1);
}

// Paints every page: the body band inside the view, the header above it, the
// footer below it and the page text at the foot of the footer.
void paintPages(QPrinter &printer, QPainter &painter, QTextDocument &header, QTextDocument &footer,
                QTextDocument &body, const Layout &layout)
{
    const QRect headerBox(0, 0, qRound(header.size().width()), qRound(header.size().height()));
    const QRect footerBox(0, 0, qRound(footer.size().width()), qRound(footer.size().height()));
    const QRect content(0, 0, qRound(body.size().width()), qRound(body.size().height()));
    QRect view(0, 0, qRound(layout.bodyPage.width()), qRound(layout.bodyPage.height()));
    const double pages = PdfReport::totalPages(content.height(), layout.bodyPage.height());

    for (int page = 1; view.intersects(content); ++page) {
        painter.resetTransform();
        painter.translate(0, -view.top());
        painter.translate(0, layout.header.height());
        body.drawContents(&painter, QRectF(view));

        painter.resetTransform();
        header.drawContents(&painter, QRectF(headerBox));

        painter.translate(0, layout.header.height());
        painter.translate(0, layout.bodyPage.height());
        footer.drawContents(&painter, QRectF(footerBox));
        painter.drawText(QRectF(0, layout.footer.height() - 1, layout.footer.width(), 15), Qt::AlignCenter,
                         pageText(page, pages));

        view.translate(0, view.height());
        if (view.intersects(content))
            printer.newPage();
    }
}

bool renderTo(const QString &pdfPath, const ReportInput &input, const QDate &date)
{
    QPrinter printer(QPrinter::ScreenResolution);
    setUpPrinter(printer);
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();

    Layout layout;
    QTextDocument header;
    layout.header = laidOut(header, page.size(), ReportDocument::headerHtml(date));
    QTextDocument footer;
    layout.footer = laidOut(footer, page.size(), ReportDocument::footerHtml());
    layout.bodyPage = QSizeF(page.width(),
                             page.height() - qRound(layout.header.height()) - qRound(layout.footer.height()));
    printer.setOutputFileName(pdfPath);

    QTextDocument body;
    keepWordsWhole(body);
    body.setHtml(ReportDocument::bodyHtml(input));
    body.setPageSize(layout.bodyPage);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    paintPages(printer, painter, header, footer, body, layout);
    return painter.end();
}

} // namespace

namespace PdfReport {

double totalPages(int contentHeight, qreal bodyPageHeight)
{
    return std::ceil(float(contentHeight / bodyPageHeight));
}

bool write(const QString &fileName, const ReportInput &input, const QDate &date)
{
    QTemporaryFile rendered;
    if (!rendered.open())
        return false;
    rendered.close();
    if (!renderTo(rendered.fileName(), input, date) || !rendered.open())
        return false;
    const QByteArray pdf = rendered.readAll();

    QSaveFile target(fileName);
    return !pdf.isEmpty() && target.open(QIODevice::WriteOnly) && target.write(pdf) == pdf.size()
        && target.commit();
}

} // namespace PdfReport
