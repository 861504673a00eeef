.pragma library
// Decisions of the multi-fluorescence capture page that need no screen.

// Light numbers (EnumOBJ::LightType).
var Light = { White: 0, R625nm: 4, G520nm: 5, B470nm: 6, IR660nm: 7, IR740nm: 8 };
function lightsOf(sensing) {
    return sensing ? [Light.White, Light.R625nm, Light.G520nm, Light.B470nm, Light.IR660nm, Light.IR740nm]
                   : [Light.White, Light.R625nm, Light.G520nm, Light.B470nm, Light.IR740nm];
}
// Per light: the audit names (Chinese, English) and the option (and its index name in UserOpts)
// holding its filter button.
var lightInfo = {
    0: { zh: "白光", en: "White", option: "whiteLightFilterPos", optionName: "OPT_WhiteLightFilterPos" },
    4: { zh: "红光625", en: "R625nm", option: "r625nmFilterPos", optionName: "OPT_R625nmFilterPos" },
    5: { zh: "绿光520", en: "G520nm", option: "g520nmFilterPos", optionName: "OPT_G520nmFilterPos" },
    6: { zh: "蓝光470", en: "B470nm", option: "b470nmFilterPos", optionName: "OPT_B470nmFilterPos" },
    7: { zh: "近红外660", en: "IR660nm", option: "ir660nmFilterPos", optionName: "OPT_IR660nmFilterPos" },
    8: { zh: "近红外740", en: "IR740nm", option: "ir740nmFilterPos", optionName: "OPT_IR740nmFilterPos" }
};
function lightAudit(lightType, on) {
    var info = lightInfo[lightType];
    return ["光源设置: " + info.zh + (on ? "开" : "关"), "Light settings: " + info.en + " light " + (on ? "on" : "off")];
}

// Filter buttons in list order; the button index is what the options store.
function filterNames(sensing) {
    return sensing ? ["No Filter", "535nm Filter", "590nm Filter", "605nm Filter", "700nm Filter", "715nm Filter", "810nm Filter"]
                   : ["No Filter", "535nm Filter", "590nm Filter", "605nm Filter", "700nm Filter", "840nm Filter"];
}
// The 715 nm button stays hidden while the colour marker is offered.
function filterShown(index, sensing, colorMarkerVisible) { return !(sensing && index === 5 && colorMarkerVisible) }
// The wheel position sent for a button: the sensing wheel has 715 and 810 nm at positions 6 and 7.
function wheelPosition(index, sensing) { return sensing && index > 4 ? index + 1 : index }

// The button a light asks for, or -1 when matching is off or the light has no stored filter.
function matchedFilter(lightType, autoMatch, opts) {
    var info = lightInfo[lightType];
    if (!autoMatch || !info)
        return -1;
    return opts[info.option];
}
// The filter dialog: 600 ms a step and 500 ms more, never above 4 s.
function filterDialogMs(steps) { return Math.min(steps * 600 + 500, 4000) }

// Preview exposure in minutes, seconds and milliseconds, and back.
function splitExposure(totalMs) {
    var total = Math.max(0, Math.round(totalMs));
    return { m: Math.min(59, Math.floor(total / 60000)), s: Math.floor(total / 1000) % 60, ms: total % 1000 };
}
function joinExposure(m, s, ms) { return m * 60000 + s * 1000 + ms }
// After a capture, or when the page is reset, a preview exposure above 3 s goes back to 0.
function previewExposureAfterCapture(totalMs) { return totalMs > 3000 ? 0 : totalMs }
function exposureAudit(m, s, ms) {
    return ["曝光时间设置: " + m + "分" + s + "秒" + ms + "毫秒", "Exposure Setting: " + m + "m" + s + "s" + ms + "ms"];
}
// What the progress dialog counts for one channel.
function captureAllowanceMs(exposureMs) { return Math.round(exposureMs + 800) }

// List entries are {file, exposure, bin, marked}: file "" for a frame the camera holds (a captured
// or generated frame), else a stained or merged file; exposure -1 for all but captured frames.

// Deletion of the checked entries: {error} when refused, else the calls last entry first:
// {frame: index among the camera's frames} or {file: name}, and the list index each removes.
function deletePlan(entries) {
    var checked = [];
    for (var i = 0; i < entries.length; ++i) {
        if (!entries[i].marked)
            continue;
        if (entries[i].exposure !== -1)
            return { error: "original" };
        checked.push(i);
    }
    if (checked.length === 0)
        return { error: "none" };
    var calls = [];
    for (var k = checked.length - 1; k >= 0; --k) {
        var index = checked[k];
        if (entries[index].file !== "") {
            calls.push({ index: index, file: entries[index].file });
        } else {
            var files = 0;
            for (var j = 0; j < index; ++j)
                if (entries[j].file !== "")
                    ++files;
            calls.push({ index: index, frame: index - files });
        }
    }
    return { error: "", calls: calls };
}
// Merge of the checked entries: "binning" when their binnings differ, "count" unless 2 to 5 are
// checked, else "" and the checked indexes.
function mergePlan(entries) {
    var checked = [];
    for (var i = 0; i < entries.length; ++i)
        if (entries[i].marked)
            checked.push(i);
    for (var k = 1; k < checked.length; ++k)
        if (entries[checked[k]].bin !== entries[checked[0]].bin)
            return { error: "binning" };
    if (checked.length < 2 || checked.length > 5)
        return { error: "count" };
    return { error: "", indexes: checked };
}
// Staining colours as the controller takes them (Qt::GlobalColor) with their audit texts.
var stainColours = {
    red: { value: 7, zh: "图片染色: 红", en: "Image dyeing: Red" },
    green: { value: 8, zh: "图片染色: 绿", en: "Image dyeing: Green" },
    blue: { value: 9, zh: "图片染色: 蓝", en: "Image dyeing: Blue" }
};
