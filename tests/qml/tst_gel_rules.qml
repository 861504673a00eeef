import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import "qrc:/js/GelCapture.js" as Gel

// The gel page's decisions that need no screen.
ShellTestCase {
    name: "GelRules"

    function test_groups_data() {
        return [
            { tag: "single gel", authority: 4, group: Gel.Group.SingleGel, lens: false },
            { tag: "695 manual", authority: 9, group: Gel.Group.Sensing695, lens: false },
            { tag: "695 auto", authority: 14, group: Gel.Group.Sensing695, lens: true },
            { tag: "FL9BW auto", authority: 12, group: Gel.Group.SensingFL9BW, lens: true },
            { tag: "FL9BW manual", authority: 15, group: Gel.Group.SensingFL9BW, lens: false },
            { tag: "plain", authority: 3, group: Gel.Group.Plain, lens: false },
            { tag: "gel and blot", authority: 2, group: Gel.Group.Plain, lens: false }
        ];
    }
    function test_groups(row) {
        var start = MainCtrl.authorityType;
        MainCtrl.authorityType = row.authority;
        var group = Gel.groupOf(MainCtrl);
        var lens = MainCtrl.hasMotorLens;
        MainCtrl.authorityType = start;
        compare(group, row.group);
        compare(lens, row.lens);
    }

    function test_filterTurns_data() {
        return [
            { tag: "5 to 1 goes round", from: 5, to: 1, steps: 3, ms: 2300 },
            { tag: "0 to 2", from: 0, to: 2, steps: 2, ms: 1700 },
            { tag: "2 to 0", from: 2, to: 0, steps: 5, ms: 3500 },
            { tag: "same place is a full turn", from: 3, to: 3, steps: 7, ms: 4700 }
        ];
    }
    function test_filterTurns(row) {
        compare(Gel.rotateCount(row.from, row.to), row.steps);
        compare(Gel.filterDialogMs(row.steps), row.ms);
    }

    function test_filterMatch_data() {
        var opts = { whiteLightFilterPos: 2, uv302nmFilterPos: 0, uv254nmFilterPos: 2, uv365nmFilterPos: 0, blueFilterPos: 2 };
        return [
            { tag: "white", light: 0, auto: true, ffc: false, opts: opts, pos: 2 },
            { tag: "UV302 of the sensing board", light: 9, auto: true, ffc: false, opts: opts, pos: 0 },
            { tag: "blue", light: 10, auto: true, ffc: false, opts: opts, pos: 2 },
            { tag: "matching off", light: 0, auto: false, ffc: false, opts: opts, pos: -1 },
            { tag: "during calibration", light: 0, auto: true, ffc: true, opts: opts, pos: -1 },
            { tag: "no light", light: 11, auto: true, ffc: false, opts: opts, pos: -1 }
        ];
    }
    function test_filterMatch(row) {
        compare(Gel.matchedFilter(row.light, row.auto, row.ffc, row.opts), row.pos);
    }

    function test_autoExposureSettles_data() {
        function r(exposure, gain, frame) { return { exposure: exposure, gain: gain, frame: frame } }
        return [
            { tag: "first reading", history: [], exposure: 10, gain: 5, polls: 1, only: false, frame: 1, settled: false },
            { tag: "same as before", history: [r(10, 5, 1)], exposure: 10.04, gain: 5, polls: 2, only: false, frame: 2, settled: true },
            { tag: "gain still moving", history: [r(10, 5, 1)], exposure: 10, gain: 6, polls: 2, only: false, frame: 2, settled: false },
            { tag: "back to the one before", history: [r(10, 5, 1), r(12, 5, 2)], exposure: 10.04, gain: 5, polls: 3, only: false, frame: 3, settled: true },
            { tag: "still moving", history: [r(10, 5, 1), r(12, 5, 2)], exposure: 14, gain: 5, polls: 3, only: false, frame: 3, settled: false },
            { tag: "twentieth poll", history: [r(10, 5, 1), r(12, 6, 2)], exposure: 14, gain: 7, polls: 20, only: false, frame: 3, settled: true },
            { tag: "FL9BW ignores the gain", history: [r(10, 5, 1)], exposure: 10, gain: 9, polls: 2, only: true, frame: 2, settled: true },
            // A frame longer than the poll: the camera has not had a frame to change its exposure.
            { tag: "same frame, same reading", history: [r(10, 5, 4)], exposure: 10, gain: 5, polls: 2, only: false, frame: 4, settled: false },
            { tag: "same frame, FL9BW", history: [r(10, 5, 4)], exposure: 10, gain: 5, polls: 2, only: true, frame: 4, settled: false },
            { tag: "one before from an older frame", history: [r(10, 5, 3), r(10, 5, 4)], exposure: 10, gain: 5, polls: 3, only: true, frame: 4, settled: true },
            { tag: "same frame at the twentieth poll", history: [r(10, 5, 4)], exposure: 10, gain: 5, polls: 20, only: false, frame: 4, settled: true }
        ];
    }
    function test_autoExposureSettles(row) {
        compare(Gel.aeSettled(row.history, row.exposure, row.gain, row.polls, row.only, row.frame), row.settled);
    }

    function test_autoExposureWarnings_data() {
        return [
            { tag: "upper limit", exposure: 198, gain: 250, fl9bw: false, warning: "upper" },
            { tag: "long, low gain", exposure: 198, gain: 100, fl9bw: false, warning: "" },
            { tag: "too short", exposure: 0.4, gain: 1, fl9bw: false, warning: "lower" },
            { tag: "short, gain up", exposure: 0.4, gain: 2, fl9bw: false, warning: "" },
            { tag: "FL9BW upper", exposure: 499, gain: 0, fl9bw: true, warning: "upper" },
            { tag: "FL9BW short", exposure: 0.3, gain: 3, fl9bw: true, warning: "lower" },
            { tag: "FL9BW fine", exposure: 100, gain: 3, fl9bw: true, warning: "" }
        ];
    }
    function test_autoExposureWarnings(row) {
        compare(Gel.aeWarning(row.exposure, row.gain, row.fl9bw), row.warning);
    }

    // The colour marker counts 20 s on top of the frame.
    function test_captureAllowance_data() {
        return [
            { tag: "plain capture", exposure: 100, colour: false, ms: 900 },
            { tag: "colour marker, short exposure", exposure: 0, colour: true, ms: 800 + 20000 },
            { tag: "colour marker, 100 ms", exposure: 100, colour: true, ms: 900 + 20000 },
            { tag: "fraction rounded", exposure: 12.6, colour: true, ms: 20813 }
        ];
    }
    function test_captureAllowance(row) {
        compare(Gel.captureAllowanceMs(row.exposure, row.colour), row.ms);
    }

    function test_histogramSlidersNeverMeet_data() {
        return [
            { tag: "left onto right", left: 500, right: 500, wantLeft: 499 },
            { tag: "left past right", left: 900, right: 500, wantLeft: 499 },
            { tag: "left below zero", left: -5, right: 500, wantLeft: 0 },
            { tag: "left at the top", left: 65535, right: 65535, wantLeft: 65534 }
        ];
    }
    function test_histogramSlidersNeverMeet(row) {
        var left = Gel.clampLeft(row.left, row.right);
        compare(left, row.wantLeft);
        verify(row.right >= left + 1);
    }
    function test_histogramRightSlider_data() {
        return [
            { tag: "right onto left", right: 300, left: 300, want: 301 },
            { tag: "right below left", right: 100, left: 300, want: 301 },
            { tag: "right past the top", right: 70000, left: 0, want: 65535 },
            { tag: "right at zero", right: 0, left: 0, want: 1 }
        ];
    }
    function test_histogramRightSlider(row) {
        compare(Gel.clampRight(row.right, row.left), row.want);
    }

    function test_frameIndex_data() {
        return [
            { tag: "frames only", index: 2, names: ["", "", ""], frame: 2 },
            { tag: "after a colour file", index: 2, names: ["", "a_Color.tif", ""], frame: 1 },
            { tag: "two files before", index: 4, names: ["", "a.tif", "", "b.tif", ""], frame: 2 }
        ];
    }
    function test_frameIndex(row) {
        compare(Gel.frameIndex(row.index, row.names), row.frame);
    }

    function test_zoomSteps_data() {
        return [
            { tag: "in", scale: 1, zoomIn: true, single: false, result: 1.2 },
            { tag: "out", scale: 1.2, zoomIn: false, single: false, result: 1 },
            { tag: "in single gel", scale: 1, zoomIn: true, single: true, result: 1.5 },
            { tag: "out single gel", scale: 1.5, zoomIn: false, single: true, result: 1 },
            { tag: "in stops at 5", scale: 4.5, zoomIn: true, single: false, result: 5 },
            { tag: "in stops at 5 single gel", scale: 4, zoomIn: true, single: true, result: 5 },
            { tag: "out stops at 0.1", scale: 0.11, zoomIn: false, single: false, result: 0.1 },
            { tag: "out stops at 0.1 single gel", scale: 0.12, zoomIn: false, single: true, result: 0.1 }
        ];
    }
    function test_zoomSteps(row) {
        fuzzyCompare(Gel.zoomStepped(row.scale, row.zoomIn, row.single), row.result, 1e-9);
    }

    function test_pinchZoom_data() {
        return [
            { tag: "spread", start: 1, pinch: 2, result: 2 },
            { tag: "close", start: 2, pinch: 0.25, result: 0.5 },
            { tag: "spread past 5", start: 3, pinch: 4, result: 5 },
            { tag: "close past 0.1", start: 0.5, pinch: 0.1, result: 0.1 }
        ];
    }
    function test_pinchZoom(row) {
        fuzzyCompare(Gel.pinchZoom(row.start, row.pinch), row.result, 1e-9);
    }

    function test_overviewFrame_data() {
        return [
            { tag: "fits", item: [0, 0, 800, 600], view: [800, 600], needed: false, part: [0, 0, 1, 1] },
            { tag: "twice as large, centred", item: [-400, -300, 1600, 1200], view: [800, 600], needed: true,
              part: [0.25, 0.25, 0.5, 0.5] },
            { tag: "wider only", item: [-100, 0, 1000, 600], view: [800, 600], needed: true, part: [0.1, 0, 0.8, 1] }
        ];
    }
    function test_overviewFrame(row) {
        compare(Gel.overviewNeeded(row.item[2], row.item[3], row.view[0], row.view[1]), row.needed);
        var part = Gel.visibleFraction(row.item[0], row.item[1], row.item[2], row.item[3], row.view[0], row.view[1]);
        fuzzyCompare(part.x, row.part[0], 1e-9);
        fuzzyCompare(part.y, row.part[1], 1e-9);
        fuzzyCompare(part.width, row.part[2], 1e-9);
        fuzzyCompare(part.height, row.part[3], 1e-9);
    }

    function test_texts() {
        compare(Gel.baseName("/x/y/12-00-00-000_White.tif"), "12-00-00-000_White");
        compare(Gel.folderOf("/x/y/a.tif"), "/x/y/");
        compare(Gel.binningText(2), "2*2");
        compare(Gel.exposureText(12.34567), "12.346ms");
        compare(Gel.gainText(-1), "");
    }
}
