#pragma once

// A link label: underlined, in the link colour, with the hand cursor; a
// click opens its address with the desktop's handler.

#include <string>

#include "platform/ui/StdLabel.h"

class TURL : public TLabel {
    DECLARE_CLASS(TURL, TLabel)
public:
    explicit TURL(TComponent* AOwner);

    std::string URL;

    // Opens URL; a failure is not reported (the label has no one to tell).
    void JumpToUrl(TObject* Sender);
};
