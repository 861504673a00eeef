.pragma library
// Name rules of the rename dialog. Each check returns "" when the name is acceptable, otherwise
// the message to show (an English source text, translated by the dialog).

var forbidden = /[<>:"\/\\|?*.]/g;

// The typed text without the characters a file or folder name cannot hold here.
function stripForbidden(text) { return String(text).replace(forbidden, "") }

function checkBasic(name, originName) {
    if (name.length === 0)
        return QT_TRANSLATE_NOOP("RenameDialog", "Name cannot be empty.");
    if (String(originName).indexOf("_Color") >= 0 && name.indexOf("_Color") < 0)
        return QT_TRANSLATE_NOOP("RenameDialog", "Color Marker image name must contain '_Color'.");
    return "";
}

function imageNameTaken(name, fileNames) {
    for (var i = 0; i < fileNames.length; ++i)
        if (String(fileNames[i]).replace(".tif", "") === name)
            return true;
    return false;
}

function fileNameOf(path) {
    var text = String(path);
    return text.substring(text.lastIndexOf("/") + 1);
}
function folderOf(path) {
    var text = String(path);
    return text.substring(0, text.lastIndexOf("/") + 1);
}

// New names of several images: name_0.tif, name_1.tif, … in list order.
function numberedName(name, position) { return name + "_" + position + ".tif" }

// The colour-marker rule for every selected image: a colour-marker image keeps "_Color".
function checkSeveral(name, selectedPaths) {
    for (var i = 0; i < selectedPaths.length; ++i) {
        var message = checkBasic(name, fileNameOf(selectedPaths[i]));
        if (message !== "")
            return message;
    }
    return "";
}
