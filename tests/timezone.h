#ifndef TIMEZONE_H
#define TIMEZONE_H

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Runs the test body with the process in another time zone (Unix reads TZ;
// Windows does not).
class TimeZone
{
public:
    explicit TimeZone(const char *zone) : previous(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZone()
    {
        if (previous.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", previous);
        tzset();
    }
    TimeZone(const TimeZone &) = delete;
    TimeZone &operator=(const TimeZone &) = delete;

private:
    QByteArray previous;
};

#endif // TIMEZONE_H
