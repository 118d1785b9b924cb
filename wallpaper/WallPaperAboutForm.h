#pragma once

// The wallpaper program's About box: title, version, release date, a link
// to the maker's site and a close button.

#include "platform/ui/Forms.h"

class TButton;
class TLabel;
class TURL;

class TWallPaperAbout : public TForm {
    DECLARE_CLASS(TWallPaperAbout, TForm)
public:
    explicit TWallPaperAbout(TComponent* AOwner);

    TLabel* TitleLabel = nullptr;
    TLabel* VersionLabel = nullptr;
    TLabel* ReleaseLabel = nullptr;
    TURL* LinkLabel = nullptr;
    TButton* CloseButton = nullptr;
};

namespace WallPaperAbout {
inline constexpr const char* Version = "1.0";
// The maker's site; a reserved name until there is a real one.
inline constexpr const char* Address = "https://ostrelind.example/";
} // namespace WallPaperAbout
