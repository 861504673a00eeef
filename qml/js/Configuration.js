.pragma library
// Which parts of the interface an instrument configuration (EnumOBJ.AuthorityType) offers.
// Plain functions of the number, so the rules are tested with rows of cases.

var WBTS = 0, WBQI = 1, GelAndWBTS = 2, AllAuthorityTS = 3, GelTS20BW = 4,
    WBTS695_Manual = 5, WBTS695_Auto = 6, WBTSFL9BW_Manual = 7, WBTSFL9BW_Auto = 8,
    GelAndWBTS695_Manual = 9, GelAndWBTS695_Auto = 10, GelAndWBTSFL9BW_Manual = 11,
    GelAndWBTSFL9BW_Auto = 12, AllAuthorityTS695_Manual = 13, AllAuthorityTS695_Auto = 14,
    AllAuthorityTSFL9BW_Manual = 15, AllAuthorityTSFL9BW_Auto = 16, WBTSFL9BWMini = 17,
    WBTS695Mini = 18, Unknow_AuthorityType = 19;

var singleWB = [WBTS, WBQI, WBTS695_Manual, WBTS695_Auto, WBTSFL9BW_Manual, WBTSFL9BW_Auto,
                WBTSFL9BWMini, WBTS695Mini];
var gelOnly = [GelTS20BW];
var gelAndWB = [GelAndWBTS, GelAndWBTS695_Manual, GelAndWBTS695_Auto, GelAndWBTSFL9BW_Manual,
                GelAndWBTSFL9BW_Auto];
var allKinds = [AllAuthorityTS, AllAuthorityTS695_Manual, AllAuthorityTS695_Auto,
                AllAuthorityTSFL9BW_Manual, AllAuthorityTSFL9BW_Auto];
var doorConfigurations = [GelTS20BW, WBTS695_Manual, WBTS695_Auto, GelAndWBTS695_Manual,
                          GelAndWBTS695_Auto, AllAuthorityTS695_Manual, AllAuthorityTS695_Auto,
                          WBTSFL9BW_Manual, WBTSFL9BW_Auto, GelAndWBTSFL9BW_Manual,
                          GelAndWBTSFL9BW_Auto, AllAuthorityTSFL9BW_Manual, AllAuthorityTSFL9BW_Auto];
var autofocusConfigurations = [WBTS695_Auto, WBTSFL9BW_Auto, GelAndWBTS695_Auto, GelAndWBTSFL9BW_Auto,
                               AllAuthorityTS695_Auto, AllAuthorityTSFL9BW_Auto, GelTS20BW];
var averageGrayConfigurations = [WBTSFL9BW_Auto, WBTSFL9BW_Manual, GelAndWBTSFL9BW_Auto,
                                 GelAndWBTSFL9BW_Manual, AllAuthorityTSFL9BW_Auto,
                                 AllAuthorityTSFL9BW_Manual, WBTSFL9BWMini];

function within(list, authorityType) { return list.indexOf(authorityType) >= 0 }

// The kinds of experiment a configuration offers: {gel, wb, flu}.
function offeredKinds(authorityType) {
    var all = within(allKinds, authorityType);
    return {
        gel: all || within(gelAndWB, authorityType) || within(gelOnly, authorityType),
        wb: all || within(gelAndWB, authorityType) || within(singleWB, authorityType),
        flu: all
    };
}

function isDoorConfiguration(authorityType) { return within(doorConfigurations, authorityType) }
function isKestrixCamera(authorityType) { return authorityType === WBQI }
function isTucsenCamera(authorityType) {
    return authorityType >= WBTS && authorityType < Unknow_AuthorityType && authorityType !== WBQI
}
function isAutofocusConfiguration(authorityType) { return within(autofocusConfigurations, authorityType) }

// Upper end of the light shut-down time in minutes.
function lightShutdownMaximum(authorityType) {
    return isDoorConfiguration(authorityType) || authorityType === WBTSFL9BWMini
            || authorityType === WBTS695Mini ? 10 : 5
}

// The head bar's image menu: its height, its items and the item a click on "Image" triggers at
// once when the configuration has one kind only ("" for none).
function imageMenu(authorityType) {
    var kinds = offeredKinds(authorityType);
    var height = 80;
    if (within(gelAndWB, authorityType))
        height = 130;
    else if (within(allKinds, authorityType))
        height = 180;
    var single = "";
    if (within(singleWB, authorityType))
        single = "wb";
    else if (authorityType === GelTS20BW)
        single = "gel";
    return { height: height, gel: kinds.gel, wb: kinds.wb, flu: kinds.flu, single: single };
}

// What the exit sequence leaves first for the configuration and experiment mode (EnumOBJ.ExpMode
// 0 Gel, 1 WB, 2 Mult): "GelTS20BW", "GelTS", "WBTS", "MultTS", "WBQI", or "" when no experiment
// is left and the exit timer starts at once.
function exitExperimentStep(authorityType, expMode) {
    if (authorityType === GelTS20BW)
        return expMode === 0 ? "GelTS20BW" : "";
    if (authorityType === WBQI)
        return expMode === 1 ? "WBQI" : "";
    if (!isTucsenCamera(authorityType))
        return "";
    if (expMode === 0) return "GelTS";
    if (expMode === 1) return "WBTS";
    if (expMode === 2) return "MultTS";
    return "";
}

// The average-gray row of the engineer page.
function averageGrayVisible(authorityType, sum2BinIndex) {
    return (authorityType === GelTS20BW && sum2BinIndex === 7) || within(averageGrayConfigurations, authorityType)
}
function engineerTipsVisible(authorityType) {
    return authorityType !== GelTS20BW && authorityType !== WBTSFL9BWMini && authorityType !== WBTS695Mini
}
