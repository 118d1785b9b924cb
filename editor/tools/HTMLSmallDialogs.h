#pragma once

// The small windows of the HTML export assistant: the thumbnail settings,
// the navigation-link templates, and the question after the pages were
// made. Each works on the assistant's preset directly.

#include "platform/ui/Forms.h"

#include <string>

class TButton;
class TCheckBox;
class TComboEdit;
class TLabel;
class TMyHTMLPreset;
class TRadioGroup;
class TSmallEditor;
class TSpinEdit;

namespace HTMLSmallDialogs {

inline constexpr const char* NavigationHint =
    "Achtung: das \"%s\"-Zeichen ist Platzhalter für den Dateinamem/Internetadresse und darf weder fehlen noch "
    "doppelt vorkommen. Das \"%\"-Zeichen darf nicht nocheinmal auftauchen. Wenn Sie das \"%\"-Zeichen verwenden "
    "möchten, dann schreiben Sie \"%%\". Beispiel: [<A HREF=\"%s\">Voriges Bild</A>]";
inline constexpr const char* FormatErrorText =
    "Fehler im Format! Sie müssen sich an die genauen Formatierungsregeln halten!";
inline constexpr const char* ExitText = "Die Webseiten wurden erfolgreich erstellt. Klicken Sie jetzt auf "
                                        "\"Webbrowser starten\", um die erstellten Seiten mit dem Standardbrowser "
                                        "anzuschauen.";
constexpr int ExitHelpContext = 1000;

} // namespace HTMLSmallDialogs

class TThumbNailSizeDlg : public TForm {
    DECLARE_CLASS(TThumbNailSizeDlg, TForm)
public:
    TThumbNailSizeDlg(TComponent* AOwner, TMyHTMLPreset& Preset);

    TRadioGroup* ThumbNailSizeGroup = nullptr;
    TSpinEdit* ThumbNailWidthEdit = nullptr;
    TSpinEdit* ThumbNailHeightEdit = nullptr;
    TCheckBox* KeepProportionsCheck = nullptr;
    TCheckBox* ShadowCheck = nullptr;
    TLabel* ShadowWidthLabel = nullptr;
    TSpinEdit* ShadowWidthEdit = nullptr;
    TButton* SetupCompressionBtn = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;
    bool Updating = false;

    void ThumbNailSizeGroupClick(TObject* Sender);
    void SizeEditChange(TObject* Sender);
    void ShadowCheckClick(TObject* Sender);
    void SetupCompressionBtnClick(TObject* Sender);
    void OKBtnClick(TObject* Sender);

private:
    TMyHTMLPreset& preset_;
};

class THTMLFormatNavigationLinks : public TForm {
    DECLARE_CLASS(THTMLFormatNavigationLinks, TForm)
public:
    // Editor: the assistant's text editor behind the edits' buttons.
    THTMLFormatNavigationLinks(TComponent* AOwner, TMyHTMLPreset& Preset, TSmallEditor* Editor);

    TComboEdit* NavPrevEdit = nullptr;
    TComboEdit* NavNextEdit = nullptr;
    TComboEdit* NavBackEdit = nullptr;
    TCheckBox* NavCenterCheck = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;

    void FormActivate(TObject* Sender);
    void Button1Click(TObject* Sender);

private:
    TMyHTMLPreset& preset_;
    TSmallEditor* editor_;
};

class THTMLExitDlg : public TForm {
    DECLARE_CLASS(THTMLExitDlg, TForm)
public:
    // Address: what the browser opens.
    THTMLExitDlg(TComponent* AOwner, std::string Address);

    TLabel* TextLabel = nullptr;
    TButton* YesBtn = nullptr;
    TButton* NoBtn = nullptr;
    TButton* StartBrowserBtn = nullptr;
    TButton* HelpBtn = nullptr;

    // Opens the pages with the desktop's browser; the dialog stays open.
    void StartBrowserBtnClick(TObject* Sender);
    void HelpBtnClick(TObject* Sender);

private:
    std::string address_;
};
