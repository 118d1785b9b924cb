#include "widgets/KsListBox.h"

#include "platform/rtl/ByteOrder.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exceptions.h"

// Form file data

namespace {

// Value tags of the form file's binary encoding.
enum TValueType : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,
    vaUTF8String = 20,
};

struct StreamedItem {
    std::string Text;
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
};

class ValueWriter {
public:
    explicit ValueWriter(TStream& Stream) : stream_(Stream) { }

    void Tag(TValueType Type) { Byte(Type); }
    void String(const std::string& Text)
    {
        if (Text.size() <= 255) {
            Tag(vaString);
            Byte(static_cast<std::uint8_t>(Text.size()));
        } else {
            Tag(vaLString);
            Int32(static_cast<std::int32_t>(Text.size()));
        }
        stream_.WriteBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
    }
    void Integer(int Value)
    {
        if (Value >= -128 && Value <= 127) {
            Tag(vaInt8);
            Byte(static_cast<std::uint8_t>(Value));
        } else {
            Tag(vaInt32);
            Int32(Value);
        }
    }
    void Boolean(bool Value) { Tag(Value ? vaTrue : vaFalse); }

private:
    void Byte(std::uint8_t Value) { stream_.WriteBuffer(&Value, 1); }
    void Int32(std::int32_t Value)
    {
        std::uint8_t bytes[4];
        rtl::PutLE32(bytes, static_cast<std::uint32_t>(Value));
        stream_.WriteBuffer(bytes, 4);
    }

    TStream& stream_;
};

// Reads values, never more than the stream holds.
class ValueReader {
public:
    explicit ValueReader(TStream& Stream) : stream_(Stream) { }

    TValueType NextTag() { return static_cast<TValueType>(Bytes(1)[0]); }
    // The tag of the next value without taking it.
    TValueType PeekTag()
    {
        const TValueType tag = NextTag();
        stream_.Seek(-1, soFromCurrent);
        return tag;
    }
    void Expect(TValueType Type)
    {
        if (NextTag() != Type)
            Damaged();
    }
    std::string String()
    {
        std::int64_t length;
        switch (NextTag()) {
        case vaString: length = Bytes(1)[0]; break;
        case vaLString:
        case vaUTF8String: length = rtl::GetLE32(Bytes(4).data()); break;
        default: Damaged();
        }
        if (length > stream_.Size() - stream_.Position())
            Damaged();
        const std::vector<std::uint8_t> bytes = Bytes(static_cast<std::size_t>(length));
        return std::string(bytes.begin(), bytes.end());
    }
    int Integer()
    {
        switch (NextTag()) {
        case vaInt8: return static_cast<std::int8_t>(Bytes(1)[0]);
        case vaInt16: return rtl::GetLE16s(Bytes(2).data());
        case vaInt32: return rtl::GetLE32s(Bytes(4).data());
        default: Damaged();
        }
    }
    bool Boolean()
    {
        switch (NextTag()) {
        case vaFalse: return false;
        case vaTrue: return true;
        default: Damaged();
        }
    }

    [[noreturn]] static void Damaged() { throw EReadError("Invalid property value"); }

private:
    std::vector<std::uint8_t> Bytes(std::size_t Count)
    {
        std::vector<std::uint8_t> bytes(Count);
        if (Count > 0 &&
            stream_.Read(bytes.data(), static_cast<std::int64_t>(Count)) != static_cast<std::int64_t>(Count))
            Damaged();
        return bytes;
    }

    TStream& stream_;
};

TCheckBoxState StateOf(int Value)
{
    if (Value < cbUnchecked || Value > cbGrayed)
        ValueReader::Damaged();
    return static_cast<TCheckBoxState>(Value);
}

std::vector<StreamedItem> ReadItems(TStream& Stream, int Version)
{
    ValueReader reader(Stream);
    reader.Expect(vaList);
    std::vector<StreamedItem> items;
    while (reader.PeekTag() != vaNull) {
        StreamedItem item;
        item.Text = reader.String();
        if (Version >= TKsCheckListBox::InternalVersion) {
            item.State = StateOf(reader.Integer());
            item.Enabled = reader.Boolean();
        } else {
            item.State = reader.Boolean() ? cbChecked : cbUnchecked;
            item.Enabled = reader.Boolean();
            if (Version > 0)
                item.State = StateOf(reader.Integer());
        }
        items.push_back(std::move(item));
    }
    reader.Expect(vaNull);
    return items;
}

} // namespace

void TKsCheckListBox::WriteStrings(TStream& Stream) const
{
    ValueWriter writer(Stream);
    writer.Tag(vaList);
    for (int i = 0; i < Items().Count(); ++i) {
        writer.String(Items().Strings(i));
        writer.Integer(static_cast<int>(GetState(i)));
        writer.Boolean(GetItemEnabled(i));
    }
    writer.Tag(vaNull);
}

void TKsCheckListBox::ReadStrings(TStream& Stream, int Version)
{
    const std::vector<StreamedItem> items = ReadItems(Stream, Version);
    Items().BeginUpdate();
    try {
        Items().Clear();
        for (const StreamedItem& item : items) {
            const int index = Items().Add(item.Text);
            TCheckListBoxItem& record = states_[static_cast<std::size_t>(index)];
            record.State = item.State;
            record.Enabled = item.Enabled;
        }
    } catch (...) {
        Items().EndUpdate();
        throw;
    }
    Items().EndUpdate();
    UpdateCheckStates();
}

bool TKsCheckListBox::StringsStored(const TKsCheckListBox* Ancestor) const
{
    if (!Ancestor)
        return Items().Count() > 0;
    if (Ancestor->Items().Count() != Items().Count())
        return true;
    for (int i = 0; i < Items().Count(); ++i)
        if (rtl::AnsiCompareText(Items().Strings(i), Ancestor->Items().Strings(i)) != 0 ||
            GetState(i) != Ancestor->GetState(i) || GetItemEnabled(i) != Ancestor->GetItemEnabled(i))
            return true;
    return false;
}
