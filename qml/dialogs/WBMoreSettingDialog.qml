import QtQuick 2.15
import QtQuick.Controls 2.15
import an.qt.UserOpts 1.0
import "../components"
import "../js/Audit.js" as Audit
import "../js/ATDatabase.js" as ATJS

// Options of the Western-blot capture, two choices a row. "Camera Cooling" and "Marker
// Capture" are stored inverted: the option says that the step is skipped.
MoreSettingFrame {
    id: dialog
    objectName: "wbMoreSettingDialog"
    filterShown: false

    component ChoiceRow: Row {
        id: choice
        property string label: ""
        property string first: ""
        property string second: ""
        // The first choice is taken.
        property bool firstChosen: true
        spacing: Style.s(16)
        Text {
            anchors.verticalCenter: parent.verticalCenter
            width: Style.s(330)
            text: choice.label
            wrapMode: Text.Wrap
            font.family: Style.fontFamily
            font.pixelSize: Style.fontNormal
            color: Style.textGrey
        }
        BlueRectButton {
            objectName: choice.objectName + "_first"
            checkable: true
            checked: choice.firstChosen
            text: choice.first
            onClicked: { choice.firstChosen = true; checked = Qt.binding(function() { return choice.firstChosen }) }
        }
        BlueRectButton {
            objectName: choice.objectName + "_second"
            checkable: true
            checked: !choice.firstChosen
            text: choice.second
            onClicked: { choice.firstChosen = false; checked = Qt.binding(function() { return !choice.firstChosen }) }
        }
    }

    function load() {
        var names = [UserOpts.OPT_CameraCooling, UserOpts.OPT_MarkerCapture, UserOpts.OPT_SampleImageBkColor,
                     UserOpts.OPT_IntelligentAnalysis, UserOpts.OPT_IsExposure, UserOpts.OPT_IsAutoStretch,
                     UserOpts.OPT_StrengthMarker];
        for (var i = 0; i < names.length; ++i)
            UserOpts.loadUserOptsByName(names[i]);
        coolingRow.firstChosen = !UserOpts.cameraCooling;
        markerRow.firstChosen = !UserOpts.markerCapture;
        backgroundRow.firstChosen = UserOpts.sampleImageBkColor === UserOpts.White;
        analysisRow.firstChosen = UserOpts.intelligentAnalysis === UserOpts.CloseSensitivity;
        exposureRow.firstChosen = !UserOpts.isExposure;
        stretchRow.firstChosen = !UserOpts.isAutoStretch;
        strengthRow.firstChosen = !UserOpts.strengthMarker;
    }
    function save() {
        UserOpts.cameraCooling = !coolingRow.firstChosen;
        UserOpts.saveUserOptsByName(UserOpts.OPT_CameraCooling);
        UserOpts.markerCapture = !markerRow.firstChosen;
        UserOpts.saveUserOptsByName(UserOpts.OPT_MarkerCapture);
        UserOpts.sampleImageBkColor = backgroundRow.firstChosen ? UserOpts.White : UserOpts.Black;
        UserOpts.saveUserOptsByName(UserOpts.OPT_SampleImageBkColor);
        UserOpts.intelligentAnalysis = analysisRow.firstChosen ? UserOpts.CloseSensitivity : UserOpts.OpenSensitivity;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IntelligentAnalysis);
        UserOpts.isExposure = !exposureRow.firstChosen;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsExposure);
        UserOpts.isAutoStretch = !stretchRow.firstChosen;
        UserOpts.saveUserOptsByName(UserOpts.OPT_IsAutoStretch);
        UserOpts.strengthMarker = !strengthRow.firstChosen;
        UserOpts.saveUserOptsByName(UserOpts.OPT_StrengthMarker);
        Audit.write(ATJS.ModuleType.Capture_Western, "保存更多设置", "Save more setting");
        accept();
    }
    onSaveClicked: save()
    onAboutToShow: load()

    ChoiceRow { id: coolingRow; objectName: "coolingRow"; label: qsTr("Camera Cooling"); first: qsTr("Yes"); second: qsTr("No") }
    ChoiceRow { id: markerRow; objectName: "markerRow"; label: qsTr("Marker Capture"); first: qsTr("Yes"); second: qsTr("No") }
    ChoiceRow {
        id: backgroundRow
        objectName: "backgroundRow"
        label: qsTr("Sample Image Background Color")
        first: qsTr("White")
        second: qsTr("Black")
    }
    ChoiceRow {
        id: analysisRow
        objectName: "analysisRow"
        label: qsTr("Intelligent analysis(Identify Band)")
        first: qsTr("Close")
        second: qsTr("Open")
    }
    ChoiceRow { id: exposureRow; objectName: "exposureRow"; label: qsTr("Overexposure reminder"); first: qsTr("Close"); second: qsTr("Open") }
    ChoiceRow { id: stretchRow; objectName: "stretchRow"; label: qsTr("Automatic histogram stretching"); first: qsTr("Close"); second: qsTr("Open") }
    ChoiceRow { id: strengthRow; objectName: "strengthRow"; label: qsTr("Strength Marker"); first: qsTr("Close"); second: qsTr("Open") }
}
