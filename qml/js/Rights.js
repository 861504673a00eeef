.pragma library
// The 35 rights of a role, in the order of the positions of its rights string ("1,0,1,…"):
// the flag of AuthorityComponent, the group heading and the label of the role editor (marked
// for translation in the role page's context).

var list = [
    { name: "authGelCapture", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Capture"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Gel Capture") },
    { name: "authWBCapture", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Capture"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "WB Capture") },
    { name: "authFluCapture", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Capture"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Flu Capture") },
    { name: "authImageView", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image View") },
    { name: "authRenameExperiment", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Rename Experiment") },
    { name: "authImageDetail", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Detail") },
    { name: "authImageEdit", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Edit") },
    { name: "authImageExport", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Export") },
    { name: "authImageDelete", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Delete") },
    { name: "authAuditTrail", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Audit Trail"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Audit Trail View") },
    { name: "authLanguage", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Language") },
    { name: "authImageSavePath", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Save Path") },
    { name: "authImageClean", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Clean") },
    { name: "authLightAutoShutdown", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Light Auto Shutdown") },
    { name: "authAutoCaptureOnClose", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Auto Capture On Close") },
    { name: "authElectornicSignature", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Electornic Signature") },
    { name: "authAfOffset", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Af Offset") },
    { name: "authAutoKeyboard", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Auto Keyboard") },
    { name: "authDocumentTitleSave", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Document Title"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Document Title Save") },
    { name: "authUserNew", group: QT_TRANSLATE_NOOP("RoleManagementPage", "User Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "New") },
    { name: "authUserEdit", group: QT_TRANSLATE_NOOP("RoleManagementPage", "User Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Edit") },
    { name: "authUserDelete", group: QT_TRANSLATE_NOOP("RoleManagementPage", "User Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Delete") },
    { name: "authRoleNew", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Authority Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "New") },
    { name: "authRoleEdit", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Authority Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Edit") },
    { name: "authRoleDelete", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Authority Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Delete") },
    { name: "authUserAuthority", group: QT_TRANSLATE_NOOP("RoleManagementPage", "User Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Assign Authority ") },
    { name: "authAuditTrailExport", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Audit Trail"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Audit Trail Export") },
    { name: "authExportWatermark", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Epxort Watermark") },
    { name: "authImageRename", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Image Rename") },
    { name: "authColorMarkerVisible", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Color Marker") },
    { name: "authBeautifyPictures", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Beautify Pictures") },
    { name: "authGroupView", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Group Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "View") },
    { name: "authGroupNew", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Group Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "New") },
    { name: "authGroupEdit", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Group Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Edit") },
    { name: "authGroupDelete", group: QT_TRANSLATE_NOOP("RoleManagementPage", "Group Manage"), label: QT_TRANSLATE_NOOP("RoleManagementPage", "Delete") }
];
var count = list.length;
// The role editor's headings, in the order it shows them.
var groups = [QT_TRANSLATE_NOOP("RoleManagementPage", "Image Capture"), QT_TRANSLATE_NOOP("RoleManagementPage", "Image Management"),
              QT_TRANSLATE_NOOP("RoleManagementPage", "Audit Trail"), QT_TRANSLATE_NOOP("RoleManagementPage", "Device Setting"),
              QT_TRANSLATE_NOOP("RoleManagementPage", "Document Title"), QT_TRANSLATE_NOOP("RoleManagementPage", "User Manage"),
              QT_TRANSLATE_NOOP("RoleManagementPage", "Authority Manage"), QT_TRANSLATE_NOOP("RoleManagementPage", "Group Manage")];

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
