.pragma library
// Folder and file dialogs hand back URLs; the options and the controller keep local paths.

// "file:///home/a%20b" -> "/home/a b"; "file:///C:/x" -> "C:/x"; a text that is no file URL is
// returned unchanged.
function urlToLocalPath(url) {
    var text = String(url);
    if (text.indexOf("file:") !== 0)
        return text;
    var rest = text.substring(5);
    if (rest.indexOf("//") === 0) {
        rest = rest.substring(2);
        var slash = rest.indexOf("/");
        var host = slash < 0 ? rest : rest.substring(0, slash);
        rest = slash < 0 ? "/" : rest.substring(slash);
        if (host !== "" && host !== "localhost")
            rest = "//" + host + rest;
    }
    // A drive letter follows the slash on Windows ("/C:/x").
    if (/^\/[A-Za-z]:/.test(rest))
        rest = rest.substring(1);
    return decodeURIComponent(rest);
}

// The default image folder below the desktop folder (a URL or a path).
function defaultImageFolder(desktop) {
    var path = urlToLocalPath(desktop);
    while (path.length > 1 && path.charAt(path.length - 1) === "/")
        path = path.substring(0, path.length - 1);
    return path + "/UserImages";
}

// The URL of a local path, for a dialog's starting folder.
function localPathToUrl(path) {
    var text = String(path);
    var encoded = encodeURI(text.charAt(0) === "/" ? text : "/" + text);
    return "file://" + encoded.replace(/#/g, "%23").replace(/\?/g, "%3F");
}
