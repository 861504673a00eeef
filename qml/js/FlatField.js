.pragma library
// Steps of the flat-field calibration wizard, decided without the screen.
//
// Step numbers: 0 not started, 1 bright field, 2 dark field, 3 computing and finished, 4 filter
// change, 5 waiting for automatic exposure behind the new filter, 6 to 13 the filter pairs,
// -1 done.

var Done = -1;
var FilterChange = 4;
var WaitExposure = 5;

function barMax(colorMarker) { return colorMarker ? 20 : 10 }
// The capture button does nothing while these steps run.
function refusesCapture(step) { return step >= 1 && step <= 3 }
// "" when the wizard may start, else the warning it shows.
function startRefusal(captureShown, filterPos) {
    if (captureShown)
        return "Please turn back to preview interface!";
    if (filterPos !== 0 && filterPos !== -1)
        return "Please turn to no filter!";
    return "";
}

// One fire of the step timer at a step: the status text and bar ("" and -1 leave them), the
// reference taken (a MainCtrl method), the white light afterwards (true on, false off, undefined
// untouched), the filter to turn to next (-1 none), the log line and the next step. plan.compute
// ends the run. opts: {colorMarker, plain}.
function stepPlan(step, opts) {
    function pair(text, bar, reference, light, next, target, log) {
        return { text: text, bar: bar, reference: reference, light: light, next: next, target: target,
                 log: log, reset: false, compute: false };
    }
    switch (step) {
    case 0: {
        var first = pair("Prepare to shoot bright field", 5, "", true, 1, -1, "");
        first.reset = true;
        return first;
    }
    case 1: return pair("Prepare to shoot dark field", 7, "getStandardImage", false, 2, -1, "");
    case 2: {
        var target = opts.colorMarker ? 1 : opts.plain ? 2 : -1;
        return pair("Calculating", 9, "getDarkImage", true, target >= 0 ? FilterChange : 3, target, "");
    }
    case 3: {
        var last = pair("Calibration success", barMax(opts.colorMarker), "", undefined, Done, -1, "");
        last.compute = true;
        return last;
    }
    case 6: return pair("Shoot light field for 535nm", 10, "getStandardImageFor535", false, 7, -1, "获取535明场");
    case 7: return pair("Shoot dark field for 535nm", 12, "getDarkImageFor535", true, FilterChange, 3, "获取535暗场");
    case 8: return pair("Shoot light field for 605nm", 14, "getStandardImageFor605", false, 9, -1, "获取605明场");
    case 9: return pair("Shoot dark field for 605nm", 16, "getDarkImageFor605", true, FilterChange, 5, "获取605暗场");
    // Position 5 of the colour-marker run is stored through the 715 references.
    case 10: return pair("Shoot light field for 470nm", 17, "getStandardImageFor715", false, 11, -1, "获取470明场");
    case 11: return pair("Shoot dark field for 470nm", 18, "getDarkImageFor715", true, FilterChange, 0, "获取470暗场");
    case 12: return pair("Shoot light field for 590nm", 9, "getStandardImageFor590", false, 13, -1, "");
    case 13: return pair("Shoot dark field for 590nm", 9, "getDarkImageFor590", true, FilterChange, 0, "");
    }
    return null;
}
// After the filter change: back at no filter the references are computed, else the pair waits
// for automatic exposure behind the new filter.
function afterFilterChange(target) { return target === 0 ? 3 : WaitExposure }
// The pair that follows automatic exposure behind a filter position.
function pairAfterExposure(position) {
    switch (position) {
    case 1: return 6;
    case 3: return 8;
    case 5: return 10;
    case 2: return 12;
    }
    return -1;
}
// A reference is only taken from a frame that began after the last change of light, filter or
// exposure: the frame under way at the change still mixes the old setting in.
var freshFrames = 2;
function frameIsFresh(framesSinceChange) { return framesSinceChange >= freshFrames }

// The whole run as the step timer walks it, for a configuration: the steps in order.
function sequence(opts) {
    var steps = [];
    var step = 0;
    var target = -1;
    for (var guard = 0; guard < 40 && step !== Done; ++guard) {
        steps.push(step);
        if (step === FilterChange) {
            step = afterFilterChange(target);
            continue;
        }
        if (step === WaitExposure) {
            step = pairAfterExposure(target);
            continue;
        }
        var plan = stepPlan(step, opts);
        if (plan.target >= 0)
            target = plan.target;
        step = plan.next;
    }
    return steps;
}
