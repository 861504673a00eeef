import QtQuick 2.15
import QtTest 1.15
import an.qt.MainCtrl 1.0
import an.qt.UserOpts 1.0
import an.qt.EnumOBJ 1.0
import "qrc:/js/Library.js" as Lib

// Files out of the program as the operator meets them: the export dialog's file chooser (the
// proposed name, the filter's suffix, a failing target), the detail view's export, the batch
// export's folder chooser (a row picked, a path typed, a path that does not exist), the image
// folder setting, the report's failure and the audit report's name.
ShellTestCase {
    name: "ExportChoosers"
    property var window: null
    property var stored: null

    function setUpFile() {
        window = makeWindow(true);
        stored = testProbe.addExperiment(EnumOBJ.Mult, Lib.defaultEnd(new Date()), "Flu-choose", 2, 420, 300);
    }
    function tearDownFile() {
        window.destroy();
    }
    function cleanupEach() {
        testProbe.setReportTemplate("");
    }

    function mkdir(path) { testProbe.run("mkdir", ["-p", path]); return path }
    function exists(path) { return testProbe.run("ls", ["-d", path]) === path + "\n" }
    function shot(name) {
        var path = testProbe.screensDir() + "/export_" + name + ".png";
        var root = window.contentItem.parent;
        var saved = null;
        verify(root.grabToImage(function(result) { saved = result.saveToFile(path) }));
        tryVerify(function() { return saved !== null }, 5000);
        verify(saved, path);
    }
    function exportDialog(properties) {
        var component = Qt.createComponent("qrc:/dialogs/ExportDialog.qml");
        verify(component.status === Component.Ready, component.errorString());
        var dialog = component.createObject(window.overlay, properties);
        dialog.open();
        tryCompare(dialog, "opened", true);
        return dialog;
    }
    function chooser() {
        var found = null;
        tryVerify(function() { found = overlayDialog(window, "pathChooser"); return found !== null && found.opened },
                  5000, "the chooser opens");
        return found;
    }
    function chooserGone() {
        tryVerify(function() { return overlayDialog(window, "pathChooser") === null }, 5000, "the chooser closes");
    }
    function row(dialog, name) {
        var found = null;
        tryVerify(function() { found = findChild(dialog.contentItem, "entry_" + name); return found !== null }, 5000,
                  "row " + name);
        return found;
    }
    // Clears the field and types text key by key.
    function typeInto(field, text) {
        click(field);
        field.selectAll();
        keyClick(Qt.Key_Delete);
        for (var i = 0; i < text.length; ++i)
            keyClick(text.charAt(i));
        compare(field.text, text);
    }
    function message() {
        var dialog = null;
        tryVerify(function() { dialog = overlayDialog(window, "customMessageDialog"); return dialog !== null && dialog.opened },
                  5000, "a message");
        return dialog;
    }
    function closeMessage() {
        var dialog = message();
        var text = dialog.bodyText;
        dialog.accept();
        tryVerify(function() { return overlayDialog(window, "customMessageDialog") === null });
        return text;
    }
    function useExportFolder(folder) {
        UserOpts.exportPath = folder;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ExportPath);
    }

    function test_file_filters_data() {
        return [
            { tag: "proposed name, 600 dpi", index: -1, typed: "", file: "img_0.tif", dpi: 600, size: "420x300" },
            { tag: "1200 dpi enlarged, name without suffix", index: 0, typed: "plain", file: "plain.tif", dpi: 1200, size: "840x600" },
            { tag: "300 dpi", index: 2, typed: "three", file: "three.tif", dpi: 300, size: "420x300" },
            { tag: "bmp", index: 3, typed: "pic", file: "pic.bmp", kind: "PC bitmap" },
            { tag: "jpg", index: 4, typed: "pic", file: "pic.jpg", kind: "JPEG image data" },
            { tag: "png with overlay", index: 11, typed: "mark.png", file: "mark.png", kind: "PNG image data" }
        ];
    }
    // "File" opens the chooser on the export folder with the picture's name and "600dpi"; the
    // filter chosen decides format and suffix; the file, the folder kept and the audit rows.
    function test_file_filters(data) {
        MainCtrl.expMode = EnumOBJ.Mult;
        MainCtrl._MultUpdateCurImageName(stored.files[0]);
        var folder = mkdir(testProbe.appDir() + "/exports " + data.file);
        useExportFolder(folder);
        var dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_0", curBinning: "Binning: 1*1",
                                    curExposure: "Exposure: 10", curGain: "Gain: 1" });
        if (data.index === 0)
            shot("dialog");
        click(part(dialog.contentItem, "fileButton"));
        var files = chooser();
        compare(files.folder, folder);
        compare(files.nameText, "img_0.tif");
        compare(part(files.contentItem, "filterBox").currentText, "600dpi (*.tif)");
        var box = part(files.contentItem, "filterBox");
        if (data.index >= 0 && data.index !== 1) {
            click(box);
            tryVerify(function() { return box.popup.opened });
            box.popup.contentItem.positionViewAtIndex(data.index, 0);
            var entry = null;
            tryVerify(function() { entry = box.popup.contentItem.itemAtIndex(data.index); return entry !== null });
            click(entry);
            tryCompare(box, "currentIndex", data.index);
        }
        if (data.typed !== "")
            typeInto(part(files.contentItem, "nameField"), data.typed);
        var mark = auditMark();
        click(part(files.contentItem, "confirmButton"));
        chooserGone();
        tryCompare(dialog, "visible", false);
        var path = folder + "/" + data.file;
        if (data.dpi) {
            verify(testProbe.isTiffAt(path, data.dpi), path + " at " + data.dpi + " dpi");
            compare(testProbe.pictureSize(path), data.size);
        } else {
            verify(testProbe.run("file", ["-b", path]).indexOf(data.kind) === 0, data.kind);
        }
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[1].content, "Image export: " + folder);
        dialog.destroy();
    }

    // A target that cannot be written (a folder stands where the file must go) says so,
    // records the failure, and the dialog stays.
    function test_file_failing_target() {
        MainCtrl.expMode = EnumOBJ.Mult;
        MainCtrl._MultUpdateCurImageName(stored.files[0]);
        var folder = mkdir(testProbe.appDir() + "/locked");
        mkdir(folder + "/img_0.tif");
        useExportFolder(folder);
        var dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_0" });
        click(part(dialog.contentItem, "fileButton"));
        var files = chooser();
        typeInto(part(files.contentItem, "nameField"), "img_0");
        var mark = auditMark();
        click(part(files.contentItem, "confirmButton"));
        compare(closeMessage(), "Export failed: " + folder + "/img_0.tif could not be written.");
        compare(testProbe.run("find", [folder, "-type", "f"]), "");
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[1].content, "Image export failed: " + folder + "/img_0.tif");
        verify(dialog.opened);
        dialog.reject();
        dialog.destroy();
    }

    // The detail view's export writes by the filter chosen and says when it could not.
    function test_detail_export() {
        MainCtrl.expMode = EnumOBJ.Mult;
        window.mainPage.body.slot_ChangePage(8);
        var page = window.mainPage.body.pages[8];
        tryVerify(function() { return page.dateModel.count >= 1 && page.dateModel.get(0).exps.get(0).images.count === 2 });
        page.detailView.openImage(stored.files[1], 0, 0);
        var folder = mkdir(testProbe.appDir() + "/detail exports");
        useExportFolder(folder);
        page.detailView.exportStart();
        var files = chooser();
        compare(files.folder, folder);
        compare(part(files.contentItem, "filterBox").currentText, "600dpi (*.tif)");
        typeInto(part(files.contentItem, "nameField"), "detail");
        click(part(files.contentItem, "confirmButton"));
        compare(closeMessage(), "Export success!");
        verify(testProbe.isTiffAt(folder + "/detail.tif", 600));

        mkdir(folder + "/again.tif");
        page.detailView.exportStart();
        files = chooser();
        typeInto(part(files.contentItem, "nameField"), "again");
        click(part(files.contentItem, "confirmButton"));
        compare(closeMessage(), "Export failed: " + folder + "/again.tif could not be written.");
        page.detailView.close();
    }

    function test_batch_folder_data() {
        return [{ tag: "row picked", typed: false }, { tag: "path typed", typed: true }];
    }
    // The batch export goes to the folder picked in the list or typed, not to the one browsed.
    function test_batch_folder(data) {
        MainCtrl.expMode = EnumOBJ.Mult;
        window.mainPage.body.slot_ChangePage(8);
        var page = window.mainPage.body.pages[8];
        tryVerify(function() { return page.dateModel.count >= 1 && page.dateModel.get(0).exps.get(0).images.count === 2 });
        var base = mkdir(testProbe.appDir() + "/batch " + (data.typed ? "typed" : "picked"));
        var target = mkdir(base + "/Target");
        mkdir(base + "/Other");
        useExportFolder(base);
        page.selectedImageNameList = [stored.files[0], stored.files[1]];
        openFolderChooser(page);
        var folders = chooser();
        compare(folders.folder, base);
        if (data.typed) {
            typeInto(part(folders.contentItem, "pathField"), target);
        } else {
            click(row(folders, "Target"));
            compare(folders.selectedRow >= 0, true);
            shot("batch_chooser");
        }
        var mark = auditMark();
        click(part(folders.contentItem, "confirmButton"));
        chooserGone();
        compare(closeMessage(), "Export success!");
        var experiment = stored.folder.split("/").filter(function(p) { return p !== "" }).pop();
        var name = stored.files[0].substring(stored.files[0].lastIndexOf("/") + 1);
        verify(exists(target + "/" + experiment + "/" + name), "written below the chosen folder");
        verify(!exists(base + "/" + experiment), "nothing in the folder browsed");
        compare(auditSince(mark)[1].content, "Images export: " + target);
        UserOpts.loadUserOptsByName(UserOpts.OPT_ExportPath);
        compare(UserOpts.exportPath, target);
        page.selectedImageNameList = [];
    }
    function openFolderChooser(page) {
        // As "Export" does after the signature: the folder chooser of the page.
        var made = page.makeFolderChooser();
        made.chosen.connect(function(path) { page.exportFolderChosen(path) });
        made.open();
    }

    // A typed folder that does not exist is refused and nothing is chosen; a batch export whose
    // files cannot be written says what failed.
    function test_batch_refusals() {
        MainCtrl.expMode = EnumOBJ.Mult;
        window.mainPage.body.slot_ChangePage(8);
        var page = window.mainPage.body.pages[8];
        tryVerify(function() { return page.dateModel.count >= 1 && page.dateModel.get(0).exps.get(0).images.count === 2 });
        var base = mkdir(testProbe.appDir() + "/batch refusals");
        useExportFolder(base);
        page.selectedImageNameList = [stored.files[0]];
        openFolderChooser(page);
        var folders = chooser();
        typeInto(part(folders.contentItem, "pathField"), base + "/missing");
        click(part(folders.contentItem, "confirmButton"));
        compare(closeMessage(), "The folder does not exist: " + base + "/missing");
        verify(folders.opened);
        // A file stands where the experiment's folder must go.
        var experiment = stored.folder.split("/").filter(function(p) { return p !== "" }).pop();
        testProbe.run("touch", [base + "/" + experiment]);
        typeInto(part(folders.contentItem, "pathField"), base);
        var mark = auditMark();
        click(part(folders.contentItem, "confirmButton"));
        chooserGone();
        var text = closeMessage();
        verify(text.indexOf("Export failed: 1 of 1 images could not be written:") === 0, text);
        verify(text.indexOf(base + "/") > 0, text);
        compare(auditSince(mark)[1].content, "Images export failed: " + base + " (1/1)");
        page.selectedImageNameList = [];
    }

    // The image folder of the device settings: the chooser opens on the stored folder and the
    // subfolder picked becomes the option.
    function test_image_folder_setting() {
        var base = mkdir(testProbe.appDir() + "/pictures");
        mkdir(base + "/Lab");
        UserOpts.imageSavePath = base;
        UserOpts.saveUserOptsByName(UserOpts.OPT_ImageSavePath);
        var settings = findChild(window.mainPage, "DeviceSettingPage");
        verify(settings !== null);
        settings.chooseImageFolder();
        var folders = chooser();
        compare(folders.folder, base);
        click(row(folders, "Lab"));
        click(part(folders.contentItem, "confirmButton"));
        chooserGone();
        // The change is signed for when signatures are on.
        if (overlayDialog(window, "checkLoginDialog") !== null)
            answerSignature(window, true);
        UserOpts.loadUserOptsByName(UserOpts.OPT_ImageSavePath);
        compare(UserOpts.imageSavePath, base + "/Lab");
    }

    // The report with a missing template: its reason is shown, a failure row and no "Doc
    // export" row are written, and the home page stays usable after logging in again.
    function test_report_failure() {
        MainCtrl.expMode = EnumOBJ.Mult;
        MainCtrl._MultUpdateCurImageName(stored.files[0]);
        var missing = testProbe.appDir() + "/no template/export.dotx";
        testProbe.setReportTemplate(missing);
        var folder = mkdir(testProbe.appDir() + "/reports");
        useExportFolder(folder);
        var dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_0", curUserName: "admin" });
        click(part(dialog.contentItem, "documentButton"));
        var files = chooser();
        compare(files.nameText, "img_0.docx");
        var mark = auditMark();
        click(part(files.contentItem, "confirmButton"));
        var shown = message();
        compare(shown.bodyText, "The report was not written.\nThe report template is missing: " + missing);
        shot("report_failure");
        closeMessage();
        var rows = auditSince(mark);
        compare(rows.length, 2);
        compare(rows[1].content, "Doc export failed: " + folder + "/img_0.docx");
        compare(MainCtrl.errorCode, EnumOBJ.NoErr);
        dialog.destroy();

        window.mainPage.sig_Logout();
        logIn(window);
        var home = findChild(window.mainPage, "fluButton");
        verify(home !== null);
        verify(home.enabled, "the experiments stay open");

        // With the template beside the program the same report is written.
        testProbe.setReportTemplate("");
        dialog = exportDialog({ imageSavePath: stored.folder, curImageName: "img_1", curUserName: "admin" });
        click(part(dialog.contentItem, "documentButton"));
        files = chooser();
        mark = auditMark();
        click(part(files.contentItem, "confirmButton"));
        tryVerify(function() { return auditSince(mark).length === 2 }, 10000, "the report is done");
        compare(auditSince(mark)[1].content, "Doc export: " + folder);
        verify(exists(folder + "/img_1.docx"));
        dialog.destroy();
    }

    // The audit report is proposed in the export folder with today's date and ".pdf"; a name
    // typed without it gets it.
    function test_audit_pdf_name() {
        var folder = mkdir(testProbe.appDir() + "/audit out");
        useExportFolder(folder);
        var component = Qt.createComponent("qrc:/dialogs/AuditTrailExport.qml");
        var dialog = component.createObject(window.overlay);
        dialog.updateInfo("", "", "");
        dialog.open();
        tryCompare(dialog, "opened", true);
        click(part(dialog.contentItem, "exportButton"));
        var files = chooser();
        compare(files.folder, folder);
        compare(files.nameText, dialog.today() + ".pdf");
        typeInto(part(files.contentItem, "nameField"), "trail");
        click(part(files.contentItem, "confirmButton"));
        compare(closeMessage(), "Exoport success!");
        verify(testProbe.run("pdfinfo", [folder + "/trail.pdf"]).indexOf("Pages:") >= 0);
        dialog.destroy();
    }
}
