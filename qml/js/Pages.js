.pragma library
// Page types of the body frame and the kinds of experiment, as the head bar and the frame pass
// them in their signals.

var HomePage = 0, AuditTrailPage = 1, SettingPage = 2, GelCapturePage = 3, WesternBlotCapturePage = 4,
    MultiFluorescenceCapturePage = 5, GelImagesPage = 6, WesternBlotImagesPage = 7,
    MultiFluorescenceImagesPage = 8;
var Gel = 0, WesternBlot = 1, MultiFluorescence = 2;

function capturePageOf(kind) { return GelCapturePage + kind }
function imagesPageOf(kind) { return GelImagesPage + kind }
function isCapturePage(pageType) { return pageType >= GelCapturePage && pageType <= MultiFluorescenceCapturePage }
function isImagesPage(pageType) { return pageType >= GelImagesPage && pageType <= MultiFluorescenceImagesPage }
// The kind of experiment of a capture or images page, -1 for the others.
function kindOf(pageType) {
    if (isCapturePage(pageType)) return pageType - GelCapturePage;
    if (isImagesPage(pageType)) return pageType - GelImagesPage;
    return -1;
}
// EnumOBJ.ExpMode of a kind: Gel 0, WB 1, Mult 2 (the same numbers).
function expModeOf(kind) { return kind }
