.pragma library
// Checks of typed numbers and the ranges the settings pages keep.

var intMin = -2147483648;
var intMax = 2147483647;

// A typed whole number: trimmed, an optional minus and digits only. Returns
// {ok, value, error}; error is "Input error!" for another text and "Out of range!" for a number
// outside [low, high] (by default the range of an int, so a long number never wraps).
function parseWhole(text, low, high) {
    var trimmed = String(text).trim();
    if (!/^-?[0-9]+$/.test(trimmed))
        return { ok: false, value: 0, error: "Input error!" };
    var value = Number(trimmed);
    var min = low === undefined ? intMin : low;
    var max = high === undefined ? intMax : high;
    if (value < min || value > max || value < intMin || value > intMax)
        return { ok: false, value: 0, error: "Out of range!" };
    return { ok: true, value: value, error: "" };
}

// The image clean-up age shown and stored: a stored value outside 7..60 days (a 0 would remove
// every image at the next clean-up) becomes the shown default 7.
function imageCleanDays(stored) {
    return stored >= 7 && stored <= 60 ? stored : 7
}

// The light shut-down time shown: a stored 0 becomes 1, a value above the configuration's
// maximum that maximum.
function lightShutdownMinutes(stored, maximum) {
    if (stored < 1)
        return 1;
    return stored > maximum ? maximum : stored;
}

// The autofocus offset box steps down from -200 to 0.
function afOffsetValue(value) { return value === -201 ? 0 : value }

// "mm:ss:zzz" of a time in milliseconds.
function clockText(ms) {
    var total = Math.max(0, Math.floor(ms));
    var minutes = Math.floor(total / 60000);
    var seconds = Math.floor((total % 60000) / 1000);
    var millis = total % 1000;
    function pad(v, n) { var t = String(v); while (t.length < n) t = "0" + t; return t }
    return pad(minutes, 2) + ":" + pad(seconds, 2) + ":" + pad(millis, 3);
}
