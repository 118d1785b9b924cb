#include "widgets/Apputils.h"

#include "platform/rtl/Classes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysPaths.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

#include <limits>
#include <vector>

namespace Apputils {

std::function<std::string()> OnGetDefaultIniName;
bool RegUseAppTitle = false;
std::string DefCompanyName;

namespace {

constexpr size_t MaxIniStrLength = 4096;

TRegIniFile* AsRegistry(TObject* object) { return dynamic_cast<TRegIniFile*>(object); }
TCustomIniFile* AsIniFile(TObject* object) { return dynamic_cast<TCustomIniFile*>(object); }

// Runs action on the registry ini object, else on the ini file; other
// objects get the fallback.
template <class Action, class Fallback> auto Dispatch(TObject* iniObject, Action action, Fallback fallback)
{
    if (auto* registry = AsRegistry(iniObject))
        return action(*registry);
    if (auto* ini = AsIniFile(iniObject))
        return action(*ini);
    return fallback();
}

bool IsQuotedBy(const std::string& value, char quote) { return value.front() == quote && value.back() == quote; }

void CheckIniStrLength(const std::string& str)
{
    if (str.size() > MaxIniStrLength)
        throw Exception("Line too long");
}

std::string ProgramBaseName() { return rtl::ChangeFileExt(rtl::ExtractFileName(rtl::ProgramFile()), ""); }

// "%d" becomes n and "%%" a percent sign; nothing else in the caller's format
// is interpreted.
std::string FormatFileName(const std::string& format, int n, bool& usesNumber)
{
    std::string result;
    usesNumber = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && (format[i + 1] == 'd' || format[i + 1] == '%')) {
            usesNumber |= format[i + 1] == 'd';
            result += format[i + 1] == 'd' ? std::to_string(n) : "%";
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

TCustomForm* FindFormWithCaption(TFormClass formClass, const std::string& caption)
{
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form->ClassType() == formClass && (caption.empty() || form->Caption() == caption))
            return form;
    }
    return nullptr;
}

TCustomForm* ParentForm(TControl* control)
{
    for (TWinControl* parent = control->Parent(); parent; parent = parent->Parent())
        if (auto* form = dynamic_cast<TCustomForm*>(parent))
            return form;
    return nullptr;
}

bool IsFormPlacement(const TComponent& component)
{
    for (TClass type = component.ClassType(); type; type = type->ClassParent())
        if (type->ClassNameIs("TFormPlacement"))
            return true;
    return false;
}

// The form placement component lives above this unit: it is found by its
// class name and asked for its published IniFileName.
std::string PlacementIniFileName(const TComponent& form)
{
    for (int i = 0; i < form.ComponentCount(); ++i) {
        const TComponent& component = *form.Components(i);
        if (IsFormPlacement(component))
            return rtl::GetPropInfo(component, "IniFileName") ? rtl::GetStrProp(component, "IniFileName")
                                                              : std::string();
    }
    return {};
}

TCustomForm* CreateForm(TFormClass formClass)
{
    TComponent* component = formClass->CreateComponent(Application);
    auto* form = dynamic_cast<TCustomForm*>(component);
    if (!form) {
        delete component;
        throw EInvalidOperation("The class " + formClass->ClassName() + " is no form");
    }
    return form;
}

} // namespace

std::string IniReadString(TObject* iniObject, const std::string& section, const std::string& ident,
                          const std::string& defaultString)
{
    return Dispatch(
        iniObject, [&](auto& store) { return store.ReadString(section, ident, defaultString); },
        [&] { return defaultString; });
}

void IniWriteString(TObject* iniObject, const std::string& section, const std::string& ident, const std::string& value)
{
    if (auto* ini = AsIniFile(iniObject); ini && !AsRegistry(iniObject)) {
        // The ini reader strips one pair of enclosing quotes: add one.
        const bool quoted = !value.empty() && (IsQuotedBy(value, '"') || IsQuotedBy(value, '\''));
        ini->WriteString(section, ident, quoted ? '"' + value + '"' : value);
        return;
    }
    Dispatch(
        iniObject, [&](auto& store) { store.WriteString(section, ident, value); }, [] {});
}

