#ifndef TABLEROW_H
#define TABLEROW_H

#include "samplerow.h"

// One row of the result table as the exports read it: whether it is ticked and
// its values, with the sample name as the user last edited it.
struct TableRow
{
    bool ticked = false;
    SampleRow values;
};

#endif // TABLEROW_H
