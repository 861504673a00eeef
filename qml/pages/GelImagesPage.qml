import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.EnumOBJ 1.0
import "../js/ATDatabase.js" as ATJS
import "../js/Library.js" as Lib

// The image library of the gel mode.
ImageLibraryPage {
    objectName: "GelImagesPage"
    pageMode: EnumOBJ.Gel
    auditModule: ATJS.ModuleType.Images_Gel
    gelLabels: true
    fitsWithOrigin: false
    wholeBinning: false
    restretchTypes: "gel"
    mergeShown: false
    renameCurrentExperiment: function(newName, newFolder) { MainCtrl._GelTSUpdateExpName(newName, newFolder) }
}
