.pragma library
.import "Popups.js" as Popups
// The electronic-signature gate: showCheckLogin(callback, rejectedCallback). With the signature
// option off, or nobody logged in, the action runs at once; otherwise after the logged-in user
// has typed the password again (checked against the stored record, so a changed password
// counts at once).

function showCheckLogin(callback, rejectedCallback) {
    var component = Qt.createComponent("../dialogs/CheckLoginDialog.qml");
    if (component.status !== 1 /* Component.Ready */) {
        console.log("signature dialog not available:", component.errorString());
        return;
    }
    var dialog = component.createObject(Popups.host());
    if (!dialog)
        return;
    if (!dialog.isSignature || dialog.username === "") {
        dialog.destroy();
        callback();
        return;
    }
    dialog.closed.connect(function checkdialogClosed() { dialog.destroy() });
    dialog.accepted.connect(callback);
    if (rejectedCallback) {
        console.log("connect reject");
        dialog.rejected.connect(rejectedCallback);
    }
    dialog.open();
}
