// Text made safe for a one-line message (an error line, a fatal-error report): control
// characters, line separators and bytes that are not UTF-8 are written as escapes, so a file
// name or an argument holding a line break cannot split or forge the report.
#pragma once

#include <string>
#include <string_view>

// ParaText made safe for a one-line message: valid UTF-8 stays as it is, except that control
// characters, line separators and the backslash are escaped (\n, \t, \\, \xHH, \u2028);
// bytes that are not UTF-8 become \xHH.
std::string EscapeForOneLine(std::string_view ParaText);

// EscapeForOneLine(ParaText) between single quotes, for naming a value in a message.
std::string QuotedForOneLine(std::string_view ParaText);
