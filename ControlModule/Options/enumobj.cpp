#include "enumobj.h"

EnumOBJ::EnumOBJ(QObject* parent)
    : QObject(parent)
{
}

EnumOBJ::~EnumOBJ() = default;

int experimentTypeFromString(const QString& text)
{
    if (text == QLatin1String("GelUV"))
        return EnumOBJ::Gel;
    if (text == QLatin1String("WesternBlot"))
        return EnumOBJ::WB;
    if (text == QLatin1String("MultFluore"))
        return EnumOBJ::Mult;
    return EnumOBJ::Unknow_ExpMode;
}

QString experimentTypeToString(int value)
{
    switch (value) {
    case EnumOBJ::Gel:
        return QStringLiteral("GelUV");
    case EnumOBJ::WB:
        return QStringLiteral("WesternBlot");
    case EnumOBJ::Mult:
        return QStringLiteral("MultFluore");
    default:
        return QStringLiteral("Unknow ExperimentType.");
    }
}
