.pragma library
// Decisions of the gel capture page that need no screen.

var Group = { SingleGel: 0, Sensing695: 1, SensingFL9BW: 2, Plain: 3 };

// The page group of a configuration, from the controller's facts (MainCtrl or the like).
function groupOf(c) {
    if (c.isSingleGel)
        return Group.SingleGel;
    if (!c.hasDoor)
        return Group.Plain;
    return c.isGelFL9BW ? Group.SensingFL9BW : Group.Sensing695;
}

// Steps the wheel turns from one position to another: it only turns one way, 7 places a turn.
function rotateCount(from, to) {
    var steps = to - from;
    return steps <= 0 ? steps + 7 : steps;
}
// How long the filter dialog stays up for a turn of that many steps.
function filterDialogMs(steps) { return steps * 600 + 500 }

// Light numbers (EnumOBJ::LightType) and the option that holds each one's filter.
var filterOption = { 0: "whiteLightFilterPos", 1: "uv302nmFilterPos", 2: "uv254nmFilterPos", 3: "uv365nmFilterPos",
                     9: "uv302nmFilterPos", 10: "blueFilterPos" };
// The wheel position a light asks for, or -1 when matching is off, a calibration runs or the
// light has no stored filter.
function matchedFilter(lightType, autoMatch, inCalibration, opts) {
    if (!autoMatch || inCalibration || filterOption[lightType] === undefined)
        return -1;
    return opts[filterOption[lightType]];
}

// Automatic exposure poll: settled when the exposure is within 0.05 of one of the two previous
// readings (or after 20 polls), the gain when unchanged (or after 20 polls). history holds the
// earlier readings, newest last: {exposure, gain, frame}, frame the count of camera frames seen
// when it was read. An earlier reading counts only with a new frame since: the camera changes
// its exposure once per frame, so two readings of one long frame always agree.
function aeSettled(history, exposure, gain, polls, exposureOnly, frame) {
    var n = history.length;
    function agrees(k) {
        return k >= 0 && history[k].frame < frame && Math.abs(history[k].exposure - exposure) <= 0.05;
    }
    var expOk = polls >= 20 || agrees(n - 1) || agrees(n - 2);
    if (exposureOnly)
        return expOk;
    var gainOk = polls >= 20 || (n >= 1 && history[n - 1].frame < frame && history[n - 1].gain === gain);
    return expOk && gainOk;
}
// "" or the warning after automatic exposure settled at its limits.
function aeWarning(exposure, gain, fl9bw) {
    var upper = fl9bw ? exposure >= 499 : exposure >= 198 && gain >= 250;
    if (upper)
        return "upper";
    var lower = fl9bw ? exposure < 0.5 : exposure < 0.5 && gain <= 1;
    return lower ? "lower" : "";
}
function round3(value) { return Math.round(value * 1000) / 1000 }

// What the progress dialog counts for a capture: the frame, 800 ms, and 20 s for a colour marker.
function captureAllowanceMs(exposureMs, colorMarker) {
    return Math.round(exposureMs + 800 + (colorMarker ? 20000 : 0));
}

// Histogram sliders: the left one runs 0..65534, the right 1..65535, and they keep at least one
// level between them.
function clampLeft(left, right) { return Math.max(0, Math.min(Math.round(left), right - 1, 65534)) }
function clampRight(right, left) { return Math.min(65535, Math.max(Math.round(right), left + 1, 1)) }

// The camera's frame number of a list entry: entries with a file name (colour or generated
// files) are not frames of the camera.
function frameIndex(index, names) {
    var files = 0;
    for (var i = 0; i < index && i < names.length; ++i)
        if (names[i] !== "")
            ++files;
    return index - files;
}

function baseName(path) {
    var name = String(path);
    var slash = name.lastIndexOf("/");
    if (slash >= 0)
        name = name.substring(slash + 1);
    return name.length > 4 && name.substring(name.length - 4).toLowerCase() === ".tif" ? name.substring(0, name.length - 4) : name;
}
function folderOf(path) {
    var name = String(path);
    var slash = name.lastIndexOf("/");
    return slash >= 0 ? name.substring(0, slash + 1) : "";
}
// Parameter texts of a list entry; -1 means none.
function binningText(bin) { return bin === -1 ? "" : bin + "*" + bin }
function exposureText(exposure) { return exposure === -1 ? "" : round3(exposure) + "ms" }
function gainText(gain) { return gain === -1 ? "" : String(gain) }

// Picture zoom: the wheel and the buttons step by 1.2 (1.5 on the single-gel cabinet), a pinch
// scales freely; either way the scale stays between 0.1 and 5.
var zoomMin = 0.1;
var zoomMax = 5;
function zoomStep(singleGel) { return singleGel ? 1.5 : 1.2 }
function clampZoom(scale) { return Math.max(zoomMin, Math.min(zoomMax, scale)) }
// The scale after a step in (in true) or out from scale.
function zoomStepped(scale, zoomIn, singleGel) {
    var step = zoomStep(singleGel);
    return clampZoom(zoomIn ? scale * step : scale / step);
}
// The scale during a pinch that began at startScale and has spread by pinchScale.
function pinchZoom(startScale, pinchScale) { return clampZoom(startScale * pinchScale) }

// The part of a picture item (its position and size inside the view) that the view shows, as
// fractions of the item: {x, y, width, height}, each between 0 and 1.
function visibleFraction(itemX, itemY, itemWidth, itemHeight, viewWidth, viewHeight) {
    if (itemWidth <= 0 || itemHeight <= 0)
        return { x: 0, y: 0, width: 1, height: 1 };
    var left = Math.max(0, -itemX), top = Math.max(0, -itemY);
    var right = Math.min(itemWidth, viewWidth - itemX), bottom = Math.min(itemHeight, viewHeight - itemY);
    return { x: left / itemWidth, y: top / itemHeight,
             width: Math.max(0, right - left) / itemWidth, height: Math.max(0, bottom - top) / itemHeight };
}
// The overview is worth showing when the picture item is larger than the view.
function overviewNeeded(itemWidth, itemHeight, viewWidth, viewHeight) {
    return itemWidth > viewWidth + 0.5 || itemHeight > viewHeight + 0.5;
}
