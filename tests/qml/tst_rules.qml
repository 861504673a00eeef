import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.LocalFolders 1.0
import "qrc:/js/Configuration.js" as Config
import "qrc:/js/Paths.js" as Paths
import "qrc:/js/NumberRules.js" as Rules
import "qrc:/js/RenameRules.js" as Rename
import "qrc:/js/Pages.js" as Pages

// The page rules kept in plain script libraries, row by row.
ShellTestCase {
    name: "Rules"

    // The configuration rules read the controller's facts of a configuration.
    property int startAuthority: -1
    function setUpFile() { startAuthority = MainCtrl.authorityType }
    function cleanupEach() { MainCtrl.authorityType = startAuthority }
    function facts(authority) {
        MainCtrl.authorityType = authority;
        return MainCtrl;
    }

    function test_offeredKinds_data() {
        return [
            { tag: "WBTS", authority: 0, gel: false, wb: true, flu: false },
            { tag: "WBQI", authority: 1, gel: false, wb: true, flu: false },
            { tag: "GelAndWBTS", authority: 2, gel: true, wb: true, flu: false },
            { tag: "AllAuthorityTS", authority: 3, gel: true, wb: true, flu: true },
            { tag: "GelTS20BW", authority: 4, gel: true, wb: false, flu: false },
            { tag: "WBTS695Mini", authority: 18, gel: false, wb: true, flu: false },
            { tag: "GelAndWBTSFL9BW_Auto", authority: 12, gel: true, wb: true, flu: false },
            { tag: "AllAuthorityTSFL9BW_Manual", authority: 15, gel: true, wb: true, flu: true },
            { tag: "unknown", authority: 19, gel: false, wb: false, flu: false }
        ];
    }
    function test_offeredKinds(row) {
        var kinds = Config.offeredKinds(facts(row.authority));
        compare(kinds.gel, row.gel);
        compare(kinds.wb, row.wb);
        compare(kinds.flu, row.flu);
    }

    function test_configurationGroups_data() {
        return [
            { tag: "WBTS", authority: 0, door: false, tucsen: true, kestrix: false, af: false, lightMax: 5, menu: 80, single: "wb" },
            { tag: "WBQI", authority: 1, door: false, tucsen: false, kestrix: true, af: false, lightMax: 5, menu: 80, single: "wb" },
            { tag: "GelAndWBTS", authority: 2, door: false, tucsen: true, kestrix: false, af: false, lightMax: 5, menu: 130, single: "" },
            { tag: "AllAuthorityTS", authority: 3, door: false, tucsen: true, kestrix: false, af: false, lightMax: 5, menu: 180, single: "" },
            { tag: "GelTS20BW", authority: 4, door: true, tucsen: true, kestrix: false, af: true, lightMax: 10, menu: 80, single: "gel" },
            { tag: "WBTS695_Auto", authority: 6, door: true, tucsen: true, kestrix: false, af: true, lightMax: 10, menu: 80, single: "wb" },
            { tag: "GelAndWBTS695_Manual", authority: 9, door: true, tucsen: true, kestrix: false, af: false, lightMax: 10, menu: 130, single: "" },
            { tag: "AllAuthorityTSFL9BW_Auto", authority: 16, door: true, tucsen: true, kestrix: false, af: true, lightMax: 10, menu: 180, single: "" },
            { tag: "WBTSFL9BWMini", authority: 17, door: false, tucsen: true, kestrix: false, af: false, lightMax: 10, menu: 80, single: "wb" },
            { tag: "WBTS695Mini", authority: 18, door: false, tucsen: true, kestrix: false, af: false, lightMax: 10, menu: 80, single: "wb" },
            { tag: "unknown", authority: 19, door: false, tucsen: false, kestrix: false, af: false, lightMax: 5, menu: 80, single: "" }
        ];
    }
    function test_configurationGroups(row) {
        var c = facts(row.authority);
        compare(c.hasDoor, row.door);
        compare(c.isTucsen, row.tucsen);
        compare(c.isKestrix, row.kestrix);
        compare(Config.isAutofocusConfiguration(c), row.af);
        compare(Config.lightShutdownMaximum(c), row.lightMax);
        compare(Config.imageMenu(c).height, row.menu);
        compare(Config.imageMenu(c).single, row.single);
    }

    function test_exitExperimentStep_data() {
        return [
            { tag: "GelTS20BW in gel", authority: 4, mode: 0, step: "GelTS20BW" },
            { tag: "GelTS20BW without experiment", authority: 4, mode: 3, step: "" },
            { tag: "S60 gel", authority: 3, mode: 0, step: "GelTS" },
            { tag: "S60 WB", authority: 3, mode: 1, step: "WBTS" },
            { tag: "S60 multi-fluorescence", authority: 3, mode: 2, step: "MultTS" },
            { tag: "S60 home", authority: 3, mode: 3, step: "" },
            { tag: "WBQI WB", authority: 1, mode: 1, step: "WBQI" },
            { tag: "WBQI home", authority: 1, mode: 3, step: "" },
            { tag: "unknown WB", authority: 19, mode: 1, step: "" }
        ];
    }
    function test_exitExperimentStep(row) {
        compare(Config.exitExperimentStep(facts(row.authority), row.mode), row.step);
    }

    function test_engineerRows_data() {
        return [
            { tag: "GelTS20BW binned", authority: 4, sum2: 7, gray: true, tips: false },
            { tag: "GelTS20BW plain", authority: 4, sum2: 0, gray: false, tips: false },
            { tag: "WBTSFL9BW_Auto", authority: 8, sum2: 0, gray: true, tips: true },
            { tag: "WBTSFL9BWMini", authority: 17, sum2: 0, gray: true, tips: false },
            { tag: "WBTS695Mini", authority: 18, sum2: 0, gray: false, tips: false },
            { tag: "AllAuthorityTS", authority: 3, sum2: 7, gray: false, tips: true }
        ];
    }
    function test_engineerRows(row) {
        compare(Config.averageGrayVisible(facts(row.authority), row.sum2), row.gray);
        compare(Config.engineerTipsVisible(facts(row.authority)), row.tips);
    }

    // Folder dialogs hand back URLs; dropping a fixed number of characters would lose the
    // leading slash of a Linux path.
    function test_urlToLocalPath_data() {
        return [
            { tag: "linux folder", url: "file:///home/lab/Desktop", path: "/home/lab/Desktop" },
            { tag: "encoded blanks", url: "file:///home/lab/My%20Images", path: "/home/lab/My Images" },
            { tag: "chinese", url: "file:///data/%E5%9B%BE%E5%83%8F", path: "/data/图像" },
            { tag: "localhost", url: "file://localhost/srv/img", path: "/srv/img" },
            { tag: "windows drive", url: "file:///C:/Users/lab", path: "C:/Users/lab" },
            { tag: "network share", url: "file://server/share/x", path: "//server/share/x" },
            { tag: "root", url: "file:///", path: "/" },
            { tag: "already a path", url: "/home/lab", path: "/home/lab" }
        ];
    }
    function test_urlToLocalPath(row) {
        compare(Paths.urlToLocalPath(row.url), row.path);
    }
    function test_defaultImageFolder() {
        compare(Paths.defaultImageFolder("file:///home/lab/Desktop"), "/home/lab/Desktop/UserImages");
        compare(Paths.defaultImageFolder("file:///home/lab/Desktop/"), "/home/lab/Desktop/UserImages");
        compare(Paths.urlToLocalPath(Paths.localPathToUrl("/home/lab/My Images #1")), "/home/lab/My Images #1");
    }

    function test_parseWhole_data() {
        return [
            { tag: "plain", text: "120", low: undefined, high: undefined, ok: true, value: 120, error: "" },
            { tag: "blanks around", text: "  120 ", low: 50, high: 200, ok: true, value: 120, error: "" },
            { tag: "negative", text: "-35", low: undefined, high: undefined, ok: true, value: -35, error: "" },
            { tag: "letter", text: "12a", low: undefined, high: undefined, ok: false, value: 0, error: "Input error!" },
            { tag: "empty", text: "", low: undefined, high: undefined, ok: false, value: 0, error: "Input error!" },
            { tag: "decimal", text: "1.5", low: undefined, high: undefined, ok: false, value: 0, error: "Input error!" },
            { tag: "below range", text: "49", low: 50, high: 200, ok: false, value: 0, error: "Out of range!" },
            { tag: "above range", text: "201", low: 50, high: 200, ok: false, value: 0, error: "Out of range!" },
            { tag: "int max", text: "2147483647", low: undefined, high: undefined, ok: true, value: 2147483647, error: "" },
            { tag: "beyond int", text: "2147483648", low: undefined, high: undefined, ok: false, value: 0, error: "Out of range!" },
            { tag: "far beyond int", text: "99999999999999999999", low: undefined, high: undefined, ok: false, value: 0, error: "Out of range!" },
            { tag: "int min", text: "-2147483648", low: undefined, high: undefined, ok: true, value: -2147483648, error: "" }
        ];
    }
    function test_parseWhole(row) {
        var result = Rules.parseWhole(row.text, row.low, row.high);
        compare(result.ok, row.ok);
        compare(result.value, row.value);
        compare(result.error, row.error);
    }

    function test_storedRanges_data() {
        return [
            { tag: "clean 0", stored: 0, days: 7 },
            { tag: "clean 6", stored: 6, days: 7 },
            { tag: "clean 7", stored: 7, days: 7 },
            { tag: "clean 30", stored: 30, days: 30 },
            { tag: "clean 60", stored: 60, days: 60 },
            { tag: "clean 61", stored: 61, days: 7 },
            { tag: "clean negative", stored: -3, days: 7 }
        ];
    }
    function test_storedRanges(row) {
        compare(Rules.imageCleanDays(row.stored), row.days);
    }
    function test_lightAndOffset() {
        compare(Rules.lightShutdownMinutes(0, 5), 1);
        compare(Rules.lightShutdownMinutes(8, 5), 5);
        compare(Rules.lightShutdownMinutes(8, 10), 8);
        compare(Rules.afOffsetValue(-201), 0);
        compare(Rules.afOffsetValue(-200), -200);
        compare(Rules.afOffsetValue(200), 200);
    }

    function test_clockText_data() {
        return [
            { tag: "zero", ms: 0, text: "00:00:000" },
            { tag: "65 s", ms: 65000, text: "01:05:000" },
            { tag: "65 s less 100 ms", ms: 64900, text: "01:04:900" },
            { tag: "hour", ms: 3600000, text: "60:00:000" },
            { tag: "odd", ms: 1234, text: "00:01:234" }
        ];
    }
    function test_clockText(row) {
        compare(Rules.clockText(row.ms), row.text);
    }

    // The library pages read experiment folders through the controller's one parser: the name,
    // and the folder beside it under a new name ("" where either is not an experiment folder).
    function test_experimentFolders_data() {
        return [
            { tag: "folder", path: "/app/Images/2024-01-02/WBS20240102-101010/", name: "WBS20240102-101010",
              renamed: "/app/Images/2024-01-02/Blot A/" },
            { tag: "name with dots", path: "/app/Images/2024-01-02/Gel.v2.final/", name: "Gel.v2.final",
              renamed: "/app/Images/2024-01-02/Blot A/" },
            { tag: "picture in it", path: "/app/Images/2024-01-02/Gel 1/10-11-12.tif", name: "Gel 1", renamed: "" },
            { tag: "drive letter", path: "C:/Users/lab/Images/2023-12-31/Gel1/", name: "Gel1",
              renamed: "C:/Users/lab/Images/2023-12-31/Blot A/" },
            { tag: "file URL", path: "file:///home/lab/User%20Images/2024-02-29/My%20Gel/", name: "My Gel",
              renamed: "/home/lab/User Images/2024-02-29/Blot A/" },
            { tag: "file-system root", path: "/2024-01-02/Gel1/", name: "Gel1", renamed: "/2024-01-02/Blot A/" },
            { tag: "no day folder", path: "/app/Images/Gel1/", name: "", renamed: "" },
            { tag: "no such day", path: "/app/Images/2023-02-29/Gel1/", name: "", renamed: "" },
            { tag: "day without name", path: "/app/Images/2024-01-02/", name: "", renamed: "" },
            { tag: "empty", path: "", name: "", renamed: "" }
        ];
    }
    function test_experimentFolders(row) {
        compare(LocalFolders.experimentNameOf(row.path), row.name);
        compare(LocalFolders.renamedExperimentFolder(row.path, "Blot A"), row.renamed);
    }
    function test_renamedExperimentFolderKeepsOneFolder() {
        var folder = "/app/Images/2024-01-02/Gel1/";
        compare(LocalFolders.renamedExperimentFolder(folder, "Gel.2"), "/app/Images/2024-01-02/Gel.2/");
        var bad = ["", ".", "..", "a/b"];
        for (var i = 0; i < bad.length; ++i)
            compare(LocalFolders.renamedExperimentFolder(folder, bad[i]), "", bad[i]);
    }

    function test_renameRules() {
        compare(Rename.checkBasic("", "x"), "Name cannot be empty.");
        compare(Rename.checkBasic("plain", "a_Color"), "Color Marker image name must contain '_Color'.");
        compare(Rename.checkBasic("b_Color", "a_Color"), "");
        verify(Rename.imageNameTaken("10-11-12", ["10-11-12.tif", "x.tif"]));
        verify(!Rename.imageNameTaken("10-11", ["10-11-12.tif"]));
        compare(Rename.numberedName("blot", 2), "blot_2.tif");
        compare(Rename.stripForbidden("a<b>c:d\"e/f\\g|h?i*j.k"), "abcdefghijk");
        // Several images: the colour-marker rule holds for each of them, not only the first.
        compare(Rename.checkSeveral("set", ["/e/1.tif", "/e/2_Color.tif"]),
                "Color Marker image name must contain '_Color'.");
        compare(Rename.checkSeveral("set_Color", ["/e/1.tif", "/e/2_Color.tif"]), "");
    }

    function test_pageTypes() {
        compare(Pages.capturePageOf(Pages.WesternBlot), Pages.WesternBlotCapturePage);
        compare(Pages.imagesPageOf(Pages.MultiFluorescence), Pages.MultiFluorescenceImagesPage);
        compare(Pages.kindOf(Pages.GelImagesPage), Pages.Gel);
        compare(Pages.kindOf(Pages.SettingPage), -1);
    }
}
