import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import "qrc:/js/FormulaDB.js" as FLJS
import "qrc:/js/WesternBlot.js" as WB

// Multiple captures by exposure programme on the virtual cabinet: what the programme writes
// for the capture threads, the captured images, and the manual plan coming back.
WBPageCase {
    id: test
    name: "WBMulti"

    function setUpFile() {
        FLJS.dbInit();
        testProbe.sqlite("FormulaDB", "delete from formulaTable");
        FLJS.dbInsert("accumulated", 3, true, "1000,3000,6000");
        FLJS.dbInsert("steps", 2, false, "300,600");
        UserOpts.markerCapture = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        setUpPage();
    }
    function tearDownFile() { tearDownPage() }
    function ini(key) { return testProbe.iniValue("Ini/userOption.ini", "UserOption/" + key) }
    function chooseProgramme(name) {
        if (page.singleCaptureVisible)
            click(part(page, "multiButton"));
        if (!page.isProcess)
            click(part(page, "programButton"));
        for (var i = 0; i < page.mode.programmes.count; ++i)
            if (page.mode.programmes.get(i).name === name)
                page.mode.chooseProgramme(i);
    }

    function test_programmeCapture_data() {
        return [
            { tag: "accumulated totals become increments", name: "accumulated", times: "1000,2000,3000", accumulate: true,
              count: 3, shown: "Exposure time(s): 1s,3s,6s", total: 2100 + 3100 + 4100 },
            { tag: "plain exposures as stored", name: "steps", times: "300,600", accumulate: false, count: 2,
              shown: "Exposure time(s): 0.300s,0.600s", total: 1400 + 1700 }
        ];
    }
    function test_programmeCapture(row) {
        setManual(4, 100, 100, false);
        UserOpts.multiCapExpTimes = "111,222";
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimes);
        chooseProgramme(row.name);
        compare(part(page, "programmeTimes").text, row.shown);
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 }, 10000);
        compare(UserOpts.multiCapExpTimesChanged, true);
        compare(UserOpts.multiCapExpTimes, row.times);
        compare(UserOpts.integralAccumulate, row.accumulate);
        compare(UserOpts.multiCapCount, row.count);
        compare(ini("multiCapExpTimes"), row.times);
        compare(page.progressDialog.totalTime, row.total);
        tryVerify(function() { return page.captureFinished }, 30000);
        compare(page.imageModel.count, row.count);
        for (var i = 0; i < page.imageModel.count; ++i)
            verify(fileExists(page.imageModel.get(i).path));
        click(part(page, "backButton"));
        settlePreview();
        // Back to the manual plan: count, accumulation and exposure list as before.
        click(part(page, "manualButton"));
        compare(UserOpts.multiCapExpTimesChanged, false);
        compare(UserOpts.multiCapCount, 4);
        compare(UserOpts.integralAccumulate, false);
        compare(ini("multiCapCount"), "4");
        compare(ini("multiCapExpTimesChanged"), "false");
        compare(ini("multiCapExpTimes"), "111,222");
    }

    function test_programmeNeededToCapture() {
        chooseProgramme("");
        page.mode.chooseProgramme(-1);
        started.clear();
        capture();
        compare(warningText(), "Please select one program!");
        wait(100);
        compare(started.count, 0);
        click(part(page, "manualButton"));
    }

    // A programme's flag left in the settings (the page was left in programme mode, the
    // program ended) must not make a manual capture take the programme's exposures.
    function test_manualCaptureIgnoresAStaleProgramme() {
        setManual(2, 200, 100, false);
        UserOpts.multiCapExpTimesChanged = true;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimesChanged);
        UserOpts.multiCapExpTimes = "5000,5000,5000";
        UserOpts.saveUserOptsByName(UserOpts.OPT_MultiCapExpTimes);
        started.clear();
        capture();
        tryVerify(function() { return started.count > 0 }, 10000);
        compare(ini("multiCapExpTimesChanged"), "false");
        // The manual plan's two frames (no marker frame), not the programme's three.
        compare(page.progressDialog.totalTime, 1300 + 1400);
        tryVerify(function() { return page.captureFinished }, 30000);
        compare(page.imageModel.count, 2);
        compare([page.imageModel.get(0).exposure, page.imageModel.get(1).exposure], [200, 300]);
    }

    function test_leavingInProgrammeModeRestoresTheManualPlan() {
        setManual(5, 100, 100, true);
        chooseProgramme("steps");
        page.mode.applyProgramme();
        compare(UserOpts.multiCapCount, 2);
        leave();
        compare(ini("multiCapExpTimesChanged"), "false");
        compare(ini("multiCapCount"), "5");
        compare(ini("integralAccumulate"), "true");
        verify(!page.isProcess);
    }
}
