import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import "qrc:/js/MultCapture.js" as Mult
import "qrc:/js/FlatField.js" as FFC

// The multi-fluorescence page's and the flat-field wizard's decisions that need no screen.
ShellTestCase {
    name: "MultRules"

    function test_configurations_data() {
        return [
            { tag: "plain", authority: 3, sensing: false, fl9bw: false, lens: false, lights: [0, 4, 5, 6, 8] },
            { tag: "695 manual", authority: 13, sensing: true, fl9bw: false, lens: false, lights: [0, 4, 5, 6, 7, 8] },
            { tag: "695 auto", authority: 14, sensing: true, fl9bw: false, lens: true, lights: [0, 4, 5, 6, 7, 8] },
            { tag: "FL9BW manual", authority: 15, sensing: true, fl9bw: true, lens: false, lights: [0, 4, 5, 6, 7, 8] },
            { tag: "FL9BW auto", authority: 16, sensing: true, fl9bw: true, lens: true, lights: [0, 4, 5, 6, 7, 8] }
        ];
    }
    function test_configurations(row) {
        // What the page reads from the controller for the configuration.
        var start = MainCtrl.authorityType;
        MainCtrl.authorityType = row.authority;
        var facts = [MainCtrl.hasDoor, MainCtrl.isMultFL9BW, MainCtrl.hasMotorLens];
        MainCtrl.authorityType = start;
        compare(facts, [row.sensing, row.fl9bw, row.lens]);
        compare(Mult.lightsOf(row.sensing), row.lights);
    }

    function test_wheelPositions_data() {
        return [
            { tag: "sensing 810 nm goes as 7", sensing: true, index: 6, position: 7, name: "810nm Filter" },
            { tag: "sensing 715 nm goes as 6", sensing: true, index: 5, position: 6, name: "715nm Filter" },
            { tag: "sensing 700 nm unchanged", sensing: true, index: 4, position: 4, name: "700nm Filter" },
            { tag: "plain 840 nm goes as 5", sensing: false, index: 5, position: 5, name: "840nm Filter" },
            { tag: "no filter", sensing: false, index: 0, position: 0, name: "No Filter" }
        ];
    }
    function test_wheelPositions(row) {
        compare(Mult.wheelPosition(row.index, row.sensing), row.position);
        compare(Mult.filterNames(row.sensing)[row.index], row.name);
    }

    function test_filterShown_data() {
        return [
            { tag: "715 hidden with the colour marker", index: 5, sensing: true, marker: true, shown: false },
            { tag: "715 shown without it", index: 5, sensing: true, marker: false, shown: true },
            { tag: "plain 840 always", index: 5, sensing: false, marker: true, shown: true },
            { tag: "810 with the marker", index: 6, sensing: true, marker: true, shown: true }
        ];
    }
    function test_filterShown(row) {
        compare(Mult.filterShown(row.index, row.sensing, row.marker), row.shown);
    }

    function test_filterDialog_data() {
        return [
            { tag: "one step", steps: 1, ms: 1100 },
            { tag: "five steps", steps: 5, ms: 3500 },
            { tag: "seven steps capped at 4 s", steps: 7, ms: 4000 }
        ];
    }
    function test_filterDialog(row) {
        compare(Mult.filterDialogMs(row.steps), row.ms);
    }

    function test_filterMatch_data() {
        var opts = { whiteLightFilterPos: 0, r625nmFilterPos: 4, g520nmFilterPos: 3, b470nmFilterPos: 1, ir660nmFilterPos: 5,
                     ir740nmFilterPos: 6 };
        return [
            { tag: "white", light: 0, auto: true, opts: opts, want: 0 },
            { tag: "red", light: 4, auto: true, opts: opts, want: 4 },
            { tag: "green", light: 5, auto: true, opts: opts, want: 3 },
            { tag: "blue", light: 6, auto: true, opts: opts, want: 1 },
            { tag: "IR660", light: 7, auto: true, opts: opts, want: 5 },
            { tag: "IR740", light: 8, auto: true, opts: opts, want: 6 },
            { tag: "matching off", light: 4, auto: false, opts: opts, want: -1 },
            { tag: "a gel light has none here", light: 2, auto: true, opts: opts, want: -1 }
        ];
    }
    function test_filterMatch(row) {
        compare(Mult.matchedFilter(row.light, row.auto, row.opts), row.want);
    }

    function test_exposureBoxes_data() {
        return [
            { tag: "ms only", total: 250, m: 0, s: 0, ms: 250 },
            { tag: "seconds and ms", total: 3007, m: 0, s: 3, ms: 7 },
            { tag: "minutes", total: 125500, m: 2, s: 5, ms: 500 },
            { tag: "fraction rounds", total: 99.6, m: 0, s: 0, ms: 100 }
        ];
    }
    function test_exposureBoxes(row) {
        var parts = Mult.splitExposure(row.total);
        compare([parts.m, parts.s, parts.ms], [row.m, row.s, row.ms]);
        compare(Mult.joinExposure(parts.m, parts.s, parts.ms), Math.round(row.total));
    }

    function test_exposureAfterCapture_data() {
        return [
            { tag: "5 s goes back to 0", total: 5000, want: 0 },
            { tag: "3 s stays", total: 3000, want: 3000 },
            { tag: "short stays", total: 40, want: 40 }
        ];
    }
    function test_exposureAfterCapture(row) {
        compare(Mult.previewExposureAfterCapture(row.total), row.want);
    }

    function test_audits() {
        compare(Mult.lightAudit(7, true), ["光源设置: 近红外660开", "Light settings: IR660nm light on"]);
        compare(Mult.lightAudit(4, false), ["光源设置: 红光625关", "Light settings: R625nm light off"]);
        compare(Mult.exposureAudit(1, 2, 30), ["曝光时间设置: 1分2秒30毫秒", "Exposure Setting: 1m2s30ms"]);
    }

    // Entries: f a file entry, c a captured frame, g a generated frame; * checked.
    function entries(text, bins) {
        var list = [];
        for (var i = 0; i < text.length; i += 2) {
            var kind = text[i];
            list.push({ file: kind === "f" ? "/x/file" + i + ".tif" : "", exposure: kind === "c" ? 100 : -1,
                        bin: bins ? bins[i / 2] : 2, marked: text[i + 1] === "*" });
        }
        return list;
    }
    function test_deletePlan_data() {
        return [
            { tag: "nothing checked", list: "c g f ", error: "none" },
            { tag: "a captured frame refuses all", list: "c*f*", error: "original" },
            { tag: "files only", list: "c f*f*", error: "", calls: [{ index: 2, file: "/x/file4.tif" }, { index: 1, file: "/x/file2.tif" }] },
            { tag: "generated frame after a file", list: "c f g*", error: "", calls: [{ index: 2, frame: 1 }] },
            { tag: "mixed, last first", list: "c g*f*g*", error: "",
              calls: [{ index: 3, frame: 2 }, { index: 2, file: "/x/file4.tif" }, { index: 1, frame: 1 }] }
        ];
    }
    function test_deletePlan(row) {
        var plan = Mult.deletePlan(entries(row.list));
        compare(plan.error, row.error);
        if (row.calls)
            compare(plan.calls, row.calls);
    }

    function test_mergePlan_data() {
        return [
            { tag: "one is too few", list: "c*c ", bins: [2, 2], error: "count" },
            { tag: "two of a binning", list: "c*c*", bins: [2, 2], error: "", indexes: [0, 1] },
            { tag: "binnings differ, said first", list: "c*c*c*c*c*c*", bins: [2, 2, 2, 2, 2, 4], error: "binning" },
            { tag: "six are too many", list: "c*c*c*c*c*c*", bins: [2, 2, 2, 2, 2, 2], error: "count" },
            { tag: "five with a file", list: "c*c*c*c*f*", bins: [1, 1, 1, 1, 1], error: "", indexes: [0, 1, 2, 3, 4] }
        ];
    }
    function test_mergePlan(row) {
        var plan = Mult.mergePlan(entries(row.list, row.bins));
        compare(plan.error, row.error);
        if (row.indexes)
            compare(plan.indexes, row.indexes);
    }

    // ---- flat-field wizard ----
    function test_wizardStart_data() {
        return [
            { tag: "finished capture shown", shown: true, filter: 0, want: "Please turn back to preview interface!" },
            { tag: "a filter in place", shown: false, filter: 2, want: "Please turn to no filter!" },
            { tag: "no filter", shown: false, filter: 0, want: "" },
            { tag: "wheel not moved yet", shown: false, filter: -1, want: "" }
        ];
    }
    function test_wizardStart(row) {
        compare(FFC.startRefusal(row.shown, row.filter), row.want);
    }

    function test_wizardSequences_data() {
        return [
            { tag: "colour marker", opts: { colorMarker: true, plain: true },
              steps: [0, 1, 2, 4, 5, 6, 7, 4, 5, 8, 9, 4, 5, 10, 11, 4, 3] },
            { tag: "plain without marker", opts: { colorMarker: false, plain: true }, steps: [0, 1, 2, 4, 5, 12, 13, 4, 3] },
            { tag: "sensing without marker", opts: { colorMarker: false, plain: false }, steps: [0, 1, 2, 3] }
        ];
    }
    function test_wizardSequences(row) {
        compare(FFC.sequence(row.opts), row.steps);
        compare(FFC.stepPlan(3, row.opts).bar, FFC.barMax(row.opts.colorMarker));
    }

    function test_wizardSteps_data() {
        var marker = { colorMarker: true, plain: false };
        return [
            { tag: "bright field", step: 0, text: "Prepare to shoot bright field", bar: 5, reference: "", light: true, reset: true },
            { tag: "dark field", step: 1, text: "Prepare to shoot dark field", bar: 7, reference: "getStandardImage", light: false },
            { tag: "calculating", step: 2, text: "Calculating", bar: 9, reference: "getDarkImage", light: true, target: 1 },
            { tag: "470 nm stored as 715", step: 10, text: "Shoot light field for 470nm", bar: 17,
              reference: "getStandardImageFor715", light: false },
            { tag: "470 nm dark, back to none", step: 11, text: "Shoot dark field for 470nm", bar: 18,
              reference: "getDarkImageFor715", light: true, target: 0 },
            { tag: "590 nm dark", step: 13, text: "Shoot dark field for 590nm", bar: 9, reference: "getDarkImageFor590",
              light: true, target: 0 }
        ].map(function(row) { row.opts = marker; return row });
    }
    function test_wizardSteps(row) {
        var plan = FFC.stepPlan(row.step, row.opts);
        compare(plan.text, row.text);
        compare(plan.bar, row.bar);
        compare(plan.reference, row.reference);
        compare(plan.light, row.light);
        compare(plan.reset, row.reset === true);
        if (row.target !== undefined)
            compare(plan.target, row.target);
    }

    function test_wizardCaptureRefusal() {
        compare([0, 1, 2, 3, 4, 5, 6, -1].map(FFC.refusesCapture), [false, true, true, true, false, false, false, false]);
    }
    // A reference needs a frame that began after the change: the one under way at the change
    // does not count.
    function test_wizardFreshFrame() {
        compare([0, 1, 2, 3].map(FFC.frameIsFresh), [false, false, true, true]);
    }
}
