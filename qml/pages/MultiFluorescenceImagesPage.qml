import QtQuick 2.15
import an.qt.MainCtrl 1.0
import an.qt.EnumOBJ 1.0
import "../js/ATDatabase.js" as ATJS
import "../js/Library.js" as Lib

// The image library of the multi-fluorescence mode.
ImageLibraryPage {
    objectName: "MultiFluorescenceImagesPage"
    pageMode: EnumOBJ.Mult
    auditModule: ATJS.ModuleType.Images_Flu
    gelLabels: false
    fitsWithOrigin: false
    wholeBinning: false
    restretchTypes: "mult"
    mergeShown: false
    renameCurrentExperiment: function(newName, newFolder) { MainCtrl._MultTSUpdateExpName(newName, newFolder) }
}
