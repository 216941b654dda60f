#pragma once
// How the controller's identity reads on screen and in qvs-cli's output: its
// software version word and its model.
#include <QString>

class IDData;

// "v" + the hex digits of the version word (at least five) with a point
// before the last two: "v012.34" for 0x1234. The value is rounded half to
// even first; 0, a negative or a non-finite value is no version: "----".
QString VersionWordText(double version);
// "DRC 100" .. "DRC 400" by the section count 1..4, then " P" for system
// type 1 and " F" for 0: "DRC 200 F". "---" when either is outside those.
QString ControllerModelText(int sections, int systemType);
// The model of a controller image: the E2 display values of QVS_NUM_PROP_REG
// and QVS_SYSTEM_TYPE; "---" when either is not in the catalogue.
QString ControllerModelOf(const IDData& table);
