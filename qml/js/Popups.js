.pragma library
// Message dialogs are made when needed on the window's overlay and destroyed when they close.

// Returns the dialog, or null when its component cannot be made (the guarded action then does
// not run).
function message(overlay, icon, title, text, cancelVisible, height) {
    var component = Qt.createComponent("../dialogs/CustomMessageDialog.qml");
    if (component.status !== 1 /* Component.Ready */) {
        console.log("message dialog not available:", component.errorString());
        return null;
    }
    var dialog = component.createObject(overlay, { cancelVisible: cancelVisible === true });
    if (!dialog)
        return null;
    dialog.setSource(icon, title, text);
    if (height !== undefined)
        dialog.setHeight(height);
    dialog.closed.connect(function() { dialog.destroy(); });
    dialog.open();
    return dialog;
}
