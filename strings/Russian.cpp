#include "strings/Russian.h"

#include <QLocale>
#include <cstdlib>
#include <utility>

namespace {

// The one-, few- or many-form for n: 1 день, 3 дня, 11 дней, 21 день, 22 дня, 25 дней.
const char16_t* plural(int n, const char16_t* one, const char16_t* few, const char16_t* many) {
    const int r100 = std::abs(n % 100);
    const int r10 = r100 % 10;
    if (r100 >= 11 && r100 <= 14) return many;
    if (r10 == 1) return one;
    if (r10 >= 2 && r10 <= 4) return few;
    return many;
}

} // namespace

QString Russian::languageName() const {
    return QStringLiteral("Русский");
}
QString Russian::language() const {
    return QStringLiteral("Язык");
}
QString Russian::sameAsSystem() const {
    return QStringLiteral("Как в системе");
}
QString Russian::later() const {
    return QStringLiteral("Потом");
}
QString Russian::openAtLogin() const {
    return QStringLiteral("Открывать при входе");
}
QString Russian::allowInLoginItems() const {
    return QStringLiteral("Разрешить в автозапуске…");
}
QString Russian::quit() const {
    return QStringLiteral("Выйти");
}
QString Russian::back() const {
    return QStringLiteral("‹ Назад");
}
QString Russian::checkForUpdates() const {
    return QStringLiteral("Проверять обновления");
}
QString Russian::fewerMinutes(const QString& t) const {
    return t + QStringLiteral(": меньше минут");
}
QString Russian::moreMinutes(const QString& t) const {
    return t + QStringLiteral(": больше минут");
}
QString Russian::openApp() const {
    return QStringLiteral("Открыть Purrlox");
}
QString Russian::startFocus() const {
    return QStringLiteral("Начать фокус");
}
QString Russian::stopFocus(const QString& t) const {
    return QStringLiteral("Стоп · осталось ") + t;
}
QString Russian::focusStatus(bool working, const QString& t, const QString& a) const {
    const QString left = QStringLiteral("осталось ") + t;
    if (!working) return QStringLiteral("Перерыв · ") + left;
    return QStringLiteral("Работаем · ") + left +
           (a.isEmpty() ? QString() : QStringLiteral(" · ") + a);
}
QString Russian::timerOff() const {
    return QStringLiteral("Таймер фокуса выключен");
}
QString Russian::notRunning() const {
    return QStringLiteral("Purrlox не запущен");
}
QString Russian::pomodoro() const {
    return QStringLiteral("Помодоро");
}
QString Russian::working() const {
    return QStringLiteral("Работаем");
}
QString Russian::work() const {
    return QStringLiteral("Работа");
}
QString Russian::breakTime() const {
    return QStringLiteral("Перерыв");
}
QString Russian::start() const {
    return QStringLiteral("Старт");
}
QString Russian::stop() const {
    return QStringLiteral("Стоп");
}
QString Russian::activityPlaceholder() const {
    return QStringLiteral("Чем занимаемся?");
}
QString Russian::defaultActivity() const {
    return QStringLiteral("Работа");
}
QString Russian::minutes(int n) const {
    return QString::number(n) + QStringLiteral(" мин");
}
QString Russian::backToWork() const {
    return QStringLiteral("За работу! 💻");
}
QString Russian::breakLeft(const QString& t) const {
    return QStringLiteral("Перерыв ☕\uFE0F ") + t;
}
QString Russian::reminders() const {
    return QStringLiteral("⏰ Напоминалки");
}
QString Russian::noReminders() const {
    return QStringLiteral("пока нет");
}
QString Russian::nextReminder(const QString& a, const QString& b) const {
    return QStringLiteral("ближайшая ") + a + QStringLiteral(" · ") + b;
}
QString Russian::reminderPlaceholder() const {
    return QStringLiteral("О чём напомнить…");
}
QString Russian::inSomeTime() const {
    return QStringLiteral("Через");
}
QString Russian::atTime() const {
    return QStringLiteral("В");
}
QString Russian::everyDay() const {
    return QStringLiteral("каждый день");
}
QString Russian::remindMe() const {
    return QStringLiteral("Напомнить");
}
QString Russian::remindersEmpty() const {
    return QStringLiteral("Пока пусто. Кот принесёт записку, когда придёт время 🐾");
}
QString Russian::delete_() const {
    return QStringLiteral("Удалить");
}
QString Russian::tomorrow(const QString& t) const {
    return QStringLiteral("завтра ") + t;
}
QString Russian::reminderTitle() const {
    return QStringLiteral("⏰ напоминалка");
}
QString Russian::newVersion() const {
    return QStringLiteral("🎁 новая версия");
}
QString Russian::update() const {
    return QStringLiteral("Обновить");
}
QString Russian::done() const {
    return QStringLiteral("Готово ✓");
}
QString Russian::updateReady(const QString& t) const {
    return QStringLiteral("Вышел котик ") + t +
           QStringLiteral(": я стал ещё лучше! Обновимся? Это пара секунд");
}
QString Russian::updateFailed(const QString& t) const {
    return QStringLiteral("Не вышло обновиться 😿 Новая версия ждёт тебя на ") + t;
}
QString Russian::enableShellExtension(bool installed) const {
    const QString how = QStringLiteral(
        "Здесь я могу гулять только по полу 🐾 Чтобы я забирался на твои окна, включи "
        "расширение «Purrlox» в приложении «Расширения» или выполни: gnome-extensions enable "
        "purrlox@purrlox.app");
    if (installed) return how;
    return how + QStringLiteral(". GNOME замечает новое расширение только после нового входа "
                                "в систему, так что в первый раз выйди и войди снова, а потом "
                                "включи его.");
}
QString Russian::trayNeedsAppIndicator() const {
    return QStringLiteral(
        "Моей лапке пока не показаться на верхней панели: включи расширение «Purrlox» "
        "(gnome-extensions enable purrlox@purrlox.app) или AppIndicator (пакет "
        "gnome-shell-extension-appindicator). А пока просто запусти Purrlox ещё раз, и "
        "откроется его меню 😺");
}
QString Russian::welcome(bool updates) const {
    return QStringLiteral(
               "Привет, я твой кот Purrlox! 🐾 Моё меню открывается лапкой в системном трее; "
               "где трея нет, просто запусти Purrlox ещё раз, и меню откроется. Меня можно взять "
               "и перенести куда угодно. Файлы, брошенные на меня, уходят в Корзину, а "
               "«Вернуть» приносит их обратно. ") +
           (updates ? QStringLiteral("Теперь я открываюсь при входе и каждый день проверяю "
                                     "обновления: переключатели «Открывать при входе» и "
                                     "«Проверять обновления» — в меню.")
                    : QStringLiteral("Теперь я открываюсь при входе: переключатель «Открывать "
                                     "при входе» — в меню."));
}
QString Russian::yum() const {
    return QStringLiteral("Ням! 😋");
}
QString Russian::inTrash(const QString& t) const {
    return QStringLiteral("«") + t + QStringLiteral("» в Корзине");
}
QString Russian::filesInTrash(int n) const {
    return QString::number(n) + QStringLiteral(" файла в Корзине");
}
QString Russian::putBack() const {
    return QStringLiteral("Вернуть");
}
QString Russian::cantPutBack(const QString& t) const {
    return QStringLiteral("Не получилось вернуть «") + t + QStringLiteral("»");
}
QString Russian::cantTrash(const QString& t) const {
    return QStringLiteral("Не получилось убрать «") + t + QStringLiteral("» в Корзину");
}
QString Russian::dailyGoalReached() const {
    return QStringLiteral("Цель на день взята! 🎯");
}
QString Russian::pomodorosInARow(int n) const {
    return QString::number(n) + QStringLiteral(" помодоро подряд! 🔥");
}
QString Russian::addedToBank(const QString& t) const {
    return QStringLiteral("+") + t + QStringLiteral(" в копилку 🎉");
}
QString Russian::weekReportTitle() const {
    return QStringLiteral("🐾 итоги недели");
}
QString Russian::dayReportTitle() const {
    return QStringLiteral("🐾 итоги дня");
}
QString Russian::thisWeekGreeting(const QString& t) const {
    return QStringLiteral("Привет! За эту неделю в фокусе ") + t +
           QStringLiteral(". Вот на что ушло время:");
}
QString Russian::lastWeekGreeting(const QString& t) const {
    return QStringLiteral("Привет! За прошлую неделю в фокусе ") + t +
           QStringLiteral(". Вот на что ушло время:");
}
QString Russian::todayGreeting(const QString& t) const {
    return QStringLiteral("Привет! Сегодня в фокусе ") + t +
           QStringLiteral(". Вот на что ушло время:");
}
QString Russian::yesterdayGreeting(const QString& t) const {
    return QStringLiteral("Привет! Вчера в фокусе ") + t +
           QStringLiteral(". Вот на что ушло время:");
}
QString Russian::bestDayNote(const QString& a, const QString& b) const {
    return QStringLiteral("🏆 Лучший день: ") + a + QStringLiteral(", ") + b;
}
QString Russian::runInARow(int n) const {
    return QString::number(n) + QStringLiteral(" подряд");
}
QString Russian::goalReached(const QString& t) const {
    return QStringLiteral("🎯 Цель ") + t + QStringLiteral(" взята!");
}
QString Russian::goalProgress(const QString& a, const QString& b) const {
    return QStringLiteral("🎯 Цель: ") + a + QStringLiteral(" из ") + b;
}
QString Russian::stats() const {
    return QStringLiteral("📊 Статистика");
}
QString Russian::focusToday(const QString& t) const {
    return QStringLiteral("сегодня ") + t;
}
QString Russian::forStories() const {
    return QStringLiteral("📸 Для сторис");
}
QString Russian::asPDF() const {
    return QStringLiteral("📄 В PDF");
}
QString Russian::noStreak() const {
    return QStringLiteral("🔥 Серии пока нет");
}
QString Russian::firstPomodoro() const {
    return QStringLiteral("Первое помодоро зажжёт огонёк");
}
QString Russian::dayMissedThisWeek() const {
    return QStringLiteral("❄\uFE0F На этой неделе пропущен один день");
}
QString Russian::oneMissForgiven() const {
    return QStringLiteral("❄\uFE0F Один пропуск в неделю прощается");
}
QString Russian::today() const {
    return QStringLiteral("Сегодня");
}
QString Russian::goal() const {
    return QStringLiteral("🎯 Цель");
}
QString Russian::goalDone() const {
    return QStringLiteral("🎯 Цель ✓");
}
QString Russian::week() const {
    return QStringLiteral("Неделя");
}
QString Russian::statsEmpty() const {
    return QStringLiteral("Пока пусто. Запусти помодоро, и котик начнёт считать 🐾");
}
QString Russian::sittingAverage(const QString& a, const QString& b) const {
    // A no-break space keeps the number on the line of its word.
    return QStringLiteral("От «Старт» до «Стоп» в среднем ") + a + QStringLiteral(", ") + b +
           QStringLiteral("\u00A0помодоро");
}
QString Russian::myWeekInFocus() const {
    return QStringLiteral("Моя неделя в фокусе");
}
QString Russian::exportName() const {
    return QStringLiteral("Purrlox неделя");
}
QString Russian::weekInFocus() const {
    return QStringLiteral("Неделя в фокусе");
}
QString Russian::totalInFocus() const {
    return QStringLiteral("Всего в фокусе");
}
QString Russian::pomodorosTitle() const {
    return QStringLiteral("Помодоро");
}
QString Russian::daysInFocus() const {
    return QStringLiteral("Дней в фокусе");
}
QString Russian::ofSeven(int n) const {
    return QString::number(n) + QStringLiteral(" из 7");
}
QString Russian::currentStreak() const {
    return QStringLiteral("Серия сейчас");
}
QString Russian::bestDay() const {
    return QStringLiteral("Лучший день");
}
QString Russian::dailyAverage() const {
    return QStringLiteral("В среднем за день");
}
QString Russian::activitiesThisWeek() const {
    return QStringLiteral("Занятия за неделю");
}
QString Russian::folderKind() const {
    return QStringLiteral("Папка");
}
QString Russian::fileKind() const {
    return QStringLiteral("Файл");
}
QString Russian::fileOfType(const QString& t) const {
    return QStringLiteral("Файл ") + t;
}
QString Russian::driveKind() const {
    return QStringLiteral("Диск");
}

