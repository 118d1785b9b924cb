#pragma once

// The navigation links of the picture pages are small HTML templates the user
// edits, with "%s" where the linked file name goes. They are filled here, and
// only here, by plain text substitution: a template is never handed to a
// printf-style function, so a "%n" or a second "%s" in a preset file cannot
// read or write memory.

#include <string>

namespace HTMLTemplate {

// Whether the template holds exactly one "%s" and no "%" other than "%%".
bool IsValidTemplate(const std::string& Template);

// The template with its "%s" replaced by Value and every "%%" by "%".
// Raises EConvertError when the template is not valid.
std::string FillTemplate(const std::string& Template, const std::string& Value);

} // namespace HTMLTemplate
