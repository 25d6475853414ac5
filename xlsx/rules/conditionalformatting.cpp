#include "conditionalformatting.h"

namespace Spreadsheet {

int ConditionalFormatRule::iconCount(Icons icons)
{
    return icons >= FiveArrows ? 5 : icons >= FourArrows ? 4 : 3;
}

} // namespace Spreadsheet