int32_t IniReadInteger(TObject* iniObject, const std::string& section, const std::string& ident, int32_t defaultInteger)
{
    return Dispatch(
        iniObject, [&](auto& store) { return store.ReadInteger(section, ident, defaultInteger); },
        [&] { return defaultInteger; });
}

void IniWriteInteger(TObject* iniObject, const std::string& section, const std::string& ident, int32_t value)
{
    Dispatch(
        iniObject, [&](auto& store) { store.WriteInteger(section, ident, value); }, [] {});
}

bool IniReadBool(TObject* iniObject, const std::string& section, const std::string& ident, bool defaultValue)
{
    return Dispatch(
        iniObject, [&](auto& store) { return store.ReadBool(section, ident, defaultValue); },
        [&] { return defaultValue; });
}

void IniWriteBool(TObject* iniObject, const std::string& section, const std::string& ident, bool value)
{
    Dispatch(
        iniObject, [&](auto& store) { store.WriteBool(section, ident, value); }, [] {});
}

void IniEraseSection(TObject* iniObject, const std::string& section)
{
    Dispatch(
        iniObject, [&](auto& store) { store.EraseSection(section); }, [] {});
}

void IniDeleteKey(TObject* iniObject, const std::string& section, const std::string& ident)
{
    Dispatch(
        iniObject, [&](auto& store) { store.DeleteKey(section, ident); }, [] {});
}

void IniReadSections(TObject* iniObject, TStrings& list)
{
    if (auto* ini = AsIniFile(iniObject))
        ini->ReadSections(list);
    else if (auto* registry = AsRegistry(iniObject))
        registry->ReadSections(list);
}

std::string StrToIniStr(const std::string& str)
{
    CheckIniStrLength(str);
    std::string result;
    for (size_t i = 0; i < str.size(); ++i) {
        const char c = str[i];
        if (c != '\r' && c != '\n') {
            result += c;
            continue;
        }
        const char partner = c == '\r' ? '\n' : '\r';
        if (i + 1 < str.size() && str[i + 1] == partner)
            ++i;
        result += "\\n";
    }
    return result;
}

std::string IniStrToStr(const std::string& str)
{
    CheckIniStrLength(str);
    std::string result;
    for (size_t i = 0; i < str.size(); ++i) {
        if (str[i] == '\\' && i + 1 < str.size() && str[i + 1] == 'n') {
            result += "\r\n";
            ++i;
        } else {
            result += str[i];
        }
    }
    return result;
}

std::string GetDefaultIniName()
{
    if (OnGetDefaultIniName)
        return OnGetDefaultIniName();
    return rtl::ConfigDir() + ProgramBaseName() + ".INI";
}

std::string GetDefaultIniRegKey()
{
    const bool useTitle = RegUseAppTitle && Application && !Application->Title.empty();
    const std::string baseName = useTitle ? Application->Title : ProgramBaseName();
    if (!DefCompanyName.empty())
        return "Software\\" + DefCompanyName + "\\" + baseName;
    return "Software\\" + baseName;
}

std::string GetDefaultSection(TComponent* component)
{
    if (!component)
        return {};
    if (dynamic_cast<TCustomForm*>(component))
        return component->ClassName();
    if (auto* control = dynamic_cast<TControl*>(component)) {
        if (TCustomForm* form = ParentForm(control))
            return form->ClassName() + control->Name();
        if (control->Parent())
            return control->Parent()->Name() + control->Name();
    }
    if (auto* owner = dynamic_cast<TCustomForm*>(component->Owner()))
        return owner->ClassName() + "." + component->Name();
    return component->Name();
}

void GetDefaultIniData(TControl* control, std::string& iniFileName, std::string& section, bool useRegistry)
{
    iniFileName.clear();
    if (control && dynamic_cast<TCustomForm*>(control->Owner()))
        iniFileName = PlacementIniFileName(*control->Owner());
    section = GetDefaultSection(control);
    if (iniFileName.empty())
        iniFileName = useRegistry ? GetDefaultIniRegKey() : GetDefaultIniName();
}

TCustomForm* FindForm(TFormClass formClass) { return FindFormWithCaption(formClass, {}); }

