import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/Library.js" as Lib

// The export dialog of the capture pages, the detail view's export of a stored picture and the
// hand-off to the image-analysis program: the files written, the folder remembered, the audit
// rows and the program's command line.
ShellTestCase {
    name: "Export"
    property var window: null
    property var stored: null

    SignalSpy { id: finishedSpy; signalName: "exportFinished" }
    SignalSpy { id: reportSpy; target: MainCtrl; signalName: "exportFinished" }

    function setUpFile() {
        window = makeWindow(true);
        stored = testProbe.addExperiment(EnumOBJ.Mult, Lib.defaultEnd(new Date()), "Flu-export", 2, 420, 300);
    }
    function tearDownFile() {
        window.destroy();
    }
    function exportDialog(properties) {
        var component = Qt.createComponent("qrc:/dialogs/ExportDialog.qml");
        verify(component.status === Component.Ready, component.errorString());
        var dialog = component.createObject(window.overlay, properties);
        verify(dialog !== null);
        dialog.open();
        tryCompare(dialog, "opened", true);
        return dialog;
    }
    function url(path) { return "file://" + encodeURI(path) }
    function exists(path) { return testProbe.run("ls", [path]) === path + "\n" }

    function test_file_data() {
        return [
            { tag: "png of the 8-bit path", name: "flu one.png", index: 1, kind: "PNG image data" },
            { tag: "tiff with overlay", name: "flu two.tif", index: 7, kind: "TIFF image data" },
            { tag: "bmp with overlay", name: "flu three.bmp", index: 9, kind: "PC bitmap" }
        ];
    }
    // "File": the picture of the mode's capture page in the filter's format, the folder kept as
    // the export folder, two audit rows, exportFinished.
    function test_file(row) {
        MainCtrl.expMode = EnumOBJ.Mult;
        MainCtrl._MultUpdateCurImageName(stored.files[0]);
        var folder = testProbe.appDir() + "/chosen exports";
        testProbe.run("mkdir", ["-p", folder]);
        var dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_0", curBinning: "Binning: 2*2",
                                    curExposure: "Exposure: 10", curGain: "Gain: 1" });
        finishedSpy.target = dialog;
        finishedSpy.clear();
        var mark = auditMark();
        dialog.fileChosen(url(folder + "/" + row.name), row.index);
        compare(finishedSpy.count, 1);
        tryCompare(dialog, "visible", false);
        verify(testProbe.run("file", ["-b", folder + "/" + row.name]).indexOf(row.kind) === 0, row.kind);
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        compare(UserOpts.exportPath, folder);
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[0].content, "图片导出: " + folder);
        compare(rows[1].content, "Image export: " + folder);
        dialog.destroy();
        // The next dialog opens on the folder used last.
        var next = exportDialog({ imageSavePath: stored.folder, curImageName: "img_1" });
        compare(next.folder, folder);
        compare(next.proposedFile(), url(folder + "/img_1"));
        next.close();
        next.destroy();
    }

    // The file dialogs behind the buttons: their filters and the one chosen at first.
    function test_choosers() {
        var dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_0" });
        var files = dialog.makeChooser(false);
        compare(files.nameFilters.length, 12);
        compare(files.nameFilters[6], "1200dpi (*.tif)-加水印");
        compare(files.selectedFilterIndex, 1);
        files.destroy();
        var documents = dialog.makeChooser(true);
        compare(documents.nameFilters, ["*.docx"]);
        compare(documents.selectedFilterIndex, 0);
        documents.destroy();
        dialog.close();
        dialog.destroy();
        var page = window.mainPage.body.pages[8];
        var detailChooser = page.detailView.makeChooser();
        compare(detailChooser.nameFilters, ["600dpi (*.tif)", "300dpi (*.tif)", "*.bmp", "*.jpg", "*.png"]);
        detailChooser.destroy();
        var folderChooser = page.makeFolderChooser();
        verify(folderChooser !== null);
        folderChooser.destroy();
    }

    // "Document": the report goes to the report export with the user and pseudo-colour picture,
    // and the folder is kept.
    function test_document() {
        MainCtrl.expMode = EnumOBJ.Mult;
        var folder = testProbe.appDir() + "/reports";
        var dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_0", curUserName: "admin" });
        var mark = auditMark();
        testProbe.run("mkdir", ["-p", folder]);
        MainCtrl.errorCode = EnumOBJ.NoErr;
        MainCtrl._MultUpdateCurImageName(stored.files[0]);
        reportSpy.clear();
        dialog.documentChosen(url(folder + "/report.docx"));
        tryCompare(dialog, "visible", false);
        // The report is a document package: the user in its bookmark, the picture embedded, and
        // the picture made for it gone again.
        tryCompare(reportSpy, "count", 1, 10000);
        compare(MainCtrl.errorCode, EnumOBJ.NoErr);
        verify(testProbe.run("unzip", ["-p", folder + "/report.docx", "word/document.xml"]).indexOf(">admin<") > 0);
        verify(testProbe.run("unzip", ["-l", folder + "/report.docx"]).indexOf("word/media/picture1.png") > 0);
        compare(testProbe.run("find", [testProbe.appDir(), "-maxdepth", "1", "-name", "*_ForWPS.tif"]), "");
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        compare(UserOpts.exportPath, folder);
        var rows = auditSince(mark);
        compare(rows[0].content, "文件导出: " + folder);
        compare(rows[1].content, "Doc export: " + folder);
        dialog.destroy();
    }

    // The detail view exports the shown picture by the library's five filters.
    function test_detail_export() {
        MainCtrl.expMode = EnumOBJ.Mult;
        window.mainPage.body.slot_ChangePage(8);
        var page = window.mainPage.body.pages[8];
        tryVerify(function() { return page.dateModel.count === 1 && page.dateModel.get(0).exps.get(0).images.count === 2 });
        page.detailView.openImage(stored.files[1], 0, 0);
        var target = testProbe.appDir() + "/detail out.bmp";
        var mark = auditMark();
        verify(page.detailView.exportChosen(url(target), 2));
        verify(testProbe.run("file", ["-b", target]).indexOf("PC bitmap") === 0);
        var message = null;
        tryVerify(function() { message = overlayDialog(window, "customMessageDialog"); return message !== null && message.opened });
        compare(message.bodyText, "Export success!");
        message.accept();
        compare(auditSince(mark)[1].content, "Images export: " + target);
        page.detailView.close();
    }

    // The image-analysis program of the application folder gets the picture, the kind flag
    // and "1": from a capture page the current picture exported beside it, from a library page
    // the stored file.
    function test_analysis_handoff() {
        var args = testProbe.appDir() + "/args.txt";
        var program = testProbe.appDir() + "/Veldrin_boxed";
        // A stand-in that writes its arguments, one a line.
        testProbe.run("sh", ["-c", "printf \"%s\\n\" \"$1\" \"$2\" > \"$0\" && chmod +x \"$0\"", program, "#!/bin/sh",
                             "printf '%s\\n' \"$@\" > '" + args + ".tmp' && mv '" + args + ".tmp' '" + args + "'"]);
        MainCtrl.expMode = EnumOBJ.Mult;
        MainCtrl._MultUpdateCurImageName(stored.files[0]);
        MainCtrl.imageEdit("/elsewhere/handed.tif");
        var target = testProbe.appDir() + "/handed.tif";
        tryVerify(function() { return exists(args) }, 5000, "the program ran");
        compare(testProbe.run("cat", [args]), target + "\n1\n1\n");
        verify(testProbe.run("file", ["-b", target]).indexOf("TIFF image data") === 0);
        testProbe.run("rm", [args]);

        window.mainPage.body.slot_ChangePage(8);
        var page = window.mainPage.body.pages[8];
        tryVerify(function() { return page.dateModel.count === 1 && page.dateModel.get(0).exps.get(0).images.count === 2 });
        page.toggleThumb(0, 0, 1);
        click(part(page, "editButton"));
        tryVerify(function() { return exists(args) }, 5000, "the program ran");
        compare(testProbe.run("cat", [args]), stored.files[1] + "\n1\n1\n");
        testProbe.run("rm", [args, program]);
        // Without the program the operator is told so.
        click(part(page, "editButton"));
        var missing = null;
        tryVerify(function() { missing = overlayDialog(window, "customMessageDialog"); return missing !== null && missing.opened });
        compare(missing.bodyText, "The image-analysis program is missing or could not be started.");
        missing.accept();
    }
}
