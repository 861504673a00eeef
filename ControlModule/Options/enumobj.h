#pragma once

#include <QObject>
#include <QString>

// Enumerations shared by the native code and QML (uncreatable QML type "EnumOBJ").
// Values travel as int through properties, arguments and option files, so the numbers are fixed.
class EnumOBJ : public QObject {
    Q_OBJECT
public:
    explicit EnumOBJ(QObject* parent = nullptr);
    ~EnumOBJ() override;

    enum MachineName {
        M_S40Mini = 0,
        M_S40Pro,
        M_S40Plus,
        M_S50,
        M_S60,
        M_S20Mini,
        M_Ormivex_Manual695,
        M_Ormivex_Auto695,
        M_Ormivex_ManualFL9BW,
        M_Ormivex_AutoFL9BW,
        M_Ormivex_G_Manual695,
        M_Ormivex_G_Auto695,
        M_Ormivex_G_ManualFL9BW,
        M_Ormivex_G_AutoFL9BW,
        M_Ormivex_GF_Manual695,
        M_Ormivex_GF_Auto695,
        M_Ormivex_GF_ManualFL9BW,
        M_Ormivex_GF_AutoFL9BW,
        M_OrmivexMiniFL9BW,
        M_OrmivexMini695,
        Unknow_MachineName
    };
    Q_ENUM(MachineName)

    enum AuthorityType {
        WBTS = 0,
        WBQI,
        GelAndWBTS,
        AllAuthorityTS,
        GelTS20BW,
        WBTS695_Manual,
        WBTS695_Auto,
        WBTSFL9BW_Manual,
        WBTSFL9BW_Auto,
        GelAndWBTS695_Manual,
        GelAndWBTS695_Auto,
        GelAndWBTSFL9BW_Manual,
        GelAndWBTSFL9BW_Auto,
        AllAuthorityTS695_Manual,
        AllAuthorityTS695_Auto,
        AllAuthorityTSFL9BW_Manual,
        AllAuthorityTSFL9BW_Auto,
        WBTSFL9BWMini,
        WBTS695Mini,
        Unknow_AuthorityType
    };
    Q_ENUM(AuthorityType)

    enum ErrorCode {
        NoErr = 0,
        MachineErr,
        SerialPortErr,
        CommunicateErr,
        ReceiveErr,
        SendErr,
        HandShakeErr,
        CameraErr,
        WPSErr,
        LensErr,
        // A picture that could not be written (errorDetail names the folder and the cause).
        SaveErr,
        // A damaged experiment store: nothing is written into it.
        StoreErr,
        Unknow_ErrorCode
    };
    Q_ENUM(ErrorCode)

    enum LightType {
        White = 0,
        UV302C,
        UV254,
        UV365,
        R625nm,
        G520nm,
        B470nm,
        IR660nm,
        IR740nm,
        UV302,
        Blue,
        Unknow_LightType
    };
    Q_ENUM(LightType)

    enum FilterType {
        NoFilter = 0,
        F_535nm,
        F_590nm,
        F_605nm,
        F_700nm,
        F_840nm,
        F_715nm,
        F_810nm,
        F_Reset,
        Unknow_FilterType
    };
    Q_ENUM(FilterType)

    enum ExpMode {
        Gel = 0,
        WB,
        Mult,
        Unknow_ExpMode
    };
    Q_ENUM(ExpMode)
};

// Text forms of the experiment type; the numbers are those of EnumOBJ::ExpMode.
// Exact, case-sensitive: "GelUV" 0, "WesternBlot" 1, "MultFluore" 2, anything else 3.
int experimentTypeFromString(const QString& text);
// 0 "GelUV", 1 "WesternBlot", 2 "MultFluore", any other value "Unknow ExperimentType.".
QString experimentTypeToString(int value);
