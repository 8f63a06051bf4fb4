// QuintelStore: saves the seventeen properties of a Quintel to a PropertyBag and loads them
// back. Used through Quintel::WriteProperties and Quintel::ReadProperties.
//
// Saving writes every key, in interface order, whatever its value ("CheckKey", "CheckCase",
// "CheckValidation", "PropText", "PropFriendlyName", "PropAlignment", "PropAppearance",
// "PropFontname", "PropBorderStyle", "PropForeColor", "PropBackColor", "PropDiameterKey",
// "PropDateSeparator", "SwitchEnabled", "SwitchLocked", "SwitchRequired",
// "SwitchSelectionFocus"). Integers are written as qint32 (DiameterKey as qint16), the font as a
// QFont, switches as bool.
//
// Loading reads the same keys in the same order, with the loading defaults for missing keys
// (the text defaults to the control's objectName, the font to the parent's font), and applies
// each value through the property's setter. Of the font only the face name is taken: the inner
// box keeps its size, weight and style. A font may also be stored as a QFont::toString() text or
// a bare face name. A value of the wrong type or out of range stops the load.
#pragma once

#include <QString>

#include "propertybag/PropertyBag.h"

namespace morvane {

class Quintel;

class QuintelStore {
  public:
    static void Write(const Quintel& control, PropertyBag& bag);
    //! REQUIRES: nothing. Answers false (and a description in *error) at the first value that
    //! cannot be applied; properties applied before it keep their new values.
    static bool Read(Quintel& control, const PropertyBag& bag, QString* error);
};

}  // namespace morvane
