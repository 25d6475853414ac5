#ifndef SPREADSHEET_STYLENAMES_P_H
#define SPREADSHEET_STYLENAMES_P_H

#include <QByteArray>
#include <QString>

#include <cstring>

// The names that styles.xml gives the values of Format's enumerations, by
// value; the style table writes them and the format reader reads them.
namespace Spreadsheet {
namespace StyleNames {

inline const char *const borderStyles[] = {
    "none", "thin", "medium", "dashed", "dotted", "thick", "double", "hair", "mediumDashed",
    "dashDot", "mediumDashDot", "dashDotDot", "mediumDashDotDot", "slantDashDot",
};

inline const char *const fillPatterns[] = {
    "none", "solid", "mediumGray", "darkGray", "lightGray", "darkHorizontal", "darkVertical",
    "darkDown", "darkUp", "darkGrid", "darkTrellis", "lightHorizontal", "lightVertical",
    "lightDown", "lightUp", "lightTrellis", "gray125", "gray0625", "lightGrid",
};

// The empty names are the defaults, which are not written.
inline const char *const horizontalAlignments[] = {
    "general", "left", "center", "right", "fill", "justify", "centerContinuous", "distributed",
};

inline const char *const verticalAlignments[] = { "top", "center", "bottom", "justify", "distributed" };

template <size_t N>
QString nameOf(const char *const (&names)[N], int value)
{
    return value >= 0 && size_t(value) < N ? QLatin1String(names[value]) : QString();
}

// The value of a name; -1 for a name not in the list.
template <size_t N>
int valueOf(const char *const (&names)[N], const QByteArray &name)
{
    for (size_t i = 0; i < N; ++i) {
        if (name == names[i])
            return int(i);
    }
    return -1;
}

} // namespace StyleNames
} // namespace Spreadsheet

#endif // SPREADSHEET_STYLENAMES_P_H
