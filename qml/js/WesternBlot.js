.pragma library
.import "GelCapture.js" as Gel
// Decisions of the Western-blot capture page that need no screen: camera temperature, exposure
// texts and plans, the progress estimate, the image-list rules and the exposure programmes.

// ---- camera ----------------------------------------------------------------------------------
// Configuration number of the Kestrix cabinet (EnumOBJ::WBQI).
function isKestrix(authority) { return authority === 1 }
// The FL9BW cameras of the Tucsen cabinets (they take a gain level instead of a gain value).
function isFL9BW(authority) { return [7, 8, 11, 12, 15, 16, 17].indexOf(authority) >= 0 }

// The lens row (slider and autofocus) only where the board turns the lens: elsewhere the board
// reports no lens position, so an autofocus would wait for it for ever.
function hasSerialLens(authority) { return [6, 8, 10, 12, 14, 16].indexOf(authority) >= 0 }
// The Tucsen cabinets that also image gels have a filter wheel; the blot needs its open place.
function hasFilterWheel(authority) { return [2, 3, 9, 10, 11, 12, 13, 14, 15, 16].indexOf(authority) >= 0 }

// The sensor reads below 20 degrees on a compressed scale: -20 shows as -55, 20 as 20.
function mappedTemperature(t) { return t < 20 ? 1.875 * t - 17.5 : t }
// Degrees from the camera's reading (the Kestrix camera answers hundredths of a degree).
function temperatureOf(raw, kestrix) { return kestrix ? raw / 100 : raw }
// Cold enough to capture.
function coolingDone(mapped) { return mapped <= -30 }
function coolingText(t) {
    if (t >= 20)
        return String(t);
    return Math.max(-65, mappedTemperature(t)).toFixed(2);
}

// Binning factor of a button text "N*N" (also "Standard(2*2)").
function binningOfText(text) {
    var m = /(\d+)\*(\d+)/.exec(String(text));
    return m ? parseInt(m[1], 10) : 1;
}
// Binning texts of the Kestrix camera; the first three are also shown by their purpose.
var qiBinnings = ["1*1", "2*2", "4*4", "6*6", "8*8", "12*12", "16*16", "24*24"];
// The Tucsen cameras by button position (the controller takes the position).
function tsBinnings(fl9bw) {
    return fl9bw ? ["1*1", "2*2", "3*3", "4*4", "6*6", "8*8"] : ["1*1", "2*2", "4*4", "6*6", "8*8", "12*12", "16*16", "24*24"];
}
// One value of a ","-separated list of defaults by button position; fallback when missing.
function listValue(list, index, fallback) {
    var v = parseFloat(String(list).split(",")[index]);
    return isNaN(v) ? fallback : v;
}

// The estimation region drawn from a to b (view points) as fractions of the shown picture
// (three decimals), clipped to it; null when nothing of it lies on the picture.
function rangeFractions(a, b, picture) {
    if (!picture || picture.width <= 0 || picture.height <= 0)
        return null;
    var clip = function(v, lo, hi) { return Math.max(lo, Math.min(hi, v)) };
    var x0 = clip(Math.min(a.x, b.x), picture.x, picture.x + picture.width);
    var x1 = clip(Math.max(a.x, b.x), picture.x, picture.x + picture.width);
    var y0 = clip(Math.min(a.y, b.y), picture.y, picture.y + picture.height);
    var y1 = clip(Math.max(a.y, b.y), picture.y, picture.y + picture.height);
    if (x1 - x0 < 1 || y1 - y0 < 1)
        return null;
    var r3 = function(v) { return Math.round(v * 1000) / 1000 };
    return { x: r3((x0 - picture.x) / picture.width), y: r3((y0 - picture.y) / picture.height),
             width: r3((x1 - x0) / picture.width), height: r3((y1 - y0) / picture.height) };
}

// ---- exposure times --------------------------------------------------------------------------
function splitMs(ms) {
    ms = Math.max(0, Math.floor(ms));
    return { minute: Math.floor(ms / 60000), second: Math.floor(ms / 1000) % 60, millisecond: ms % 1000 };
}
function joinMs(minute, second, millisecond) { return minute * 60000 + second * 1000 + millisecond }
// Milliseconds of one unit of UserOpts.UnitType (Millisecond, Second, Minute).
function unitMs(unit) { return [1, 1000, 60000][unit] || 1 }
// Highest value of a first or delta time in its unit.
function unitMax(unit) { return unit === 0 ? 999 : 59 }

// Exposures of a manual multiple capture: first + k * delta.
function manualExposures(count, firstMs, deltaMs) {
    var list = [];
    for (var k = 0; k < count; ++k)
        list.push(firstMs + k * deltaMs);
    return list;
}
// A manual multiple capture without accumulation takes each exposure in one frame; the camera
// waits at most an hour for one.
var hourMs = 3600000;
function exceedsHour(count, firstMs, deltaMs, accumulate, timesChanged) {
    if (timesChanged || accumulate)
        return false;
    var list = manualExposures(count, firstMs, deltaMs);
    for (var i = 0; i < list.length; ++i)
        if (list[i] >= hourMs)
            return true;
    return false;
}
// Numbers of a "," list (an empty piece is 0, as the capture threads read it).
function parseTimes(text) {
    if (String(text) === "")
        return [];
    return String(text).split(",").map(function(v) { var n = parseInt(v, 10); return isNaN(n) ? 0 : n });
}

