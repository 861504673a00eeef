.pragma library
// The 35 rights of a role, in the order of the positions of its rights string ("1,0,1,…"):
// the flag of AuthorityComponent, the group heading and the label of the role editor.

var list = [
    { name: "authGelCapture", group: "Image Capture", label: "Gel Capture" },
    { name: "authWBCapture", group: "Image Capture", label: "WB Capture" },
    { name: "authFluCapture", group: "Image Capture", label: "Flu Capture" },
    { name: "authImageView", group: "Image Management", label: "Image View" },
    { name: "authRenameExperiment", group: "Image Management", label: "Rename Experiment" },
    { name: "authImageDetail", group: "Image Management", label: "Image Detail" },
    { name: "authImageEdit", group: "Image Management", label: "Image Edit" },
    { name: "authImageExport", group: "Image Management", label: "Image Export" },
    { name: "authImageDelete", group: "Image Management", label: "Image Delete" },
    { name: "authAuditTrail", group: "Audit Trail", label: "Audit Trail View" },
    { name: "authLanguage", group: "Device Setting", label: "Language" },
    { name: "authImageSavePath", group: "Device Setting", label: "Image Save Path" },
    { name: "authImageClean", group: "Device Setting", label: "Image Clean" },
    { name: "authLightAutoShutdown", group: "Device Setting", label: "Light Auto Shutdown" },
    { name: "authAutoCaptureOnClose", group: "Device Setting", label: "Auto Capture On Close" },
    { name: "authElectornicSignature", group: "Device Setting", label: "Electornic Signature" },
    { name: "authAfOffset", group: "Device Setting", label: "Af Offset" },
    { name: "authAutoKeyboard", group: "Device Setting", label: "Auto Keyboard" },
    { name: "authDocumentTitleSave", group: "Document Title", label: "Document Title Save" },
    { name: "authUserNew", group: "User Manage", label: "New" },
    { name: "authUserEdit", group: "User Manage", label: "Edit" },
    { name: "authUserDelete", group: "User Manage", label: "Delete" },
    { name: "authRoleNew", group: "Authority Manage", label: "New" },
    { name: "authRoleEdit", group: "Authority Manage", label: "Edit" },
    { name: "authRoleDelete", group: "Authority Manage", label: "Delete" },
    { name: "authUserAuthority", group: "User Manage", label: "Assign Authority " },
    { name: "authAuditTrailExport", group: "Audit Trail", label: "Audit Trail Export" },
    { name: "authExportWatermark", group: "Device Setting", label: "Epxort Watermark" },
    { name: "authImageRename", group: "Image Management", label: "Image Rename" },
    { name: "authColorMarkerVisible", group: "Device Setting", label: "Color Marker" },
    { name: "authBeautifyPictures", group: "Device Setting", label: "Beautify Pictures" },
    { name: "authGroupView", group: "Group Manage", label: "View" },
    { name: "authGroupNew", group: "Group Manage", label: "New" },
    { name: "authGroupEdit", group: "Group Manage", label: "Edit" },
    { name: "authGroupDelete", group: "Group Manage", label: "Delete" }
];
var count = list.length;
// The role editor's headings, in the order it shows them.
var groups = ["Image Capture", "Image Management", "Audit Trail", "Device Setting", "Document Title",
              "User Manage", "Authority Manage", "Group Manage"];

// The rights under one heading: {name, label, pos}.
function inGroup(group) {
    var found = [];
    for (var i = 0; i < list.length; ++i)
        if (list[i].group === group)
            found.push({ name: list[i].name, label: list[i].label, pos: i });
    return found;
}

// Positions by name, for the stores' own checks.
var index = {};
for (var i = 0; i < list.length; ++i)
    index[list[i].name] = i;

var administrator = "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1";
var researcher = "1,1,1,1,1,1,1,1,1,1,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,1,0,1,0,0,1,0,0,0";
var operator = "1,1,1,1,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,0,1,0,0,0";

// The 35 flags of a rights string: a missing, empty or non-numeric position is 0, any other
// number is taken as given (the store only ever writes 0 and 1).
function parse(text) {
    var parts = String(text === undefined || text === null ? "" : text).split(",");
    var flags = [];
    for (var i = 0; i < count; ++i) {
        var value = i < parts.length ? parseInt(parts[i], 10) : 0;
        flags.push(isNaN(value) ? 0 : value);
    }
    return flags;
}
// The rights string of a list of flags (truthy -> "1").
function join(flags) {
    var parts = [];
    for (var i = 0; i < count; ++i)
        parts.push(flags[i] ? "1" : "0");
    return parts.join(",");
}
function holdsAll(flags) {
    for (var i = 0; i < count; ++i)
        if (!flags[i])
            return false;
    return true;
}
// A user's authority text of an older store: a list of flags rather than a role id.
function isFlagList(text) {
    return String(text).indexOf(",") >= 0;
}
// The role that an older user's list of flags maps to, among roles [{id, authority}]: role 1
// when the list holds every right; else the first role whose rights string is the same list;
// 0 when none is.
function roleForFlagList(text, roles) {
    var flags = parse(text);
    if (holdsAll(flags))
        return 1;
    var wanted = join(flags);
    for (var i = 0; i < roles.length; ++i)
        if (join(parse(roles[i].authority)) === wanted)
            return roles[i].id;
    return 0;
}
