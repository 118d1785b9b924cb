#pragma once
// Application-level helpers: one set of read and write functions that serve
// an ini file and a registry ini object alike, escaping of multi-line text for
// ini values, default storage names, finding, creating and showing forms, a
// free-file-name finder and a broadcast to all forms.

#include "platform/ui/Messages.h"

#include <cstdint>
#include <functional>
#include <string>

class TObject;
class TComponent;
class TControl;
class TCustomForm;
class TStrings;
class TClassRef;
using TFormClass = const TClassRef*;

namespace Apputils {

// Set by a program to choose its own ini name.
extern std::function<std::string()> OnGetDefaultIniName;
extern bool RegUseAppTitle;
extern std::string DefCompanyName;

// Storage dispatch: iniObject is a TRegIniFile or a TCustomIniFile; with any
// other object reads give the default and writes do nothing.
std::string IniReadString(TObject* iniObject, const std::string& section, const std::string& ident,
                          const std::string& defaultString);
void IniWriteString(TObject* iniObject, const std::string& section, const std::string& ident, const std::string& value);
int32_t IniReadInteger(TObject* iniObject, const std::string& section, const std::string& ident,
                       int32_t defaultInteger);
void IniWriteInteger(TObject* iniObject, const std::string& section, const std::string& ident, int32_t value);
bool IniReadBool(TObject* iniObject, const std::string& section, const std::string& ident, bool defaultValue);
void IniWriteBool(TObject* iniObject, const std::string& section, const std::string& ident, bool value);
void IniEraseSection(TObject* iniObject, const std::string& section);
void IniDeleteKey(TObject* iniObject, const std::string& section, const std::string& ident);
void IniReadSections(TObject* iniObject, TStrings& list);

// Line breaks as "\n" and back. Raises Exception for texts over 4096 bytes.
std::string StrToIniStr(const std::string& str);
std::string IniStrToStr(const std::string& str);

// The program's ini file in the user's configuration folder.
std::string GetDefaultIniName();
std::string GetDefaultIniRegKey();
std::string GetDefaultSection(TComponent* component);
// The storage of a control: the IniFileName of the first form placement
// component on the control's form (else the default name) and the control's
// default section.
void GetDefaultIniData(TControl* control, std::string& iniFileName, std::string& section, bool useRegistry);

TCustomForm* FindForm(TFormClass formClass);
TCustomForm* FindShowForm(TFormClass formClass, const std::string& caption);
TCustomForm* FindFormInstance(TFormClass formClass, const std::string& caption, bool restore);
bool ShowDialog(TFormClass formClass);
TCustomForm* InstantiateForm(TFormClass formClass, TCustomForm*& reference);

// The open multi-document children of the main form, by class name, in
// the section "MDI Children", and back (classes not registered by name are
// skipped). Raise EInvalidOperation without a multi-document main form.
void SaveMDIChildren(TCustomForm* MainForm, TObject* IniObject);
void SaveMDIChildrenReg(TCustomForm* MainForm, TObject* IniObject);
void RestoreMDIChildren(TCustomForm* MainForm, TObject* IniObject);
void RestoreMDIChildrenReg(TCustomForm* MainForm, TObject* IniObject);

// The column widths of a grid ("Item0", "Item1", ... in the grid's default
// section). A grid is any component with ColCount(), ColWidths(i) and
// SetColWidths(i, width).
template <class TGrid> void SaveGridLayout(TGrid& Grid, TObject* IniObject)
{
    const std::string section = GetDefaultSection(&Grid);
    for (int i = 0; i < Grid.ColCount(); ++i)
        IniWriteInteger(IniObject, section, "Item" + std::to_string(i), Grid.ColWidths(i));
}
template <class TGrid> void RestoreGridLayout(TGrid& Grid, TObject* IniObject)
{
    const std::string section = GetDefaultSection(&Grid);
    for (int i = 0; i < Grid.ColCount(); ++i)
        Grid.SetColWidths(i, IniReadInteger(IniObject, section, "Item" + std::to_string(i), Grid.ColWidths(i)));
}
template <class TGrid> void SaveGridLayoutReg(TGrid& Grid, TObject* IniObject) { SaveGridLayout(Grid, IniObject); }
template <class TGrid> void RestoreGridLayoutReg(TGrid& Grid, TObject* IniObject)
{
    RestoreGridLayout(Grid, IniObject);
}

// The first name made from fileNameFormat ("Bild%d.jpg") with n = 0, 1, ...
// that is free in path; empty when none is.
std::string GetUniqueFileNameInDir(const std::string& path, const std::string& fileNameFormat);

void AppBroadcast(UINT msg, WPARAM wParam, LPARAM lParam);
// The application has no taskbar window of its own here; every form shows in
// the desktop's task list already, so the switch changes nothing.
void AppTaskbarIcons(bool appOnly);

} // namespace Apputils
