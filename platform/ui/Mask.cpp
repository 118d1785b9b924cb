#include "platform/ui/Mask.h"

IMPLEMENT_CLASS(TCustomMaskEdit)
IMPLEMENT_CLASS(TMaskEdit)

namespace Mask {

namespace {

// Characters the toolkit reads as mask characters; as literals they need a
// backslash.
bool IsToolkitMaskChar(char c)
{
    static const std::string special = "AaNnXx90DdHhBb#><!;\\[]{}";
    return special.find(c) != std::string::npos;
}

char ToolkitPosition(char c)
{
    switch (c) {
    case 'L': return 'A';
    case 'l': return 'a';
    case 'A': return 'N';
    case 'a': return 'n';
    case 'C': return 'X';
    case 'c': return 'x';
    case '0': return '9';
    case '9': return '0';
    case '#': return '#';
    default: return 0;
    }
}

} // namespace

TToolkitMask ToolkitMask(const std::string& EditMask)
{
    TToolkitMask result;
    if (EditMask.empty())
        return result;
    // The fields after the positions: save-literals flag, then the blank.
    std::string positions = EditMask;
    char blank = '_';
    for (size_t i = positions.size(); i-- > 0;) {
        if (positions[i] != ';' || (i > 0 && positions[i - 1] == '\\'))
            continue;
        std::string field = positions.substr(i + 1);
        positions.resize(i);
        if (field.size() == 1 && (field[0] == '0' || field[0] == '1') && positions.find(';') == std::string::npos)
            result.SaveLiterals = field[0] == '1';
        else if (!field.empty())
            blank = field[0];
        if (positions.find(';') == std::string::npos)
            break;
    }
    for (size_t i = 0; i < positions.size(); ++i) {
        char c = positions[i];
        if (c == '!')
            continue; // leading or trailing blanks: the toolkit keeps positions as they are
        if (c == '<' && i + 1 < positions.size() && positions[i + 1] == '>') {
            result.Mask += '!';
            ++i;
        } else if (c == '>' || c == '<') {
            result.Mask += c;
        } else if (char position = ToolkitPosition(c)) {
            result.Mask += position;
            result.IsLiteral.push_back(false);
        } else {
            if (c == '\\' && i + 1 < positions.size())
                c = positions[++i];
            if (IsToolkitMaskChar(c))
                result.Mask += '\\';
            result.Mask += c;
            result.IsLiteral.push_back(true);
        }
    }
    result.Mask += ';';
    result.Mask += blank;
    result.Blank = blank;
    return result;
}

} // namespace Mask

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner) : TCustomEdit(AOwner) { }

void TCustomMaskEdit::SetEditMask(const std::string& Value)
{
    editMask_ = Value;
    mask_ = Mask::ToolkitMask(Value);
    ApplyMask();
}

void TCustomMaskEdit::DoExit()
{
    ValidateEdit();
    TCustomEdit::DoExit();
}

TMaskEdit::TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) { }
