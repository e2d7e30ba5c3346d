#pragma once

#include "widgets/IndicatorTypes.h"

#include <QColor>
#include <QImage>

// Everything that decides how an indicator looks, apart from its text and the pointer.
// Plain data so the geometry and the renderer can be driven without a widget.
struct IndicatorOptions {
    int signNumber = 10;
    int indicatorWidth = 172;
    int indicatorHeight = 36;
    int indicatorAngle = 0; // tenths of a degree, counter-clockwise
    int indicatorGap = 2;
    Vm::TVMIndicatorKind indicatorKind = Vm::ik7segment;
    Vm::TVMBevelKind innerBevel = Vm::bkDown;
    Vm::TVMBevelKind outerBevel = Vm::bkUP;
    int innerBevelWidth = 2;
    int outerBevelWidth = 2;
    QColor bevelColor = QColor(0xDD, 0xDD, 0xDD);
    QColor backColor = QColor(0xDD, 0xDD, 0xDD);
    QColor numberForeColor = QColor(0x36, 0x36, 0x36);
    QColor numberForeColor1 = QColor(0xFF, 0x00, 0x00);
    QColor numberBackColor = QColor(0xD3, 0xD3, 0xD3);
    Vm::TVMIndicatorStyle indicatorStyle = Vm::isNormal;
    Vm::TVMMouseAction mouseAction = Vm::maNone;
    Vm::TVMTransparentMode transparentMode = Vm::tmNone;
    QImage backMaterial;
    QImage foreMaterial;
    Vm::TVMMaterialShadowMode materialShadowMode = Vm::msmDark;
    Vm::TVMMaterialMode materialMode = Vm::mmStretch;
    Vm::TVMMaterialMode foreMaterialMode = Vm::mmStretch;
};
