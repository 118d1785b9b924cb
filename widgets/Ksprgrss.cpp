#include "widgets/Ksprgrss.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/rtl/Properties.h"
#include "platform/ui/ComCtrls.h"
#include "widgets/Gauges.h"

namespace Ksprgrss {

namespace {

constexpr std::size_t MaxPropNameLength = 63;

enum class Which { Max, Min, Value };

struct TProgressProp {
    TClass ControlClass;
    std::string MaxProp;
    std::string MinProp;
    std::string ProgressProp;

    const std::string& Name(Which What) const
    {
        switch (What) {
        case Which::Max: return MaxProp;
        case Which::Min: return MinProp;
        case Which::Value: break;
        }
        return ProgressProp;
    }
};

// The platform's progress bar takes its range and position by name too.
void PublishProgressBarProperties()
{
    auto integer = [](const char* Name, int (TRangeControl::*Get)() const, void (TRangeControl::*Set)(int)) {
        if (std::ranges::any_of(rtl::GetPublishedProperties(TProgressBar::StaticClass()),
                                [Name](const TPropInfo* Info) { return Info->Name == Name; }))
            return;
        rtl::RegisterPublishedProperty<TProgressBar>(
            Name, tkInteger, [Get](const TProgressBar& b) { return TPropValue(int64_t((b.*Get)())); },
            [Set](TProgressBar& b, const TPropValue& v) { (b.*Set)(static_cast<int>(std::get<int64_t>(v))); });
    };
    integer("Max", &TRangeControl::Max, &TRangeControl::SetMax);
    integer("Min", &TRangeControl::Min, &TRangeControl::SetMin);
    integer("Position", &TRangeControl::Position, &TRangeControl::SetPosition);
}

std::vector<TProgressProp>& ProgressList()
{
    static std::vector<TProgressProp> list = [] {
        PublishProgressBarProperties();
        Gauges::PublishProperties();
        return std::vector<TProgressProp>{
            {TProgressBar::StaticClass(), "Max", "Min", "Position"},
            {TGauge::StaticClass(), "MaxValue", "MinValue", "Progress"},
        };
    }();
    return list;
}

const TProgressProp* FindRecord(const TControl* Control)
{
    if (!Control)
        return nullptr;
    const auto& list = ProgressList();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (Control->InheritsFrom(it->ControlClass))
            return &*it;
    return nullptr;
}

bool SetProgressProperty(TControl* Control, Which What, int Value)
{
    const TProgressProp* record = FindRecord(Control);
    if (!record)
        return false;
    const TPropInfo* info = rtl::GetPropInfo(*Control, record->Name(What));
    if (!info || !info->Set)
        return false;
    switch (info->Kind) {
    case tkInteger:
    case tkInt64: rtl::SetPropValue(*Control, *info, TPropValue(int64_t(Value))); return true;
    case tkFloat: rtl::SetPropValue(*Control, *info, TPropValue(double(Value))); return true;
    case tkVariant: rtl::SetPropValue(*Control, *info, TPropValue(std::to_string(Value))); return true;
    default: return false;
    }
}

} // namespace

void RegisterProgressControl(TClass AClass, const std::string& MaxPropName, const std::string& MinPropName,
                             const std::string& ProgressPropName)
{
    auto cut = [](const std::string& Name) { return Name.substr(0, MaxPropNameLength); };
    ProgressList().push_back({AClass, cut(MaxPropName), cut(MinPropName), cut(ProgressPropName)});
}

void UnRegisterProgressControl(TClass AClass)
{
    std::erase_if(ProgressList(),
                  [AClass](const TProgressProp& Record) { return Record.ControlClass->InheritsFrom(AClass); });
}

bool SupportsProgressControl(TControl* Control) { return FindRecord(Control) != nullptr; }

bool SetProgressMax(TControl* Control, int MaxValue) { return SetProgressProperty(Control, Which::Max, MaxValue); }
bool SetProgressMin(TControl* Control, int MinValue) { return SetProgressProperty(Control, Which::Min, MinValue); }
bool SetProgressValue(TControl* Control, int ProgressValue)
{
    return SetProgressProperty(Control, Which::Value, ProgressValue);
}

} // namespace Ksprgrss
