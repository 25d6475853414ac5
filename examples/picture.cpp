// Pictures on a worksheet: a QImage drawn by the program (any QImage will
// do, such as one loaded from a file), placed at a cell and once more
// scaled between cells.
//
//     picture [OUTPUT.xlsx]              (default: picture.xlsx)

#include <spreadsheet/spreadsheet.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

// A small logo: a green olive on a white card with a blue band. Painting
// shapes on a QImage needs no window system; text would need a
// QGuiApplication for its fonts.
static QImage drawLogo()
{
    QImage logo(240, 120, QImage::Format_ARGB32);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 96, 240, 24), QColor(31, 78, 121));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(85, 140, 40));
    painter.drawEllipse(QPoint(120, 48), 50, 34);
    return logo;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString fileName = app.arguments().value(1, QStringLiteral("picture.xlsx"));
    Spreadsheet::Document document;
    const QImage logo = drawLogo();

    // By default a picture keeps its own size in pixels and has its top-left
    // corner in the cell given (here B2): it moves with the cells but
    // keeps its size. The description is what screen readers say.
    Spreadsheet::ImagePlacement atCell;
    atCell.description = QStringLiteral("Laboratory logo");
    if (!document.insertImage(2, 2, logo, atCell)) {
        QTextStream(stderr) << "The picture could not be inserted\n";
        return 1;
    }

    // The same picture at half its size, anchored to two cells: it moves
    // and sizes with the rows and columns under it. A picture inserted
    // again is stored in the file once.
    Spreadsheet::ImagePlacement small;
    small.xScale = 0.5;
    small.yScale = 0.5;
    small.anchor = Spreadsheet::DrawingAnchor::TwoCell;
    small.description = QStringLiteral("Laboratory logo, small");
    document.insertImage(10, 2, logo, small);

    document.writeValue(10, 1, QStringLiteral("Small:"));

    if (!document.saveToFile(fileName)) {
        QTextStream(stderr) << fileName << " could not be written\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << fileName << ": " << document.activeWorksheet()->images().size()
                        << " pictures of one " << logo.width() << " x " << logo.height() << " image\n";
    return 0;
}
