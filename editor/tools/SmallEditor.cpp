#include "editor/tools/SmallEditor.h"

#include "platform/graphics/Font.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/RichEdit.h"
#include "platform/ui/StdCtrls.h"

IMPLEMENT_CLASS(TEditorForm)
IMPLEMENT_CLASS(TSmallEditor)

TEditorForm::TEditorForm(TComponent* AOwner) : TForm(AOwner)
{
    SetCaption("Editor");
    SetPosition(poMainFormCenter);
    SetClientWidth(400);
    SetClientHeight(260);

    StatusBar = new TStatusBar(this);
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->AddPanel().Width = 100;

    ButtonResizePanel = new TPanel(this);
    ButtonResizePanel->SetParent(this);
    ButtonResizePanel->SetAlign(alBottom);
    ButtonResizePanel->SetHeight(37);
    ButtonResizePanel->SetBevelOuter(bvNone);
    ButtonResizePanel->SetCaption("");

    ButtonPanel = new TPanel(this);
    ButtonPanel->SetParent(ButtonResizePanel);
    ButtonPanel->SetBounds(0, 0, 186, 37);
    ButtonPanel->SetBevelOuter(bvNone);
    ButtonPanel->SetCaption("");
    Button1 = new TButton(this);
    Button1->SetParent(ButtonPanel);
    Button1->SetBounds(8, 6, 80, 25);
    Button1->SetCaption("&OK");
    Button1->ModalResult = mrOk;
    Button1->Default = true;
    Button2 = new TButton(this);
    Button2->SetParent(ButtonPanel);
    Button2->SetBounds(98, 6, 80, 25);
    Button2->SetCaption("&Abbrechen");
    Button2->ModalResult = mrCancel;
    Button2->Cancel = true;

    Editor = new TRichEdit(this);
    Editor->SetParent(this);
    Editor->SetAlign(alClient);
    Editor->SetScrollBars(ssBoth);

    // The window never gets smaller than its buttons need.
    Constraints().SetMinWidth(ButtonPanel->Width() + 10);
    Constraints().SetMinHeight(5 * ButtonPanel->Height());

    ButtonResizePanel->OnResize = [this](TObject* Sender) { ButtonResizePanelResize(Sender); };
    const auto caret = [this](TObject*) { UpdateCaretStatus(); };
    Editor->OnSelectionChange = caret;
    Editor->OnEnter = caret;
    Editor->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { UpdateCaretStatus(); };
    Editor->OnMouseUp = Editor->OnMouseDown;
    Editor->OnKeyDown = [this](TObject*, WORD&, TShiftState) { UpdateCaretStatus(); };
    Editor->OnKeyUp = Editor->OnKeyDown;
    ButtonResizePanelResize(ButtonResizePanel);
    UpdateCaretStatus();
}

void TEditorForm::ButtonResizePanelResize(TObject*)
{
    ButtonPanel->SetLeft((ButtonResizePanel->Width() - ButtonPanel->Width()) / 2);
}

std::string TEditorForm::CaretText() const
{
    const int line = Editor->LineFromChar(-1);
    const int column = Editor->SelStart() - Editor->LineIndex(line);
    return std::to_string(line + 1) + ": " + std::to_string(column + 1);
}

void TEditorForm::UpdateCaretStatus()
{
    StatusBar->Panels(0).Text = CaretText();
    StatusBar->UpdatePanels();
}

TSmallEditor::TSmallEditor(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) { }

TSmallEditor::~TSmallEditor() = default;

bool TSmallEditor::Execute()
{
    TEditorForm form(nullptr);
    form.SetCaption(Caption);
    form.Editor->SetFont(*font_);
    form.Editor->Lines().Assign(&Lines);
    form.Editor->SetText(Text);
    form.Editor->SetWordWrap(WordWrap);
    form.SetBorderStyle(BorderStyle);
    form.StatusBar->SetVisible(ShowStatusBar);
    form.SetWidth(Width);
    form.SetHeight(Height);
    const bool ok = form.ShowModal() == mrOk;
    if (ok) {
        Lines.Assign(&form.Editor->Lines());
        Text = form.Editor->Text();
    }
    return ok;
}
