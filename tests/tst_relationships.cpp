#include "spreadsheet/relationships.h"
#include "spreadsheet/simpleooxmlfile.h"
#include "spreadsheet/utility.h"

#include <QtTest>

using namespace Spreadsheet;

class TestRelationships : public QObject
{
    Q_OBJECT

private slots:
    void idsCountFromOneAndRestartAfterClear();
    void packageRelationshipsDocument();
    void workbookRelationshipsDocument();
    void externalTargetModeIsWritten();
    void lookupsMatchTheWholeType();
    void documentReadsBack();
    void simplePartKeepsItsBytes();
};

static const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");

void TestRelationships::idsCountFromOneAndRestartAfterClear()
{
    Relationships relationships;
    QVERIFY(relationships.isEmpty());
    relationships.addDocumentRelationship(QStringLiteral("/worksheet"), QStringLiteral("worksheets/sheet1.xml"));
    relationships.addDocumentRelationship(QStringLiteral("/worksheet"), QStringLiteral("worksheets/sheet1.xml"));
    QCOMPARE(relationships.count(), 2);
    const QList<Relationship> both = relationships.documentRelationships(QStringLiteral("/worksheet"));
    QCOMPARE(both.size(), 2);
    QCOMPARE(both.at(0).id, QStringLiteral("rId1"));
    QCOMPARE(both.at(1).id, QStringLiteral("rId2"));
    relationships.clear();
    relationships.addDocumentRelationship(QStringLiteral("/theme"), QStringLiteral("theme/theme1.xml"));
    QCOMPARE(relationships.relationshipById(QStringLiteral("rId1")).target, QStringLiteral("theme/theme1.xml"));
    QCOMPARE(relationships.relationshipById(QStringLiteral("rId2")).id, QString());
}

void TestRelationships::packageRelationshipsDocument()
{
    Relationships relationships;
    relationships.addDocumentRelationship(QStringLiteral("/officeDocument"), QStringLiteral("xl/workbook.xml"));
    relationships.addPackageRelationship(QStringLiteral("/metadata/core-properties"), QStringLiteral("docProps/core.xml"));
    relationships.addDocumentRelationship(QStringLiteral("/extended-properties"), QStringLiteral("docProps/app.xml"));
    const QString expected = declaration + QStringLiteral(
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" Target=\"docProps/core.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" Target=\"docProps/app.xml\"/>"
        "</Relationships>\n");
    QCOMPARE(QString::fromUtf8(relationships.toXmlBytes()), expected);
}

void TestRelationships::workbookRelationshipsDocument()
{
    Relationships relationships;
    relationships.addDocumentRelationship(QStringLiteral("/worksheet"), QStringLiteral("worksheets/sheet1.xml"));
    relationships.addDocumentRelationship(QStringLiteral("/theme"), QStringLiteral("theme/theme1.xml"));
    relationships.addDocumentRelationship(QStringLiteral("/styles"), QStringLiteral("styles.xml"));
    relationships.addDocumentRelationship(QStringLiteral("/sharedStrings"), QStringLiteral("sharedStrings.xml"));
    const QString prefix = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    const QString expected = declaration
        + QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">")
        + QStringLiteral("<Relationship Id=\"rId1\" Type=\"%1/worksheet\" Target=\"worksheets/sheet1.xml\"/>").arg(prefix)
        + QStringLiteral("<Relationship Id=\"rId2\" Type=\"%1/theme\" Target=\"theme/theme1.xml\"/>").arg(prefix)
        + QStringLiteral("<Relationship Id=\"rId3\" Type=\"%1/styles\" Target=\"styles.xml\"/>").arg(prefix)
        + QStringLiteral("<Relationship Id=\"rId4\" Type=\"%1/sharedStrings\" Target=\"sharedStrings.xml\"/>").arg(prefix)
        + QStringLiteral("</Relationships>\n");
    QCOMPARE(QString::fromUtf8(relationships.toXmlBytes()), expected);
}

void TestRelationships::externalTargetModeIsWritten()
{
    Relationships relationships;
    relationships.addWorksheetRelationship(QStringLiteral("/hyperlink"), QStringLiteral("mailto:lab"),
                                           QStringLiteral("External"));
    relationships.addWorksheetRelationship(QStringLiteral("/hyperlink"), QStringLiteral("x"), QString());
    relationships.addDocumentRelationship(QStringLiteral("/drawing"), QStringLiteral("../drawings/drawing1.xml"));
    const QString xml = QString::fromUtf8(relationships.toXmlBytes());
    QVERIFY(xml.contains(QStringLiteral("Target=\"mailto:lab\" TargetMode=\"External\"/>")));
    QVERIFY(xml.contains(QStringLiteral("Target=\"x\" TargetMode=\"\"/>")));
    QVERIFY(xml.contains(QStringLiteral("Target=\"../drawings/drawing1.xml\"/>")));
}

void TestRelationships::lookupsMatchTheWholeType()
{
    Relationships relationships;
    relationships.addPackageRelationship(QStringLiteral("/worksheet"), QStringLiteral("a.xml"));
    relationships.addMsPackageRelationship(QStringLiteral("/worksheet"), QStringLiteral("b.xml"));
    QVERIFY(relationships.documentRelationships(QStringLiteral("/worksheet")).isEmpty());
    QVERIFY(relationships.worksheetRelationships(QStringLiteral("/worksheet")).isEmpty());
    QCOMPARE(relationships.packageRelationships(QStringLiteral("/worksheet")).size(), 1);
    QCOMPARE(relationships.msPackageRelationships(QStringLiteral("/worksheet")).first().target, QStringLiteral("b.xml"));
    QCOMPARE(relationships.relationshipsOfType(QStringLiteral("http://schemas.microsoft.com/office/2006/relationships/worksheet")).size(), 1);
}

void TestRelationships::documentReadsBack()
{
    Relationships written;
    written.addDocumentRelationship(QStringLiteral("/styles"), QStringLiteral("styles.xml"));
    written.addWorksheetRelationship(QStringLiteral("/hyperlink"), QStringLiteral("http://a/b"), QStringLiteral("External"));
    Relationships read;
    QVERIFY(read.fromXmlBytes(written.toXmlBytes()));
    QCOMPARE(read.count(), 2);
    QCOMPARE(read.relationshipById(QStringLiteral("rId2")).targetMode.value_or(QString()), QStringLiteral("External"));
    QVERIFY(!read.relationshipById(QStringLiteral("rId1")).targetMode.has_value());
    QCOMPARE(read.toXmlBytes(), written.toXmlBytes());
}

void TestRelationships::simplePartKeepsItsBytes()
{
    SimpleOOXmlFile part(SimpleOOXmlFile::LoadExisting);
    QCOMPARE(part.partPath(), QString());
    QCOMPARE(relationshipPartPath(part.partPath()), QString());
    const QByteArray bytes = "<not really xml";
    QVERIFY(part.fromXmlBytes(bytes));
    QCOMPARE(part.toXmlBytes(), bytes);
    QCOMPARE(part.toXmlBytes(), part.toXmlBytes());
    part.setPartPath(QStringLiteral("xl/externalLinks/externalLink1.xml"));
    QCOMPARE(relationshipPartPath(part.partPath()), QStringLiteral("xl/externalLinks/_rels/externalLink1.xml.rels"));
    QVERIFY(part.relationships()->isEmpty());
}

QTEST_GUILESS_MAIN(TestRelationships)
#include "tst_relationships.moc"
