.pragma library
// Rules of the date and time wheels: the years 2000 to 2099, February of 29 days when the year
// minus 2000 is divisible by 4, and the fixed text form "yyyy-MM-dd hh:mm:ss".

function two(v) { return v < 10 ? "0" + v : String(v) }

function daysInMonth(year, month) {
    if (month === 2)
        return (year - 2000) % 4 === 0 ? 29 : 28;
    return [4, 6, 9, 11].indexOf(month) >= 0 ? 30 : 31;
}
// The day kept when the month or year changes: no later than the month's last day.
function clampDay(year, month, day) {
    return Math.min(day, daysInMonth(year, month));
}
function now() {
    var d = new Date();
    return { year: d.getFullYear(), month: d.getMonth() + 1, day: d.getDate(),
             hour: d.getHours(), minute: d.getMinutes(), second: d.getSeconds() };
}
// "yyyy-MM-dd[ hh:mm:ss]" -> fields; now for an empty or malformed text.
function parse(text) {
    var m = /^(\d{4})-(\d{2})-(\d{2})(?:\s+(\d{2}):(\d{2}):(\d{2}))?$/.exec(String(text || "").trim());
    if (!m)
        return now();
    var t = { year: parseInt(m[1], 10), month: parseInt(m[2], 10), day: parseInt(m[3], 10),
              hour: m[4] ? parseInt(m[4], 10) : 0, minute: m[5] ? parseInt(m[5], 10) : 0,
              second: m[6] ? parseInt(m[6], 10) : 0 };
    if (t.year < 2000 || t.year > 2099 || t.month < 1 || t.month > 12 || t.day < 1 || t.hour > 23 || t.minute > 59
            || t.second > 59)
        return now();
    t.day = clampDay(t.year, t.month, t.day);
    return t;
}
function formatDate(t) { return t.year + "-" + two(t.month) + "-" + two(t.day) }
function formatTime(t) { return formatDate(t) + " " + two(t.hour) + ":" + two(t.minute) + ":" + two(t.second) }