TCustomForm* FindShowForm(TFormClass formClass, const std::string& caption)
{
    return FindFormInstance(formClass, caption, true);
}

TCustomForm* FindFormInstance(TFormClass formClass, const std::string& caption, bool restore)
{
    TCustomForm* form = FindFormWithCaption(formClass, caption);
    if (!form) {
        form = CreateForm(formClass);
        if (!caption.empty())
            form->SetCaption(caption);
    }
    if (restore && form->WindowState() == wsMinimized)
        form->SetWindowState(wsNormal);
    form->Show();
    return form;
}

bool ShowDialog(TFormClass formClass)
{
    std::unique_ptr<TCustomForm> form(CreateForm(formClass));
    const TModalResult result = form->ShowModal();
    return result == mrOk || result == mrYes;
}

TCustomForm* InstantiateForm(TFormClass formClass, TCustomForm*& reference)
{
    if (!reference)
        reference = CreateForm(formClass);
    return reference;
}

namespace {

const char* const MDIChildrenSection = "MDI Children";

void CheckMDIForm(TCustomForm* mainForm)
{
    if (!mainForm || mainForm->FormStyle() != fsMDIForm)
        throw EInvalidOperation("Formular kann nicht erstellt werden. Zur Zeit sind keine MDI-Formulare aktiv");
}

// The children in the screen's form order, which is the order they were
// opened in.
std::vector<TCustomForm*> MDIChildren()
{
    std::vector<TCustomForm*> children;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->FormStyle() == fsMDIChild)
            children.push_back(Screen->Forms(i));
    return children;
}

// The hourglass for as long as the object lives.
class WaitCursor {
public:
    WaitCursor() : previous_(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~WaitCursor() { Screen->SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    TCursor previous_;
};

} // namespace

void SaveMDIChildren(TCustomForm* MainForm, TObject* IniObject)
{
    CheckMDIForm(MainForm);
    IniEraseSection(IniObject, MDIChildrenSection);
    const std::vector<TCustomForm*> children = MDIChildren();
    if (children.empty())
        return;
    IniWriteInteger(IniObject, MDIChildrenSection, "Count", static_cast<int32_t>(children.size()));
    for (size_t i = 0; i < children.size(); ++i)
        IniWriteString(IniObject, MDIChildrenSection, "Item" + std::to_string(i), children[i]->ClassName());
}

void SaveMDIChildrenReg(TCustomForm* MainForm, TObject* IniObject) { SaveMDIChildren(MainForm, IniObject); }

void RestoreMDIChildren(TCustomForm* MainForm, TObject* IniObject)
{
    CheckMDIForm(MainForm);
    WaitCursor wait;
    // The stored count is not trusted further than the items stored with it.
    const int32_t count = IniReadInteger(IniObject, MDIChildrenSection, "Count", 0);
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) {
        std::string name = IniReadString(IniObject, MDIChildrenSection, "Item" + std::to_string(i), "");
        if (name.empty())
            break;
        names.push_back(std::move(name));
    }
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        TClass formClass = rtl::GetClass(*name);
        if (formClass && formClass->InheritsFrom(TCustomForm::StaticClass()))
            FindFormInstance(formClass, "", false);
    }
}

void RestoreMDIChildrenReg(TCustomForm* MainForm, TObject* IniObject) { RestoreMDIChildren(MainForm, IniObject); }

std::string GetUniqueFileNameInDir(const std::string& path, const std::string& fileNameFormat)
{
    const std::string folder = rtl::IncludeTrailingPathDelimiter(path);
    for (int n = 0; n < std::numeric_limits<int>::max(); ++n) {
        bool usesNumber = false;
        const std::string name = FormatFileName(fileNameFormat, n, usesNumber);
        if (!rtl::FileExists(folder + name))
            return name;
        if (!usesNumber)
            break; // every further n gives the same name
    }
    return {};
}

void AppBroadcast(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!Screen)
        return;
    for (int i = 0; i < Screen->FormCount(); ++i)
        Screen->Forms(i)->Perform(msg, wParam, lParam);
}

void AppTaskbarIcons(bool /*appOnly*/) { }

} // namespace Apputils
