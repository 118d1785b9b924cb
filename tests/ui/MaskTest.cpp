#include "platform/ui/Mask.h"

#include "tests/ui/UiFixture.h"

namespace {

class MaskTest : public UiTest {
protected:
    TMaskEdit* NewMaskEdit(TForm* form, const std::string& mask)
    {
        auto* edit = new TMaskEdit(form);
        edit->SetParent(form);
        edit->SetEditMask(mask);
        edit->HandleNeeded();
        return edit;
    }
};

TEST_F(MaskTest, TextFromCodeTakesTheMasksFormWithOrWithoutItsLiterals)
{
    struct Case {
        const char* mask;
        const char* set;
        const char* text;
        const char* editText;
        bool complete;
    };
    const Case cases[] = {
        {"99.99.9999;1;_", "12032024", "12.03.2024", "12.03.2024", true},
        {"99.99.9999;0;_", "12032024", "12032024", "12.03.2024", true},
        {"99.99.9999;0;_", "1203", "1203", "12.03.____", true},
        {"00-99;1;*", "1", "1-", "1*-**", false},
        {">LL-00;0;_", "ab12", "AB12", "AB-12", true},
        {"LL-00;0;_", "a1", "a1", "a_-1_", false},            // a character goes to the next position it fits
        {"N\\r. 000;1;_", "123", "Nr. 123", "Nr. 123", true}, // literals the toolkit would read as mask characters
        {"", "frei 123", "frei 123", "frei 123", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " <- " + c.set);
        TForm* form = NewForm();
        TMaskEdit* edit = NewMaskEdit(form, c.mask);
        int changes = 0;
        edit->OnChange = [&](TObject*) { ++changes; };
        edit->SetText(c.set);
        EXPECT_EQ(edit->Text(), c.text);
        EXPECT_EQ(edit->EditText(), c.editText);
        EXPECT_EQ(changes, 1);
        if (c.complete)
            EXPECT_NO_THROW(edit->ValidateEdit());
        else
            EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
    }
}

TEST_F(MaskTest, TypedCharactersFillThePositionsAndAMaskSetLaterReformsTheText)
{
    TForm* form = NewForm();
    TMaskEdit* edit = NewMaskEdit(form, "");
    edit->SetText("31122025");
    edit->SetEditMask("99.99.9999;1;_");
    EXPECT_EQ(edit->Text(), "31.12.2025");

    edit->SetEditMask("00:00;0;_");
    edit->SetText("");
    form->Show();
    Turn();
    edit->SetFocus();
    Turn();
    edit->SetSelStart(0);
    std::vector<std::string> seen;
    edit->OnChange = [&](TObject*) { seen.push_back(edit->Text()); };
    ui::test::TypeText(edit, "0x7");
    Turn();
    EXPECT_EQ(seen, (std::vector<std::string>{"0", "07"})) << "the letter does not fit a digit position";
    EXPECT_EQ(edit->EditText(), "07:__");
    EXPECT_THROW(edit->ValidateEdit(), EDBEditError);
}

} // namespace
