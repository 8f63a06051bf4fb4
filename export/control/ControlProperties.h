// ControlProperties: the fifteen property values of the export control with their defaults,
// and the one table of property-bag keys, defaults and descriptions that every host uses
// (the Morvane widget, PlainCaller in the command-line tools, the Designer plugin).
//
// Usage:
//   ControlProperties props;            // every property at its default
//   props.ReadFrom(bag);                // keys absent from the bag keep their default
//   props.WriteTo(bag);                 // every key, in table order, with its default
//   for (const PropertyDefinition& def : PropertyDefinitions()) ...
//
// ConnectString and HelpID are 16-bit values and are written to bags as qint16; the
// Booleans as bool; the strings as QString.
#pragma once

#include "export/common/MorvaneExport.h"

#include "export/engine/TypeConnect.h"
#include "propertybag/PropertyBag.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace morvane {

//! One row of the property table, in property-bag order.
struct PropertyDefinition {
    QString key;            //!< property name and property-bag key
    QVariant defaultValue;  //!< typed default (QString, qint16 or bool)
    QString description;    //!< help text; empty for properties that carry none
};

//! The fifteen properties in the order they are read from and written to a property bag.
MORVANE_EXPORT const std::vector<PropertyDefinition>& PropertyDefinitions();

//! The definition of a property by its exact name; nullptr when there is none.
MORVANE_EXPORT const PropertyDefinition* FindPropertyDefinition(const QString& key);

struct ControlProperties {
    QString DataBaseName;
    QString Password;
    QString Username;
    qint16 ConnectString = TypeConnect::Access;
    QString ExportCaption = QStringLiteral("Export Data");
    QString IniFile;
    QString ExportFile;
    qint16 HelpID = 0;
    bool ShowProgress = true;
    bool ShowSummary = true;
    bool QuitAfterExport = false;
    bool MultiTable = false;
    QString TableName;
    QString QueryName;
    bool OverWrite = false;

    //! The value of a property as a typed QVariant; invalid for an unknown key.
    QVariant Get(const QString& key) const;
    //! Stores a value converted to the property's type; answers false (and changes
    //! nothing) for an unknown key or a value that does not convert or fit 16 bits.
    bool Set(const QString& key, const QVariant& value);

    //! Reads every property from the bag in table order; an absent key gives the default,
    //! a value that cannot be converted keeps the default too.
    void ReadFrom(const PropertyBag& bag);
    //! Writes every property to the bag in table order, each with its default.
    void WriteTo(PropertyBag& bag) const;

    bool operator==(const ControlProperties& other) const;
    bool operator!=(const ControlProperties& other) const { return !(*this == other); }
};

}  // namespace morvane