QString Russian::percent(int n) const {
    return QString::number(n) + QStringLiteral(" %");
}

QString Russian::days(int n) const {
    return QString::number(n) + QLatin1Char(' ') +
           QString::fromUtf16(plural(n, u"день", u"дня", u"дней"));
}

QString Russian::pomodoros(int n) const {
    return QString::number(n) + QStringLiteral(" помодоро");
}

QString Russian::streak(int n) const {
    return QStringLiteral("🔥 ") + days(n) + QStringLiteral(" подряд");
}

QString Russian::focusDaysOfWeek(int n) const {
    return QStringLiteral("📅 В фокусе ") + days(n) + QStringLiteral(" из 7");
}

QString Russian::moreActivities(int n) const {
    return QStringLiteral("Ещё ") + QString::number(n) + QLatin1Char(' ') +
           QString::fromUtf16(plural(n, u"занятие", u"занятия", u"занятий"));
}

QString Russian::duration(int m) const {
    return hoursAndMinutes(m, QStringLiteral(" ч"), QStringLiteral(" мин"));
}

QStringList Russian::weekdays() const {
    return {QStringLiteral("Пн"), QStringLiteral("Вт"), QStringLiteral("Ср"), QStringLiteral("Чт"),
            QStringLiteral("Пт"), QStringLiteral("Сб"), QStringLiteral("Вс")};
}

// "2–8 июня" within a month, "30 июня – 6 июля" across months; the year, when asked, follows.
// A span across the new year names both years, or "3 января 2026" would read as the wrong January.
// Month names are in the genitive, as QLocale formats "d MMMM".
QString Russian::dateSpan(QDate from, QDate to, bool year) const {
    if (to < from) std::swap(from, to);
    const QLocale russian(QLocale::Russian);
    const QString dayMonth = QStringLiteral("d MMMM");
    QString span;
    if (from.year() == to.year() && from.month() == to.month())
        span = russian.toString(from, QStringLiteral("d")) + QStringLiteral("–") +
               russian.toString(to, dayMonth);
    else if (year && from.year() != to.year())
        return russian.toString(from, dayMonth) + QLatin1Char(' ') + QString::number(from.year()) +
               QStringLiteral(" – ") + russian.toString(to, dayMonth) + QLatin1Char(' ') +
               QString::number(to.year());
    else
        span = russian.toString(from, dayMonth) + QStringLiteral(" – ") +
               russian.toString(to, dayMonth);
    if (year) span += QLatin1Char(' ') + QString::number(from.year());
    return span;
}
