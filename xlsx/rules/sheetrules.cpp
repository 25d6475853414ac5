#include "sheetrules_p.h"

#include "styles.h"
#include "utility.h"
#include "xmlscanner_p.h"

#include <QXmlStreamWriter>

namespace Spreadsheet {
namespace SheetRules {

namespace {

const char *const validationTypes[] = { "none", "whole", "decimal", "list", "date", "time", "textLength", "custom" };
const char *const operators[] = { "between", "notBetween", "equal", "notEqual", "greaterThan", "lessThan",
                                  "greaterThanOrEqual", "lessThanOrEqual" };
const char *const errorStyles[] = { "stop", "warning", "information" };
const char *const ruleTypes[] = { "cellIs", "expression", "containsText", "notContainsText", "beginsWith", "endsWith",
                                  "top10", "top10", "aboveAverage", "aboveAverage", "duplicateValues", "uniqueValues",
                                  "containsBlanks", "notContainsBlanks", "containsErrors", "notContainsErrors",
                                  "timePeriod", "colorScale", "dataBar", "iconSet" };
const char *const periods[] = { "today", "yesterday", "tomorrow", "last7Days", "thisWeek", "lastWeek", "nextWeek",
                                "thisMonth", "lastMonth", "nextMonth" };
const char *const iconSets[] = { "3Arrows", "3ArrowsGray", "3Flags", "3TrafficLights1", "3TrafficLights2", "3Signs",
                                 "3Symbols", "3Symbols2", "4Arrows", "4ArrowsGray", "4RedToBlack", "4Rating",
                                 "4TrafficLights", "5Arrows", "5ArrowsGray", "5Rating", "5Quarters" };
const char *const thresholdKinds[] = { "min", "max", "num", "percent", "percentile", "formula" };

template <size_t N>
int indexOf(const char *const (&names)[N], const QByteArray &name, int fallback = -1)
{
    for (size_t i = 0; i < N; ++i) {
        if (name == names[i])
            return int(i);
    }
    return fallback;
}

// An attribute's value among the names: absent gives the default, a name
// not among them -1.
template <size_t N>
int valueOf(const char *const (&names)[N], const QByteArray &value, int absent)
{
    return value.isNull() ? absent : indexOf(names, value);
}

QString areasText(const QList<CellArea> &areas)
{
    QStringList texts;
    for (const CellArea &area : areas)
        texts.append(area.toText());
    return texts.join(QLatin1Char(' '));
}

QList<CellArea> areasOf(const QByteArray &text)
{
    QList<CellArea> areas;
    for (const QByteArray &part : text.simplified().split(' ')) {
        if (!part.isEmpty())
            areas.append(CellArea(QString::fromLatin1(part)));
    }
    return areas;
}

void writeFlag(QXmlStreamWriter &writer, const char *name, bool on)
{
    if (on)
        writer.writeAttribute(QLatin1String(name), QStringLiteral("1"));
}

void writeText(QXmlStreamWriter &writer, const char *name, const QString &text)
{
    if (!text.isEmpty())
        writer.writeAttribute(QLatin1String(name), validXmlText(text));
}

QString argb(const QColor &color)
{
    return QStringLiteral("FF") + color.name().mid(1).toUpper();
}

QColor colorOf(const QByteArray &argbText)
{
    if (argbText.size() != 8)
        return QColor();
    return QColor(QLatin1Char('#') + QString::fromLatin1(argbText.mid(2)));
}

// An XML scanner over a kept element, under the declarations of the part it
// stood in.
struct ElementScanner
{
    ElementScanner(const QByteArray &element, const QByteArray &namespaces)
        : scanner("<wrapper" + namespaces + '>' + element + "</wrapper>")
    {
        scanner.next();
        scanner.next();
    }
    XmlScanner scanner;
};

} // namespace

bool areSound(const QList<CellArea> &areas)
{
    for (const CellArea &area : areas) {
        if (!area.isValid() || area.firstRow() < 1 || area.firstColumn() < 1 || area.lastRow() > maximumRows
            || area.lastColumn() > maximumColumns)
            return false;
    }
    return !areas.isEmpty();
}

void writeDataValidations(QXmlStreamWriter &writer, const QList<ValidationRule> &rules, const KeptAttributes &attributes)
{
    if (rules.isEmpty())
        return;
    writer.writeStartElement(QStringLiteral("dataValidations"));
    writer.writeAttribute(QStringLiteral("count"), QString::number(rules.size()));
    KeptXml::writeAttributes(writer, attributes);
    for (const ValidationRule &rule : rules) {
        if (!rule.kept.isEmpty()) {
            KeptXml::writeRaw(writer, rule.kept);
            continue;
        }
        const DataValidation &v = rule.value;
        writer.writeStartElement(QStringLiteral("dataValidation"));
        if (v.type != DataValidation::Any)
            writer.writeAttribute(QStringLiteral("type"), QLatin1String(validationTypes[v.type]));
        if (v.errorStyle != DataValidation::Stop)
            writer.writeAttribute(QStringLiteral("errorStyle"), QLatin1String(errorStyles[v.errorStyle]));
        const bool compares = v.type != DataValidation::Any && v.type != DataValidation::List && v.type != DataValidation::Custom;
        if (compares && v.op != DataValidation::Between)
            writer.writeAttribute(QStringLiteral("operator"), QLatin1String(operators[v.op]));
        writeFlag(writer, "allowBlank", v.allowBlank);
        // The file's flag says the opposite of its name: the drop-down is hidden.
        writeFlag(writer, "showDropDown", v.type == DataValidation::List && !v.dropDownShown);
        writeFlag(writer, "showInputMessage", v.inputMessageShown);
        writeFlag(writer, "showErrorMessage", v.errorMessageShown);
        writeText(writer, "errorTitle", v.errorTitle);
        writeText(writer, "error", v.errorMessage);
        writeText(writer, "promptTitle", v.inputTitle);
        writeText(writer, "prompt", v.inputMessage);
        writer.writeAttribute(QStringLiteral("sqref"), areasText(v.ranges));
        if (v.type != DataValidation::Any && !v.formula1.isEmpty())
            writer.writeTextElement(QStringLiteral("formula1"), validXmlText(v.formula1));
        const bool range = v.op == DataValidation::Between || v.op == DataValidation::NotBetween;
        if (compares && range && !v.formula2.isEmpty())
            writer.writeTextElement(QStringLiteral("formula2"), validXmlText(v.formula2));
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

QList<ValidationRule> readDataValidations(const QByteArray &element, const QByteArray &namespaces,
                                          KeptAttributes &attributes)
{
    QList<ValidationRule> rules;
    ElementScanner wrapped(element, namespaces);
    XmlScanner &scanner = wrapped.scanner;
    attributes = KeptXml::attributes(scanner, { "count" });
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= 2) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != 3)
            continue;
        ValidationRule rule;
        DataValidation &v = rule.value;
        rule.listed = scanner.is(XmlScanner::Main, "dataValidation");
        const int type = valueOf(validationTypes, scanner.value("type"), 0);
        const int op = valueOf(operators, scanner.value("operator"), 0);
        const int style = valueOf(errorStyles, scanner.value("errorStyle"), 0);
        rule.listed &= type >= 0 && op >= 0 && style >= 0;
        v.type = DataValidation::Type(qMax(type, 0));
        v.op = DataValidation::Operator(qMax(op, 0));
        v.errorStyle = DataValidation::ErrorStyle(qMax(style, 0));
        v.allowBlank = readXmlBool(QString::fromUtf8(scanner.value("allowBlank")), false);
        v.dropDownShown = !readXmlBool(QString::fromUtf8(scanner.value("showDropDown")), false);
        v.inputMessageShown = readXmlBool(QString::fromUtf8(scanner.value("showInputMessage")), false);
        v.errorMessageShown = readXmlBool(QString::fromUtf8(scanner.value("showErrorMessage")), false);
        v.errorTitle = QString::fromUtf8(scanner.value("errorTitle"));
        v.errorMessage = QString::fromUtf8(scanner.value("error"));
        v.inputTitle = QString::fromUtf8(scanner.value("promptTitle"));
        v.inputMessage = QString::fromUtf8(scanner.value("prompt"));
        v.ranges = areasOf(scanner.value("sqref"));
        rule.listed &= areSound(v.ranges);
        const int depth = scanner.depth();
        while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
            if (scanner.token() != XmlScanner::StartElement)
                continue;
            if (scanner.is(XmlScanner::Main, "formula1"))
                v.formula1 = QString::fromUtf8(scanner.readElementText());
            else if (scanner.is(XmlScanner::Main, "formula2"))
                v.formula2 = QString::fromUtf8(scanner.readElementText());
        }
        rules.append(rule);
    }
    // Each is written back as it came, until it is replaced.
    ElementScanner again(element, namespaces);
    int index = 0;
    while (again.scanner.next() != XmlScanner::Invalid && again.scanner.depth() >= 2 && index < rules.size()) {
        if (again.scanner.token() == XmlScanner::StartElement && again.scanner.depth() == 3)
            rules[index++].kept = again.scanner.captureElement();
    }
    if (scanner.hasError() || again.scanner.hasError())
        return { ValidationRule{ DataValidation(), element, false } };
    return rules;
}

