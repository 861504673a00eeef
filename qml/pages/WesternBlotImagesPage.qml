import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.EnumOBJ 1.0
import "../js/ATDatabase.js" as ATJS
import "../js/Library.js" as Lib

// The image library of the Western-blot mode.
ImageLibraryPage {
    objectName: "WesternBlotImagesPage"
    pageMode: EnumOBJ.WB
    auditModule: ATJS.ModuleType.Images_Western
    gelLabels: false
    fitsWithOrigin: true
    wholeBinning: true
    restretchTypes: "wb"
    mergeShown: true
    renameCurrentExperiment: function(newName, newFolder) { MainCtrl._WBUpdateExpName(newName, newFolder) }
}
