#include "ic_maincontrol.h"

#include "boardechoes.h"
#include "flowcontext.h"
#include "gelflow.h"
#include "lensflow.h"
#include "machinemodel.h"
#include "multflow.h"
#include "wbtsflow.h"

#include <QDebug>

Data_Bits IC_MainControl::filterByte(int pos)
{
    switch (pos) {
    case EnumOBJ::NoFilter: return Filter0;
    case EnumOBJ::F_535nm: return Filter535;
    case EnumOBJ::F_590nm: return Filter590;
    case EnumOBJ::F_605nm: return Filter605;
    case EnumOBJ::F_700nm: return Filter700;
    // One wheel slot carries both the 840 nm and the 715 nm filter.
    case EnumOBJ::F_840nm: return Filter715_840;
    case EnumOBJ::F_715nm: return Filter715_840;
    case EnumOBJ::F_810nm: return Filter810;
    case EnumOBJ::F_Reset: return FilterReset;
    default:
        qDebug() << "Unknow FilterType.";
        return FilterUnknown;
    }
}

void IC_MainControl::lightChange(bool on)
{
    m_context->lightChange(on);
}

void IC_MainControl::lightCmd(int lightType, bool on)
{
    m_context->lightCmd(lightType, on);
}

int IC_MainControl::litLight() const
{
    return m_context->litLight();
}

int IC_MainControl::confirmedFilter() const
{
    return m_context->echoes().filterPosition();
}

int IC_MainControl::confirmedLens() const
{
    return m_context->echoes().lensPosition();
}

bool IC_MainControl::confirmedDoorOpen() const
{
    return m_context->echoes().doorOpen();
}

void IC_MainControl::_GelTSLightChanged(int lightType, bool autoMatchFilter, int pos)
{
    QList<Data_Bits> data;
    switch (lightType) {
    case EnumOBJ::White: data << UV302_1Off << UV302_2Off << UV254Off << UV365Off << SourceOn; break;
    case EnumOBJ::UV302C: data << SourceOff << UV302_2Off << UV254Off << UV365Off << UV302_1On; break;
    case EnumOBJ::UV254: data << SourceOff << UV302_1Off << UV302_2Off << UV365Off << UV254On; break;
    case EnumOBJ::UV365: data << SourceOff << UV302_1Off << UV302_2Off << UV254Off << UV365On; break;
    default: break;
    }
    if (autoMatchFilter)
        data << filterByte(pos);
    m_context->sendLightCmd(CmdGelLight, data);
}

void IC_MainControl::_MultTSLightChanged(int lightType, bool autoMatchFilter, int pos)
{
    QList<Data_Bits> data;
    switch (lightType) {
    case EnumOBJ::White:
        data << RedLampOff << GreenLampOff << BlueLampOff << NIR660Off << NIR740Off << SourceOn;
        break;
    case EnumOBJ::R625nm:
        data << GreenLampOff << BlueLampOff << NIR660Off << NIR740Off << SourceOff << RedLampOn;
        break;
    case EnumOBJ::G520nm:
        data << RedLampOff << BlueLampOff << NIR660Off << NIR740Off << SourceOff << GreenLampOn;
        break;
    case EnumOBJ::B470nm:
        data << RedLampOff << GreenLampOff << NIR660Off << NIR740Off << SourceOff << BlueLampOn;
        break;
    case EnumOBJ::IR660nm:
        data << RedLampOff << GreenLampOff << BlueLampOff << SourceOff << NIR740Off << NIR660On;
        break;
    case EnumOBJ::IR740nm:
        data << RedLampOff << GreenLampOff << BlueLampOff << SourceOff << NIR660Off << NIR740On;
        break;
    default:
        break;
    }
    if (autoMatchFilter)
        data << filterByte(pos);
    m_context->sendLightCmd(CmdMultLight, data);
}

void IC_MainControl::_MultiLightCmd(int lightType, bool on)
{
    qDebug() << "执行到此处";
    QList<Data_Bits> data;
    if (MachineModel::hasSingleMultLamps(authorityType())) {
        switch (lightType) {
        case EnumOBJ::White: data << (on ? SourceOn : SourceOff); break;
        case EnumOBJ::R625nm: data << (on ? RedLampOn : RedLampOff); break;
        case EnumOBJ::G520nm: data << (on ? GreenLampOn : GreenLampOff); break;
        case EnumOBJ::B470nm: data << (on ? BlueLampOn : BlueLampOff); break;
        case EnumOBJ::IR660nm: data << (on ? NIR660On : NIR660Off); break;
        case EnumOBJ::IR740nm: data << (on ? NIR740On : NIR740Off); break;
        default: return;
        }
    }
    m_context->sendLightCmd(CmdMultLight, data);
}

void IC_MainControl::_GelTSFilterChanged(int pos)
{
    m_context->sendLightCmd(CmdGelLight, {filterByte(pos)});
}

void IC_MainControl::_MultTSFilterChanged(int pos)
{
    _GelTSFilterChanged(pos);
}

void IC_MainControl::lensCmd(Ctrl_Bits ctrl_bit, QList<Data_Bits> bitsList)
{
    m_context->sendFrame(ctrl_bit, bitsList);
}

void IC_MainControl::lensCtrl(int value)
{
    m_lens->lensCtrl(value);
}

void IC_MainControl::_FocusChanged(int value)
{
    m_lens->focusChanged(value);
}

void IC_MainControl::stopAutoFocus()
{
    m_lens->stopAutoFocus({m_gel.get(), m_wbTS.get(), m_mult.get()});
}

void IC_MainControl::_WBTSSpacecomAtFocus()
{
    m_lens->spacecomAtFocus(EnumOBJ::WB, *m_wbTS);
}

void IC_MainControl::_GelTSSpacecomAtFocus()
{
    m_lens->spacecomAtFocus(EnumOBJ::Gel, *m_gel);
}

void IC_MainControl::_MultTSSpacecomAtFocus()
{
    m_lens->spacecomAtFocus(EnumOBJ::Mult, *m_mult);
}