namespace {

// The formula a text or date rule is tested by, as spreadsheet programs write it.
QString ruleFormula(const ConditionalFormatRule &rule, const QString &cell)
{
    QString text = rule.text;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    const QString quoted = QLatin1Char('"') + text + QLatin1Char('"');
    switch (rule.type) {
    case ConditionalFormatRule::ContainsText:
        return QStringLiteral("NOT(ISERROR(SEARCH(%1,%2)))").arg(quoted, cell);
    case ConditionalFormatRule::NotContainsText:
        return QStringLiteral("ISERROR(SEARCH(%1,%2))").arg(quoted, cell);
    case ConditionalFormatRule::BeginsWith:
        return QStringLiteral("LEFT(%2,LEN(%1))=%1").arg(quoted, cell);
    case ConditionalFormatRule::EndsWith:
        return QStringLiteral("RIGHT(%2,LEN(%1))=%1").arg(quoted, cell);
    case ConditionalFormatRule::Blanks:
        return QStringLiteral("LEN(TRIM(%1))=0").arg(cell);
    case ConditionalFormatRule::NoBlanks:
        return QStringLiteral("LEN(TRIM(%1))>0").arg(cell);
    case ConditionalFormatRule::Errors:
        return QStringLiteral("ISERROR(%1)").arg(cell);
    case ConditionalFormatRule::NoErrors:
        return QStringLiteral("NOT(ISERROR(%1))").arg(cell);
    case ConditionalFormatRule::TimePeriod:
        break;
    default:
        return QString();
    }
    const QString day = QStringLiteral("FLOOR(%1,1)").arg(cell);
    switch (rule.period) {
    case ConditionalFormatRule::Today:
        return day + QStringLiteral("=TODAY()");
    case ConditionalFormatRule::Yesterday:
        return day + QStringLiteral("=TODAY()-1");
    case ConditionalFormatRule::Tomorrow:
        return day + QStringLiteral("=TODAY()+1");
    case ConditionalFormatRule::Last7Days:
        return QStringLiteral("AND(TODAY()-%1<=6,%1<=TODAY())").arg(day);
    case ConditionalFormatRule::ThisWeek:
        return QStringLiteral("AND(TODAY()-%1<=WEEKDAY(TODAY())-1,%1-TODAY()<=7-WEEKDAY(TODAY()))").arg(day);
    case ConditionalFormatRule::LastWeek:
        return QStringLiteral("AND(TODAY()-%1>=(WEEKDAY(TODAY())),TODAY()-%1<(WEEKDAY(TODAY())+7))").arg(day);
    case ConditionalFormatRule::NextWeek:
        return QStringLiteral("AND(%1-TODAY()>(7-WEEKDAY(TODAY())),%1-TODAY()<(15-WEEKDAY(TODAY())))").arg(day);
    case ConditionalFormatRule::ThisMonth:
        return QStringLiteral("AND(MONTH(%1)=MONTH(TODAY()),YEAR(%1)=YEAR(TODAY()))").arg(cell);
    case ConditionalFormatRule::LastMonth:
        return QStringLiteral("AND(MONTH(%1)=MONTH(EDATE(TODAY(),0-1)),YEAR(%1)=YEAR(EDATE(TODAY(),0-1)))").arg(cell);
    case ConditionalFormatRule::NextMonth:
        return QStringLiteral("AND(MONTH(%1)=MONTH(EDATE(TODAY(),0+1)),YEAR(%1)=YEAR(EDATE(TODAY(),0+1)))").arg(cell);
    }
    return QString();
}

QList<ConditionalThreshold> usualThresholds(const ConditionalFormatRule &rule)
{
    auto at = [](ConditionalThreshold::Kind kind, const QString &value = QString(), const QColor &color = QColor()) {
        return ConditionalThreshold{ kind, value, color };
    };
    if (rule.type == ConditionalFormatRule::ColorScale)
        return { at(ConditionalThreshold::Lowest, QString(), QColor(0xF8, 0x69, 0x6B)),
                 at(ConditionalThreshold::Percentile, QStringLiteral("50"), QColor(0xFF, 0xEB, 0x84)),
                 at(ConditionalThreshold::Highest, QString(), QColor(0x63, 0xBE, 0x7B)) };
    if (rule.type == ConditionalFormatRule::DataBar)
        return { at(ConditionalThreshold::Lowest), at(ConditionalThreshold::Highest) };
    QList<ConditionalThreshold> steps;
    const int count = ConditionalFormatRule::iconCount(rule.icons);
    for (int i = 0; i < count; ++i)
        steps.append(at(ConditionalThreshold::Percent, QString::number(100 * i / count)));
    return steps;
}

void writeThreshold(QXmlStreamWriter &writer, const ConditionalThreshold &threshold)
{
    writer.writeEmptyElement(QStringLiteral("cfvo"));
    writer.writeAttribute(QStringLiteral("type"), QLatin1String(thresholdKinds[threshold.kind]));
    if (threshold.kind != ConditionalThreshold::Lowest && threshold.kind != ConditionalThreshold::Highest)
        writer.writeAttribute(QStringLiteral("val"), validXmlText(threshold.value));
}

void writeColor(QXmlStreamWriter &writer, const QColor &color)
{
    writer.writeEmptyElement(QStringLiteral("color"));
    writer.writeAttribute(QStringLiteral("rgb"), argb(color));
}

void writeScale(QXmlStreamWriter &writer, const ConditionalFormatRule &rule)
{
    const QList<ConditionalThreshold> thresholds = rule.thresholds.isEmpty() ? usualThresholds(rule) : rule.thresholds;
    switch (rule.type) {
    case ConditionalFormatRule::ColorScale:
        writer.writeStartElement(QStringLiteral("colorScale"));
        for (const ConditionalThreshold &threshold : thresholds)
            writeThreshold(writer, threshold);
        for (const ConditionalThreshold &threshold : thresholds)
            writeColor(writer, threshold.color.isValid() ? threshold.color : QColor(Qt::white));
        break;
    case ConditionalFormatRule::DataBar:
        writer.writeStartElement(QStringLiteral("dataBar"));
        if (!rule.showValue)
            writer.writeAttribute(QStringLiteral("showValue"), QStringLiteral("0"));
        for (const ConditionalThreshold &threshold : thresholds)
            writeThreshold(writer, threshold);
        writeColor(writer, rule.barColor.isValid() ? rule.barColor : QColor(0x63, 0x8E, 0xC6));
        break;
    default:
        writer.writeStartElement(QStringLiteral("iconSet"));
        writer.writeAttribute(QStringLiteral("iconSet"), QLatin1String(iconSets[rule.icons]));
        if (!rule.showValue)
            writer.writeAttribute(QStringLiteral("showValue"), QStringLiteral("0"));
        if (rule.reverseIcons)
            writer.writeAttribute(QStringLiteral("reverse"), QStringLiteral("1"));
        for (const ConditionalThreshold &threshold : thresholds)
            writeThreshold(writer, threshold);
        break;
    }
    writer.writeEndElement();
}

} // namespace

