import QtQuick 2.15
import QtQuick.Controls 2.15
import QtTest 1.15
import an.qt.UserOpts 1.0
import "qrc:/dialogs"
import "qrc:/components"
import "qrc:/js/ATDatabase.js" as ATJS

// The common dialogs and the controls that carry behaviour.
Item {
    id: host
    width: 1100
    height: 800

    Component { id: messageComponent; CustomMessageDialog {} }
    Component { id: loadingComponent; LoadingDialog {} }
    Component { id: progressComponent; CaptureProgressDialog {} }
    Component { id: exportComponent; ExportProcessDialog {} }
    Component { id: renameComponent; RenameDialog {} }
    Component { id: pathComponent; CaptureImagePathSettingDialog {} }
    Component { id: chooserComponent; ScreenChoose { width: 400; height: 300 } }
    Component { id: comboComponent; SettingComboBox {} }
    Component { id: roundComponent; RoundMouseArea { width: 100; height: 100 } }
    Component { id: spyComponent; SignalSpy {} }

    ShellTestCase {
        name: "Dialogs"
        when: windowShown

        function args(signalSpy, i) { return Array.prototype.slice.call(signalSpy.signalArguments[i]) }

        function spy(target, signalName) {
            return createTemporaryObject(spyComponent, host, { target: target, signalName: signalName });
        }
        function opened(component, properties) {
            var dialog = createTemporaryObject(component, host, properties || {});
            verify(dialog !== null);
            dialog.open();
            tryCompare(dialog, "opened", true);
            return dialog;
        }

        function test_messageDialogButtons_data() {
            return [
                { tag: "question", cancelVisible: true, yes: true, no: true, ok: false },
                { tag: "message", cancelVisible: false, yes: false, no: false, ok: true }
            ];
        }
        function test_messageDialogButtons(row) {
            var dialog = opened(messageComponent, { cancelVisible: row.cancelVisible });
            dialog.setSource("qrc:/Image/warning.png", "Warning", "A long body text that wraps at words when it is wider than the dialog can show on one line.");
            compare(findChild(dialog.contentItem, "yesButton").visible, row.yes);
            compare(findChild(dialog.contentItem, "noButton").visible, row.no);
            compare(findChild(dialog.contentItem, "okButton").visible, row.ok);
            var text = findChild(dialog.contentItem, "messageText");
            verify(text.lineCount > 1);
            var accepted = spy(dialog, "accepted");
            var rejected = spy(dialog, "rejected");
            click(findChild(dialog.contentItem, row.cancelVisible ? "noButton" : "okButton"));
            compare(accepted.count, row.cancelVisible ? 0 : 1);
            compare(rejected.count, row.cancelVisible ? 1 : 0);
            tryCompare(dialog, "visible", false);
        }

        function test_loadingDialogCancel_data() {
            return [
                { tag: "auto exposure", text: "Auto Exposuring...", cancel: true },
                { tag: "auto exposure, Chinese", text: "自动曝光中...", cancel: true },
                { tag: "cooling", text: "Camera Cooling...", cancel: true },
                { tag: "focusing", text: "Auto Focusing...", cancel: true },
                { tag: "initialising", text: "System Initializing...", cancel: false },
                { tag: "camera setting", text: "Camera Setting...", cancel: false }
            ];
        }
        function test_loadingDialogCancel(row) {
            var dialog = opened(loadingComponent, { text: row.text });
            var button = findChild(dialog.contentItem, "cancelButton");
            compare(button.visible, row.cancel);
            var closedByUser = spy(dialog, "dialogClosedSignal");
            var aeStart = spy(dialog, "aeStartSignal");
            if (row.cancel) {
                click(button);
                verify(!button.enabled);
                compare(dialog.text, "Cancelling...");
                compare(closedByUser.count, 1);
                // Still open: the owner closes it when the operation has stopped.
                verify(dialog.visible);
            }
            dialog.close();
            tryCompare(aeStart, "count", 1);
        }

        function test_captureProgress() {
            var dialog = opened(progressComponent, { totalTime: 65000 });
            compare(dialog.remainingText, "01:05:000");
            tryCompare(dialog, "remainingText", "01:04:900", 3000);
            verify(dialog.value >= 100);
            var cancel = spy(dialog, "cancelCapture");
            var button = findChild(dialog.contentItem, "cancelButton");
            click(button);
            compare(cancel.count, 1);
            verify(!button.enabled);
            verify(dialog.visible);
            dialog.close();
        }

        function test_captureProgressStopsAtTotal() {
            var dialog = opened(progressComponent, { totalTime: 200 });
            tryCompare(dialog, "remainingText", "00:00:000", 3000);
            compare(dialog.value, 200);
            wait(50);
            compare(dialog.value, 200);
            dialog.close();
        }

        function test_exportProgress() {
            var dialog = opened(exportComponent, { totalExport: 5 });
            var accepted = spy(dialog, "accepted");
            dialog.updateValue(2, 5);
            compare(dialog.counterText, "3/5");
            verify(dialog.visible);
            dialog.updateValue(4, 5);
            compare(dialog.counterText, "5/5");
            compare(accepted.count, 1);
            tryCompare(dialog, "visible", false);

            var other = opened(exportComponent, { totalExport: 3 });
            var rejected = spy(other, "rejected");
            click(findChild(other.contentItem, "cancelButton"));
            compare(rejected.count, 1);
        }

        function rename(properties, name) {
            var dialog = opened(renameComponent, properties);
            var field = findChild(dialog.contentItem, "nameField");
            field.text = name;
            click(findChild(dialog.contentItem, "saveButton"));
            return dialog;
        }

        function test_renameExperiment_data() {
            var folders = ["/app/Images/2024-01-01/WBS20240101-101010/", "/app/Images/2023-05-06/Gel Night/",
                           "/app/Images/2024-02-02/Mult1/"];
            return [
                { tag: "another kind and day", name: "Gel Night", folders: folders, error: "Name already exists.", emitted: 0 },
                { tag: "new", name: "  Blot A ", folders: folders, error: "", emitted: 1, newName: "Blot A" },
                { tag: "part of a taken name", name: "Gel", folders: folders, error: "", emitted: 1, newName: "Gel" },
                { tag: "unchanged", name: "Mine", folders: folders, error: "", emitted: 0 },
                { tag: "empty", name: "   ", folders: folders, error: "Name cannot be empty.", emitted: 0 }
            ];
        }
        function test_renameExperiment(row) {
            var dialog = createTemporaryObject(renameComponent, host, { renameType: 0, originName: "Mine",
                                                                          mImageSavePath: "/app/Images/2024-03-03/Mine/" });
            dialog.imageSavePathList = row.folders;
            var updated = spy(dialog, "updateNewName");
            dialog.open();
            tryCompare(dialog, "opened", true);
            findChild(dialog.contentItem, "nameField").text = row.name;
            click(findChild(dialog.contentItem, "saveButton"));
            compare(dialog.errorText === "" ? "" : dialog.errorText, row.error === "" ? (dialog.visible ? dialog.errorText : "") : row.error);
            compare(updated.count, row.emitted);
            if (row.emitted)
                compare(args(updated, 0), [row.newName, "/app/Images/2024-03-03/Mine/"]);
            compare(dialog.visible, row.error !== "");
        }

        function test_renameFieldRefusesCharacters() {
            var dialog = opened(renameComponent, { renameType: 1, originName: "10-11-12" });
            var field = findChild(dialog.contentItem, "nameField");
            tryCompare(field, "selectedText", "10-11-12");
            field.text = "";
            field.forceActiveFocus();
            keyClick(Qt.Key_A);
            keyClick(Qt.Key_Period);
            keyClick(Qt.Key_Slash);
            keyClick(Qt.Key_Asterisk);
            keyClick(Qt.Key_B);
            compare(field.text, "ab");
        }

        function test_renameOneImage() {
            var names = { "/e/": ["10-11-12.tif", "taken.tif"] };
            var properties = { renameType: 1, originName: "10-11-12", mImageSavePath: "/e/",
                               listImageNames: function(folder) { return names[folder] || [] } };
            var dialog = rename(properties, "taken");
            compare(dialog.errorText, "Name already exists.");
            verify(dialog.visible);
            var updated = spy(dialog, "updateNewName");
            findChild(dialog.contentItem, "nameField").text = "fresh";
            verify(!findChild(dialog.contentItem, "errorText").visible);
            click(findChild(dialog.contentItem, "saveButton"));
            compare(args(updated, 0), ["fresh.tif", "/e/"]);

            var marker = rename({ renameType: 1, originName: "10-11-12_Color", mImageSavePath: "/e/",
                                  listImageNames: properties.listImageNames }, "plain");
            compare(marker.errorText, "Color Marker image name must contain '_Color'.");
        }

        function test_renameSeveralImages() {
            var selected = ["/e/a.tif", "/f/b.tif", "/e/c.tif"];
            var names = { "/e/": ["a.tif", "c.tif"], "/f/": ["b.tif"] };
            var list = function(folder) { return names[folder] || [] };
            var dialog = createTemporaryObject(renameComponent, host, { renameType: 2, selectedImageNameList: selected,
                                                                          listImageNames: list });
            var each = spy(dialog, "multiUpdateNewName");
            var finished = spy(dialog, "multiupdateFinished");
            dialog.open();
            findChild(dialog.contentItem, "nameField").text = "set";
            click(findChild(dialog.contentItem, "saveButton"));
            compare(each.count, 3);
            compare(args(each, 0), ["a.tif", "set_0.tif", "/e/"]);
            compare(args(each, 1), ["b.tif", "set_1.tif", "/f/"]);
            compare(args(each, 2), ["c.tif", "set_2.tif", "/e/"]);
            compare(finished.count, 1);

            // The second image's folder already holds set_1: nothing is renamed.
            names["/f/"] = ["b.tif", "set_1.tif"];
            var again = createTemporaryObject(renameComponent, host, { renameType: 2, selectedImageNameList: selected,
                                                                         listImageNames: list });
            var none = spy(again, "multiUpdateNewName");
            again.open();
            findChild(again.contentItem, "nameField").text = "set";
            click(findChild(again.contentItem, "saveButton"));
            compare(again.errorText, "Name already exists.");
            compare(none.count, 0);

            // A colour-marker image among them keeps "_Color" in its name.
            var marker = createTemporaryObject(renameComponent, host, { renameType: 2, listImageNames: list,
                                                                          selectedImageNameList: ["/e/a.tif", "/e/m_Color.tif"] });
            var noMarker = spy(marker, "multiUpdateNewName");
            marker.open();
            findChild(marker.contentItem, "nameField").text = "set";
            click(findChild(marker.contentItem, "saveButton"));
            compare(marker.errorText, "Color Marker image name must contain '_Color'.");
            compare(noMarker.count, 0);
        }

        function test_imagePathDialog() {
            UserOpts.lastLoginUser = "admin";
            UserOpts.imageSavePath = "/data/old";
            UserOpts.saveUserOptsByName(UserOpts.OPT_ImageSavePath);
            var dialog = opened(pathComponent);
            compare(dialog.shownPath, "/data/old");
            var before = auditMark();
            // Unchanged: nothing stored or recorded.
            click(findChild(dialog.contentItem, "okButton"));
            tryCompare(dialog, "visible", false);
            compare(auditMark(), before);

            dialog.open();
            dialog.folderChosen("file:///data/new%20images");
            compare(dialog.shownPath, "/data/new images");
            click(findChild(dialog.contentItem, "okButton"));
            compare(testProbe.iniValue("Ini/userOption.ini", "UserOption/imageSavePath"), "/data/new images");
            var rows = auditSince(before);
            compare(rows.map(function(r) { return r.module + " " + r.content }),
                    ["设置 修改图片路径: /data/new images", "Setting Modify the image path: /data/new images"]);
        }

        function test_regionSelector() {
            var chooser = createTemporaryObject(chooserComponent, host, { m_MScale: 2 });
            var roi = spy(chooser, "sigRoiSetting");
            var closed = spy(chooser, "sigClose");
            var actions = findChild(chooser, "selectionActions");
            // 10 x 40 is too small to confirm.
            mouseDrag(chooser, 20, 20, 10, 40);
            compare(chooser.selection.width, 10);
            verify(!actions.visible);
            // Dragged up and left from the start.
            mouseDrag(chooser, 200, 150, -101, -61);
            compare([chooser.selection.x, chooser.selection.y, chooser.selection.width, chooser.selection.height], [99, 89, 101, 61]);
            verify(actions.visible);
            // Dragging inside moves the rectangle, kept within the selector.
            mousePress(chooser, 150, 120);
            mouseMove(chooser, 500, 120);
            mouseRelease(chooser, 500, 120);
            compare(chooser.selection.x, 400 - 101);
            compare(chooser.selection.width, 101);
            // No room below: the buttons sit inside the bottom edge.
            mouseDrag(chooser, 10, 200, 200, 99);
            verify(actions.y + actions.height <= chooser.height);
            click(findChild(chooser, "confirmButton"));
            compare(roi.count, 1);
            compare(args(roi, 0), [5, 100, 100, 50]);
            verify(!chooser.visible);
            chooser.visible = true;
            click(findChild(chooser, "cancelButton"));
            compare(closed.count, 1);
            // Without a scale nothing is reported (and an error is logged).
            chooser.m_MScale = 0;
            testProbe.expectWarning("no image scale");
            click(findChild(chooser, "confirmButton"));
            compare(roi.count, 1);
        }

        function test_settingComboHidesUnfitted() {
            var combo = createTemporaryObject(comboComponent, host, { mEffectiveModels: ["NoFilter", "590nm"] });
            click(combo);
            tryCompare(combo.popup, "opened", true);
            settle(combo.popup.contentItem);
            var list = combo.popup.contentItem;
            var shown = 0;
            for (var i = 0; i < combo.count; ++i)
                if (list.itemAtIndex(i) && list.itemAtIndex(i).visible)
                    ++shown;
            compare(shown, 2);
            click(list.itemAtIndex(2));
            compare(combo.currentIndex, 2);
            compare(combo.currentText, "590nm");
            tryCompare(combo.popup, "visible", false);
            // The keyboard steps over the hidden entries too.
            combo.currentIndex = 0;
            combo.forceActiveFocus();
            keyClick(Qt.Key_Down);
            compare(combo.currentIndex, 2);
            keyClick(Qt.Key_Down);
            compare(combo.currentIndex, 2);
            keyClick(Qt.Key_End);
            compare(combo.currentIndex, 2);
            keyClick(Qt.Key_Up);
            compare(combo.currentIndex, 0);
            keyClick(Qt.Key_7);
            compare(combo.currentIndex, 0);
        }

        function test_roundHitArea() {
            var area = createTemporaryObject(roundComponent, host);
            var clicks = spy(area, "clicked");
            click(area, 50, 50);
            click(area, 50, 50, Qt.RightButton);
            compare(clicks.count, 2);
            click(area, 5, 5);
            compare(clicks.count, 2);
            click(area, 50, 2);
            compare(clicks.count, 3);
        }
    }
}
