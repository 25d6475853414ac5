#include "pdfreport.h"
#include "reportdocument.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
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

constexpr qreal widthTolerance = 1.01;

void setUpPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageMargins(QMarginsF(20, 10, 20, 10), QPageLayout::Millimeter);
}

// Lines break between words only; where a word cannot fit, the report's HTML
// gives it break opportunities of its own.
void breakBetweenWords(QTextDocument &document)
{
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(option);
}

QSizeF laidOut(QTextDocument &document, const QSizeF &pageSize, const QString &html)
{
    breakBetweenWords(document);
    document.setPageSize(pageSize);
    document.setHtml(html);
    return document.size();
}

// The body no wider than the page. Words stay whole while they fit; when the
// table comes out too wide, long words may break into ever shorter runs, and
// at last every text breaks as needed. Qt's table layout may round a column
// up by a pixel, which stays well inside the margin.
void layOutBody(QTextDocument &body, const ReportInput &input, const QSizeF &pageSize)
{
    static const ReportDocument::Wrapping attempts[] = {
        { true, 0 }, { true, 20 }, { true, 12 }, { true, 8 }, { true, 5 }, { true, 3 }, { false, 1 },
    };
    breakBetweenWords(body);
    for (const ReportDocument::Wrapping &wrapping : attempts) {
        body.setHtml(ReportDocument::bodyHtml(input, wrapping));
        body.setPageSize(pageSize);
        if (body.size().width() <= pageSize.width() * widthTolerance)
            return;
    }
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
    layOutBody(body, input, layout.bodyPage);

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

bool isCompletePdf(const QByteArray &pdf)
{
    static const QRegularExpression trailer(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
    static const QRegularExpression table(QStringLiteral("^xref\\s+0\\s+(\\d+)\\s+"));
    const QRegularExpressionMatch end = trailer.match(QString::fromLatin1(pdf.right(64)));
    if (!end.hasMatch())
        return false;
    const int tableStart = end.captured(1).toInt();
    const QRegularExpressionMatch head = table.match(QString::fromLatin1(pdf.mid(tableStart, 32)));
    if (tableStart <= 0 || !head.hasMatch())
        return false;

    // Every object in use starts where the table says: "<number> 0 obj".
    const int objects = head.captured(1).toInt();
    const int entries = tableStart + head.capturedLength();
    constexpr int entryLength = 20;
    for (int object = 1; object < objects; ++object) {
        const QByteArray entry = pdf.mid(entries + object * entryLength, entryLength);
        if (entry.size() != entryLength)
            return false;
        if (entry.at(17) != 'n')
            continue;
        const int offset = entry.left(10).toInt();
        if (!pdf.mid(offset, 32).startsWith(QByteArray::number(object) + " 0 obj"))
            return false;
    }
    return true;
}

bool write(QIODevice *device, const ReportInput &input, const QDate &date)
{
    // Qt's PDF printer writes only to a named file and ignores failed writes,
    // so the report is rendered to a temporary file and checked whole.
    QTemporaryFile rendered;
    if (!rendered.open())
        return false;
    rendered.close();
    if (!renderTo(rendered.fileName(), input, date) || !rendered.open())
        return false;
    const QByteArray pdf = rendered.readAll();
    return isCompletePdf(pdf) && device->write(pdf) == pdf.size();
}

bool write(const QString &fileName, const ReportInput &input, const QDate &date)
{
    // A new file beside the old one is put in its place once complete; in a
    // folder that takes no new file, an existing writable file is written in
    // place.
    QSaveFile target(fileName);
    target.setDirectWriteFallback(true);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    if (!write(&target, input, date)) {
        target.cancelWriting();
        return false;
    }
    return target.commit();
}

} // namespace PdfReport
