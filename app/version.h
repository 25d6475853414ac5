#ifndef VERSION_H
#define VERSION_H

#include <QString>

namespace Datarium {

// The program's version, shown in the status bar and the About dialog.
inline QString version() { return QStringLiteral("0.5"); }

// The one-line notice that names the maker.
inline QString makerNotice() { return QStringLiteral("By QVR, for food-analysis labs"); }

} // namespace Datarium

#endif // VERSION_H
