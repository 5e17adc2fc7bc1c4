#include "strings/Strings.h"

#include "strings/English.h"
#include "strings/Lang.h"
#include "strings/Russian.h"

QString Strings::hoursAndMinutes(int m, const QString& hours, const QString& mins) {
    if (m < 60) return QString::number(m) + mins;
    const int h = m / 60;
    const int r = m % 60;
    if (r == 0) return QString::number(h) + hours;
    return QString::number(h) + hours + QLatin1Char(' ') + QString::number(r) + mins;
}

const Strings& stringsFor(Language language) {
    static const English english;
    static const Russian russian;
    return language == Language::ru ? static_cast<const Strings&>(russian) : english;
}

const Strings& S() {
    static const Strings& table = stringsFor(Lang::current());
    return table;
}

QString nbsp(QString text) {
    text.replace(QLatin1Char(' '), QChar(0x00A0));
    return text;
}
