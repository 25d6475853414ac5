#ifndef SPREADSHEET_STYLES_H
#define SPREADSHEET_STYLES_H

//! \file styles.h
//! The workbook's style table: Styles.

#include "abstractooxmlfile.h"
#include "format.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QVector>

#include <memory>

class QXmlStreamWriter;

namespace Spreadsheet {

class XmlScanner;

//! The style table of a workbook ("xl/styles.xml"). Every format attached to a
//! cell passes through it once: its font, fill and border are shared with equal
//! ones already in use, its number format gets an id (custom codes from 176 on)
//! and the whole format gets its cell format id; equal formats share one.
//!
//! The worksheets register the formats they are given; programs reach the
//! table through Workbook::styles() and rarely need it. A new table holds the
//! default format (cell format 0) and the two fills every package has
//! (none and "gray125").
class Styles : public AbstractOOXmlFile
{
public:
    //! A table with the defaults (NewFromScratch), or an empty one to be read
    //! (LoadExisting).
    explicit Styles(CreationMode mode);
    //! Destroys the table.
    ~Styles() override;

    //! Registers a cell format and writes its ids into it. An empty format
    //! occupies cell format 0 once; force appends an entry even for a format
    //! already known.
    //!
    //! A number format code gets its built-in id or an id of this table; an id
    //! of no format this table knows falls back to "General".
    void addCellFormat(Format &format, bool force = false);
    //! Registers a differential format (a conditional format's font, fill,
    //! border and number format) and writes its id into it, as addCellFormat() does.
    void addDifferentialFormat(Format &format, bool force = false);
    //! Gives a format its number format id from its code (or its code from its id).
    //! An unknown code gets the next custom id; an unknown custom id becomes
    //! "General". A format without a number format is left alone.
    void resolveNumberFormat(Format &format);

    //! The cell format of an id; a Format without state for an id outside the table.
    Format cellFormatAt(int id) const;
    //! The differential format of an id; a Format without state for an id outside the table.
    Format differentialFormatAt(int id) const;
    //! The number of cell formats.
    int cellFormatCount() const { return m_cellFormats.size(); }
    //! The number of differential formats.
    int differentialFormatCount() const { return m_differentialFormats.size(); }
    //! The number of distinct fonts.
    int fontCount() const { return m_fonts.size(); }
    //! The number of distinct fills.
    int fillCount() const { return m_fills.size(); }
    //! The number of distinct borders.
    int borderCount() const { return m_borders.size(); }
    //! A colour of the indexed palette; invalid outside it.
    //! The palette is a loaded table's own, or else the file format's 64 colours.
    QColor colorByIndex(int index) const;

    //! Writes the table: number formats, fonts, fills, borders, cell formats,
    //! differential formats, and what a loaded table held beyond them.
    void writeXml(QIODevice *device) const override;
    //! Reads a package's style table.
    //!
    //! Reads the style table of a package into an empty table (one made
    //! LoadExisting): fonts, fills, borders, cell formats and differential
    //! formats keep their indexes, so that what refers to them by index
    //! (cells, the named styles, conditional formats) still finds them; what
    //! the table does not model (named styles, table styles, extensions) is
    //! kept and written back.
    //!
    //! False for malformed XML, a part that holds no style sheet, and a table
    //! of more than 64,000 number formats, fonts, fills, borders, cell
    //! formats, differential formats or palette colours.
    bool readXml(QIODevice *device) override;
    //! How deep the part's XML may nest when read; 256 unless set.
    void setReadLimits(int maxXmlDepth) { m_maxXmlDepth = maxXmlDepth; }

private:
    struct NumberFormatRecord
    {
        int id;
        QString code;
    };

    // Ids below this are the file format's built-in number formats.
    static constexpr int firstCustomNumberFormatId = 164;

    void fillBuiltInNumberFormats();
    bool isNumberFormatKnown(const Format &format) const;
    // Shares the format's part (font, fill or border) with an equal one, or
    // appends it; the part's id goes into the format.
    void registerPart(Format &format, const QByteArray &key, bool hasData, QList<Format> &list,
                      QHash<QByteArray, Format> &hash, int (Format::*index)() const,
                      bool (Format::*indexValid)() const, void (Format::*setIndex)(int));

    void writeNumberFormats(QXmlStreamWriter &writer) const;
    void writeFonts(QXmlStreamWriter &writer) const;
    void writeFills(QXmlStreamWriter &writer) const;
    void writeBorders(QXmlStreamWriter &writer) const;
    void writeCellStyleFormats(QXmlStreamWriter &writer) const;
    void writeCellFormats(QXmlStreamWriter &writer) const;
    void writeCellStyles(QXmlStreamWriter &writer) const;
    void writeDifferentialFormats(QXmlStreamWriter &writer) const;
    void writeTableStyles(QXmlStreamWriter &writer) const;
    void writeColors(QXmlStreamWriter &writer) const;

    bool readStyleSheet(XmlScanner &scanner);
    bool readNumberFormats(XmlScanner &scanner);
    bool readParts(XmlScanner &scanner, const char *element, QList<Format> &list,
                   void (*read)(XmlScanner &, Format &));
    bool readCellFormats(XmlScanner &scanner, const QList<Format> &fonts, const QList<Format> &fills,
                         const QList<Format> &borders);
    bool readDifferentialFormats(XmlScanner &scanner);
    bool readColors(XmlScanner &scanner);
    bool tooMany(int count, const char *what);
    void addMissingDefaults();
    void takeNumberFormat(Format &format, int id);
    static void keepPart(const Format &part, int index, QList<Format> &list, QHash<QByteArray, Format> &hash,
                         void (Format::*setIndex)(int));

    void writeFont(QXmlStreamWriter &writer, const Format &format, bool differential) const;
    void writeFill(QXmlStreamWriter &writer, const Format &format) const;
    void writeGradientFill(QXmlStreamWriter &writer, const Format &format) const;
    void writeProtection(QXmlStreamWriter &writer, const Format &format) const;
    void writeBorder(QXmlStreamWriter &writer, const Format &format, bool differential) const;
    void writeAlignment(QXmlStreamWriter &writer, const Format &format) const;

    const quint64 m_serial;   // tells the ids of this table from those of others
    QHash<QString, int> m_builtInNumberFormats;
    QMap<int, QSharedPointer<NumberFormatRecord>> m_customNumberFormatsById;
    QHash<QString, QSharedPointer<NumberFormatRecord>> m_customNumberFormatsByCode;
    int m_nextCustomNumberFormatId = 176;
    QList<Format> m_fonts;
    QList<Format> m_fills;
    QList<Format> m_borders;
    QHash<QByteArray, Format> m_fontsByKey;
    QHash<QByteArray, Format> m_fillsByKey;
    QHash<QByteArray, Format> m_bordersByKey;
    mutable QVector<QColor> m_indexedColors;
    bool m_indexedColorsDefault = true;
    QList<Format> m_cellFormats;
    QHash<QByteArray, Format> m_cellFormatsByKey;
    QList<Format> m_differentialFormats;
    QHash<QByteArray, Format> m_differentialFormatsByKey;
    bool m_emptyFormatAdded = false;

    // Of a loaded table: what it does not model, written back as it came.
    struct Kept;
    std::unique_ptr<Kept> m_kept;
    int m_maxXmlDepth = 256;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_STYLES_H
