#include "spreadsheet/contenttypes.h"
#include "spreadsheet/docpropsapp.h"
#include "spreadsheet/docpropscore.h"
#include "spreadsheet/theme.h"

#include <QtTest>

using namespace Spreadsheet;

static const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");

// The document with both save times masked as "TIME".
static QString masked(const QByteArray &xml)
{
    QString text = QString::fromUtf8(xml);
    text.replace(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d")), QStringLiteral("TIME"));
    return text;
}

class TestPackageParts : public QObject
{
    Q_OBJECT

private slots:
    void contentTypesOfAOneSheetWorkbook();
    void contentTypesAreSortedAndUnique();
    void coreProperties();
    void corePropertyNames();
    void appProperties();
    void appPropertiesWithoutSheets();
    void defaultTheme();
    void loadedThemeIsKeptVerbatim();
};

void TestPackageParts::contentTypesOfAOneSheetWorkbook()
{
    ContentTypes types(ContentTypes::NewFromScratch);
    types.addWorksheetName(QStringLiteral("sheet1"));
    types.addWorkbook();
    types.addDocPropApp();
    types.addDocPropCore();
    types.addSharedString();
    types.addStyles();
    types.addTheme();
    const QString doc = QStringLiteral("application/vnd.openxmlformats-officedocument.");
    const QString expected = declaration
        + QStringLiteral("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>")
        + QStringLiteral("<Override PartName=\"/docProps/app.xml\" ContentType=\"%1extended-properties+xml\"/>").arg(doc)
        + QStringLiteral("<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>")
        + QStringLiteral("<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"%1spreadsheetml.sharedStrings+xml\"/>").arg(doc)
        + QStringLiteral("<Override PartName=\"/xl/styles.xml\" ContentType=\"%1spreadsheetml.styles+xml\"/>").arg(doc)
        + QStringLiteral("<Override PartName=\"/xl/theme/theme1.xml\" ContentType=\"%1theme+xml\"/>").arg(doc)
        + QStringLiteral("<Override PartName=\"/xl/workbook.xml\" ContentType=\"%1spreadsheetml.sheet.main+xml\"/>").arg(doc)
        + QStringLiteral("<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"%1spreadsheetml.worksheet+xml\"/>").arg(doc)
        + QStringLiteral("</Types>\n");
    QCOMPARE(QString::fromUtf8(types.toXmlBytes()), expected);
}

void TestPackageParts::contentTypesAreSortedAndUnique()
{
    ContentTypes types(ContentTypes::NewFromScratch);
    types.addWorksheetName(QStringLiteral("sheet2"));
    types.addWorksheetName(QStringLiteral("sheet10"));
    types.addWorksheetName(QStringLiteral("sheet2"));
    types.addVmlName();
    types.addVbaProject();
    QCOMPARE(types.overrides().keys(), (QStringList{ "/xl/worksheets/sheet10.xml", "/xl/worksheets/sheet2.xml" }));
    const QString xml = QString::fromUtf8(types.toXmlBytes());
    const QStringList order = { "Extension=\"bin\"", "Extension=\"rels\"", "Extension=\"vml\"", "Extension=\"xml\"",
                                "sheet10.xml", "sheet2.xml" };
    int last = -1;
    for (const QString &item : order) {
        const int at = xml.indexOf(item);
        QVERIFY2(at > last, qPrintable(item));
        last = at;
    }
    types.clearOverrides();
    QVERIFY(types.overrides().isEmpty());
    QCOMPARE(types.defaults().size(), 4);
}

void TestPackageParts::coreProperties()
{
    DocPropsCore core(DocPropsCore::NewFromScratch);
    const QString start = declaration + QStringLiteral(
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">");
    QCOMPARE(masked(core.toXmlBytes()), start + QStringLiteral(
        "<dc:creator>QVR Datarium</dc:creator><cp:lastModifiedBy>QVR Datarium</cp:lastModifiedBy>"
        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">TIME</dcterms:created>"
        "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">TIME</dcterms:modified></cp:coreProperties>\n"));

    for (const char *name : { "title", "subject", "creator", "keywords", "description", "category", "status" })
        QVERIFY(core.setProperty(QLatin1String(name), QLatin1String(name) + QStringLiteral(" text")));
    QVERIFY(!core.setProperty(QStringLiteral("created"), QStringLiteral("not a date")));
    QVERIFY(core.setProperty(QStringLiteral("created"), QStringLiteral("2024-01-15T10:00:00+02:00")));
    QCOMPARE(core.property(QStringLiteral("created")), QStringLiteral("2024-01-15T10:00:00+02:00"));
    QCOMPARE(masked(core.toXmlBytes()), start + QStringLiteral(
        "<dc:title>title text</dc:title><dc:subject>subject text</dc:subject><dc:creator>creator text</dc:creator>"
        "<cp:keywords>keywords text</cp:keywords><dc:description>description text</dc:description>"
        "<cp:lastModifiedBy>creator text</cp:lastModifiedBy>"
        "<dcterms:created xsi:type=\"dcterms:W3CDTF\">TIME+02:00</dcterms:created>"
        "<dcterms:modified xsi:type=\"dcterms:W3CDTF\">TIME</dcterms:modified>"
        "<cp:category>category text</cp:category><cp:contentStatus>status text</cp:contentStatus></cp:coreProperties>\n"));
}

void TestPackageParts::corePropertyNames()
{
    DocPropsCore core(DocPropsCore::NewFromScratch);
    DocPropsApp app(DocPropsApp::NewFromScratch);
    QVERIFY(!core.setProperty(QStringLiteral("Title"), QStringLiteral("x")));
    QVERIFY(!core.setProperty(QStringLiteral("company"), QStringLiteral("Dairy")));
    QVERIFY(app.setProperty(QStringLiteral("company"), QStringLiteral("Dairy")));
    QVERIFY(!app.setProperty(QStringLiteral("title"), QStringLiteral("x")));
    QVERIFY(core.setProperty(QStringLiteral("creator"), QStringLiteral("Lab")));
    QCOMPARE(core.property(QStringLiteral("creator")), QStringLiteral("Lab"));
    QVERIFY(core.setProperty(QStringLiteral("creator"), QString()));
    QVERIFY(core.propertyNames().isEmpty());
    QVERIFY(masked(core.toXmlBytes()).contains(QStringLiteral("<dc:creator>QVR Datarium</dc:creator>")));
}

void TestPackageParts::appProperties()
{
    DocPropsApp app(DocPropsApp::NewFromScratch);
    app.addHeadingPair(QStringLiteral("Worksheets"), 1);
    app.addPartTitle(QStringLiteral("Sheet1"));
    app.setProperty(QStringLiteral("manager"), QStringLiteral("Head of lab"));
    app.setProperty(QStringLiteral("company"), QStringLiteral("Dairy"));
    QCOMPARE(QString::fromUtf8(app.toXmlBytes()), declaration + QStringLiteral(
        "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
        "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
        "<Application>Microsoft Excel</Application><DocSecurity>0</DocSecurity><ScaleCrop>false</ScaleCrop>"
        "<HeadingPairs><vt:vector size=\"2\" baseType=\"variant\"><vt:variant><vt:lpstr>Worksheets</vt:lpstr></vt:variant>"
        "<vt:variant><vt:i4>1</vt:i4></vt:variant></vt:vector></HeadingPairs>"
        "<TitlesOfParts><vt:vector size=\"1\" baseType=\"lpstr\"><vt:lpstr>Sheet1</vt:lpstr></vt:vector></TitlesOfParts>"
        "<Manager>Head of lab</Manager><Company>Dairy</Company>"
        "<LinksUpToDate>false</LinksUpToDate><SharedDoc>false</SharedDoc><HyperlinksChanged>false</HyperlinksChanged>"
        "<AppVersion>12.0000</AppVersion></Properties>\n"));
}

void TestPackageParts::appPropertiesWithoutSheets()
{
    DocPropsApp app(DocPropsApp::NewFromScratch);
    const QString xml = QString::fromUtf8(app.toXmlBytes());
    QVERIFY(xml.contains(QStringLiteral("<HeadingPairs><vt:vector size=\"0\" baseType=\"variant\"/></HeadingPairs>")));
    QVERIFY(xml.contains(QStringLiteral("<TitlesOfParts><vt:vector size=\"0\" baseType=\"lpstr\"/></TitlesOfParts>")));
}

void TestPackageParts::defaultTheme()
{
    Theme theme(Theme::NewFromScratch);
    const QByteArray bytes = theme.toXmlBytes();
    QCOMPARE(bytes.size(), 6995);
    QCOMPARE(qstrlen(defaultThemeText), size_t(6995));
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                             "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
                             "name=\"Office \xe4\xb8\xbb\xe9\xa2\x98\"><a:themeElements><a:clrScheme name=\"Office\">"
                             "<a:dk1><a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1>"));
    QVERIFY(bytes.endsWith("<a:bevelT w=\"63500\" h=\"25400\"/></a:sp3d></a:effectStyle></a:effectStyleLst>"
                           "<a:bgFillStyleLst><a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>"
                           "<a:gradFill rotWithShape=\"1\"><a:gsLst><a:gs pos=\"0\"><a:schemeClr val=\"phClr\">"
                           "<a:tint val=\"40000\"/><a:satMod val=\"350000\"/></a:schemeClr></a:gs><a:gs pos=\"40000\">"
                           "<a:schemeClr val=\"phClr\"><a:tint val=\"45000\"/><a:shade val=\"99000\"/><a:satMod val=\"350000\"/>"
                           "</a:schemeClr></a:gs><a:gs pos=\"100000\"><a:schemeClr val=\"phClr\"><a:shade val=\"20000\"/>"
                           "<a:satMod val=\"255000\"/></a:schemeClr></a:gs></a:gsLst><a:path path=\"circle\">"
                           "<a:fillToRect l=\"50000\" t=\"-80000\" r=\"50000\" b=\"180000\"/></a:path></a:gradFill>"
                           "<a:gradFill rotWithShape=\"1\"><a:gsLst><a:gs pos=\"0\"><a:schemeClr val=\"phClr\">"
                           "<a:tint val=\"80000\"/><a:satMod val=\"300000\"/></a:schemeClr></a:gs><a:gs pos=\"100000\">"
                           "<a:schemeClr val=\"phClr\"><a:shade val=\"30000\"/><a:satMod val=\"200000\"/></a:schemeClr></a:gs>"
                           "</a:gsLst><a:path path=\"circle\"><a:fillToRect l=\"50000\" t=\"50000\" r=\"50000\" b=\"50000\"/>"
                           "</a:path></a:gradFill></a:bgFillStyleLst></a:fmtScheme></a:themeElements>"
                           "<a:objectDefaults/><a:extraClrSchemeLst/></a:theme>"));
    QVERIFY(bytes.contains("<a:font script=\"Khmr\" typeface=\"DaunPenh\"/>"));
    QVERIFY(bytes.contains("<a:font script=\"Khmr\" typeface=\"MoolBoran\"/>"));
    QVERIFY(bytes.contains("<a:ln w=\"9525\" cap=\"flat\" cmpd=\"sng\" algn=\"ctr\">"));
    QCOMPARE(bytes.count("<a:font "), 58);
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY(!reader.hasError());
}

void TestPackageParts::loadedThemeIsKeptVerbatim()
{
    Theme theme(Theme::LoadExisting);
    QVERIFY(theme.fromXmlBytes("<not well-formed"));
    QCOMPARE(theme.toXmlBytes(), QByteArray("<not well-formed"));
    QVERIFY(theme.fromXmlBytes(QByteArray()));
    QCOMPARE(theme.toXmlBytes().size(), 6995);
}

QTEST_GUILESS_MAIN(TestPackageParts)
#include "tst_packageparts.moc"
