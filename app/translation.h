#ifndef TRANSLATION_H
#define TRANSLATION_H

class QLocale;
class QTranslator;

// Loads the embedded translation that matches the locale's user-interface
// languages into the translator; false when none matches.
bool loadTranslation(QTranslator &translator, const QLocale &locale);

#endif // TRANSLATION_H
