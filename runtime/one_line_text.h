// Text from a command line or a file name made safe to show in a one-line message: a name
// holding a newline or a terminal's control sequence cannot break or forge the line.
#pragma once

#include <string>
#include <string_view>

// ParaText made safe for a one-line message: valid UTF-8 stays as it is, except that control
// characters, line separators and the backslash are escaped (\n, \t, \\, \xHH, \u2028);
// bytes that are not UTF-8 become \xHH.
std::string EscapeForOneLine(std::string_view ParaText);
// The same between single quotes, as messages show a name: 'x.csv'.
std::string QuotedForOneLine(std::string_view ParaText);
