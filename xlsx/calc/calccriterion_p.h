#ifndef SPREADSHEET_CALCCRITERION_P_H
#define SPREADSHEET_CALCCRITERION_P_H

#include "calcvalue_p.h"

namespace Spreadsheet {

// A condition of COUNTIF, SUMIFS and their kin: a value, or a text of an
// operator and a value (">=5", "<>done", "a*", "" for blank cells).
class CalcCriterion
{
public:
    CalcCriterion(const CalcValue &criterion, bool date1904);

    bool matches(const CalcValue &value) const;
    // Whether a blank cell meets it: then every cell of a range counts,
    // not only the stored ones.
    bool matchesBlank() const { return m_matchesBlank; }

private:
    enum Operator { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

    bool equals(const CalcValue &value) const;
    bool ordered(const CalcValue &value) const;

    Operator m_operator = Equal;
    CalcValue m_operand;
    QString m_numberText;     // the operand as written, when it reads as a number
    bool m_wildcards = false;
    bool m_blankOnly = false;  // "=": blank cells, not empty texts
    bool m_matchesBlank = false;
};

} // namespace Spreadsheet

#endif // SPREADSHEET_CALCCRITERION_P_H