void writeConditionalFormatting(QXmlStreamWriter &writer, const FormattingRule &formatting)
{
    if (!formatting.kept.isEmpty()) {
        KeptXml::writeRaw(writer, formatting.kept);
        return;
    }
    const ConditionalFormatting &value = formatting.value;
    const QString cell = value.ranges.value(0).topLeft().toText();
    writer.writeStartElement(QStringLiteral("conditionalFormatting"));
    writer.writeAttribute(QStringLiteral("sqref"), areasText(value.ranges));
    for (const ConditionalFormatRule &rule : value.rules) {
        using Rule = ConditionalFormatRule;
        const bool scale = rule.type == Rule::ColorScale || rule.type == Rule::DataBar || rule.type == Rule::IconSet;
        writer.writeStartElement(QStringLiteral("cfRule"));
        writer.writeAttribute(QStringLiteral("type"), QLatin1String(ruleTypes[rule.type]));
        if (!scale && rule.format.dxfIndexValid())
            writer.writeAttribute(QStringLiteral("dxfId"), QString::number(rule.format.dxfIndex()));
        writer.writeAttribute(QStringLiteral("priority"), QString::number(rule.priority));
        writeFlag(writer, "stopIfTrue", rule.stopIfTrue);
        if (rule.type == Rule::BelowAverage)
            writer.writeAttribute(QStringLiteral("aboveAverage"), QStringLiteral("0"));
        writeFlag(writer, "percent", (rule.type == Rule::Top || rule.type == Rule::Bottom) && rule.percent);
        writeFlag(writer, "bottom", rule.type == Rule::Bottom);
        if (rule.type == Rule::CellValue)
            writer.writeAttribute(QStringLiteral("operator"), QLatin1String(operators[rule.op]));
        static const char *const textOperators[] = { "containsText", "notContains", "beginsWith", "endsWith" };
        if (rule.type >= Rule::ContainsText && rule.type <= Rule::EndsWith) {
            writer.writeAttribute(QStringLiteral("operator"), QLatin1String(textOperators[rule.type - Rule::ContainsText]));
            writer.writeAttribute(QStringLiteral("text"), validXmlText(rule.text));
        }
        if (rule.type == Rule::TimePeriod)
            writer.writeAttribute(QStringLiteral("timePeriod"), QLatin1String(periods[rule.period]));
        if (rule.type == Rule::Top || rule.type == Rule::Bottom)
            writer.writeAttribute(QStringLiteral("rank"), QString::number(rule.rank));
        writeFlag(writer, "equalAverage", (rule.type == Rule::AboveAverage || rule.type == Rule::BelowAverage) && rule.equalAverage);
        if (rule.type == Rule::CellValue || rule.type == Rule::Expression) {
            for (const QString &formula : rule.formulas)
                writer.writeTextElement(QStringLiteral("formula"), validXmlText(formula));
        } else if (!ruleFormula(rule, cell).isEmpty()) {
            writer.writeTextElement(QStringLiteral("formula"), validXmlText(ruleFormula(rule, cell)));
        }
        if (scale)
            writeScale(writer, rule);
        writer.writeEndElement();
    }
    writer.writeEndElement();
}

