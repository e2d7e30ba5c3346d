#pragma once

#include <QObject>

// Option kinds of the liquid-crystal indicator; the names are the ones form files and settings
// use, so they stay unscoped and registered with the meta-object system.
namespace Vm {
Q_NAMESPACE

// Preset that sets the five colours of the indicator at once.
enum TVMColorScheme { csSilver, csInvSilver, csWhite, csBlack, csPlasma, csInvPlasma, csVORN };
Q_ENUM_NS(TVMColorScheme)

// How a character cell is drawn.
enum TVMIndicatorKind { ik7segment, ik5x7matrix, ik9segment };
Q_ENUM_NS(TVMIndicatorKind)

// Raised, sunken or no bevel.
enum TVMBevelKind { bkUP, bkDown, bkNone };
Q_ENUM_NS(TVMBevelKind)

// Segment and dot thickness.
enum TVMIndicatorStyle { isThin, isNormal, isThick };
Q_ENUM_NS(TVMIndicatorStyle)

// What the pointer over the indicator changes: nothing, the lit colour, the thickness, or both.
enum TVMMouseAction { maNone, maColor, maWidth, maBoth };
Q_ENUM_NS(TVMMouseAction)

// Which parts let the parent show through.
enum TVMTransparentMode { tmNone, tmBackOnly, tmAll };
Q_ENUM_NS(TVMTransparentMode)

// How unlit segments shade a background material.
enum TVMMaterialShadowMode { msmDark, msmLight, msmNone };
Q_ENUM_NS(TVMMaterialShadowMode)

// How a material fills its area.
enum TVMMaterialMode { mmStretch, mmTile };
Q_ENUM_NS(TVMMaterialMode)

} // namespace Vm