// ---- progress ----------------------------------------------------------------------------------
// Above this exposure the Kestrix camera reads out at its slow speed: 10 s more per frame.
var spdIndexChangeValue = 30000;
function frameMs(e, kestrix, single) {
    if (kestrix)
        return e > spdIndexChangeValue ? e + 10000 : e + (single ? 1200 : 1000);
    return e + (single ? 1400 : 1100);
}
// The whole capture in milliseconds, from the plan the threads will read:
// p = { kestrix, single, singleExp, preview, marker, timesChanged, expTimes, count, first, delta,
//       accumulate, colorMarker }.
function captureTotalMs(p) {
    var total = 0;
    var markerPad = p.single ? (p.kestrix ? 1200 : 1400) : (p.kestrix ? 1000 : 1100);
    if (p.single) {
        if (p.singleExp === 0) {
            total = p.preview + markerPad;
        } else {
            total = frameMs(p.singleExp, p.kestrix, true);
            if (p.marker)
                total += p.preview + markerPad;
        }
    } else {
        var list;
        if (p.timesChanged) {
            list = parseTimes(p.expTimes);
        } else if (p.accumulate) {
            // Each later frame adds delta to the sum; the first one takes first.
            list = [p.first];
            for (var k = 1; k < p.count; ++k)
                list.push(p.delta);
        } else {
            list = manualExposures(p.count, p.first, p.delta);
        }
        for (var i = 0; i < list.length; ++i) {
            var e = list[i];
            total += !p.timesChanged && p.accumulate && i === 0 && e <= spdIndexChangeValue ? e + 1100
                                                                                           : frameMs(e, p.kestrix, false);
        }
        if (p.marker)
            total += p.preview + markerPad;
    }
    if (p.colorMarker)
        total += 20000;
    return Math.round(total);
}

// ---- image list ----------------------------------------------------------------------------
// The controller's frame number of a list entry: colour entries (a file name) standing before
// it are no frames; a colour entry itself has none (-1).
function frameIndex(index, names) {
    if (index < 0 || index >= names.length || names[index] !== "")
        return -1;
    var files = 0;
    for (var i = 0; i < index; ++i)
        if (names[i] !== "")
            ++files;
    return index - files;
}
function isPseudo(name) { return String(name).indexOf("_Pseudo") >= 0 }
// What a list action refuses, "" when it may run. entries: {index, file} of the checked ones;
// cameraCount: the first entries that are the capture's own frames.
function deleteRefusal(checked, cameraCount) {
    if (checked.length === 0)
        return "none";
    for (var i = 0; i < checked.length; ++i)
        if (checked[i].index < cameraCount)
            return "original";
    return "";
}
function mergeRefusal(checked) {
    if (checked.length !== 2)
        return "two";
    for (var i = 0; i < checked.length; ++i) {
        if (isPseudo(checked[i].file))
            return "pseudo";
        if (checked[i].file !== "")
            return "marker";
    }
    return "";
}
function pseudoColorRefusal(checked) {
    if (checked.length !== 1)
        return "one";
    return checked[0].file !== "" ? "pseudo" : "";
}
// A pseudo-colour picture goes over one plain picture.
function pseudoMergeRefusal(checked) {
    var pseudo = 0;
    for (var i = 0; i < checked.length; ++i)
        if (isPseudo(checked[i].file))
            ++pseudo;
    return checked.length === 2 && pseudo === 1 ? "" : "one";
}
// The beautify slider is offered on the sample pictures only.
function beautifyOffered(index, single, marker, count) {
    if (index < 0)
        return false;
    if (single)
        return index === (marker ? 1 : 0);
    if (marker && index === 0)
        return false;
    return index <= (marker ? count : count - 1);
}
function baseName(path) { return Gel.baseName(path) }
function folderOf(path) { return Gel.folderOf(path) }
function paramText(value, suffix) { return value === -1 ? "" : String(value) + (suffix || "") }

// ---- programmes ----------------------------------------------------------------------------
function detailText(detail) {
    var values = String(detail) === "" ? [] : String(detail).split(",");
    var parts = values.map(function(v) {
        var s = parseFloat(v) / 1000;
        return Math.abs(s - Math.round(s)) < 1e-9 ? String(Math.round(s)) : s.toFixed(3);
    });
    return parts.length ? parts.join("s,") + "s" : "";
}
// Accumulated totals to the exposure of each frame.
function increments(detail) {
    var totals = parseTimes(detail);
    var out = [];
    for (var i = 0; i < totals.length; ++i)
        out.push(i === 0 ? totals[0] : totals[i] - totals[i - 1]);
    return out.join(",");
}
// What the capture threads read for a programme row {captureCount, integralAccumulate, detail}.
function programmeOptions(row) {
    var accumulate = Number(row.integralAccumulate) === 1;
    return { multiCapExpTimesChanged: true, multiCapCount: Number(row.captureCount), integralAccumulate: accumulate,
             multiCapExpTimes: accumulate ? increments(row.detail) : String(row.detail) };
}
// The editor's rows {minute, second, millisecond} to times; the refusal or "".
function editorTimes(rows) {
    var times = rows.map(function(r) { return joinMs(r.minute, r.second, r.millisecond) });
    if (times.length === 0)
        return { refusal: "empty", times: times };
    if (times[0] === 0)
        return { refusal: "zero", times: times };
    for (var i = 1; i < times.length; ++i)
        if (times[i] <= times[i - 1])
            return { refusal: "increment", times: times };
    return { refusal: "", times: times };
}
function detailRows(detail) { return parseTimes(detail).map(splitMs) }