namespace {

void readScale(XmlScanner &scanner, ConditionalFormatRule &rule, bool &sound)
{
    if (scanner.localName() == QLatin1String("iconSet")) {
        const int icons = valueOf(iconSets, scanner.value("iconSet"), int(ConditionalFormatRule::ThreeTrafficLights1));
        sound &= icons >= 0;
        rule.icons = ConditionalFormatRule::Icons(qMax(icons, 0));
        rule.reverseIcons = readXmlBool(QString::fromUtf8(scanner.value("reverse")), false);
    }
    rule.showValue = readXmlBool(QString::fromUtf8(scanner.value("showValue")), true);
    int colors = 0;
    const int depth = scanner.depth();
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != depth + 1)
            continue;
        if (scanner.is(XmlScanner::Main, "cfvo")) {
            const int kind = indexOf(thresholdKinds, scanner.value("type"));
            sound &= kind >= 0;
            rule.thresholds.append({ ConditionalThreshold::Kind(qMax(kind, 0)), QString::fromUtf8(scanner.value("val")), QColor() });
        } else if (scanner.is(XmlScanner::Main, "color")) {
            const QColor color = colorOf(scanner.value("rgb"));
            if (rule.type == ConditionalFormatRule::DataBar)
                rule.barColor = color;
            else if (colors < rule.thresholds.size())
                rule.thresholds[colors++].color = color;
        }
    }
}

} // namespace

