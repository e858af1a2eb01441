#pragma once

// Where the link shows a refusal the operator must see (a message box with the error icon).
// The user interface implements it; the core itself shows nothing.
class LinkErrorDisplay {
public:
    virtual ~LinkErrorDisplay() = default;
    // stringId: the text of the string table to show.
    virtual void ShowLinkError(int stringId) = 0;
};
