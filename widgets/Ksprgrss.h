#pragma once

// Progress controls driven by name: a registry of control classes with the
// names of their maximum, minimum and value properties, so a long operation
// can move any registered control without knowing its class.

#include <string>

#include "platform/rtl/Classes.h"

class TControl;

namespace Ksprgrss {

// Names longer than 63 characters are cut.
void RegisterProgressControl(TClass AClass, const std::string& MaxPropName, const std::string& MinPropName,
                             const std::string& ProgressPropName);
// Removes the class and every class derived from it.
void UnRegisterProgressControl(TClass AClass);
bool SupportsProgressControl(TControl* Control);

// Set the property of the last registration matching the control's class;
// false when there is none or the property cannot take an integer.
bool SetProgressMax(TControl* Control, int MaxValue);
bool SetProgressMin(TControl* Control, int MinValue);
bool SetProgressValue(TControl* Control, int ProgressValue);

} // namespace Ksprgrss
