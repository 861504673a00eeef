pragma Singleton
import QtQml 2.15
import "../js/Rights.js" as Rights

// Rights of the logged-in user: one flag per position of the rights string of the user's role,
// all 0 until somebody logs in. Pages bind their controls to these flags; the stores check the
// role again on every change.
QtObject {
    id: authority
    property int authGelCapture: 0
    property int authWBCapture: 0
    property int authFluCapture: 0
    property int authImageView: 0
    property int authRenameExperiment: 0
    property int authImageDetail: 0
    property int authImageEdit: 0
    property int authImageExport: 0
    property int authImageDelete: 0
    property int authAuditTrail: 0
    property int authLanguage: 0
    property int authImageSavePath: 0
    property int authImageClean: 0
    property int authLightAutoShutdown: 0
    property int authAutoCaptureOnClose: 0
    property int authElectornicSignature: 0
    property int authAfOffset: 0
    property int authAutoKeyboard: 0
    property int authDocumentTitleSave: 0
    property int authUserNew: 0
    property int authUserEdit: 0
    property int authUserDelete: 0
    property int authRoleNew: 0
    property int authRoleEdit: 0
    property int authRoleDelete: 0
    property int authUserAuthority: 0
    property int authAuditTrailExport: 0
    property int authExportWatermark: 0
    property int authImageRename: 0
    property int authColorMarkerVisible: 0
    property int authBeautifyPictures: 0
    property int authGroupView: 0
    property int authGroupNew: 0
    property int authGroupEdit: 0
    property int authGroupDelete: 0

    // Sets every flag from a rights string; positions the string lacks become 0.
    function resolveAuthority(authorityStr) {
        console.log("resolveAuthority", authorityStr);
        var flags = Rights.parse(authorityStr);
        for (var i = 0; i < Rights.count; ++i)
            authority[Rights.list[i].name] = flags[i];
    }
    // No rights at all (nobody logged in, or a role that does not exist).
    function clear() { resolveAuthority("") }
}
