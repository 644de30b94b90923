#pragma once

#include "CustomFormLists.h"
#include "CustomTemplates.h"

#include <optional>
#include <string>
#include <vector>

// A template read back from the reports table is outside data: anyone who may write that table
// can put any text in any column. Before a template sets the form or builds statements, each of
// its stored values must be one the form itself could have saved.

// What the form offers for the template's library: the library combo's items and the data type
// combo's items (prompts left out).
struct TemplateOffer {
    std::vector<std::string> libraries;
    std::vector<std::string> dataTypes;
};

// The data type items the form offers once these lists are read: the mount history fields, the
// library's host counters when it has several logical libraries, and the library performance
// fields when it has any logical library in the range.
std::vector<std::string> offeredDataTypes(const FormLists& lists);

// Whether the lists that the loaded template is checked against were all read, the form's
// previous library given (its fields are not read again); a failure was logged where it
// happened. A library that is none of the table's has no lists to read.
bool templateListsRead(const FormLists& lists, const std::string& previousLibrary);

// The first stored column, in the reports table's order, whose value the form cannot produce
// ("ipAddress", "Range", "Field_Type", "Eff_Value", "Col_Type", "Value", "Report_Type"), or
// nothing when the template is one the form could have saved.
std::optional<std::string> templateBadColumn(const CustomTemplate& tmpl, const TemplateOffer& offer);

// The message that names the refused template and its column.
std::string templateRefusedMessage(const std::string& templateName, const std::string& column);
