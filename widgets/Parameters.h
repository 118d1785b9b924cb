#pragma once
// The programs' small command-line vocabulary: switches start with a character
// of ParameterBegin and are picked by their first letter ("/Fshow" is switch F
// with the value "show"); every other argument is a file name, and so is the
// absolute path of an existing file.
//
// By default the platform's argument list is used. UseOwnParameterParser(true)
// re-splits the joined command line so that single quotes, like double quotes,
// hold an argument with blanks together, and keeps the joined line for handing
// on to another program (AllParameters). Arguments are never cut short.

#include <set>
#include <string>
#include <vector>

namespace Parameters {

// Characters that mark a switch as the first character of an argument.
extern std::set<char> ParameterBegin;

// The platform's argument list (entry 0 is the program). Programs hand their
// argv over at start-up; without that the process's own command line is read.
void SetPlatformArguments(std::vector<std::string> arguments);
int ParamCount();                // number of arguments besides the program
std::string ParamStr(int index); // "" outside 0..ParamCount()

void UseOwnParameterParser(bool on);
void FreeParameters();
// The joined command line (program first, every argument followed by a blank).
// Raises Exception when the own parser is off.
std::string AllParameters();
std::string PParamStr(int index);
bool Params();
std::string GetParam(char letter);
bool Param(char letter);
std::string GetParamFileName(char letter);
int FileNameCount();
std::string GetFileName(int n);

} // namespace Parameters
