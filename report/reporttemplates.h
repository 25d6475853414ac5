#ifndef REPORTTEMPLATES_H
#define REPORTTEMPLATES_H

#include <QString>

// The constant HTML texts from which the report's header, footer and body are
// made by replacing their placeholders.
namespace ReportTemplates {

extern const QString styleHead;
extern const QString header;
extern const QString footer;
extern const QString body;

} // namespace ReportTemplates

#endif // REPORTTEMPLATES_H
