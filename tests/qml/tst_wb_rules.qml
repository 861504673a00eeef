import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import "qrc:/js/WesternBlot.js" as WB

// The Western-blot page's decisions that need no screen.
ShellTestCase {
    name: "WBRules"

    function test_temperature_data() {
        return [
            { tag: "Kestrix -30 degrees", raw: -3000, kestrix: true, mapped: -73.75, done: true, text: "-65.00" },
            { tag: "-20 shows as -55", raw: -20, kestrix: false, mapped: -55, done: true, text: "-55.00" },
            { tag: "exactly -30 after mapping", raw: -6.6666666667, kestrix: false, mapped: -30, done: true, text: "-30.00" },
            { tag: "still warm", raw: 0, kestrix: false, mapped: -17.5, done: false, text: "-17.50" },
            { tag: "20 and above unmapped", raw: 25, kestrix: false, mapped: 25, done: false, text: "25" }
        ];
    }
    function test_temperature(row) {
        var t = WB.temperatureOf(row.raw, row.kestrix);
        fuzzyCompare(WB.mappedTemperature(t), row.mapped, 1e-6);
        compare(WB.coolingDone(WB.mappedTemperature(t)), row.done);
        compare(WB.coolingText(t), row.text);
    }

    function test_lensRow_data() {
        return [
            { tag: "S60, lens turned by hand", authority: 3, shown: false },
            { tag: "Mini cabinet", authority: 18, shown: false },
            { tag: "manual 695 blot cabinet", authority: 5, shown: false },
            { tag: "board-driven lens", authority: 6, shown: true },
            { tag: "board-driven lens, FL9BW, all modes", authority: 16, shown: true }
        ];
    }
    function test_lensRow(row) {
        var start = MainCtrl.authorityType;
        MainCtrl.authorityType = row.authority;
        var shown = MainCtrl.hasMotorLens;
        MainCtrl.authorityType = start;
        compare(shown, row.shown);
    }

    function test_exposureSplit_data() {
        return [
            { tag: "zero", ms: 0, parts: [0, 0, 0] },
            { tag: "mixed", ms: 125250, parts: [2, 5, 250] },
            { tag: "longest single", ms: 3599999, parts: [59, 59, 999] }
        ];
    }
    function test_exposureSplit(row) {
        var p = WB.splitMs(row.ms);
        compare([p.minute, p.second, p.millisecond], row.parts);
        compare(WB.joinMs(p.minute, p.second, p.millisecond), row.ms);
    }

    function test_hourCheck_data() {
        var min20 = 20 * 60000;
        return [
            { tag: "3 x 20 min steps refused", count: 3, first: min20, delta: min20, acc: false, changed: false, refused: true },
            { tag: "with accumulation allowed", count: 3, first: min20, delta: min20, acc: true, changed: false, refused: false },
            { tag: "programme skips the check", count: 3, first: min20, delta: min20, acc: false, changed: true, refused: false },
            { tag: "just below the hour", count: 2, first: 1799999, delta: 1800000, acc: false, changed: false, refused: false }
        ];
    }
    function test_hourCheck(row) {
        compare(WB.exceedsHour(row.count, row.first, row.delta, row.acc, row.changed), row.refused);
    }

    function test_progressTotal_data() {
        var base = { kestrix: true, single: true, singleExp: 0, preview: 50, marker: true, timesChanged: false, expTimes: "",
                     count: 3, first: 1000, delta: 1000, accumulate: false, colorMarker: false };
        function plan(changes) {
            var p = {};
            for (var k in base) p[k] = base[k];
            for (var c in changes) p[c] = changes[c];
            return p;
        }
        return [
            { tag: "single 31000 with marker", plan: plan({ singleExp: 31000 }), total: 50 + 1200 + 41000 },
            { tag: "single 30000 with marker", plan: plan({ singleExp: 30000 }), total: 50 + 1200 + 31200 },
            { tag: "single of 0: the marker frame only", plan: plan({ singleExp: 0 }), total: 50 + 1200 },
            { tag: "Tucsen single without marker", plan: plan({ kestrix: false, singleExp: 5000, marker: false }), total: 6400 },
            { tag: "manual multiple", plan: plan({ single: false, marker: false }), total: 2000 + 3000 + 4000 },
            { tag: "accumulated", plan: plan({ single: false, marker: false, accumulate: true, first: 2000, delta: 500 }),
              total: 3100 + 1500 + 1500 },
            { tag: "accumulated, a long first frame reads out slowly",
              plan: plan({ single: false, marker: false, accumulate: true, count: 2, first: 40000, delta: 500 }), total: 50000 + 1500 },
            { tag: "programme with marker", plan: plan({ single: false, timesChanged: true, expTimes: "1000,2000,3000" }),
              total: 2000 + 3000 + 4000 + 1050 },
            { tag: "longest programme frame", plan: plan({ single: false, marker: false, timesChanged: true, expTimes: "3599999" }),
              total: 3609999 },
            { tag: "Tucsen colour marker", plan: plan({ kestrix: false, single: false, marker: true, count: 2, colorMarker: true }),
              total: 2100 + 3100 + 1150 + 20000 }
        ];
    }
    function test_progressTotal(row) {
        compare(WB.captureTotalMs(row.plan), row.total);
    }

    function test_frameIndex_data() {
        var names = ["", "m.tif", "", "p_Pseudo.tif", ""];
        return [
            { tag: "first frame", index: 0, names: names, frame: 0 },
            { tag: "after the marker", index: 2, names: names, frame: 1 },
            { tag: "after two colour pictures", index: 4, names: names, frame: 2 },
            { tag: "a colour picture has no frame", index: 3, names: names, frame: -1 },
            { tag: "outside", index: 7, names: names, frame: -1 }
        ];
    }
    function test_frameIndex(row) {
        compare(WB.frameIndex(row.index, row.names), row.frame);
    }

    function test_listRefusals_data() {
        var plain = function(i) { return { index: i, file: "" } };
        var pseudo = { index: 5, file: "/x/a_Pseudo.tif" };
        var marker = { index: 1, file: "/x/a_Marker.tif" };
        return [
            { tag: "delete nothing", op: "delete", checked: [], result: "none" },
            { tag: "delete a camera picture", op: "delete", checked: [plain(1), plain(4)], result: "original" },
            { tag: "delete generated", op: "delete", checked: [plain(3), pseudo], result: "" },
            { tag: "merge one", op: "merge", checked: [plain(0)], result: "two" },
            { tag: "merge with pseudo", op: "merge", checked: [plain(0), pseudo], result: "pseudo" },
            { tag: "merge with marker", op: "merge", checked: [plain(0), marker], result: "marker" },
            { tag: "merge two", op: "merge", checked: [plain(0), plain(2)], result: "" },
            { tag: "pseudo of two", op: "pseudo", checked: [plain(0), plain(2)], result: "one" },
            { tag: "pseudo of pseudo", op: "pseudo", checked: [pseudo], result: "pseudo" },
            { tag: "pseudo of one", op: "pseudo", checked: [plain(2)], result: "" },
            { tag: "pseudo merge", op: "pseudoMerge", checked: [plain(2), pseudo], result: "" },
            { tag: "pseudo merge without pseudo", op: "pseudoMerge", checked: [plain(2), plain(0)], result: "one" }
        ];
    }
    function test_listRefusals(row) {
        var result = row.op === "delete" ? WB.deleteRefusal(row.checked, 3)
                   : row.op === "merge" ? WB.mergeRefusal(row.checked)
                   : row.op === "pseudo" ? WB.pseudoColorRefusal(row.checked) : WB.pseudoMergeRefusal(row.checked);
        compare(result, row.result);
    }

    function test_beautify_data() {
        return [
            { tag: "single, no marker", index: 0, single: true, marker: false, count: 3, offered: true },
            { tag: "single, marker first", index: 0, single: true, marker: true, count: 3, offered: false },
            { tag: "single, sample after marker", index: 1, single: true, marker: true, count: 3, offered: true },
            { tag: "multi, last sample", index: 2, single: false, marker: false, count: 3, offered: true },
            { tag: "multi, beyond", index: 3, single: false, marker: false, count: 3, offered: false },
            { tag: "multi with marker, last sample", index: 3, single: false, marker: true, count: 3, offered: true },
            { tag: "multi with marker, the marker", index: 0, single: false, marker: true, count: 3, offered: false }
        ];
    }
    function test_beautify(row) {
        compare(WB.beautifyOffered(row.index, row.single, row.marker, row.count), row.offered);
    }

    function test_programmes_data() {
        return [
            { tag: "accumulated totals", row: { captureCount: 3, integralAccumulate: 1, detail: "1000,3000,6000" },
              times: "1000,2000,3000", acc: true, shown: "1s,3s,6s" },
            { tag: "plain", row: { captureCount: 2, integralAccumulate: 0, detail: "3000,4500" },
              times: "3000,4500", acc: false, shown: "3s,4.500s" }
        ];
    }
    function test_programmes(row) {
        var o = WB.programmeOptions(row.row);
        compare(o.multiCapExpTimesChanged, true);
        compare(o.multiCapCount, row.row.captureCount);
        compare(o.integralAccumulate, row.acc);
        compare(o.multiCapExpTimes, row.times);
        compare(WB.detailText(row.row.detail), row.shown);
    }

    function test_editorTimes_data() {
        var r = function(m, s, ms) { return { minute: m, second: s, millisecond: ms } };
        return [
            { tag: "no row", rows: [], refusal: "empty" },
            { tag: "first zero", rows: [r(0, 0, 0), r(0, 1, 0)], refusal: "zero" },
            { tag: "equal neighbours", rows: [r(0, 1, 0), r(0, 1, 0)], refusal: "increment" },
            { tag: "a later zero", rows: [r(0, 1, 0), r(0, 0, 0)], refusal: "increment" },
            { tag: "rising", rows: [r(0, 1, 0), r(1, 0, 500)], refusal: "", times: [1000, 60500] }
        ];
    }
    function test_editorTimes(row) {
        var result = WB.editorTimes(row.rows);
        compare(result.refusal, row.refusal);
        if (row.times)
            compare(result.times, row.times);
        if (row.times)
            compare(WB.detailRows(result.times.join(",")), row.rows);
    }

    function test_binningText() {
        compare(WB.binningOfText("4*4"), 4);
        compare(WB.binningOfText("Standard(2*2)"), 2);
        compare(WB.binningOfText("24*24"), 24);
        compare(WB.listValue("200,50,15", 1, 7), 50);
        compare(WB.listValue("200,50,15", 5, 7), 7);
    }

    function test_rangeFractions_data() {
        var picture = { x: 10, y: 20, width: 200, height: 100 };
        return [
            { tag: "inside", a: { x: 60, y: 45 }, b: { x: 110, y: 95 }, result: { x: 0.25, y: 0.25, width: 0.25, height: 0.5 } },
            { tag: "drawn backwards", a: { x: 110, y: 95 }, b: { x: 60, y: 45 }, result: { x: 0.25, y: 0.25, width: 0.25, height: 0.5 } },
            { tag: "clipped to the picture", a: { x: 0, y: 0 }, b: { x: 43.4, y: 300 }, result: { x: 0, y: 0, width: 0.167, height: 1 } },
            { tag: "outside", a: { x: 0, y: 0 }, b: { x: 5, y: 300 }, result: null },
            { tag: "a click", a: { x: 50, y: 50 }, b: { x: 50, y: 50 }, result: null }
        ];
    }
    function test_rangeFractions(row) {
        compare(WB.rangeFractions(row.a, row.b, { x: 10, y: 20, width: 200, height: 100 }), row.result);
    }
}
