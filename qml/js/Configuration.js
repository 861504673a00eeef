.pragma library
// Which parts of the interface a configuration offers, from the controller's configuration
// facts (MainCtrl.hasDoor, MainCtrl.isKestrix, ...; a test passes an object with the same names).

// The kinds of experiment a configuration offers: {gel, wb, flu}.
function offeredKinds(c) { return { gel: c.hasGelMode, wb: c.hasWBMode, flu: c.hasMultMode } }

function isAutofocusConfiguration(c) { return c.hasMotorLens || c.isSingleGel }

// Upper end of the light shut-down time in minutes.
function lightShutdownMaximum(c) { return c.hasDoor || c.isMiniCabinet ? 10 : 5 }

// The head bar's image menu: its height, its items and the item a click on "Image" triggers at
// once when the configuration has one kind only ("" for none).
function imageMenu(c) {
    var kinds = offeredKinds(c);
    var count = (kinds.gel ? 1 : 0) + (kinds.wb ? 1 : 0) + (kinds.flu ? 1 : 0);
    var height = count === 3 ? 180 : count === 2 ? 130 : 80;
    var single = "";
    if (count === 1)
        single = kinds.wb ? "wb" : "gel";
    return { height: height, gel: kinds.gel, wb: kinds.wb, flu: kinds.flu, single: single };
}

// What the exit sequence leaves first for the configuration and experiment mode (EnumOBJ.ExpMode
// 0 Gel, 1 WB, 2 Mult): "GelTS20BW", "GelTS", "WBTS", "MultTS", "WBQI", or "" when no experiment
// is left and the exit timer starts at once.
function exitExperimentStep(c, expMode) {
    if (c.isSingleGel)
        return expMode === 0 ? "GelTS20BW" : "";
    if (c.isKestrix)
        return expMode === 1 ? "WBQI" : "";
    if (!c.isTucsen)
        return "";
    if (expMode === 0) return "GelTS";
    if (expMode === 1) return "WBTS";
    if (expMode === 2) return "MultTS";
    return "";
}

// The average-gray row of the engineer page.
function averageGrayVisible(c, sum2BinIndex) { return (c.isSingleGel && sum2BinIndex === 7) || c.isWBFL9BW }
function engineerTipsVisible(c) { return !c.isSingleGel && !c.isMiniCabinet }