FormattingRule readConditionalFormatting(const QByteArray &element, const QByteArray &namespaces, const Styles &styles)
{
    FormattingRule formatting;
    formatting.kept = element;
    ElementScanner wrapped(element, namespaces);
    XmlScanner &scanner = wrapped.scanner;
    ConditionalFormatting &value = formatting.value;
    value.ranges = areasOf(scanner.value("sqref"));
    bool sound = areSound(value.ranges);
    while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= 2) {
        if (scanner.token() != XmlScanner::StartElement || scanner.depth() != 3 || !scanner.is(XmlScanner::Main, "cfRule"))
            continue;
        using Rule = ConditionalFormatRule;
        Rule rule;
        const QByteArray type = scanner.value("type");
        const int typeIndex = indexOf(ruleTypes, type);
        sound &= typeIndex >= 0;
        rule.type = Rule::Type(qMax(typeIndex, 0));
        const bool bottom = readXmlBool(QString::fromUtf8(scanner.value("bottom")), false);
        const bool above = readXmlBool(QString::fromUtf8(scanner.value("aboveAverage")), true);
        if (type == "top10" && bottom)
            rule.type = Rule::Bottom;
        if (type == "aboveAverage" && !above)
            rule.type = Rule::BelowAverage;
        bool ok = true;
        rule.priority = scanner.value("priority").toInt(&ok);
        sound &= ok;
        if (scanner.hasAttribute("dxfId")) {
            const int dxf = scanner.value("dxfId").toInt(&ok);
            sound &= ok && dxf >= 0 && dxf < styles.differentialFormatCount();
            if (sound)
                rule.format = styles.differentialFormatAt(dxf);
        }
        rule.stopIfTrue = readXmlBool(QString::fromUtf8(scanner.value("stopIfTrue")), false);
        rule.percent = readXmlBool(QString::fromUtf8(scanner.value("percent")), false);
        rule.equalAverage = readXmlBool(QString::fromUtf8(scanner.value("equalAverage")), false);
        rule.op = Rule::Operator(qMax(indexOf(operators, scanner.value("operator")), 0));
        rule.text = QString::fromUtf8(scanner.value("text"));
        rule.period = Rule::Period(qMax(indexOf(periods, scanner.value("timePeriod")), 0));
        if (scanner.hasAttribute("rank"))
            rule.rank = scanner.value("rank").toInt();
        QStringList formulas;
        const int depth = scanner.depth();
        while (scanner.next() != XmlScanner::Invalid && scanner.depth() >= depth) {
            if (scanner.token() != XmlScanner::StartElement || scanner.depth() != depth + 1)
                continue;
            if (scanner.is(XmlScanner::Main, "formula"))
                formulas.append(QString::fromUtf8(scanner.readElementText()));
            else if (scanner.is(XmlScanner::Main, "colorScale") || scanner.is(XmlScanner::Main, "dataBar")
                     || scanner.is(XmlScanner::Main, "iconSet"))
                readScale(scanner, rule, sound);
        }
        if (rule.type == Rule::CellValue || rule.type == Rule::Expression)
            rule.formulas = formulas;
        value.rules.append(rule);
    }
    formatting.listed = sound && !scanner.hasError();
    return formatting;
}

} // namespace SheetRules
} // namespace Spreadsheet
