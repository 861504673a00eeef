pragma Singleton
import QtQml 2.15

// Rights of the logged-in user, one flag per position of a role's rights string. Until roles
// are stored every right is granted.
QtObject {
    property int authGelCapture: 1
    property int authWBCapture: 1
    property int authFluCapture: 1
    property int authImageView: 1
    property int authRenameExperiment: 1
    property int authImageDetail: 1
    property int authImageEdit: 1
    property int authImageExport: 1
    property int authImageDelete: 1
    property int authAuditTrail: 1
    property int authLanguage: 1
    property int authImageSavePath: 1
    property int authImageClean: 1
    property int authLightAutoShutdown: 1
    property int authAutoCaptureOnClose: 1
    property int authElectornicSignature: 1
    property int authAfOffset: 1
    property int authAutoKeyboard: 1
    property int authDocumentTitleSave: 1
    property int authUserNew: 1
    property int authUserEdit: 1
    property int authUserDelete: 1
    property int authRoleNew: 1
    property int authRoleEdit: 1
    property int authRoleDelete: 1
    property int authUserAuthority: 1
    property int authAuditTrailExport: 1
    property int authExportWatermark: 1
    property int authImageRename: 1
    property int authColorMarkerVisible: 1
    property int authBeautifyPictures: 1
    property int authGroupView: 1
    property int authGroupNew: 1
    property int authGroupEdit: 1
    property int authGroupDelete: 1
}
