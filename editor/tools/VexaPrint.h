#pragma once

// The component through which the editor prints a picture.

#include <memory>

#include "platform/rtl/Classes.h"

class TPicture;

namespace VexaPrintTexts {

inline constexpr const char* NoPrinterDriver =
    "Die Druckdialogbox kann nicht aufgerufen werden, da kein Druckertreiber installiert ist.";

} // namespace VexaPrintTexts

class TVexaPrinter : public TComponent {
    DECLARE_CLASS(TVexaPrinter, TComponent)
public:
    explicit TVexaPrinter(TComponent* AOwner);
    ~TVexaPrinter() override;

    TPicture& Picture() { return *picture_; }

    // Opens the print window on the picture; false (after a message) when
    // there is no printer.
    bool Execute();

private:
    std::unique_ptr<TPicture> picture_;
};
