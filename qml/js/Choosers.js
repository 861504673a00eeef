.pragma library
// The in-window folder and file choosers (dialogs/PathChooser.qml), made when needed and
// destroyed when they close.

// A chooser on overlay with the given properties (selectFolder, nameFilters,
// selectedFilterIndex, folder, fileName), not yet open; null when it cannot be made.
function make(overlay, properties) {
    var component = Qt.createComponent("../dialogs/PathChooser.qml");
    if (component.status !== 1 /* Component.Ready */) {
        console.log("chooser not available:", component.errorString());
        return null;
    }
    return component.createObject(overlay, properties || {});
}

// Opens chooser; onChosen(path, filterIndex) gets the local path chosen.
function open(chooser, onChosen) {
    if (!chooser)
        return null;
    chooser.chosen.connect(onChosen);
    chooser.open();
    return chooser;
}
