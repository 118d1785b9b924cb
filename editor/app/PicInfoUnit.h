#pragma once

// The editor's show document, a show that can write itself as a show file,
// and the access layer through which the editor's dialogs and tools read and
// change the current pictures without knowing where they live: the main
// window's picture list, the catalog over it, or a show handed to them
// (PicInfoUnit.Access.cpp).

#include "core/VisteloNPics.h"

#include "platform/rtl/Exceptions.h"

#include <cstdint>
#include <string>

class c_zofilewintypes;
class TFont;

class TConfigVistelo : public TVistelo {
    DECLARE_CLASS(TConfigVistelo, TVistelo)
public:
    // Writes the whole show to FileName, replacing the file only once the new
    // one is complete: false (and the previous file untouched) when anything
    // failed. The show itself is not changed.
    bool SaveToFile(const std::string& FileName) const;

private:
    void WriteAboutChunk(c_zofilewintypes& File) const;
    void WriteConfigChunk(c_zofilewintypes& File) const;
    void WriteInfoChunk(c_zofilewintypes& File) const;
    void WritePictureListChunk(c_zofilewintypes& File) const;
    void WritePictureDetailsChunk(c_zofilewintypes& File) const;
    void WriteStringListsChunk(c_zofilewintypes& File) const;
    void WriteThumbnailChunks(c_zofilewintypes& File) const;
    void WriteThumbnailChunk(c_zofilewintypes& File, std::int32_t Index) const;
};

// Where the current pictures live.
enum TPicInfoAccessMethod : std::uint8_t {
    paNone,
    paPicListBox,              // the main window's picture list
    paCatalogPicListBoxPicTag, // the catalog window over the main window's list
    paVistelo,                 // the show in AccessVistelo
    paCatalogVistelo           // the catalog window over the show in AccessVistelo
};

// The main window's picture list as the access layer reads it: one entry
// object per item, the item's check mark being the entry's ShowImage.
class TPicListAccess {
public:
    virtual ~TPicListAccess() = default;
    // The main window's show document.
    virtual TVistelo* Document() = 0;
    virtual int Count() = 0;
    virtual TPicInfoObject* Object(int Index) = 0;
    // The number of selected items; -1 for a list that allows only one.
    virtual int SelCount() = 0;
    // Whether several items may be selected; lists that can answer without
    // counting their selection say so here.
    virtual bool MultiSelect() { return SelCount() != -1; }
    virtual bool Selected(int Index) = 0;
    virtual bool Checked(int Index) = 0;
    // The current (focused) item, -1 for none.
    virtual int ItemIndex() = 0;
    virtual void SetItemIndex(int Index) = 0;
};

// The three questions the access layer asks the catalog window.
class TCatalogAccess {
public:
    virtual ~TCatalogAccess() = default;
    virtual int SelCount() = 0;
    virtual int ItemIndex() = 0;
    // Makes the picture the catalog's only selected and current one.
    virtual void SelectPicture(int Index) = 0;
};

// Raised when a show mode is used without a show.
class EPicInfoAccess : public Exception {
public:
    using Exception::Exception;
};

namespace PicInfoUnit {

// Flags bit values of picture entries that the editor uses.
constexpr std::uint32_t pfChanged = 1;  // to be redrawn
constexpr std::uint32_t pfSelected = 4; // selected in the catalog

extern TPicInfoAccessMethod PicInfoAccessMethod; // paPicListBox at start
extern TVistelo* AccessVistelo;                  // not owned; none at start
// Set by the main window and the catalog window while they exist.
extern TPicListAccess* PicListAccess;
extern TCatalogAccess* CatalogAccess;

// Readers; in paNone they give none, -1 or false. The show modes without
// AccessVistelo raise EPicInfoAccess "AccessVistelo = nil!".
TVistelo* CurrentVistelo();
int PicCount();
TPicInfoObject* GetPicInfoObject(int Index);
int PicSelCount();
bool PicSelected(int Index);
bool PicChecked(int Index);
int PicItemIndex();
void SetPicItemIndex(int Index);
// The one selected picture when exactly one is selected, else -1. A current
// item that is not selected never counts.
int PicSelectedIndex();

// Setters: each changes the one selected picture, or every selected picture
// when several are; nothing when none is selected. Nothing is repainted.
void SetStretch(bool Value); // stays on while a picture has a size percentage
void SetCenter(bool Value);
// MarkChange marks a picture whose value changes for redrawing.
void SetShowImage(bool Value, bool MarkChange);
void SetProportions(bool Value);
void SetShowComments(bool Value);
void SetBackgroundColor(TColor Value);
void SetCommentAlignment(TCommentAlignment Value);
void SetCommentPlacement(TCommentPlacement Value);
void SetSound(const std::string& Value);
void SetSynchronizeWithSound(TSoundSync Value);
void SetRepeatSound(bool Value);
void SetDontStopSound(bool Value);
void SetPause(std::int32_t Value);
void SetPlacement(TSpecialPlacement Value); // spUser turns Stretch on
void SetSizePercent(TSizePercent Value);    // a percentage turns Stretch on
void SetCommentUserPlacement(const TPlacementRectExt& Value);
void SetPicPlacement(const TPlacementRectExt& Value);
void SetKeywords(const std::string& Value);
void SetComments(const std::string& Value);
void SetBlending(std::int32_t Value);
void SetCommentEffects(TCommentEffects Value);
void SetEffectColor1(TColor Value);
void SetEffectColor2(TColor Value);
// Face, size and style of Value; each picture keeps its own font colour.
void SetCommentFont(const TFont& Value);
void SetCommentFontColor(TColor Value);
void SetCommentFontHeight(std::int32_t Value);

} // namespace PicInfoUnit
