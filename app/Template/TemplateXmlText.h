// Small text helpers of the template file reader, free of Qt so that the reader builds alone
// (fuzzing). The system code page is UTF-8 here.
#pragma once

#include <string>

class TiXmlElement;

namespace tplxml {

// Wide text to the system code page (UTF-8); a null text gives an empty one.
std::string ToNarrow(const wchar_t* text);
// The system code page (UTF-8) to wide text; a byte that does not begin a valid sequence gives
// U+FFFD.
std::wstring ToWide(const std::string& text);
// The attribute as an int: leading blanks, an optional sign, then decimal digits that fit an int.
// Leaves value and returns false when the attribute is missing or does not start so.
bool QueryInt(const TiXmlElement* element, const char* name, int& value);

} // namespace tplxml
