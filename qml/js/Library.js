.pragma library
// Rules of the image-library pages that are plain data: dates of the search, the experiment
// texts of the store, selection counts, parameters of one picture, zoom and histogram limits.

function two(v) { return v < 10 ? "0" + v : String(v) }
function dateText(d) { return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate()) }

// The search's default range: seven days back to today.
function defaultBegin(now) {
    var d = new Date(now.getFullYear(), now.getMonth(), now.getDate() - 7);
    return dateText(d);
}
function defaultEnd(now) { return dateText(now) }

// "yyyy-MM-dd" naming a real day (leap days included).
function isValidDate(text) {
    var m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(String(text));
    if (!m)
        return false;
    var y = Number(m[1]), mo = Number(m[2]), d = Number(m[3]);
    var date = new Date(y, mo - 1, d);
    return date.getFullYear() === y && date.getMonth() === mo - 1 && date.getDate() === d;
}

// "{uuid},name,folder" of the store. Names hold no "/", folders begin with one, so the name
// ends at the first ",/" even when it holds commas.
function splitExperiment(text) {
    var s = String(text);
    var first = s.indexOf(",");
    if (first < 0)
        return { uuid: s, name: "", folder: "" };
    var rest = s.substring(first + 1);
    var cut = rest.indexOf(",/");
    if (cut < 0)
        cut = rest.indexOf(",");
    if (cut < 0)
        return { uuid: s.substring(0, first), name: rest, folder: "" };
    return { uuid: s.substring(0, first), name: rest.substring(0, cut), folder: rest.substring(cut + 1) };
}

// The warning of the batch export for a count of selected pictures, "" when it may go on.
function exportCountMessage(count) {
    if (count > 300)
        return "Please select less than 300 images!";
    if (count === 0)
        return "Please select at least one image!";
    return "";
}

// Folder and name of a full path; a folder entry (an experiment without pictures) has no name.
function folderOf(path) { var s = String(path); return s.substring(0, s.lastIndexOf("/") + 1) }
function nameOf(path) { var s = String(path); return s.substring(s.lastIndexOf("/") + 1) }
function baseName(name) { var s = String(name); return s.lastIndexOf(".tif") === s.length - 4 ? s.substring(0, s.length - 4) : s }

// Binning, exposure and gain of one picture from the experiment's parameters (uuid, binnings,
// exposures, gains, names); empty when the picture is not listed. wholeBinning: the Western
// blot shows the experiment's whole binning text.
function paramsOf(params, fileName, wholeBinning) {
    var none = { binning: "", exposure: "", gain: "" };
    if (!params || params.length < 5)
        return none;
    var names = String(params[4]).split(",");
    var k = names.indexOf(fileName);
    if (k < 0 || fileName === "")
        return none;
    var at = function(i) { var parts = String(params[i]).split(","); return k < parts.length ? parts[k] : "" };
    return { binning: wholeBinning ? String(params[1]) : at(1), exposure: at(2), gain: at(3) };
}

// Zoom: 1.2 per step within 0.1 .. 5; a pinch multiplies, capped by the configuration.
function zoomIn(scale) { return Math.min(5, scale * 1.2) }
function zoomOut(scale) { return Math.max(0.1, scale / 1.2) }
function pinched(scale, factor, cap) { return Math.max(0.1, Math.min(cap, scale * factor)) }

// Histogram sliders that never cross.
function clampLeft(left, right) { return Math.max(0, Math.min(left, right - 1, 65534)) }
function clampRight(left, right) { return Math.min(65535, Math.max(right, left + 1, 1)) }

function counterText(index, count) { return (index + 1) + "/" + count }

// Whether Raw and Auto re-stretch the picture on the images page of kind ("gel", "wb", "mult"),
// from the controller's configuration facts.
function restretches(kind, c) {
    if (kind === "gel")
        return c.hasGelMode;
    if (kind === "wb")
        return c.isTucsen;
    return c.isTucsen && !c.isSingleGel && !c.isMiniCabinet;
}
